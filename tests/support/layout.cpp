#include "layout.h"

#include <shlobj.h>

#include <vector>

#include "machine.h"

const char UninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvane";
const char RunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const char WelcomeCaption[] = "Quorvane インストーラ/アップデータ";
const char LicenceCaption[] = "使用許諾契約";
const char UninstallCaption[] = "アンインストール";

std::string ProductFolder()
{
    return SpecialFolder(CSIDL_PROGRAM_FILES) + "\\Quorvane\\";
}

std::string StartMenuFolder()
{
    return SpecialFolder(CSIDL_COMMON_PROGRAMS) + "\\Quorvane\\";
}

std::string DesktopShortcut()
{
    return SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + "\\Quorvane Server.lnk";
}

std::string InstalledServer()
{
    return ProductFolder() + "Quorvane.exe";
}

std::string InstalledUninstaller()
{
    return SpecialFolder(CSIDL_WINDOWS) + "\\uninstall_Quorvane.exe";
}

std::string BuiltInstaller()
{
    return BuildFolder() + "\\Quorvane Installer.exe";
}

std::string BuiltUninstaller()
{
    return BuildFolder() + "\\uninstall_Quorvane.exe";
}

std::string BuiltServer()
{
    return BuildFolder() + "\\Quorvane Server.exe";
}

std::string BuiltStub(const char* name)
{
    return BuildFolder() + "\\" + name + ".exe";
}

std::string StageInstaller(const std::string& folderName)
{
    std::string path = ScratchFolder(folderName) + "\\Quorvane Installer.exe";
    CopyFileA(BuiltInstaller().c_str(), path.c_str(), FALSE);
    return path;
}

HWND StartWindowHost(const std::string& className, const char* mode, Program* program,
                     const std::string& exePath)
{
    std::string path = exePath;
    if (path.empty())
        path = ScratchFolder("hosts") + "\\" + className + "-" + mode + ".exe";
    if (!CopyFileA(BuiltStub("window_host").c_str(), path.c_str(), FALSE))
        return NULL;
    if (!StartProgram(path, className + " " + mode, program))
        return NULL;
    return WaitForWindow(program->id, className.c_str(), NULL, 20000);
}

bool StartTwoServerWindows(TwoServerWindows* two)
{
    Program a, b;
    if (!StartWindowHost("Quorvane", "quit", &a, ScratchFolder("hosts") + "\\first.exe") ||
        !StartWindowHost("Quorvane", "quit", &b, ScratchFolder("hosts") + "\\second.exe")) {
        EndProgram(&a);
        EndProgram(&b);
        return false;
    }
    std::vector<HWND> order = TopLevelWindows("Quorvane");
    if (order.size() != 2)
        return false;
    DWORD firstId = 0;
    GetWindowThreadProcessId(order[0], &firstId);
    two->first = firstId == a.id ? a : b;
    two->second = firstId == a.id ? b : a;
    two->firstWindow = order[0];
    two->secondWindow = order[1];
    return true;
}

void EndTwoServerWindows(TwoServerWindows* two)
{
    EndProgram(&two->first);
    EndProgram(&two->second);
}

HWND OpenLicencePage(const std::string& installerPath, Program* installer)
{
    if (!StartProgram(installerPath, "", installer))
        return NULL;
    HWND welcome = WaitForDialog(installer->id, WelcomeCaption, 20000);
    if (!welcome)
        return NULL;
    Click(welcome, IDOK);
    return WaitForDialog(installer->id, LicenceCaption, 20000);
}

DWORD InstallThroughWizard(const std::string& installerPath)
{
    Program installer;
    DWORD result = STILL_ACTIVE;
    MessageBoxView done;
    HWND licence = OpenLicencePage(installerPath, &installer);
    if (licence) {
        Click(licence, IDOK);
        if (WaitForMessageBox(installer.id, 30000, &done)) {
            Answer(done, IDOK);
            result = WaitForExit(installer, 20000);
        }
    }
    EndProgram(&installer);
    return result;
}

DWORD UninstallThroughBoxes()
{
    Program uninstaller;
    if (!StartProgram(InstalledUninstaller(), "", &uninstaller))
        return STILL_ACTIVE;
    DWORD result = STILL_ACTIVE;
    MessageBoxView question, notice;
    if (WaitForMessageBox(uninstaller.id, 20000, &question)) {
        Answer(question, IDYES);
        if (WaitForMessageBox(uninstaller.id, 30000, &notice)) {
            Answer(notice, IDOK);
            result = WaitForExit(uninstaller, 20000);
        }
    }
    EndProgram(&uninstaller);
    return result;
}

void KeepScreenshot(HWND window, const std::string& name)
{
    std::string folder = ScreenshotFolder();
    if (!folder.empty())
        SaveScreenshot(window, folder + "\\" + name + ".bmp");
}
