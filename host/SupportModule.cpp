#include "host/SupportModule.h"

#include "module/ModuleExports.h"

#include <cstdio>
#include <cstring>

namespace {

template <typename Fn>
Fn Bind(HMODULE module, WORD ordinal)
{
    return reinterpret_cast<Fn>(
        reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(ordinal))));
}

} // namespace

bool SupportModule::Load(const char* folder)
{
    char path[MAX_PATH] = "";
    if (folder != nullptr) {
        const int written = std::snprintf(path, sizeof path, "%s\\BRMSUPP.dll", folder);
        if (written < 0 || written >= static_cast<int>(sizeof path))
            return false;
    } else {
        const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
        char* slash = length > 0 && length < MAX_PATH ? std::strrchr(path, '\\') : nullptr;
        if (slash == nullptr ||
            static_cast<std::size_t>(slash - path) + sizeof "BRMSUPP.dll" >= MAX_PATH)
            return false;
        std::memcpy(slash + 1, "BRMSUPP.dll", sizeof "BRMSUPP.dll");
    }
    module = LoadLibraryA(path);
    if (module == nullptr)
        return false;
    startup = Bind<StartupFn>(module, kOrdinalModuleStartup);
    shutdown = Bind<ShutdownFn>(module, kOrdinalModuleShutdown);
    loadLanguage = Bind<LoadLanguageFn>(module, kOrdinalLoadLanguageModule);
    versionDate = Bind<VersionDateFn>(module, kOrdinalGetVersionDate);
    showUpdates = Bind<ShowUpdatesFn>(module, kOrdinalShowSoftwareUpdates);
    openPage = Bind<OpenPageFn>(module, kOrdinalOpenPage);
    return startup != nullptr && shutdown != nullptr && loadLanguage != nullptr &&
           versionDate != nullptr && showUpdates != nullptr && openPage != nullptr;
}
