#include "removal.h"

int StopAndDeleteService(const char* serviceName)
{
    SC_HANDLE manager = OpenSCManagerA(NULL, NULL, SC_MANAGER_CREATE_SERVICE);
    if (!manager)
        return 0;
    SC_HANDLE service = OpenServiceA(manager, serviceName, SERVICE_ALL_ACCESS);
    if (!service) {
        CloseServiceHandle(manager);
        return 0;
    }

    SERVICE_STATUS status;
    if (QueryServiceStatus(service, &status) && status.dwCurrentState != SERVICE_STOPPED &&
        ControlService(service, SERVICE_CONTROL_STOP, &status))
        Sleep(500);

    // Deleting a running service only marks it; the manager removes it once it
    // has stopped and the last handle is closed.
    int deleted = DeleteService(service) ? 1 : 0;
    CloseServiceHandle(service);
    CloseServiceHandle(manager);
    return deleted;
}

LONG DeleteKey(HKEY root, const char* subKey)
{
    return RegDeleteKeyA(root, subKey);
}

LONG DeleteMachineKey(const char* subKey)
{
    return DeleteKey(HKEY_LOCAL_MACHINE, subKey);
}

LONG DeleteValue(HKEY key, const char* name)
{
    return RegDeleteValueA(key, name);
}
