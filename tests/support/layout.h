#ifndef QUORVANE_TESTS_LAYOUT_H
#define QUORVANE_TESTS_LAYOUT_H

// Where an installation puts things, as a user would look them up, and the
// steps that every end-to-end test takes with the real installer.

#include <windows.h>

#include <string>

#include "gui_driver.h"

extern const char UninstallKey[];
extern const char RunKey[];
extern const char WelcomeCaption[];
extern const char LicenceCaption[];
extern const char UninstallCaption[];

std::string ProductFolder();    // ends in a backslash
std::string StartMenuFolder();  // ends in a backslash
std::string DesktopShortcut();
std::string InstalledServer();
std::string InstalledUninstaller();

// The built programs.
std::string BuiltInstaller();
std::string BuiltUninstaller();
std::string BuiltServer();
std::string BuiltStub(const char* name);  // window_host, marker, test_service

// Copies the installer into a scratch folder of that name and returns its path.
std::string StageInstaller(const std::string& folderName);

// Copies window_host to exePath (or a scratch file), starts it with that class and
// mode and waits for its window.
HWND StartWindowHost(const std::string& className, const char* mode, Program* program,
                     const std::string& exePath = std::string());

// Two windows of the server's class, each in a window_host of its own, ordered as
// EnumWindows reports them: "first" is the one a stop message must reach.
struct TwoServerWindows {
    Program first, second;
    HWND firstWindow = NULL, secondWindow = NULL;
};
bool StartTwoServerWindows(TwoServerWindows* two);
void EndTwoServerWindows(TwoServerWindows* two);

// Starts the installer and clicks Next on its welcome page; the licence page, or
// NULL when a page did not appear in time (the program is left running).
HWND OpenLicencePage(const std::string& installerPath, Program* installer);

// Runs the whole wizard: Next, agree, OK on the completion box. Returns the
// installer's exit code, or STILL_ACTIVE when a step did not appear in time.
DWORD InstallThroughWizard(const std::string& installerPath);

// Runs the installed uninstaller: Yes to its question, OK to its notice. Returns
// its exit code, or STILL_ACTIVE when a box did not appear in time.
DWORD UninstallThroughBoxes();

// Saves a screenshot of the window as NAME.bmp in the screenshot folder, if set.
void KeepScreenshot(HWND window, const std::string& name);

#endif
