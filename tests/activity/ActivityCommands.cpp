// The test host's inventory command:
//   inventory MODE PATH    the inventory into PATH; MODE "failing" fails every query it can,
//                          "unusual" gives facts wine cannot arrange: an adapter named " \t ab",
//                          three displays of which the second is not attached to the desktop,
//                          a user locale with no ANSI code page; any other changes nothing
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
BOOL WINAPI UnusualDisplays(const char*, DWORD index, DISPLAY_DEVICEA* device, DWORD)
{
    const DWORD flags[] = {DISPLAY_DEVICE_ATTACHED_TO_DESKTOP | DISPLAY_DEVICE_PRIMARY_DEVICE, 0,
                           DISPLAY_DEVICE_ATTACHED_TO_DESKTOP};
    if (index >= 3) {
        return FALSE;
    }
    std::strcpy(device->DeviceString, index == 0 ? " \t ab" : "other");
    device->StateFlags = flags[index];
    return TRUE;
}
int WINAPI NoAnsiCodePage(LCID locale, LCTYPE type, char* text, int size)
{
    if (type != LOCALE_IDEFAULTANSICODEPAGE) {
        // Not through the import, which now leads back here.
        using Query = int(WINAPI*)(LCID, LCTYPE, LPSTR, int);
        const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetLocaleInfoA")));
        return query(locale, type, text, size);
    }
    std::strcpy(text, "0");
    return 2;
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
    if (mode == "unusual") {
        ReplaceImport(self, "EnumDisplayDevicesA", reinterpret_cast<const void*>(&UnusualDisplays));
        ReplaceImport(self, "GetLocaleInfoA", reinterpret_cast<const void*>(&NoAnsiCodePage));
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
