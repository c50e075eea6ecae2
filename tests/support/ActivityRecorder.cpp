// Test helper, a process of its own so tests can run several at once:
//   ActivityRecorder                  25 runs of code 77, category 5
//   ActivityRecorder PATH [failing]   the inventory into PATH; "failing" fails every query it can,
//                                     "blanks" names the display adapter " \t ab"
#include "activity/ActivityLog.h"
#include "activity/SystemInventory.h"
#include "tests/support/ImportSlot.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

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
    return std::strcmp(name, "GetLogicalProcessorInformation") == 0
               ? nullptr : g_getProcAddress(module, name);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 1) {
        for (int i = 0; i < 25; ++i)
            LogActivity(77, 5);
        std::puts("recorded 25");
        return 0;
    }
    const HMODULE self = GetModuleHandleA(nullptr);
    if (argc == 3 && std::strcmp(argv[2], "blanks") == 0) {
        ReplaceImport(self, "EnumDisplayDevicesA", reinterpret_cast<const void*>(&BlankAdapter));
    } else if (argc == 3) {
        ReplaceImport(self, "GetVersionExA", reinterpret_cast<const void*>(&Fail1));
        ReplaceImport(self, "GlobalMemoryStatusEx", reinterpret_cast<const void*>(&FailFilled));
        ReplaceImport(self, "EnumDisplaySettingsA", reinterpret_cast<const void*>(&Fail3));
        ReplaceImport(self, "EnumDisplayDevicesA", reinterpret_cast<const void*>(&Fail4));
        ReplaceImport(self, "GetProcAddress", reinterpret_cast<const void*>(&NoProcessorInfo));
    }
    WriteSystemInventory(argv[1]);
    return 0;
}
