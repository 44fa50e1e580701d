#include <windows.h>
#include <shlobj.h>

#include "registry_key.h"
#include "removal.h"
#include "server_window.h"
#include "special_folder.h"
#include "text.h"

static const char Caption[] = "アンインストール";
static const char RunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
static const char ServerRunValue[] = "Quorvane";

struct RemovalRow {
    int csidl;
    const char* files[4];
};

static const RemovalRow RemovalTable[] = {
    {CSIDL_PROGRAM_FILES, {"Quorvane.exe", "licence.txt", "mov.dat", NULL}},
    {CSIDL_COMMON_PROGRAMS, {"Quorvane Server.lnk", NULL}},
    {CSIDL_COMMON_DESKTOPDIRECTORY, {"Quorvane Server.lnk", NULL}},
};

BOOL CALLBACK CloseServerWindowProc(HWND window, LPARAM)
{
    if (!IsServerWindow(window))
        return TRUE;
    SendStopMessage(window);
    return FALSE;
}

// The desktop is shared with everything else on the machine: only our shortcut
// goes, the folder itself stays. Every other row owns its "Quorvane" folder.
static void RemoveRow(const RemovalRow& row)
{
    int isDesktop = row.csidl == CSIDL_COMMON_DESKTOPDIRECTORY;
    char folder[MAX_PATH];
    char file[MAX_PATH];

    // A folder that cannot be found, or whose path would not fit, leaves this row
    // alone rather than deleting by a path that is not the row's own.
    if (!LookupSpecialFolderPath(NULL, folder, row.csidl) ||
        !AppendText(folder, sizeof folder, isDesktop ? "\\" : "\\Quorvane\\"))
        return;

    for (const char* const* name = row.files; *name; ++name) {
        if (JoinText(file, sizeof file, folder, *name))
            DeleteFileA(file);
    }
    if (!isDesktop)
        RemoveDirectoryA(folder);
}

static void DeleteRunValue(HKEY root)
{
    HKEY key = OpenOrCreateKey(root, RunKey, KEY_ALL_ACCESS);
    if (!key)
        return;
    DeleteValue(key, ServerRunValue);
    CloseKey(key);
}

// Only major version 6 keeps per-user traces; older systems ran the server as a
// service. A failed query is taken as 6: that is the only system the installer
// accepts, and it leaves the service manager alone on a system we cannot name.
static int IsOlderSystem()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) && version.dwMajorVersion != 6;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    int perUserCleanUp = 1;

    if (MessageBoxA(NULL, "Quorvaneを完全に削除します。よろしいですか？", Caption,
                    MB_YESNO | MB_ICONQUESTION) == IDNO)
        return 0;

    // Only administrators may schedule a deletion at restart; without that right
    // the removal below would fail half-way, so stop before touching anything.
    char ownPath[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, ownPath, sizeof ownPath);
    if (length == 0 || length >= sizeof ownPath)
        return 0;
    if (!MoveFileExA(ownPath, NULL, MOVEFILE_DELAY_UNTIL_REBOOT))
        return 0;

    if (IsOlderSystem()) {
        StopAndDeleteService("Quorvane Service");
        perUserCleanUp = 0;
    }

    EnumWindows(CloseServerWindowProc, 0);
    // The server needs a moment to end and let go of its program file.
    Sleep(1500);

    for (const RemovalRow& row : RemovalTable)
        RemoveRow(row);

    if (perUserCleanUp) {
        DeleteRunValue(HKEY_CURRENT_USER);
        DeleteKey(HKEY_CURRENT_USER,
                  "Software\\Classes\\VirtualStore\\Machine\\Software\\Brennmoor\\Quorvane");
    }
    DeleteRunValue(HKEY_LOCAL_MACHINE);
    DeleteMachineKey("Software\\Brennmoor\\Quorvane");
    DeleteMachineKey("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvane");

    MessageBoxA(NULL, "完全に削除しました。\nQuorvaneのご利用ありがとうございました。", Caption,
                MB_OK | MB_ICONINFORMATION);
    return 0;
}
