// Test stand-in for the update service "VORANDA Update": for each check-now control (130) it
// appends the "Check" flag the settings file holds at that moment to the record file.
//   UpdateService RECORD-FILE SETTINGS-FILE SECTION [slow]
// "slow" answers later than the service manager waits.
#include <windows.h>

#include <cstdio>

namespace {

SERVICE_STATUS_HANDLE g_statusHandle = nullptr;
HANDLE g_stopped = CreateEventA(nullptr, TRUE, FALSE, nullptr);
char** g_arguments = nullptr;
bool g_slow = false;
SERVICE_STATUS g_status = {SERVICE_WIN32_OWN_PROCESS, SERVICE_RUNNING, SERVICE_ACCEPT_STOP,
                           0, 0, 0, 0};

DWORD WINAPI Handler(DWORD control, DWORD, LPVOID, LPVOID)
{
    if (control == SERVICE_CONTROL_STOP)
        SetEvent(g_stopped);
    if (control != 130)
        return NO_ERROR;
    char flag[32] = "";
    GetPrivateProfileStringA(g_arguments[3], "Check", "<none>", flag, sizeof flag, g_arguments[2]);
    if (FILE* record = std::fopen(g_arguments[1], "ab")) {
        std::fprintf(record, "130 check=%s\n", flag);
        std::fclose(record);
    }
    Sleep(g_slow ? 11000 : 0);
    return NO_ERROR;
}

void WINAPI ServiceMain(DWORD, LPSTR*)
{
    g_statusHandle = RegisterServiceCtrlHandlerExA("VORANDA Update", &Handler, nullptr);
    SetServiceStatus(g_statusHandle, &g_status);
    WaitForSingleObject(g_stopped, INFINITE);
    g_status.dwCurrentState = SERVICE_STOPPED;
    SetServiceStatus(g_statusHandle, &g_status);
}

} // namespace

int main(int argc, char** argv)
{
    g_arguments = argv;
    g_slow = argc > 4;
    char name[] = "VORANDA Update";
    SERVICE_TABLE_ENTRYA table[] = {{name, &ServiceMain}, {nullptr, nullptr}};
    return argc >= 4 && StartServiceCtrlDispatcherA(table) ? 0 : 1;
}
