#ifndef QUORVANE_TESTS_SERVICES_H
#define QUORVANE_TESTS_SERVICES_H

// The service the server ran as on older systems, played by test_service.

#include <windows.h>

#include "gui_driver.h"

extern const char ServerServiceName[];

// Registers test_service as "Quorvane Service" (demand start).
bool CreateServerService();

struct ServiceView {
    DWORD openError = 0;  // why the service could not be opened; 0 when it could
    DWORD state = 0;
    DWORD processId = 0;
};
ServiceView LookAtService();

// Starts the service, waits until it runs and opens its process.
bool StartServerService(Program* process);

#endif
