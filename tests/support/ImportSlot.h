#pragma once

#include <windows.h>

#include <cstring>

// Points module's import of the function called name (from any library) at replacement, so a
// host or test program can watch or fail a platform call the module makes.
template <typename Function>
void ReplaceImport(HMODULE module, const char* name, Function* replacement)
{
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const DWORD imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* import = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports);
         import->Name != 0; ++import) {
        auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        for (std::size_t at = 0; names[at].u1.AddressOfData != 0; ++at) {
            if (IMAGE_SNAP_BY_ORDINAL(names[at].u1.Ordinal))
                continue;
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names[at].u1.AddressOfData);
            if (std::strcmp(byName->Name, name) != 0)
                continue;
            ULONG_PTR& slot = slots[at].u1.Function;
            DWORD old = 0;
            VirtualProtect(&slot, sizeof slot, PAGE_READWRITE, &old);
            slot = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slot, sizeof slot, old, &old);
        }
    }
}
