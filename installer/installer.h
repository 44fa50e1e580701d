#ifndef QUORVANE_INSTALLER_INSTALLER_H
#define QUORVANE_INSTALLER_INSTALLER_H

#include <windows.h>

// The folder the installer runs from, with its trailing backslash; empty when the
// installer's own path did not fit.
extern char InstallerFolder[MAX_PATH];

#endif
