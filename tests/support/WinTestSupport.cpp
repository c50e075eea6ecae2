#include "tests/support/WinTestSupport.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace test {

std::string ReadFileText(const std::string& path)
{
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

bool WriteFileText(const std::string& path, const std::string& text)
{
    return static_cast<bool>(std::ofstream(path, std::ios::binary | std::ios::trunc) << text);
}

std::vector<std::string> ListFiles(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        if (entry.is_regular_file())
            names.push_back(entry.path().filename().string());
    return names;
}

void FreshFolder(const std::string& folder)
{
    RemoveTree(folder);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
}

std::string ExecutableFolder()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string folder(path);
    return folder.substr(0, folder.rfind('\\') + 1);
}

std::string ProfileString(const std::string& path, const char* section, const char* key)
{
    char value[1024] = "";
    GetPrivateProfileStringA(section, key, "<none>", value, sizeof value, path.c_str());
    return value;
}

int CountOf(const std::string& text, const std::string& part)
{
    int count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++count;
    return count;
}

std::string OnlyLog()
{
    const std::vector<std::string> files = ListFiles(kLogFolder);
    return files.size() == 1 ? kLogFolder + "\\" + files.front() : "";
}

void CleanMachine()
{
    DeleteValue(HKEY_CURRENT_USER, kProductKey, nullptr);
    RemoveTree("C:\\ProgramData\\VORANDA");
    FreshFolder(kLogFolder);
    FreshFolder(kSettingsFolder);
}

void UseRecordingBrowser(const std::string& record, const std::string& exe)
{
    SetEnvironmentVariableA("BRM_BROWSER_RECORD", record.c_str());
    DeleteFileA(record.c_str());
    const std::string command =
        "\"" + (exe.empty() ? ExecutableFolder() + "RecordingBrowser.exe" : exe) + "\" \"%1\"";
    SetValue(HKEY_CLASSES_ROOT, kBrowserKey, nullptr, command + '\0');
}

std::vector<std::string> RecordLines(const std::string& record, std::size_t count, DWORD timeoutMs)
{
    std::vector<std::string> lines;
    for (const ULONGLONG end = GetTickCount64() + timeoutMs;; Sleep(50)) {
        lines.clear();
        const std::string text = ReadFileText(record);
        for (std::size_t at = 0, stop; (stop = text.find('\n', at)) != std::string::npos; at = stop + 1)
            lines.push_back(text.substr(at, stop - at));
        if (lines.size() >= count || GetTickCount64() > end)
            return lines;
    }
}

std::string StoredValue(HKEY root, const char* key, const char* name)
{
    char data[1024];
    DWORD size = sizeof data;
    DWORD type = 0;
    if (RegGetValueA(root, key, name, RRF_RT_ANY | RRF_NOEXPAND, &type, data, &size) != ERROR_SUCCESS)
        return "<none>";
    return std::string(data, size) + (type == REG_SZ ? "" : "<type " + std::to_string(type) + ">");
}

Process::Process(const std::string& commandLine)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&m_output, &writeEnd, &inherit, 0))
        return;
    SetHandleInformation(m_output, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &m_info))
        m_info = {};
    CloseHandle(writeEnd);
}

Process::~Process()
{
    if (m_info.hProcess != nullptr) {
        TerminateProcess(m_info.hProcess, 1);
        CloseHandle(m_info.hProcess);
        CloseHandle(m_info.hThread);
    }
    if (m_output != nullptr)
        CloseHandle(m_output);
}

std::string Process::Finish(DWORD timeoutMs, int* exitCode)
{
    if (exitCode != nullptr)
        *exitCode = -1;
    std::string output;
    if (m_info.hProcess == nullptr)
        return output;
    // Poll rather than block in ReadFile: a hung child, or a grandchild that inherited the
    // pipe, must cost this test its timeout and not the whole run.
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    bool exited = false;
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(m_output, nullptr, 0, nullptr, &available, nullptr)) {
            // The child is gone and its end closed: wine may say so before the last
            // lines are read, and a read then gives them without blocking.
            exited = WaitForSingleObject(m_info.hProcess, 0) == WAIT_OBJECT_0;
            char chunk[4096];
            DWORD got = 0;
            while (exited && ReadFile(m_output, chunk, sizeof chunk, &got, nullptr) && got > 0)
                output.append(chunk, got);
            break;
        }
        if (available > 0) {
            char chunk[4096];
            DWORD got = 0;
            if (!ReadFile(m_output, chunk, sizeof chunk, &got, nullptr) || got == 0)
                break;
            output.append(chunk, got);
            continue;
        }
        if (exited || GetTickCount64() > deadline)
            break;
        // One more pass after exit drains what the child wrote last.
        exited = WaitForSingleObject(m_info.hProcess, 5) == WAIT_OBJECT_0;
    }
    DWORD code = 0;
    if (WaitForSingleObject(m_info.hProcess, exited ? 0 : 1000) != WAIT_OBJECT_0)
        TerminateProcess(m_info.hProcess, 1);
    else if (GetExitCodeProcess(m_info.hProcess, &code) && exitCode != nullptr)
        *exitCode = static_cast<int>(code);
    output.erase(std::remove(output.begin(), output.end(), '\r'), output.end());
    return output;
}

namespace {

struct WindowSearch {
    DWORD processId;
    int controlId;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window) &&
        GetDlgItem(window, search->controlId) != nullptr)
        search->found = window;
    return search->found == nullptr;
}

} // namespace

HWND FindWindowWithControl(DWORD processId, int controlId, DWORD timeoutMs)
{
    WindowSearch search = {processId, controlId, nullptr};
    for (const DWORD start = GetTickCount(); search.found == nullptr; Sleep(50)) {
        EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (GetTickCount() - start > timeoutMs)
            break;
    }
    return search.found;
}

int CountProcesses(const std::string& exeName)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        count += _stricmp(entry.szExeFile, exeName.c_str()) == 0;
    CloseHandle(snapshot);
    return count;
}

std::string TakeMessageBox(DWORD processId, DWORD timeoutMs)
{
    HWND box = FindWindowWithControl(processId, 0xFFFF, timeoutMs);
    if (box == nullptr)
        return "<none>";
    const std::string text = WindowText(GetDlgItem(box, 0xFFFF));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    return text;
}

std::string WindowText(HWND window)
{
    // WM_GETTEXT reaches the control even in another process.
    char text[1024] = "";
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

Deployment::Deployment(const std::string& name) : m_folder("C:\\brmtest\\" + name)
{
    FreshFolder(m_folder);
    for (const char* file : {"BramokHost.exe", "BRMSUPP.dll", "BRMFW.dll"})
        CopyFileA((ExecutableFolder() + file).c_str(), (m_folder + "\\" + file).c_str(), FALSE);
}

std::string Deployment::Run(const std::string& arguments) const
{
    int exitCode = 0;
    std::string output = RunProcess(Host() + arguments, 60000, &exitCode);
    if (output.empty()) {
        std::fprintf(stderr, "host start gave no output (exit %d); once more\n", exitCode);
        output = RunProcess(Host() + arguments, 60000, &exitCode);
    }
    return output;
}

void Deployment::AddLanguage(const std::string& code) const
{
    AddFolder(code);
    CopyFileA((ExecutableFolder() + code + "\\BRMSUPP.DLL").c_str(),
              (m_folder + "\\" + code + "\\BRMSUPP.DLL").c_str(), FALSE);
}

namespace {

// Opens the service, acts on it and, when that worked and state is not 0, waits up to 15 s
// for the service to reach state.
template <typename Act> bool WithService(Act act, DWORD state)
{
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    SC_HANDLE service = manager ? OpenServiceA(manager, "VORANDA Update", SERVICE_ALL_ACCESS)
                                : nullptr;
    bool reached = service != nullptr && act(service);
    SERVICE_STATUS status = {};
    for (const DWORD start = GetTickCount(); reached && state != 0; Sleep(50)) {
        if (QueryServiceStatus(service, &status) && status.dwCurrentState == state)
            break;
        reached = GetTickCount() - start < 15000;
    }
    if (service != nullptr)
        CloseServiceHandle(service);
    if (manager != nullptr)
        CloseServiceHandle(manager);
    return reached;
}

bool StopService(SC_HANDLE service)
{
    SERVICE_STATUS status = {};
    return ControlService(service, SERVICE_CONTROL_STOP, &status) != FALSE;
}

} // namespace

TestService::TestService(const std::string& record, const std::string& settings,
                         const std::string& section, bool slow)
{
    Remove();
    const std::string command = "\"" + ExecutableFolder() + "UpdateService.exe\" \"" + record +
                                "\" \"" + settings + "\" \"" + section + "\"" + (slow ? " slow" : "");
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    SC_HANDLE service = CreateServiceA(manager, "VORANDA Update", "VORANDA Update",
                                       SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                                       SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE, command.c_str(),
                                       nullptr, nullptr, nullptr, nullptr, nullptr);
    if (service != nullptr)
        CloseServiceHandle(service);
    if (manager != nullptr)
        CloseServiceHandle(manager);
}

bool TestService::Start()
{
    return WithService([](SC_HANDLE s) { return StartServiceA(s, 0, nullptr) != FALSE; },
                       SERVICE_RUNNING);
}

void TestService::Remove()
{
    WithService(StopService, SERVICE_STOPPED);
    WithService([](SC_HANDLE s) { return DeleteService(s) != FALSE; }, 0);
}

} // namespace test
