#include "tests/support/WinTestSupport.h"

#include <algorithm>
#include <cstring>
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
    return std::string(path, std::strrchr(path, '\\') + 1);
}

std::string ProfileString(const std::string& path, const char* section, const char* key)
{
    char value[1024] = "";
    GetPrivateProfileStringA(section, key, "<none>", value, sizeof value, path.c_str());
    return value;
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

void UseRecordingBrowser(const std::string& record)
{
    SetEnvironmentVariableA("BRM_BROWSER_RECORD", record.c_str());
    DeleteFileA(record.c_str());
    const std::string command = "\"" + ExecutableFolder() + "RecordingBrowser.exe\" \"%1\"";
    SetValue(HKEY_CLASSES_ROOT, kBrowserKey, nullptr, command + '\0');
}

std::vector<std::string> RecordLines(const std::string& record, std::size_t count, DWORD timeoutMs)
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

std::string StoredLanguage()
{
    char data[1024];
    DWORD size = sizeof data;
    DWORD type = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, kProductKey, "Language", RRF_RT_ANY | RRF_NOEXPAND, &type,
                     data, &size) != ERROR_SUCCESS)
        return "<none>";
    return std::string(data, size) + (type == REG_SZ ? "" : "<type " + std::to_string(type) + ">");
}

// Output goes to a file rather than a pipe: a grandchild that inherited it cannot hold up
// the reader, and a child never blocks on a full pipe.
Process::Process(const std::string& commandLine)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    char folder[MAX_PATH] = "", name[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, folder);
    GetTempFileNameA(folder, "out", 0, name);
    m_output = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           &inherit, CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = m_output;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &m_info))
        m_info = {};
    // Not into the children of later processes.
    SetHandleInformation(m_output, HANDLE_FLAG_INHERIT, 0);
}

Process::~Process()
{
    TerminateProcess(m_info.hProcess, 1);
    for (HANDLE handle : {m_info.hProcess, m_info.hThread, m_output})
        CloseHandle(handle);
}

std::string Process::Finish(DWORD timeoutMs)
{
    WaitForSingleObject(m_info.hProcess, timeoutMs);
    TerminateProcess(m_info.hProcess, 1);   // one that did not end in time
    WaitForSingleObject(m_info.hProcess, 5000);
    std::string output;
    char chunk[4096];
    SetFilePointer(m_output, 0, nullptr, FILE_BEGIN);
    for (DWORD got = 0; ReadFile(m_output, chunk, sizeof chunk, &got, nullptr) && got > 0;)
        output.append(chunk, got);
    output.erase(std::remove(output.begin(), output.end(), '\r'), output.end());
    return output;
}

HWND FindWindowWithControl(DWORD processId, int controlId, DWORD timeoutMs)
{
    for (const ULONGLONG end = GetTickCount64() + timeoutMs; GetTickCount64() <= end; Sleep(50))
        for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, nullptr, nullptr));) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == processId && IsWindowVisible(window) && GetDlgItem(window, controlId))
                return window;
        }
    return nullptr;
}

std::string WindowText(HWND window)
{
    // WM_GETTEXT reaches the control even in another process.
    char text[1024] = "";
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
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

Holdings CountHoldings()
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

Deployment::Deployment(const std::string& name) : m_folder("C:\\brmtest\\" + name)
{
    FreshFolder(m_folder);
    for (const char* file : {"TestHost.exe", "BRMSUPP.dll", "BRMFW.dll"})
        CopyFileA((ExecutableFolder() + file).c_str(), (m_folder + "\\" + file).c_str(), FALSE);
}

std::string Deployment::Run(const std::string& arguments) const
{
    const std::string output = RunProcess(Host() + arguments, 60000);
    return output.empty() ? RunProcess(Host() + arguments, 60000) : output;
}

namespace {

// The update service with the manager that opened it, both closed at scope end.
struct Service {
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    SC_HANDLE handle = OpenServiceA(manager, "VORANDA Update", SERVICE_ALL_ACCESS);
    ~Service()
    {
        CloseServiceHandle(handle);
        CloseServiceHandle(manager);
    }
    bool Reaches(DWORD state) const
    {
        SERVICE_STATUS status = {};
        for (const ULONGLONG end = GetTickCount64() + 15000; GetTickCount64() < end; Sleep(50))
            if (QueryServiceStatus(handle, &status) && status.dwCurrentState == state)
                return true;
        return false;
    }
};

} // namespace

TestService::TestService(const std::string& record, const std::string& settings,
                         const std::string& section, bool slow)
{
    Remove();
    const std::string command = "\"" + ExecutableFolder() + "UpdateService.exe\" \"" + record +
                                "\" \"" + settings + "\" \"" + section + "\"" + (slow ? " slow" : "");
    const Service service;
    CloseServiceHandle(CreateServiceA(service.manager, "VORANDA Update", "VORANDA Update",
                                      SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                                      SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE, command.c_str(),
                                      nullptr, nullptr, nullptr, nullptr, nullptr));
}

bool TestService::Start()
{
    const Service service;
    return StartServiceA(service.handle, 0, nullptr) && service.Reaches(SERVICE_RUNNING);
}

void TestService::Remove()
{
    const Service service;
    SERVICE_STATUS status = {};
    if (ControlService(service.handle, SERVICE_CONTROL_STOP, &status))
        service.Reaches(SERVICE_STOPPED);
    DeleteService(service.handle);
}

} // namespace test
