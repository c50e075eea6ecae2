#include "host/SupportModule.h"

#include <cstdio>
#include <cstring>

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
    startup = BRMSUPP_BIND(module, ModuleStartup);
    shutdown = BRMSUPP_BIND(module, ModuleShutdown);
    loadLanguage = BRMSUPP_BIND(module, LoadLanguageModule);
    versionDate = BRMSUPP_BIND(module, GetVersionDate);
    showUpdates = BRMSUPP_BIND(module, ShowSoftwareUpdates);
    openPage = BRMSUPP_BIND(module, OpenPage);
    return startup != nullptr && shutdown != nullptr && loadLanguage != nullptr &&
           versionDate != nullptr && showUpdates != nullptr && openPage != nullptr;
}
