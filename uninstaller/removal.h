#ifndef QUORVANE_UNINSTALLER_REMOVAL_H
#define QUORVANE_UNINSTALLER_REMOVAL_H

#include <windows.h>

// Stops the named service if it runs and marks it for deletion; 1 when
// DeleteService succeeded.
int StopAndDeleteService(const char* serviceName);

// One attempt each; the registry's status comes back unchanged. Keys that still
// have subkeys are refused by the registry and stay.
LONG DeleteKey(HKEY root, const char* subKey);
LONG DeleteMachineKey(const char* subKey);
LONG DeleteValue(HKEY key, const char* name);

#endif
