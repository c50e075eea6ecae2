// Test helper: records runs or writes an inventory in a process of its own, so tests can run
// several at once, under another Windows version, or with every platform query that may fail
// failing (its imports replaced; the processor function then cannot be found).
//   ActivityRecorder                   25 runs of code 77, category 5
//   ActivityRecorder PATH [failing]    the inventory into PATH
#include "activity/ActivityLog.h"
#include "activity/SystemInventory.h"

#include <windows.h>

#include <cstring>

namespace {

BOOL WINAPI Fail1(void*) { return FALSE; }
// A failed query's record may hold anything.
BOOL WINAPI FailFilled(MEMORYSTATUSEX* status) { return status->ullTotalPhys = 1ull << 40, FALSE; }
BOOL WINAPI Fail3(const char*, DWORD, void*) { return FALSE; }
BOOL WINAPI Fail4(const char*, DWORD, void*, DWORD) { return FALSE; }
FARPROC(WINAPI* g_getProcAddress)(HMODULE, LPCSTR) = &GetProcAddress;
FARPROC WINAPI NoProcessorInfo(HMODULE module, LPCSTR name)
{
    return std::strcmp(name, "GetLogicalProcessorInformation") == 0 ? nullptr : g_getProcAddress(module, name);
}

// Points this program's import of name at replacement.
void Replace(const char* name, const void* replacement)
{
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(
        base + nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
    for (; import->Name != 0; ++import) {
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots)
            if (!IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal) &&
                std::strcmp(reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name, name) == 0) {
                DWORD old = 0;
                VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
                slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            }
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 1) {
        for (int i = 0; i < 25; ++i)
            LogActivity(77, 5);
        return 0;
    }
    if (argc == 3) {
        Replace("GetVersionExA", reinterpret_cast<const void*>(&Fail1));
        Replace("GlobalMemoryStatusEx", reinterpret_cast<const void*>(&FailFilled));
        Replace("EnumDisplaySettingsA", reinterpret_cast<const void*>(&Fail3));
        Replace("EnumDisplayDevicesA", reinterpret_cast<const void*>(&Fail4));
        Replace("GetProcAddress", reinterpret_cast<const void*>(&NoProcessorInfo));
    }
    WriteSystemInventory(argv[1]);
    return 0;
}
