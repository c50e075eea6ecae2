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

// A process started with its output captured, for tests that drive its
// windows while it runs.
class RunningProcess {
public:
    explicit RunningProcess(const std::string& commandLine);
    ~RunningProcess();
    RunningProcess(const RunningProcess&) = delete;
    RunningProcess& operator=(const RunningProcess&) = delete;

    bool Started() const { return m_process != nullptr; }
    DWORD Id() const { return m_id; }
    // Waits for the end (killing it after timeoutMs) and gives its output.
    std::string Finish(DWORD timeoutMs);

private:
    HANDLE m_process = nullptr;
    HANDLE m_output = nullptr;
    DWORD m_id = 0;
};

// A visible top-level window of process id holding a child with controlId;
// null when none shows up within timeoutMs.
HWND FindWindowWithControl(DWORD processId, int controlId, DWORD timeoutMs);
// A message box (a dialog with the static 0xFFFF) of that process.
HWND FindMessageBox(DWORD processId, DWORD timeoutMs);
std::string WindowText(HWND window);

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
