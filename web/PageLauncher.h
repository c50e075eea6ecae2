#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

constexpr std::size_t LOCAL_PAGE_PATH_MAX = 310;

// The default browser's command with its placeholders cut off; false when
// it cannot be read.
bool ReadBrowserCommand(std::string& command);

// The local page beside the host executable, short form when the file
// exists. False (path empty) for a null or over-long sub-folder.
bool BuildLocalPagePath(unsigned char pageKind, const char* subFolder,
                        char (&path)[LOCAL_PAGE_PATH_MAX]);

// Beeps and shows string 42 with a stop icon; nothing when it is missing.
void ReportBrowserFailure();

// OpenPage (declared in module/BRMSUPP.h) takes only the low 8 bits of the
// kind; other kinds are refused silently.
