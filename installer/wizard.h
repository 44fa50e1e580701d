#ifndef QUORVANE_INSTALLER_WIZARD_H
#define QUORVANE_INSTALLER_WIZARD_H

#include <windows.h>

#define LICENCE_TEXT_CAP 5120

// The licence file's first bytes as read, followed by one zero byte.
extern char LicenceText[LICENCE_TEXT_CAP + 1];

INT_PTR ShowWelcomeDialog();
INT_PTR ShowLicenceDialog();
INT_PTR CALLBACK WelcomeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK LicenceDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Loads InstallerFolder + fileName into LicenceText, or the licence text resource
// when that file cannot be read or is empty; returns the bytes loaded.
int LoadLicenceText(const char* fileName);

// Welcome page and licence page, back and forth, until the user cancels or agrees.
void RunWizard();

#endif
