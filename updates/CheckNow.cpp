#include "updates/CheckNow.h"

#include <windows.h>

CheckRequestResult SendCheckNowControl()
{
    SC_HANDLE manager = OpenSCManagerA(nullptr, "ServicesActive", GENERIC_READ);
    if (manager == nullptr)
        return CheckRequestResult::ServiceUnavailable;
    SC_HANDLE service = OpenServiceA(manager, "VORANDA Update",
                                     SERVICE_QUERY_STATUS | SERVICE_USER_DEFINED_CONTROL);
    if (service == nullptr) {
        CloseServiceHandle(manager);
        return CheckRequestResult::ServiceUnavailable;
    }
    SERVICE_STATUS status = {};
    CheckRequestResult result = CheckRequestResult::Delivered;
    if (!ControlService(service, SERVICE_CONTROL_CHECK_NOW, &status) &&
        GetLastError() != ERROR_SERVICE_REQUEST_TIMEOUT)
        result = CheckRequestResult::Failed;
    CloseServiceHandle(service);
    CloseServiceHandle(manager);
    return result;
}
