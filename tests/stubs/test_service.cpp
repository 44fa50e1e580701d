// A minimal Windows service that runs until it is asked to stop; tests register
// it under the server's old service name.
#include <windows.h>

static SERVICE_STATUS_HANDLE StatusHandle;
static HANDLE StopEvent;

static void Report(DWORD state)
{
    SERVICE_STATUS status = {};
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = state;
    status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
    SetServiceStatus(StatusHandle, &status);
}

static DWORD WINAPI Control(DWORD control, DWORD, void*, void*)
{
    if (control == SERVICE_CONTROL_STOP) {
        Report(SERVICE_STOP_PENDING);
        SetEvent(StopEvent);
    }
    return NO_ERROR;
}

static void WINAPI ServiceMain(DWORD, char**)
{
    StatusHandle = RegisterServiceCtrlHandlerExA("Quorvane Service", Control, NULL);
    StopEvent = CreateEventA(NULL, TRUE, FALSE, NULL);
    Report(SERVICE_RUNNING);
    WaitForSingleObject(StopEvent, INFINITE);
    CloseHandle(StopEvent);
    Report(SERVICE_STOPPED);
}

int main()
{
    char name[] = "Quorvane Service";
    SERVICE_TABLE_ENTRYA table[] = {{name, ServiceMain}, {NULL, NULL}};
    return StartServiceCtrlDispatcherA(table) ? 0 : 1;
}
