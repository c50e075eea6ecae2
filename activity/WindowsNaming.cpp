#include "activity/WindowsNaming.h"

#include <cstdio>
#include <cstring>

namespace {

// Appends as much of text as fits, always leaving the buffer terminated.
void Append(char (&buffer)[kWindowsTextSize], const char* text)
{
    const std::size_t used = std::strlen(buffer);
    std::snprintf(buffer + used, kWindowsTextSize - used, "%s", text);
}

bool HasSuite(const WindowsFacts& facts, uint16_t suite)
{
    return (facts.suiteMask & suite) != 0;
}

const char* ProductText(const WindowsFacts& facts)
{
    const bool workstation = facts.productType == kProductWorkstation;
    const uint32_t major = facts.majorVersion;
    const uint32_t minor = facts.minorVersion;

    if (major == 6 && minor == 0)
        return workstation ? "Windows Vista" : "Windows Server 2008";
    if (major == 6 && minor == 1)
        return workstation ? "Windows 7" : "Windows Server 2008 R2";
    if (major == 6 && minor == 2)
        return workstation ? "Windows 8" : "Windows Server 2012";
    if (major == 6 && minor == 3)
        return workstation ? "Windows 8.1" : "Windows Server 2012 R2";
    if (major == 5 && minor == 2) {
        if (facts.serverR2)
            return "Windows Server 2003 R2";
        if (HasSuite(facts, kSuiteStorageServer))
            return "Windows Storage Server 2003";
        if (HasSuite(facts, kSuiteHomeServer))
            return "Windows Home Server";
        if (workstation && facts.processorArchitecture == kArchitectureAmd64)
            return "Windows XP Professional x64 Edition";
        return "Windows Server 2003, ";
    }
    if (major == 5 && minor == 1)
        return HasSuite(facts, kSuitePersonal) ? "Windows XP Home Edition"
                                               : "Windows XP Professional";
    if (major == 5 && minor == 0) {
        if (workstation)
            return "Windows 2000 Professional";
        if (HasSuite(facts, kSuiteDatacenter))
            return "Windows 2000 Datacenter Server";
        if (HasSuite(facts, kSuiteEnterprise))
            return "Windows 2000 Advanced Server";
        return "Windows 2000 Server";
    }
    return "";
}

} // namespace

void NameWindows(const WindowsFacts& facts,
                 char (&name)[kWindowsTextSize],
                 char (&wordWidth)[kWindowsTextSize])
{
    name[0] = '\0';
    wordWidth[0] = '\0';

    if (facts.platformId != kPlatformWin32Nt || facts.majorVersion <= 4) {
        std::snprintf(name, kWindowsTextSize, "Microsoft Windows %u.%u",
                      static_cast<unsigned>(facts.majorVersion),
                      static_cast<unsigned>(facts.minorVersion));
        return;
    }

    Append(name, "Microsoft ");
    Append(name, ProductText(facts));
    if (facts.servicePack != nullptr && facts.servicePack[0] != '\0') {
        Append(name, " ");
        Append(name, facts.servicePack);
    }
    Append(wordWidth, facts.sixtyFourBit ? "64-bit" : "32-bit");
}
