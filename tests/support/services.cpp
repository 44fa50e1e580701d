#include "services.h"

#include <string>

#include "layout.h"

const char ServerServiceName[] = "Quorvane Service";

bool CreateServerService()
{
    SC_HANDLE manager = OpenSCManagerA(NULL, NULL, SC_MANAGER_ALL_ACCESS);
    if (!manager)
        return false;
    std::string command = "\"" + BuiltStub("test_service") + "\"";
    SC_HANDLE service = CreateServiceA(manager, ServerServiceName, ServerServiceName,
                                       SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                                       SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL, command.c_str(),
                                       NULL, NULL, NULL, NULL, NULL);
    if (service)
        CloseServiceHandle(service);
    CloseServiceHandle(manager);
    return service != NULL;
}

ServiceView LookAtService()
{
    ServiceView view;
    SC_HANDLE manager = OpenSCManagerA(NULL, NULL, SC_MANAGER_CONNECT);
    SC_HANDLE service =
        manager ? OpenServiceA(manager, ServerServiceName, SERVICE_QUERY_STATUS) : NULL;
    if (!service) {
        view.openError = GetLastError();
    } else {
        SERVICE_STATUS_PROCESS status;
        DWORD needed = 0;
        if (QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, (BYTE*)&status, sizeof status,
                                 &needed)) {
            view.state = status.dwCurrentState;
            view.processId = status.dwProcessId;
        }
        CloseServiceHandle(service);
    }
    if (manager)
        CloseServiceHandle(manager);
    return view;
}

bool StartServerService(Program* process)
{
    SC_HANDLE manager = OpenSCManagerA(NULL, NULL, SC_MANAGER_CONNECT);
    SC_HANDLE service = manager ? OpenServiceA(manager, ServerServiceName, SERVICE_START) : NULL;
    bool started = service && StartServiceA(service, 0, NULL);
    if (service)
        CloseServiceHandle(service);
    if (manager)
        CloseServiceHandle(manager);
    if (!started)
        return false;

    DWORD start = GetTickCount();
    ServiceView view;
    while ((view = LookAtService()).state != SERVICE_RUNNING) {
        if (GetTickCount() - start > 20000)
            return false;
        Sleep(50);
    }
    *process = AttachProgram(view.processId);
    return process->process != NULL;
}
