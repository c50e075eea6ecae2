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
const std::string kServiceRecord = kSettingsFolder + "\\controls.txt";   // the stand-in's

inline std::string ReadFileText(const std::string& path)
{
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

inline bool WriteFileText(const std::string& path, const std::string& text)
{
    return static_cast<bool>(std::ofstream(path, std::ios::binary | std::ios::trunc) << text);
}

inline void RemoveTree(const std::string& folder)
{
    std::error_code error;
    std::filesystem::remove_all(folder, error);
}

// An empty folder, with the folders above it made as needed.
inline void FreshFolder(const std::string& folder)
{
    RemoveTree(folder);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
}

inline std::string ExecutableFolder()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string text = path;
    return text.substr(0, text.rfind('\\') + 1);
}

inline std::string ProfileString(const std::string& path, const char* section, const char* key)
{
    char value[1024] = "";
    GetPrivateProfileStringA(section, key, "<none>", value, sizeof value, path.c_str());
    return value;
}

// The month's only activity log file, or "" when there is not exactly one.
inline std::string OnlyLog()
{
    std::vector<std::string> paths;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(kLogFolder, error))
        paths.push_back(entry.path().string());
    return paths.size() == 1 ? paths[0] : "";
}

// A raw registry value, the key made as needed.
inline void SetValue(HKEY root, const char* key, const char* name, const std::string& bytes,
                     DWORD type = REG_SZ)
{
    RegSetKeyValueA(root, key, name, type, bytes.data(), static_cast<DWORD>(bytes.size()));
}

inline void SetLanguage(const std::string& bytes, DWORD type = REG_SZ)
{
    SetValue(HKEY_CURRENT_USER, kProductKey, "Language", bytes, type);
}

// No product key, log or settings folder left from another test; empty folders made anew.
inline void CleanMachine()
{
    RegDeleteKeyA(HKEY_CURRENT_USER, kProductKey);
    RemoveTree("C:\\ProgramData\\VORANDA");
    FreshFolder(kLogFolder);
    FreshFolder(kSettingsFolder);
}

// The stand-in browser as the "http" command, recording into record.
inline void UseRecordingBrowser(const std::string& record)
{
    SetEnvironmentVariableA("BRM_BROWSER_RECORD", record.c_str());
    DeleteFileA(record.c_str());
    const std::string command = "\"" + ExecutableFolder() + "RecordingBrowser.exe\" \"%1\"";
    SetValue(HKEY_CLASSES_ROOT, kBrowserKey, nullptr, command + '\0');
}

// The record's lines once count arrived (or timeoutMs passed).
inline std::vector<std::string> RecordLines(const std::string& record, std::size_t count,
                                            DWORD timeoutMs = 5000)
{
    for (const ULONGLONG end = GetTickCount64() + timeoutMs;; Sleep(50)) {
        std::vector<std::string> lines;
        std::istringstream text(ReadFileText(record));
        for (std::string line; std::getline(text, line) && !text.eof();)
            lines.push_back(line);
        if (lines.size() >= count || GetTickCount64() > end)
            return lines;
    }
}

// A process writing to a file of its own; a start wine lost under load (no imports) is redone.
class Process {
public:
    explicit Process(const std::string& commandLine)
    {
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        char folder[MAX_PATH] = "";
        char name[MAX_PATH] = "";
        GetTempPathA(MAX_PATH, folder);
        GetTempFileNameA(folder, "out", 0, name);
        m_output =
            CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                        &inherit, CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        for (int attempt = 0; attempt < 3 && !Start(commandLine); ++attempt)
            End();
        SetHandleInformation(m_output, HANDLE_FLAG_INHERIT, 0);   // not into later children
    }
    ~Process()
    {
        End();
        CloseHandle(m_output);
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    DWORD ExitCode() const
    {
        DWORD code = ~0u;   // no process at all
        GetExitCodeProcess(m_info.hProcess, &code);
        return code;
    }
    // Its output without '\r' once it ends, or is ended after timeoutMs.
    std::string Finish(DWORD timeoutMs)
    {
        WaitForSingleObject(m_info.hProcess, timeoutMs);
        TerminateProcess(m_info.hProcess, 1);
        WaitForSingleObject(m_info.hProcess, 5000);
        return Output();
    }
    // What it wrote so far, without '\r'.
    std::string Output() const
    {
        std::string output(GetFileSize(m_output, nullptr), '\0');
        DWORD got = 0;
        SetFilePointer(m_output, 0, nullptr, FILE_BEGIN);
        ReadFile(m_output, &output[0], static_cast<DWORD>(output.size()), &got, nullptr);
        output.resize(got);
        output.erase(std::remove(output.begin(), output.end(), '\r'), output.end());
        return output;
    }

private:
    // False when not made, or within 30 s neither ended nor loaded more than itself and ntdll.
    bool Start(std::string commandLine)
    {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = m_output;
        startup.hStdError = m_output;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                            &startup, &m_info)) {
            Sleep(500);
            return false;
        }
        for (const ULONGLONG end = GetTickCount64() + 30000; GetTickCount64() <= end;) {
            HMODULE modules[3];
            DWORD size = 0;
            if (WaitForSingleObject(m_info.hProcess, 50) == WAIT_OBJECT_0 ||
                (K32EnumProcessModules(m_info.hProcess, modules, sizeof modules, &size) &&
                 size >= sizeof modules))
                return true;
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

    PROCESS_INFORMATION m_info = {};
    HANDLE m_output = INVALID_HANDLE_VALUE;
};

inline std::string RunProcess(const std::string& commandLine, DWORD timeoutMs = 60000)
{
    return Process(commandLine).Finish(timeoutMs);
}

// The test host of the build folder, quoted, a space after.
inline std::string BuiltHost()
{
    return "\"" + ExecutableFolder() + "TestHost.exe\" ";
}

inline std::string RunHost(const std::string& arguments, DWORD timeoutMs = 60000)
{
    return RunProcess(BuiltHost() + arguments, timeoutMs);
}

inline std::string WindowText(HWND window)
{
    char text[1024] = "";
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

// Points module's import of the function called name at replacement, to watch or fail the call.
template <typename Function>
void ReplaceImport(HMODULE module, const char* name, Function* replacement)
{
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const DWORD imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* import = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports);
         import->Name != 0; ++import) {
        auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        for (std::size_t at = 0; names[at].u1.AddressOfData != 0; ++at) {
            if (IMAGE_SNAP_BY_ORDINAL(names[at].u1.Ordinal))
                continue;
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names[at].u1.AddressOfData);
            if (std::strcmp(byName->Name, name) != 0)
                continue;
            ULONG_PTR& slot = slots[at].u1.Function;
            DWORD old = 0;
            VirtualProtect(&slot, sizeof slot, PAGE_READWRITE, &old);
            slot = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slot, sizeof slot, old, &old);
        }
    }
}

// Handles, GDI objects and cursors, by trying every value: wine's GetGuiResources answers 0.
struct Holdings {
    int handles = 0, gdi = 0, cursors = 0;
};
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
// The first sweep makes wine fill caches of its own, so every count follows one for nothing.
inline Holdings CountHoldings()
{
    static const Holdings warmUp = SweepHandles();
    static_cast<void>(warmUp);
    return SweepHandles();
}

// Host, framework, support module and the named language modules in a folder of their own.
class Deployment {
public:
    explicit Deployment(const std::string& name, std::initializer_list<const char*> languages = {})
        : folder("C:\\brmtest\\" + name)
    {
        FreshFolder(folder);
        std::vector<std::string> files = {"TestHost.exe", "BRMSUPP.dll", "BRMFW.dll"};
        for (const char* code : languages) {
            AddFolder(code);
            files.push_back(code + std::string("\\BRMSUPP.DLL"));
        }
        for (const std::string& file : files)
            CopyFileA((ExecutableFolder() + file).c_str(), (folder + "\\" + file).c_str(), FALSE);
    }
    ~Deployment()
    {
        RemoveTree(folder);
    }
    void AddFolder(const std::string& name) const
    {
        CreateDirectoryA((folder + "\\" + name).c_str(), nullptr);
    }
    std::string Run(const std::string& arguments, DWORD timeoutMs = 60000) const
    {
        return RunProcess("\"" + folder + "\\TestHost.exe\" " + arguments, timeoutMs);
    }

    const std::string folder;
};

// The host's "state" line: the resource handle's module, wait cursor count, loaded modules.
inline std::string State(const std::string& resource, const std::string& loaded, int wait = 0)
{
    return "state resource=" + resource + " wait=" + std::to_string(wait) + " loaded=" + loaded +
           "\n";
}

} // namespace test
