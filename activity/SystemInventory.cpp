#include "activity/SystemInventory.h"

#include "activity/CpuBrand.h"
#include "activity/TextBlanks.h"
#include "activity/UserLocale.h"

#include <windows.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

static_assert(sizeof(ProcessorRecord) == sizeof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION),
              "processor record layout");
static_assert(offsetof(ProcessorRecord, relationship) ==
                  offsetof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION, Relationship),
              "processor record layout");

namespace {

constexpr const char* kSection = "System";
constexpr std::size_t kValueSize = 260;
constexpr UINT kProductMajor = 11;
constexpr UINT kProductMinor = 3;

using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
using GetLogicalProcessorInformationFn =
    BOOL(WINAPI*)(PSYSTEM_LOGICAL_PROCESSOR_INFORMATION, PDWORD);

// Looks a kernel32 function up at run time, so the module loads on systems
// that lack it.
template <typename Fn>
Fn FindKernelFunction(const char* name)
{
    HMODULE kernel = GetModuleHandleA("kernel32");
    if (kernel == nullptr)
        return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(kernel, name)));
}

void WriteValue(const char* path, const char* key, const char* value)
{
    WritePrivateProfileStringA(kSection, key, value, path);
}

void WriteNumber(const char* path, const char* key, unsigned long value)
{
    char text[kValueSize];
    std::snprintf(text, sizeof text, "%lu", value);
    WriteValue(path, key, text);
}

void WriteCpuBrand(const char* path)
{
    char brand[kCpuBrandSize];
    if (!ReadCpuBrand(brand))
        return;
    WriteValue(path, "CPU", brand);
}

void WriteMemory(const char* path)
{
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status))
        return;
    const auto mebibytes = static_cast<unsigned long>((status.ullTotalPhys >> 20) & 0xFFFFFFFFu);
    if (mebibytes != 0)
        WriteNumber(path, "RAM", mebibytes);
}

void WriteDisplays(const char* path)
{
    DISPLAY_DEVICEA device = {};
    device.cb = sizeof device;
    const bool haveDevice = EnumDisplayDevicesA(nullptr, 0, &device, 0) != FALSE;
    if (haveDevice) {
        char adapter[sizeof device.DeviceString + 1] = "";
        std::memcpy(adapter, device.DeviceString, sizeof device.DeviceString);
        StripLeadingBlanks(adapter);
        WriteValue(path, "Display Adapter", adapter);
    }

    // The mode is asked for even without a device, with an empty name.
    char deviceName[sizeof device.DeviceName + 1] = "";
    if (haveDevice)
        std::memcpy(deviceName, device.DeviceName, sizeof device.DeviceName);
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    if (EnumDisplaySettingsA(deviceName, ENUM_CURRENT_SETTINGS, &mode)) {
        WriteNumber(path, "Display Width", mode.dmPelsWidth);
        WriteNumber(path, "Display Height", mode.dmPelsHeight);
    }

    unsigned long attached = 0;
    for (DWORD index = 0;; ++index) {
        DISPLAY_DEVICEA each = {};
        each.cb = sizeof each;
        if (!EnumDisplayDevicesA(nullptr, index, &each, 0))
            break;
        if ((each.StateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP) != 0)
            ++attached;
    }
    if (attached > 0)
        WriteNumber(path, "Display Count", attached);
}

} // namespace

bool RunsUnderWow64()
{
    const auto isWow64Process = FindKernelFunction<IsWow64ProcessFn>("IsWow64Process");
    BOOL wow64 = FALSE;
    if (isWow64Process == nullptr || !isWow64Process(GetCurrentProcess(), &wow64))
        return false;
    return wow64 != FALSE;
}

void DescribeWindows(char (&name)[kWindowsTextSize], char (&wordWidth)[kWindowsTextSize])
{
    name[0] = '\0';
    wordWidth[0] = '\0';

    OSVERSIONINFOEXA version = {};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&version)))
        return;
#pragma GCC diagnostic pop
    SYSTEM_INFO system = {};
    GetSystemInfo(&system);

    char servicePack[sizeof version.szCSDVersion + 1] = "";
    std::memcpy(servicePack, version.szCSDVersion, sizeof version.szCSDVersion);

    WindowsFacts facts;
    facts.majorVersion = version.dwMajorVersion;
    facts.minorVersion = version.dwMinorVersion;
    facts.platformId = version.dwPlatformId;
    facts.servicePack = servicePack;
    facts.suiteMask = version.wSuiteMask;
    facts.productType = version.wProductType;
    facts.processorArchitecture = system.wProcessorArchitecture;
    facts.serverR2 = GetSystemMetrics(SM_SERVERR2) != 0;
    // A 64-bit build of this code runs on 64-bit Windows by definition.
    facts.sixtyFourBit = sizeof(void*) == 8 || RunsUnderWow64();
    NameWindows(facts, name, wordWidth);
}

void CountProcessors(uint32_t& packages, uint32_t& cores, uint32_t& logical)
{
    packages = cores = logical = 0;
    const auto query = FindKernelFunction<GetLogicalProcessorInformationFn>(
        "GetLogicalProcessorInformation");
    if (query == nullptr)
        return;

    SYSTEM_LOGICAL_PROCESSOR_INFORMATION* buffer = nullptr;
    DWORD length = 0;
    while (!query(buffer, &length)) {
        const DWORD error = GetLastError();
        std::free(buffer);
        buffer = nullptr;
        if (error != ERROR_INSUFFICIENT_BUFFER || length == 0)
            return;
        buffer = static_cast<SYSTEM_LOGICAL_PROCESSOR_INFORMATION*>(std::malloc(length));
        if (buffer == nullptr)
            return;
    }
    if (buffer == nullptr)
        return;
    const ProcessorCounts counts =
        TallyProcessorRecords(reinterpret_cast<const ProcessorRecord*>(buffer), length);
    std::free(buffer);
    packages = counts.packages;
    cores = counts.cores;
    logical = counts.logical;
}

void WriteSystemInventory(const char* path)
{
    if (path == nullptr || path[0] == '\0')
        return;

    char text[kValueSize];
    std::snprintf(text, sizeof text, "%u.%u", kProductMajor, kProductMinor);
    WriteValue(path, "Version", text);

    char name[kWindowsTextSize];
    char wordWidth[kWindowsTextSize];
    DescribeWindows(name, wordWidth);
    if (name[0] != '\0')
        WriteValue(path, "OS", name);
    if (wordWidth[0] != '\0')
        WriteValue(path, "Architecture", wordWidth);

    char locale[kLocaleNameSize];
    GetUserLocaleName(locale);
    WriteValue(path, "Locale", locale);

    WriteCpuBrand(path);

    uint32_t packages = 0, cores = 0, logical = 0;
    CountProcessors(packages, cores, logical);
    if (packages != 0)
        WriteNumber(path, "Physical CPUs", packages);
    if (cores != 0)
        WriteNumber(path, "CPU Cores", cores);
    if (logical != 0)
        WriteNumber(path, "Logical CPUs", logical);

    WriteMemory(path);
    WriteDisplays(path);
}
