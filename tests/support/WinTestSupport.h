#pragma once

// Helpers for tests that arrange real Windows state under wine.

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace test {

constexpr const char* kProductKey = "Software\\VORANDA\\BRAMOK\\11.3";
constexpr const char* kBrowserKey = "http\\shell\\open\\command";
const std::string kLogFolder = "C:\\ProgramData\\BRAMOK\\11.3";
const std::string kSettingsFolder = "C:\\ProgramData\\VORANDA\\UpdateService";
const std::string kSettings = kSettingsFolder + "\\Settings.ini";

inline std::string ReadFileText(const std::string& path)
{ std::ostringstream text; text << std::ifstream(path, std::ios::binary).rdbuf(); return text.str(); }

inline bool WriteFileText(const std::string& path, const std::string& text)
{ return static_cast<bool>(std::ofstream(path, std::ios::binary | std::ios::trunc) << text); }

inline std::vector<std::string> ListFiles(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
    return names;
}

inline void RemoveTree(const std::string& folder)
{ std::error_code error; std::filesystem::remove_all(folder, error); }
// An empty folder, with the folders above it made as needed.
inline void FreshFolder(const std::string& folder)
{ RemoveTree(folder); std::error_code error; std::filesystem::create_directories(folder, error); }

// Folder of the running program, with a trailing backslash.
inline std::string ExecutableFolder()
{ char path[MAX_PATH] = ""; GetModuleFileNameA(nullptr, path, MAX_PATH); return std::string(path, std::strrchr(path, '\\') + 1); }

inline std::string ProfileString(const std::string& path, const char* section, const char* key)
{ char value[1024] = ""; return GetPrivateProfileStringA(section, key, "<none>", value, sizeof value, path.c_str()), value; }

// The month's only activity log file, or "" when there is not exactly one.
inline std::string OnlyLog()
{ const auto files = ListFiles(kLogFolder); return files.size() == 1 ? kLogFolder + "\\" + files[0] : ""; }

// A raw registry value (the key is made as needed); Delete removes one, or the key for a null name.
inline void SetValue(HKEY root, const char* key, const char* name, const std::string& bytes, DWORD type = REG_SZ)
{ RegSetKeyValueA(root, key, name, type, bytes.data(), static_cast<DWORD>(bytes.size())); }
inline void DeleteValue(HKEY root, const char* key, const char* name)
{ name != nullptr ? RegDeleteKeyValueA(root, key, name) : RegDeleteKeyA(root, key); }

// No product key, log or settings folder left from another test; empty folders made anew.
inline void CleanMachine()
{
    DeleteValue(HKEY_CURRENT_USER, kProductKey, nullptr);
    RemoveTree("C:\\ProgramData\\VORANDA");
    FreshFolder(kLogFolder);
    FreshFolder(kSettingsFolder);
}

// The language value's bytes as stored, "<type N>" appended unless REG_SZ; "<none>" when missing.
inline std::string StoredLanguage()
{
    char data[1024];
    DWORD size = sizeof data, type = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, kProductKey, "Language", RRF_RT_ANY | RRF_NOEXPAND, &type,
                     data, &size) != ERROR_SUCCESS)
        return "<none>";
    return std::string(data, size) + (type == REG_SZ ? "" : "<type " + std::to_string(type) + ">");
}
inline void SetLanguage(const std::string& bytes, DWORD type = REG_SZ)
{ SetValue(HKEY_CURRENT_USER, kProductKey, "Language", bytes, type); }

// The stand-in browser as the "http" command, recording into record.
inline void UseRecordingBrowser(const std::string& record)
{
    SetEnvironmentVariableA("BRM_BROWSER_RECORD", record.c_str());
    DeleteFileA(record.c_str());
    const std::string command = "\"" + ExecutableFolder() + "RecordingBrowser.exe\" \"%1\"";
    SetValue(HKEY_CLASSES_ROOT, kBrowserKey, nullptr, command + '\0');
}

// The record's lines once count arrived (or timeoutMs passed).
inline std::vector<std::string> RecordLines(const std::string& record, std::size_t count, DWORD timeoutMs = 5000)
{
    for (const ULONGLONG end = GetTickCount64() + timeoutMs;; Sleep(50)) {
        std::vector<std::string> lines;
        std::istringstream text(ReadFileText(record));
        for (std::string line; std::getline(text, line) && !text.eof();) lines.push_back(line);
        if (lines.size() >= count || GetTickCount64() > end) return lines;
    }
}

// A process started with standard output and error going to a file of its own: a grandchild
// that inherited it cannot hold up the reader, and a child never blocks on a full pipe.
// Under load wine sometimes loses a start: the new process never gets as far as loading the
// libraries it imports. Such a start is recognised here, and only here, and made again.
class Process {
public:
    explicit Process(const std::string& commandLine) : m_commandLine(commandLine)
    {
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        char folder[MAX_PATH] = "";
        char name[MAX_PATH] = "";
        GetTempPathA(MAX_PATH, folder);
        GetTempFileNameA(folder, "out", 0, name);
        m_output = CreateFileA(name, GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, CREATE_ALWAYS,
                               FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        for (int attempt = 0; attempt < 3 && !Start(); ++attempt) {
            End();
        }
        SetHandleInformation(m_output, HANDLE_FLAG_INHERIT, 0);   // not into later children
    }
    ~Process()
    {
        End();
        CloseHandle(m_output);
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    DWORD Id() const { return m_info.dwProcessId; }
    DWORD ExitCode() const
    {
        DWORD code = 0;
        GetExitCodeProcess(m_info.hProcess, &code);
        return code;
    }
    // Its output without '\r' once it ends or timeoutMs pass (then it is ended).
    std::string Finish(DWORD timeoutMs)
    {
        WaitForSingleObject(m_info.hProcess, timeoutMs);
        TerminateProcess(m_info.hProcess, 1);
        WaitForSingleObject(m_info.hProcess, 5000);
        std::string output;
        char chunk[4096];
        SetFilePointer(m_output, 0, nullptr, FILE_BEGIN);
        for (DWORD got = 0; ReadFile(m_output, chunk, sizeof chunk, &got, nullptr) && got > 0;) {
            output.append(chunk, got);
        }
        output.erase(std::remove(output.begin(), output.end(), '\r'), output.end());
        return output;
    }

private:
    static constexpr DWORD kStartMs = 30000;

    // Starts the process; false when it neither ended nor loaded more than itself and ntdll
    // within kStartMs.
    bool Start()
    {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = m_output;
        startup.hStdError = m_output;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        std::string line = m_commandLine;
        if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                            &startup, &m_info)) {
            m_info = {};
            return true;   // not a lost start: the caller sees no process and no output
        }
        for (const ULONGLONG end = GetTickCount64() + kStartMs; GetTickCount64() <= end;) {
            HMODULE modules[3];
            DWORD size = 0;
            if (WaitForSingleObject(m_info.hProcess, 50) == WAIT_OBJECT_0) {
                return true;
            }
            if (K32EnumProcessModules(m_info.hProcess, modules, sizeof modules, &size) &&
                size >= sizeof modules) {
                return true;
            }
        }
        return false;
    }
    void End()
    {
        TerminateProcess(m_info.hProcess, 1);
        WaitForSingleObject(m_info.hProcess, 5000);
        CloseHandle(m_info.hProcess);
        CloseHandle(m_info.hThread);
        m_info = {};
        SetFilePointer(m_output, 0, nullptr, FILE_BEGIN);
        SetEndOfFile(m_output);
    }

    std::string m_commandLine;
    PROCESS_INFORMATION m_info = {};
    HANDLE m_output = INVALID_HANDLE_VALUE;
};
inline std::string RunProcess(const std::string& commandLine, DWORD timeoutMs)
{
    return Process(commandLine).Finish(timeoutMs);
}

// A visible top-level window of the process holding a child with controlId (0xFFFF: a
// message box); null when none shows up within timeoutMs.
inline HWND FindWindowWithControl(DWORD processId, int controlId, DWORD timeoutMs)
{
    for (const ULONGLONG end = GetTickCount64() + timeoutMs; GetTickCount64() <= end; Sleep(50))
        for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, nullptr, nullptr));) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == processId && IsWindowVisible(window) && GetDlgItem(window, controlId)) return window;
        }
    return nullptr;
}

// WM_GETTEXT reaches the control even in another process.
inline std::string WindowText(HWND window)
{ char text[1024] = ""; return SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text)), text; }

// "CAPTION: TEXT" of the process's next message box, which is then closed; "<none>" if none shows.
inline std::string TakeMessageBox(DWORD processId, DWORD timeoutMs = 20000)
{
    HWND box = FindWindowWithControl(processId, 0xFFFF, timeoutMs);
    if (box == nullptr) return "<none>";
    const std::string text = WindowText(box) + ": " + WindowText(GetDlgItem(box, 0xFFFF));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    return text;
}

// This process's kernel handles, GDI objects and cursors, found by trying every handle value
// (wine takes a GDI or user handle by its low word alone): wine answers GetGuiResources and
// GetProcessHandleCount with 0.
struct Holdings { int handles = 0, gdi = 0, cursors = 0; };
inline Holdings SweepHandles()
{
    Holdings count;
    for (UINT_PTR value = 1; value < 0x10000; ++value) {
        const auto handle = reinterpret_cast<HANDLE>(value);
        DWORD flags = 0;
        count.handles += value % 4 == 0 && value < 0x4000 && GetHandleInformation(handle, &flags);
        count.gdi += GetObjectType(handle) != 0;
        ICONINFO icon;
        if (value % 2 == 0 && GetIconInfo(static_cast<HICON>(handle), &icon)) {
            ++count.cursors;
            DeleteObject(icon.hbmMask);
            DeleteObject(icon.hbmColor);
        }
    }
    return count;
}
// The first sweep in a process makes wine fill caches of its own (about 1.8 MB on some
// machines, almost nothing on others), so every count is taken after one sweep for nothing.
inline Holdings CountHoldings()
{
    static const Holdings warmUp = SweepHandles();
    static_cast<void>(warmUp);
    return SweepHandles();
}

// A throw-away deployment of host, framework and support module in a folder of its own.
class Deployment {
public:
    explicit Deployment(const std::string& name) : m_folder("C:\\brmtest\\" + name)
    {
        FreshFolder(m_folder);
        for (const char* file : {"TestHost.exe", "BRMSUPP.dll", "BRMFW.dll"})
            CopyFileA((ExecutableFolder() + file).c_str(), (m_folder + "\\" + file).c_str(), FALSE);
    }
    ~Deployment() { RemoveTree(m_folder); }
    Deployment(const Deployment&) = delete; Deployment& operator=(const Deployment&) = delete;
    const std::string& Folder() const { return m_folder; }
    std::string Host() const { return "\"" + m_folder + "\\TestHost.exe\" "; }
    void AddLanguage(const std::string& code) const
    {
        const std::string file = code + "\\BRMSUPP.DLL";
        AddFolder(code);
        CopyFileA((ExecutableFolder() + file).c_str(), (m_folder + "\\" + file).c_str(), FALSE);
    }
    void AddFolder(const std::string& name) const
    { CreateDirectoryA((m_folder + "\\" + name).c_str(), nullptr); }
    void AddFile(const std::string& name) const { WriteFileText(m_folder + "\\" + name, "x"); }
    // The host's output for the arguments.
    std::string Run(const std::string& arguments) const
    {
        return RunProcess(Host() + arguments, 60000);
    }

private:
    std::string m_folder;
};

// The host's "state" line: the resource handle's module, wait cursor count, loaded modules.
inline std::string State(const std::string& resource, const std::string& loaded, int wait = 0)
{ return "state resource=" + resource + " wait=" + std::to_string(wait) + " loaded=" + loaded + "\n"; }

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
        if (GetGUIThreadInfo(thread, &info) && info.hwndFocus != control) return info.hwndFocus;
    return nullptr;
}

} // namespace test
