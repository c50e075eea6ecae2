#pragma once

#include "activity/ProcessorCount.h"
#include "activity/WindowsNaming.h"

// Windows display name and word width of the running system; both empty
// when the version cannot be queried.
void DescribeWindows(char (&name)[kWindowsTextSize], char (&wordWidth)[kWindowsTextSize]);

// True when this 32-bit process runs on 64-bit Windows.
bool RunsUnderWow64();

// Packages, cores and logical processors, each set to 0 first and left
// there when the system cannot say.
void CountProcessors(uint32_t& packages, uint32_t& cores, uint32_t& logical);

// Writes the section "System" of the activity log file at path, one key per
// item that could be gathered. Never creates the folder.
void WriteSystemInventory(const char* path);
