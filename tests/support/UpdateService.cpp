// Test stand-in for the update service "VORANDA Update": for each check-now control (130) it
// appends the "Check" flag the settings file holds at that moment to the record file.
//   UpdateService RECORD-FILE SETTINGS-FILE SECTION [slow]   (slow: later than the manager waits)
#include <windows.h>

#include <fstream>

namespace {

HANDLE g_stopped = CreateEventA(nullptr, TRUE, FALSE, nullptr);
char** g_arguments = nullptr;
SERVICE_STATUS g_status = {SERVICE_WIN32_OWN_PROCESS, SERVICE_RUNNING, SERVICE_ACCEPT_STOP, 0, 0, 0, 0};

DWORD WINAPI Handler(DWORD control, DWORD, LPVOID, LPVOID)
{
    if (control == SERVICE_CONTROL_STOP) SetEvent(g_stopped);
    if (control != 130) return NO_ERROR;
    char flag[32] = "";
    GetPrivateProfileStringA(g_arguments[3], "Check", "<none>", flag, sizeof flag, g_arguments[2]);
    std::ofstream(g_arguments[1], std::ios::app | std::ios::binary) << "130 check=" << flag << "\n";
    Sleep(g_arguments[4] != nullptr ? 11000 : 0);
    return NO_ERROR;
}

void WINAPI ServiceMain(DWORD, LPSTR*)
{
    const SERVICE_STATUS_HANDLE handle = RegisterServiceCtrlHandlerExA("VORANDA Update", &Handler, nullptr);
    SetServiceStatus(handle, &g_status);
    WaitForSingleObject(g_stopped, INFINITE);
    g_status.dwCurrentState = SERVICE_STOPPED;
    SetServiceStatus(handle, &g_status);
}

} // namespace

int main(int argc, char** argv)
{
    g_arguments = argv;
    char name[] = "VORANDA Update";
    SERVICE_TABLE_ENTRYA table[] = {{name, &ServiceMain}, {nullptr, nullptr}};
    return argc >= 4 && StartServiceCtrlDispatcherA(table) ? 0 : 1;
}
