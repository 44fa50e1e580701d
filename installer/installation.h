#ifndef QUORVANE_INSTALLER_INSTALLATION_H
#define QUORVANE_INSTALLER_INSTALLATION_H

#include <windows.h>

// Full paths of the installed server program and of the written uninstaller;
// empty until RunInstallation has placed them.
extern char ServerProgramPath[MAX_PATH];
extern char UninstallerPath[MAX_PATH];

// Installs everything, reports the outcome in a message box owned by owner and
// returns nonzero on success.
int RunInstallation(HWND owner);

// Starts the installed server program; the result of WinExec.
UINT LaunchServer();

BOOL CALLBACK StopServerEnumProc(HWND window, LPARAM unused);

#endif
