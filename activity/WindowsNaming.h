#pragma once

#include <cstddef>
#include <cstdint>

// What the naming rules look at, taken from the version record, the system
// information, the server-release metric and the WOW64 test.
struct WindowsFacts {
    uint32_t majorVersion = 0;
    uint32_t minorVersion = 0;
    uint32_t platformId = 0;
    const char* servicePack = "";   // may be null
    uint16_t suiteMask = 0;
    uint8_t productType = 0;
    uint16_t processorArchitecture = 0;
    bool serverR2 = false;
    bool sixtyFourBit = false;      // the process sees 64-bit Windows
};

constexpr std::size_t kWindowsTextSize = 260;

constexpr uint32_t kPlatformWin32Nt = 2;
constexpr uint8_t kProductWorkstation = 1;
constexpr uint16_t kArchitectureAmd64 = 9;
constexpr uint16_t kSuiteEnterprise = 0x0002;
constexpr uint16_t kSuiteDatacenter = 0x0080;
constexpr uint16_t kSuitePersonal = 0x0200;
constexpr uint16_t kSuiteStorageServer = 0x2000;
constexpr uint16_t kSuiteHomeServer = 0x8000;

// Gives the display name ("Microsoft Windows 7 Service Pack 1") and the word
// width ("32-bit" or "64-bit"; empty for pre-NT and NT 4 and older).
void NameWindows(const WindowsFacts& facts,
                 char (&name)[kWindowsTextSize],
                 char (&wordWidth)[kWindowsTextSize]);
