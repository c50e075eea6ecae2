// The test host's inventory command:
//   inventory MODE PATH    the inventory into PATH; MODE "failing" fails every query it can,
//                          "blanks" names the display adapter " \t ab", any other changes nothing
#include "activity/SystemInventory.h"
#include "tests/support/ImportSlot.h"

#include <windows.h>

#include <cstring>
#include <string>

namespace {

BOOL WINAPI Fail1(void*) { return FALSE; }
// A failed query's record may hold anything.
BOOL WINAPI FailFilled(MEMORYSTATUSEX* status) { return status->ullTotalPhys = 1ull << 40, FALSE; }
BOOL WINAPI Fail3(const char*, DWORD, void*) { return FALSE; }
BOOL WINAPI Fail4(const char*, DWORD, void*, DWORD) { return FALSE; }
BOOL WINAPI BlankAdapter(const char*, DWORD index, DISPLAY_DEVICEA* device, DWORD)
{
    return index == 0 && std::strcpy(device->DeviceString, " \t ab") != nullptr;
}
FARPROC(WINAPI* g_getProcAddress)(HMODULE, LPCSTR) = &GetProcAddress;
FARPROC WINAPI NoProcessorInfo(HMODULE module, LPCSTR name)
{
    return std::strcmp(name, "GetLogicalProcessorInformation") == 0 ? nullptr : g_getProcAddress(module, name);
}

} // namespace

// Run in a test host process of its own, so tests can run several at once.
bool ActivityCommand(int argc, char** argv, int& i)
{
    if (std::strcmp(argv[i], "inventory") != 0 || i + 2 >= argc) return false;
    const std::string mode = argv[++i];
    const HMODULE self = GetModuleHandleA(nullptr);
    if (mode == "blanks") {
        ReplaceImport(self, "EnumDisplayDevicesA", reinterpret_cast<const void*>(&BlankAdapter));
    } else if (mode == "failing") {
        ReplaceImport(self, "GetVersionExA", reinterpret_cast<const void*>(&Fail1));
        ReplaceImport(self, "GlobalMemoryStatusEx", reinterpret_cast<const void*>(&FailFilled));
        ReplaceImport(self, "EnumDisplaySettingsA", reinterpret_cast<const void*>(&Fail3));
        ReplaceImport(self, "EnumDisplayDevicesA", reinterpret_cast<const void*>(&Fail4));
        ReplaceImport(self, "GetLocaleInfoA", reinterpret_cast<const void*>(&Fail4));
        ReplaceImport(self, "GetProcAddress", reinterpret_cast<const void*>(&NoProcessorInfo));
    }
    WriteSystemInventory(argv[++i]);
    return true;
}
