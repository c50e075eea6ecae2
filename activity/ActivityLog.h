#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>

constexpr std::size_t kActivityPathSize = 261;

// Adds one run of (code, category) to the current month's log file, creating
// the file with the system inventory first. Fails silently; the machine-wide
// "DisableActivityLog" switch turns it off.
void LogActivity(uint32_t code, uint32_t category);

// Full path of the current month's log file; writes the inventory into it
// when the file does not exist. Empty when no usable path can be made.
void GetActivityLogPath(char (&path)[kActivityPathSize]);

// The same two at a given moment, converted to the local calendar date;
// the calls above pass the current time.
void LogActivityAt(uint32_t code, uint32_t category, __time64_t now);
void GetActivityLogPathAt(__time64_t now, char (&path)[kActivityPathSize]);
