#include "tests/support/WinTestSupport.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace test {

std::string ReadFileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool WriteFileText(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out);
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> ListFiles(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            names.push_back(entry.cFileName);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return names;
}

std::string FromUnixPath(const std::string& unixPath)
{
    std::string path = "Z:" + unixPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string TestFactsFolder()
{
    return FromUnixPath(Environment("BRM_TEST_ENV"));
}

std::string ExecutableFolder()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.rfind('\\') + 1);
}

int RunProcess(const std::string& commandLine, DWORD timeoutMs)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return -1;
    CloseHandle(process.hThread);
    int result = -1;
    if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0) {
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        result = static_cast<int>(code);
    } else {
        TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hProcess);
    return result;
}

std::string RunProcessOutput(const std::string& commandLine, DWORD timeoutMs, int* exitCode)
{
    if (exitCode != nullptr)
        *exitCode = -1;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return "";
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process = {};
    std::string line = commandLine;
    const BOOL started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process);
    CloseHandle(writeEnd);
    std::string output;
    if (started) {
        CloseHandle(process.hThread);
        // Poll rather than block in ReadFile: a hung child, or a grandchild that inherited
        // the pipe, must cost this test its timeout and not the whole run.
        const ULONGLONG deadline = GetTickCount64() + timeoutMs;
        bool exited = false;
        for (;;) {
            DWORD available = 0;
            if (!PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr))
                break;
            if (available > 0) {
                char chunk[4096];
                DWORD got = 0;
                if (!ReadFile(readEnd, chunk, sizeof chunk, &got, nullptr) || got == 0)
                    break;
                output.append(chunk, got);
                continue;
            }
            if (exited || GetTickCount64() > deadline)
                break;
            // One more pass after exit drains what the child wrote last.
            exited = WaitForSingleObject(process.hProcess, 5) == WAIT_OBJECT_0;
        }
        if (WaitForSingleObject(process.hProcess, exited ? 0 : 1000) == WAIT_OBJECT_0) {
            DWORD code = 0;
            GetExitCodeProcess(process.hProcess, &code);
            if (exitCode != nullptr)
                *exitCode = static_cast<int>(code);
        } else {
            TerminateProcess(process.hProcess, 1);
        }
        CloseHandle(process.hProcess);
    }
    CloseHandle(readEnd);
    std::string clean;
    for (char c : output)
        if (c != '\r')
            clean.push_back(c);
    return clean;
}

RunningProcess::RunningProcess(const std::string& commandLine)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&m_output, &writeEnd, &inherit, 1 << 16))
        return;
    SetHandleInformation(m_output, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process = {};
    std::string line = commandLine;
    if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                       &process)) {
        CloseHandle(process.hThread);
        m_process = process.hProcess;
        m_id = process.dwProcessId;
    }
    CloseHandle(writeEnd);
}

RunningProcess::~RunningProcess()
{
    if (m_process != nullptr) {
        TerminateProcess(m_process, 1);
        CloseHandle(m_process);
    }
    if (m_output != nullptr)
        CloseHandle(m_output);
}

std::string RunningProcess::Finish(DWORD timeoutMs)
{
    if (m_process == nullptr)
        return "";
    if (WaitForSingleObject(m_process, timeoutMs) != WAIT_OBJECT_0)
        TerminateProcess(m_process, 1);
    std::string output;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(m_output, chunk, sizeof chunk, &got, nullptr) && got > 0)
        output.append(chunk, got);
    std::string clean;
    for (char c : output)
        if (c != '\r')
            clean.push_back(c);
    return clean;
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
        GetDlgItem(window, search->controlId) != nullptr) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND FindWindowWithControl(DWORD processId, int controlId, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        WindowSearch search = {processId, controlId, nullptr};
        EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr || GetTickCount() - start > timeoutMs)
            return search.found;
        Sleep(50);
    }
}

HWND FindMessageBox(DWORD processId, DWORD timeoutMs)
{
    return FindWindowWithControl(processId, 0xFFFF, timeoutMs);
}

std::string WindowText(HWND window)
{
    // WM_GETTEXT reaches the control even in another process.
    char text[1024] = "";
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

bool CopyFileTo(const std::string& from, const std::string& to)
{
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != FALSE;
}

void RemoveTree(const std::string& folder)
{
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string path = folder + "\\" + name;
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                RemoveTree(path);
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

std::string ProfileString(const std::string& path, const char* section, const char* key,
                          const char* fallback)
{
    char value[1024] = "";
    GetPrivateProfileStringA(section, key, fallback, value, sizeof value, path.c_str());
    return value;
}

int CountOf(const std::string& text, const std::string& part)
{
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos;
         at = text.find(part, at + part.size()))
        ++count;
    return count;
}

} // namespace test
