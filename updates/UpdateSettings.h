#pragma once

#include <cstddef>

constexpr std::size_t kSettingsTextSize = 260;

struct UpdateSettings {
    int updateMode = 1;
    bool productUpload = true;
};

// Wide path of the update service's Settings.ini under the common
// application-data folder; empty when the folder is unknown or the path
// would not fit.
void SettingsFilePath(wchar_t (&path)[kSettingsTextSize]);

// The edition section chosen by the product key's "Language".
void EditionSectionName(wchar_t (&section)[kSettingsTextSize]);

// Overwrites the fields the file supplies. Nothing happens with an empty
// path or section.
void LoadUpdateSettings(const wchar_t* path, const wchar_t* section, UpdateSettings& settings);

// Writes "UpdateMode", "BramokUpload" and "Check" = "false", each on its
// own. True when all three writes took effect.
bool SaveUpdateSettings(const wchar_t* path, const wchar_t* section, const UpdateSettings& settings);

// Whether the folder that should hold the file at path exists: false for an
// empty path, and when the update service is not installed.
bool SettingsFolderExists(const wchar_t* path);

// Writes "Check" = "true", before the service is asked.
void MarkCheckRequested(const wchar_t* path, const wchar_t* section);
