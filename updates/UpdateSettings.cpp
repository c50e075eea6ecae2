#include "updates/UpdateSettings.h"

#include "language/RegistryKey.h"
#include "updates/SettingsValues.h"

#include <shlobj.h>
#include <windows.h>

#include <cwchar>
#include <string>

namespace {

constexpr const wchar_t* kSettingsFile = L"\\VORANDA\\UpdateService\\Settings.ini";
constexpr const wchar_t* kGeneralSection = L"General";
constexpr DWORD kValueRoom = 50;
constexpr DWORD kLanguageRoom = 10;

bool Usable(const wchar_t* path, const wchar_t* section)
{
    return path != nullptr && path[0] != L'\0' && section != nullptr && section[0] != L'\0';
}

} // namespace

void SettingsFilePath(wchar_t (&path)[kSettingsTextSize])
{
    path[0] = L'\0';
    wchar_t folder[MAX_PATH] = L"";
    if (SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder) != 0)
        return;
    const int written = std::swprintf(path, kSettingsTextSize, L"%ls%ls", folder, kSettingsFile);
    if (written < 0 || static_cast<std::size_t>(written) >= kSettingsTextSize)
        path[0] = L'\0';
}

void EditionSectionName(wchar_t (&section)[kSettingsTextSize])
{
    // One byte more than the room, so whatever the query leaves is ended.
    char code[kLanguageRoom + 1] = "";
    {
        CRegistryKey key;
        if (key.Open("Software\\VORANDA\\BRAMOK\\11.3", false)) {
            DWORD size = kLanguageRoom;
            // A value longer than the room matches no code.
            if (RegQueryValueExA(key.m_hKey, "Language", nullptr, nullptr,
                                 reinterpret_cast<BYTE*>(code), &size) != ERROR_SUCCESS)
                code[0] = '\0';
            code[kLanguageRoom] = '\0';
        }
    }
    const char* name = EditionSectionFor(code);
    section[0] = L'\0';
    if (MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, name, -1, section, kSettingsTextSize) == 0)
        section[0] = L'\0';
}

void LoadUpdateSettings(const wchar_t* path, const wchar_t* section, UpdateSettings& settings)
{
    if (!Usable(path, section))
        return;
    wchar_t value[kValueRoom] = L"";
    if (GetPrivateProfileStringW(section, L"UpdateMode", L"", value, kValueRoom, path) > 0)
        settings.updateMode = ParseUpdateMode(value, settings.updateMode);
    value[0] = L'\0';
    if (GetPrivateProfileStringW(kGeneralSection, L"BramokUpload", L"", value, kValueRoom, path) > 0)
        settings.productUpload = ParseProductUpload(value, settings.productUpload);
}

bool SaveUpdateSettings(const wchar_t* path, const wchar_t* section, const UpdateSettings& settings)
{
    if (!Usable(path, section))
        return false;
    wchar_t mode[16];
    std::swprintf(mode, 16, L"%d", settings.updateMode);
    const bool modeSaved = WritePrivateProfileStringW(section, L"UpdateMode", mode, path) != FALSE;
    const bool uploadSaved =
        WritePrivateProfileStringW(kGeneralSection, L"BramokUpload",
                                   settings.productUpload ? L"true" : L"false", path) != FALSE;
    const bool checkSaved = WritePrivateProfileStringW(section, L"Check", L"false", path) != FALSE;
    return modeSaved && uploadSaved && checkSaved;
}

bool SettingsFolderExists(const wchar_t* path)
{
    if (path == nullptr)
        return false;
    const wchar_t* lastSlash = std::wcsrchr(path, L'\\');
    if (lastSlash == nullptr)
        return false;
    const std::wstring folder(path, static_cast<std::size_t>(lastSlash - path));
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void MarkCheckRequested(const wchar_t* path, const wchar_t* section)
{
    if (Usable(path, section))
        WritePrivateProfileStringW(section, L"Check", L"true", path);
}
