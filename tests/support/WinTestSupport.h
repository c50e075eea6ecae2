#pragma once

// Helpers for tests that arrange real Windows state under wine.

#include <windows.h>

#include <string>
#include <vector>

namespace test {

std::string ReadFileText(const std::string& path);
bool WriteFileText(const std::string& path, const std::string& text);
bool FileExists(const std::string& path);
std::vector<std::string> ListFiles(const std::string& folder);

// A Unix path as wine's drive Z: shows it.
std::string FromUnixPath(const std::string& unixPath);
std::string Environment(const char* name);

// The folder the test support leaves its facts in (screen size and such).
std::string TestFactsFolder();

// Folder of the running test executable, with a trailing backslash.
std::string ExecutableFolder();

// Runs a command line and waits up to timeoutMs; the exit code, or -1 when
// it could not start or did not finish in time (then it is killed).
int RunProcess(const std::string& commandLine, DWORD timeoutMs);

// Runs a command line, waiting up to timeoutMs, and gives what it wrote to
// standard output and error; exitCode is -1 when it did not finish.
std::string RunProcessOutput(const std::string& commandLine, DWORD timeoutMs, int* exitCode = nullptr);

// Copies a file, creating no folders; false on failure.
bool CopyFileTo(const std::string& from, const std::string& to);

// Removes a folder tree.
void RemoveTree(const std::string& folder);

// Value of a private-profile key, or fallback.
std::string ProfileString(const std::string& path, const char* section, const char* key,
                          const char* fallback = "<none>");

// Count of non-overlapping occurrences.
int CountOf(const std::string& text, const std::string& part);

} // namespace test
