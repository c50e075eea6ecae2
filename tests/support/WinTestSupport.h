#pragma once

// Helpers for tests that arrange real Windows state under wine.

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

namespace test {

constexpr const char* kProductKey = "Software\\VORANDA\\BRAMOK\\11.3";
constexpr const char* kBrowserKey = "http\\shell\\open\\command";
const std::string kLogFolder = "C:\\ProgramData\\BRAMOK\\11.3";
const std::string kSettingsFolder = "C:\\ProgramData\\VORANDA\\UpdateService";
const std::string kSettings = kSettingsFolder + "\\Settings.ini";

std::string ReadFileText(const std::string& path);
bool WriteFileText(const std::string& path, const std::string& text);
std::vector<std::string> ListFiles(const std::string& folder);
inline void RemoveTree(const std::string& folder)
{
    std::error_code error;
    std::filesystem::remove_all(folder, error);
}
// An empty folder, with the folders above it made as needed.
void FreshFolder(const std::string& folder);
// Folder of the running test executable, with a trailing backslash.
std::string ExecutableFolder();
std::string ProfileString(const std::string& path, const char* section, const char* key);
// The month's only activity log file, or "" when there is not exactly one.
std::string OnlyLog();
// No product key, log or settings folder left from another test; empty folders made anew.
void CleanMachine();

// A raw registry value (the key is made as needed); Delete removes one, or the key for a null name.
inline void SetValue(HKEY root, const char* key, const char* name, const std::string& bytes,
                     DWORD type = REG_SZ)
{
    RegSetKeyValueA(root, key, name, type, bytes.data(), static_cast<DWORD>(bytes.size()));
}
inline void DeleteValue(HKEY root, const char* key, const char* name)
{
    name != nullptr ? RegDeleteKeyValueA(root, key, name) : RegDeleteKeyA(root, key);
}
// The language value's bytes as stored, "<type N>" appended unless REG_SZ; "<none>" when missing.
std::string StoredLanguage();
inline void SetLanguage(const std::string& bytes, DWORD type = REG_SZ)
{
    SetValue(HKEY_CURRENT_USER, kProductKey, "Language", bytes, type);
}
// The stand-in browser as the "http" command, recording into record.
void UseRecordingBrowser(const std::string& record);
// The record's lines once count arrived (or timeoutMs passed).
std::vector<std::string> RecordLines(const std::string& record, std::size_t count,
                                     DWORD timeoutMs = 5000);

// A process started with standard output and error going to a file of its own.
class Process {
public:
    explicit Process(const std::string& commandLine);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    DWORD Id() const { return m_info.dwProcessId; }
    DWORD ExitCode() const
    { DWORD code = 0; return GetExitCodeProcess(m_info.hProcess, &code), code; }
    // Its output without '\r' once it ends or timeoutMs pass.
    std::string Finish(DWORD timeoutMs);

private:
    PROCESS_INFORMATION m_info = {};
    HANDLE m_output = INVALID_HANDLE_VALUE;
};
inline std::string RunProcess(const std::string& commandLine, DWORD timeoutMs)
{
    return Process(commandLine).Finish(timeoutMs);
}

// A visible top-level window of the process holding a child with controlId (0xFFFF: a
// message box); null when none shows up within timeoutMs.
HWND FindWindowWithControl(DWORD processId, int controlId, DWORD timeoutMs);
std::string WindowText(HWND window);
// The text of the process's next message box, which is then closed; "<none>" if none shows.
std::string TakeMessageBox(DWORD processId, DWORD timeoutMs = 20000);

// This process's kernel handles, GDI objects and cursors, found by trying every handle value
// (wine takes a GDI or user handle by its low word alone): wine answers GetGuiResources and
// GetProcessHandleCount with 0.
struct Holdings {
    int handles = 0, gdi = 0, cursors = 0;
};
Holdings CountHoldings();

// A throw-away deployment of host, framework and support module in a folder of its own.
class Deployment {
public:
    explicit Deployment(const std::string& name);
    ~Deployment() { RemoveTree(m_folder); }
    Deployment(const Deployment&) = delete;
    Deployment& operator=(const Deployment&) = delete;
    const std::string& Folder() const { return m_folder; }
    std::string Host() const { return "\"" + m_folder + "\\TestHost.exe\" "; }
    void AddLanguage(const std::string& code) const
    {
        AddFolder(code);
        CopyFileA((ExecutableFolder() + code + "\\BRMSUPP.DLL").c_str(),
                  (m_folder + "\\" + code + "\\BRMSUPP.DLL").c_str(), FALSE);
    }
    void AddFolder(const std::string& name) const
    {
        CreateDirectoryA((m_folder + "\\" + name).c_str(), nullptr);
    }
    void AddFile(const std::string& name) const { WriteFileText(m_folder + "\\" + name, "x"); }
    // The host's output for the arguments; a start wine lost under load is tried once more.
    std::string Run(const std::string& arguments) const;

private:
    std::string m_folder;
};

// The host's "state" line: the resource handle's module, wait cursor count, loaded modules.
inline std::string State(const std::string& resource, const std::string& loaded, int wait = 0)
{
    return "state resource=" + resource + " wait=" + std::to_string(wait) + " loaded=" + loaded +
           "\n";
}

// The test update service "VORANDA Update" for the object's life, recording each check-now
// into record; slow makes it answer later than the service manager waits.
class TestService {
public:
    TestService(const std::string& record, const std::string& settings,
                const std::string& section, bool slow);
    ~TestService() { Remove(); }
    bool Start();
    static void Remove();   // also one left by an earlier run
};

// Presses key where control has the focus, as the user's keyboard would reach the dialog's
// loop; then waits (for a key that moves the focus) until the focus has left control.
inline HWND Press(HWND dialog, int id, UINT key, bool moves = true)
{
    HWND control = GetDlgItem(dialog, id);
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    const DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
    if (GetGUIThreadInfo(thread, &info) && info.hwndFocus != control)
        SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    PostMessageA(control, WM_KEYDOWN, key, 1);
    PostMessageA(control, WM_KEYUP, key, 0xC0000001);
    for (int waited = 0; moves && waited < 5000; waited += 20, Sleep(20))
        if (GetGUIThreadInfo(thread, &info) && info.hwndFocus != control)
            return info.hwndFocus;
    return nullptr;
}

} // namespace test
