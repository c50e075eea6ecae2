#include "tests/support/TestService.h"

#include "tests/support/WinTestSupport.h"

#include <windows.h>

namespace test {

namespace {

constexpr const char* kServiceName = "VORANDA Update";

bool WaitForState(SC_HANDLE service, DWORD state, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    SERVICE_STATUS status = {};
    while (QueryServiceStatus(service, &status)) {
        if (status.dwCurrentState == state)
            return true;
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(50);
    }
    return false;
}

SC_HANDLE OpenService(DWORD access)
{
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    if (manager == nullptr)
        return nullptr;
    SC_HANDLE service = OpenServiceA(manager, kServiceName, access);
    CloseServiceHandle(manager);
    return service;
}

} // namespace

void RemoveUpdateService()
{
    SC_HANDLE service = OpenService(SERVICE_ALL_ACCESS);
    if (service == nullptr)
        return;
    SERVICE_STATUS status = {};
    if (ControlService(service, SERVICE_CONTROL_STOP, &status))
        WaitForState(service, SERVICE_STOPPED, 15000);
    DeleteService(service);
    CloseServiceHandle(service);
}

TestService::TestService(const std::string& recordFile, const std::string& settingsFile,
                         const std::string& section, bool slow)
{
    RemoveUpdateService();
    const std::string command = "\"" + ExecutableFolder() + "UpdateService.exe\" \"" + recordFile +
                                "\" \"" + settingsFile + "\" \"" + section + "\"" +
                                (slow ? " slow" : "");
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    if (manager == nullptr)
        return;
    SC_HANDLE service = CreateServiceA(manager, kServiceName, kServiceName, SERVICE_ALL_ACCESS,
                                       SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                                       SERVICE_ERROR_IGNORE, command.c_str(), nullptr, nullptr,
                                       nullptr, nullptr, nullptr);
    m_installed = service != nullptr;
    if (service != nullptr)
        CloseServiceHandle(service);
    CloseServiceHandle(manager);
}

TestService::~TestService()
{
    RemoveUpdateService();
}

bool TestService::Start()
{
    SC_HANDLE service = OpenService(SERVICE_ALL_ACCESS);
    if (service == nullptr)
        return false;
    const bool running =
        StartServiceA(service, 0, nullptr) && WaitForState(service, SERVICE_RUNNING, 10000);
    CloseServiceHandle(service);
    return running;
}

bool TestService::Stop()
{
    SC_HANDLE service = OpenService(SERVICE_ALL_ACCESS);
    if (service == nullptr)
        return false;
    SERVICE_STATUS status = {};
    const bool stopped = ControlService(service, SERVICE_CONTROL_STOP, &status) &&
                         WaitForState(service, SERVICE_STOPPED, 15000);
    CloseServiceHandle(service);
    return stopped;
}

} // namespace test
