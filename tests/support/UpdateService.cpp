// Test stand-in for the update service, run by wine's service manager as
// "VORANDA Update". It appends one line per check-now control it receives,
// with the "Check" flag the settings file held at that moment.
//   UpdateService RECORD-FILE SETTINGS-FILE SECTION [slow]
// "slow" makes the handler take longer than the manager waits.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr DWORD kCheckNow = 130;
constexpr DWORD kSlowMs = 11000;

SERVICE_STATUS_HANDLE g_statusHandle = nullptr;
SERVICE_STATUS g_status = {};
HANDLE g_stopped = nullptr;
std::string g_recordFile;
std::wstring g_settingsFile;
std::wstring g_section;
bool g_slow = false;

void Report(DWORD state)
{
    g_status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    g_status.dwCurrentState = state;
    g_status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
    SetServiceStatus(g_statusHandle, &g_status);
}

void RecordCheckNow()
{
    wchar_t flag[32] = L"";
    GetPrivateProfileStringW(g_section.c_str(), L"Check", L"<none>", flag, 32,
                             g_settingsFile.c_str());
    FILE* record = std::fopen(g_recordFile.c_str(), "ab");
    if (record != nullptr) {
        std::fprintf(record, "130 check=%ls\n", flag);
        std::fclose(record);
    }
}

DWORD WINAPI Handler(DWORD control, DWORD, LPVOID, LPVOID)
{
    switch (control) {
    case kCheckNow:
        RecordCheckNow();
        if (g_slow)
            Sleep(kSlowMs);
        return NO_ERROR;
    case SERVICE_CONTROL_STOP:
        Report(SERVICE_STOP_PENDING);
        SetEvent(g_stopped);
        return NO_ERROR;
    case SERVICE_CONTROL_INTERROGATE:
        return NO_ERROR;
    default:
        return ERROR_CALL_NOT_IMPLEMENTED;
    }
}

void WINAPI ServiceMain(DWORD, LPSTR*)
{
    g_statusHandle = RegisterServiceCtrlHandlerExA("VORANDA Update", &Handler, nullptr);
    if (g_statusHandle == nullptr)
        return;
    g_stopped = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    Report(SERVICE_RUNNING);
    WaitForSingleObject(g_stopped, INFINITE);
    Report(SERVICE_STOPPED);
}

std::wstring Widen(const char* text)
{
    wchar_t wide[MAX_PATH] = L"";
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide, MAX_PATH);
    return wide;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4)
        return 2;
    g_recordFile = argv[1];
    g_settingsFile = Widen(argv[2]);
    g_section = Widen(argv[3]);
    g_slow = argc > 4 && std::strcmp(argv[4], "slow") == 0;
    char name[] = "VORANDA Update";
    SERVICE_TABLE_ENTRYA table[] = {{name, &ServiceMain}, {nullptr, nullptr}};
    return StartServiceCtrlDispatcherA(table) ? 0 : 1;
}
