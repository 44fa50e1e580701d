#include "installation.h"

#include <shlobj.h>

#include "registry_key.h"
#include "resource.h"
#include "resource_file.h"
#include "server_window.h"
#include "shortcut.h"
#include "special_folder.h"
#include "text.h"

char ServerProgramPath[MAX_PATH];
char UninstallerPath[MAX_PATH];

static const char ServerFileName[] = "Quorvane.exe";
static const char UninstallerFileName[] = "uninstall_Quorvane.exe";
static const char ShortcutFileName[] = "Quorvane Server.lnk";
static const char ShortcutDescription[] = "Quorvane Server";
static const char UninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvane";
static const char RunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// A path with a blank in it, unquoted, is parsed as "C:\Program" plus arguments by
// anything that treats it as a command line, and a planted C:\Program.exe would run.
#define QUOTED_PATH_SIZE (MAX_PATH + 2)

BOOL CALLBACK StopServerEnumProc(HWND window, LPARAM)
{
    if (!IsServerWindow(window))
        return TRUE;
    SendStopMessage(window);
    Sleep(2000);
    return FALSE;
}

static int QuotePath(char* dest, unsigned cap, const char* path)
{
    return CopyText(dest, cap, "\"") && AppendText(dest, cap, path) &&
           AppendText(dest, cap, "\"");
}

// Fills folder with the special folder's path plus suffix; 0 when the folder
// cannot be found or the result would not fit.
static int FindFolder(HWND owner, int csidl, const char* suffix, char* folder)
{
    return LookupSpecialFolderPath(owner, folder, csidl) &&
           AppendText(folder, MAX_PATH, suffix);
}

// A shortcut is a convenience: when its folder cannot be found or its path would
// not fit, that one shortcut is left out and the installation goes on.
static void CreateServerShortcut(HWND owner, int csidl, const char* suffix, int ownFolder)
{
    char folder[MAX_PATH];
    char linkPath[MAX_PATH];
    if (!FindFolder(owner, csidl, suffix, folder))
        return;
    if (ownFolder)
        CreateDirectoryA(folder, NULL);
    if (!JoinText(linkPath, sizeof linkPath, folder, ShortcutFileName))
        return;
    CreateShortcut(linkPath, ServerProgramPath, ShortcutDescription, NULL, NULL, NULL, 0,
                   SW_SHOWNORMAL);
}

static void WriteMachineValue(const char* subKey, const char* name, const char* text)
{
    HKEY key = OpenOrCreateMachineKey(subKey, KEY_ALL_ACCESS);
    SetStringValue(key, name, text);
    CloseKey(key);
}

static void RegisterInstallation()
{
    char quoted[QUOTED_PATH_SIZE];

    HKEY key = OpenOrCreateMachineKey(UninstallKey, KEY_ALL_ACCESS);
    SetStringValue(key, "DisplayName", "Quorvane Server");
    QuotePath(quoted, sizeof quoted, UninstallerPath);
    SetStringValue(key, "UninstallString", quoted);
    CloseKey(key);

    QuotePath(quoted, sizeof quoted, ServerProgramPath);
    WriteMachineValue(RunKey, "Quorvane", quoted);
}

// Writes the program files and the uninstaller; 0 as soon as one that the
// installation cannot do without is missing.
static int WriteFiles(HWND owner)
{
    char productFolder[MAX_PATH];
    char windowsFolder[MAX_PATH];

    if (!FindFolder(owner, CSIDL_PROGRAM_FILES, "\\Quorvane\\", productFolder))
        return 0;
    CreateDirectoryA(productFolder, NULL);
    if (!ExtractResourceToFile(IDR_SERVER_PROGRAM, RESOURCE_TYPE_PROGRAM, productFolder,
                               ServerFileName))
        return 0;
    if (!ExtractResourceToFile(IDR_MOVIE, RESOURCE_TYPE_MOVIE, productFolder, "mov.dat"))
        return 0;
    ExtractResourceToFile(IDR_LICENCE_TEXT, RESOURCE_TYPE_TEXT, productFolder, "licence.txt");

    // The uninstall entry names this file, so an installation without it could
    // never be removed again.
    if (!FindFolder(owner, CSIDL_WINDOWS, "\\", windowsFolder))
        return 0;
    if (!ExtractResourceToFile(IDR_UNINSTALLER, RESOURCE_TYPE_PROGRAM, windowsFolder,
                               UninstallerFileName))
        return 0;

    // Both joins fit: the same paths were just written.
    JoinText(ServerProgramPath, MAX_PATH, productFolder, ServerFileName);
    JoinText(UninstallerPath, MAX_PATH, windowsFolder, UninstallerFileName);
    return 1;
}

int RunInstallation(HWND owner)
{
    EnumWindows(StopServerEnumProc, 0);

    if (!WriteFiles(owner)) {
        MessageBoxA(owner, "インストールに失敗しました。", "Quorvane", MB_OK);
        return 0;
    }

    CreateServerShortcut(owner, CSIDL_COMMON_PROGRAMS, "\\Quorvane\\", TRUE);
    CreateServerShortcut(owner, CSIDL_COMMON_DESKTOPDIRECTORY, "\\", FALSE);
    RegisterInstallation();

    MessageBoxA(owner, "インストールが完了しました。\n「Quorvane」を起動します。", "Quorvane", MB_OK);
    return 1;
}

UINT LaunchServer()
{
    char commandLine[QUOTED_PATH_SIZE];
    if (!QuotePath(commandLine, sizeof commandLine, ServerProgramPath))
        return 0;
    return WinExec(commandLine, SW_SHOW);
}
