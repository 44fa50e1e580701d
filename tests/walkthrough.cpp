// Walks through one installation and removal with the real programs, the way a
// person would, and says what it saw: every page and box is saved as a picture,
// and the installed layout is listed. Runs under Wine; prints UTF-8.
//   walkthrough install FOLDER     click through the installer, pictures into FOLDER
//   walkthrough report             list what is installed now
//   walkthrough uninstall FOLDER   click through the uninstaller, then list what is left
#include <windows.h>

#include <shlobj.h>
#include <stdio.h>

#include <string>

#include "gui_driver.h"
#include "layout.h"
#include "machine.h"

namespace {

const DWORD Patience = 30000;

std::string Utf8(const std::string& ansi)
{
    wchar_t wide[8192];
    char utf8[16384];
    int length = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, wide, 8192);
    if (length <= 0)
        return ansi;
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof utf8, NULL, NULL);
    return utf8;
}

// Line breaks inside a box's text shown as " / ", so each box stays on one line.
std::string OneLine(const std::string& text)
{
    std::string line;
    for (char c : text) {
        if (c == '\n')
            line += " / ";
        else if (c != '\r')
            line += c;
    }
    return line;
}

void Say(const std::string& text)
{
    printf("%s\n", Utf8(text).c_str());
    fflush(stdout);
}

int Fail(const std::string& reason)
{
    printf("walkthrough: FAILED: %s\n", Utf8(reason).c_str());
    fflush(stdout);
    return 1;
}

std::string PictureFolder;

void Picture(HWND window, const char* name)
{
    Sleep(400);
    SaveScreenshot(window, PictureFolder + "\\" + name + ".bmp");
}

// Waits for the program's next message box, reports and pictures it, and answers.
bool HandleBox(const Program& program, const char* picture, int button)
{
    MessageBoxView box;
    if (!WaitForMessageBox(program.id, Patience, &box))
        return false;
    Say("  box: [" + box.caption + "] " + OneLine(box.text));
    Picture(box.window, picture);
    Answer(box, button);
    return true;
}

// True when the program ended with exit code 0.
bool EndedCleanly(Program* program)
{
    bool clean = WaitForExit(*program, Patience) == 0;
    EndProgram(program);
    return clean;
}

std::string Size(const std::string& path)
{
    if (!FileExists(path))
        return "missing";
    return std::to_string(ReadFileBytes(path).size()) + " bytes";
}

void ReportFile(const std::string& path)
{
    Say("  file      " + path + "  (" + Size(path) + ")");
}

void ReportValue(HKEY root, const char* rootName, const std::string& key, const char* name)
{
    RegistryValue value = ReadRegistryValue(root, key, name);
    Say(std::string("  registry  ") + rootName + "\\" + key + " : " + name + " = " +
        (value.present ? value.Text() : "(none)"));
}

void ReportShortcut(const std::string& path)
{
    ShortcutView view = ReadShortcut(path);
    Say("  shortcut  " + path + (view.loaded ? "  -> " + view.target : "  (none)"));
}

void ReportLayout()
{
    ReportFile(InstalledServer());
    ReportFile(ProductFolder() + "mov.dat");
    ReportFile(ProductFolder() + "licence.txt");
    ReportFile(InstalledUninstaller());
    ReportShortcut(StartMenuFolder() + "Quorvane Server.lnk");
    ReportShortcut(DesktopShortcut());
    ReportValue(HKEY_LOCAL_MACHINE, "HKLM", UninstallKey, "DisplayName");
    ReportValue(HKEY_LOCAL_MACHINE, "HKLM", UninstallKey, "UninstallString");
    ReportValue(HKEY_LOCAL_MACHINE, "HKLM", RunKey, "Quorvane");
    Say(std::string("  server    window of class \"Quorvane\": ") +
        (TopLevelWindows("Quorvane").empty() ? "not running" : "running"));
}

int Install()
{
    std::string installerPath = StageInstaller("download");
    Say("Installing with " + installerPath);
    Program installer;
    if (!StartProgram(installerPath, "", &installer))
        return Fail("the installer did not start");

    HWND welcome = WaitForDialog(installer.id, WelcomeCaption, Patience);
    if (!welcome)
        return Fail("no welcome page");
    Say("  page: [" + WindowText(welcome) + "]");
    Picture(welcome, "1-welcome");
    Click(welcome, IDOK);

    HWND licence = WaitForDialog(installer.id, LicenceCaption, Patience);
    if (!licence)
        return Fail("no licence page after Next");
    std::string text = ControlText(licence, 1002);
    Say("  page: [" + WindowText(licence) + "] licence of " + std::to_string(text.size()) +
        " bytes, first line: " + text.substr(0, text.find('\r')));
    Picture(licence, "2-licence");
    Click(licence, IDOK);

    if (!HandleBox(installer, "3-completion", IDOK))
        return Fail("no message after agreeing");
    if (!EndedCleanly(&installer))
        return Fail("the installer did not end with exit code 0");

    HWND server = WaitForWindow(0, "Quorvane", NULL, Patience);
    if (!server)
        return Fail("the server program did not start");
    Picture(server, "4-server");
    return 0;
}

int Uninstall()
{
    Say("Removing with " + InstalledUninstaller());
    Program uninstaller;
    if (!StartProgram(InstalledUninstaller(), "", &uninstaller))
        return Fail("the uninstaller did not start");
    if (!HandleBox(uninstaller, "5-confirm", IDYES))
        return Fail("no confirmation from the uninstaller");
    if (!HandleBox(uninstaller, "6-notice", IDOK))
        return Fail("no closing notice from the uninstaller");
    if (!EndedCleanly(&uninstaller))
        return Fail("the uninstaller did not end with exit code 0");

    Say("Left after removal (the uninstaller's own file goes at the next restart):");
    ReportLayout();
    RegistryValue pending = ReadRegistryValue(
        HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager",
        "PendingFileRenameOperations");
    Say(std::string("  pending   delete at restart: ") +
        (pending.present ? pending.Text() : "(nothing)"));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "report") {
        Say("Installed now:");
        ReportLayout();
        return 0;
    }
    if ((mode != "install" && mode != "uninstall") || argc < 3)
        return Fail("usage: walkthrough install FOLDER | report | uninstall FOLDER");
    PictureFolder = argv[2];
    MakeFolders(PictureFolder);
    return mode == "install" ? Install() : Uninstall();
}
