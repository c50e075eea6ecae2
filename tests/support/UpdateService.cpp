// Test stand-in for the update service, run by wine's service manager as "VORANDA Update".
// It appends one line per check-now control (130) it receives, with the "Check" flag the
// settings file held at that moment.
//   UpdateService RECORD-FILE SETTINGS-FILE SECTION [slow]
// "slow" makes the handler take longer than the manager waits.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

SERVICE_STATUS_HANDLE g_statusHandle = nullptr;
HANDLE g_stopped = nullptr;
char** g_arguments = nullptr;
bool g_slow = false;

void Report(DWORD state)
{
    SERVICE_STATUS status = {SERVICE_WIN32_OWN_PROCESS, state,
                             state == SERVICE_RUNNING ? DWORD{SERVICE_ACCEPT_STOP} : 0, 0, 0, 0, 0};
    SetServiceStatus(g_statusHandle, &status);
}

DWORD WINAPI Handler(DWORD control, DWORD, LPVOID, LPVOID)
{
    if (control == 130) {
        char flag[32] = "";
        GetPrivateProfileStringA(g_arguments[3], "Check", "<none>", flag, sizeof flag,
                                 g_arguments[2]);
        if (FILE* record = std::fopen(g_arguments[1], "ab")) {
            std::fprintf(record, "130 check=%s\n", flag);
            std::fclose(record);
        }
        Sleep(g_slow ? 11000 : 0);
    } else if (control == SERVICE_CONTROL_STOP) {
        Report(SERVICE_STOP_PENDING);
        SetEvent(g_stopped);
    } else if (control != SERVICE_CONTROL_INTERROGATE) {
        return ERROR_CALL_NOT_IMPLEMENTED;
    }
    return NO_ERROR;
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

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4)
        return 2;
    g_arguments = argv;
    g_slow = argc > 4 && std::strcmp(argv[4], "slow") == 0;
    char name[] = "VORANDA Update";
    SERVICE_TABLE_ENTRYA table[] = {{name, &ServiceMain}, {nullptr, nullptr}};
    return StartServiceCtrlDispatcherA(table) ? 0 : 1;
}
