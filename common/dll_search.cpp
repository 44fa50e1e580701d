#include "dll_search.h"

#include <windows.h>

#include "text.h"

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

// The DLLs that are loaded by name after start-up, by the programs or by system
// DLLs on their behalf, and that are not KnownDLLs on Vista and 7. The loader
// looks for such a name in the program's own folder first: a download folder,
// a CD, or the Windows folder for the uninstaller. Once a DLL of that name is in
// memory every later load by name gets that copy, so each is loaded here once by
// its full path in the system folder. A DLL comes before the DLLs that load it,
// which would otherwise look for it by name while they are being loaded.
static const char* const LateDlls[] = {
    "version.dll",   // shell32 and the link object: file version look-ups
    "profapi.dll",   // userenv: user profile paths
    "userenv.dll",   // shell32 and the shell folders: profile folders
    "cryptbase.dll", // advapi32 (7): its cryptographic base functions
    "ntmarta.dll",   // advapi32: security of the files and keys created
    "msimg32.dll",   // uxtheme (Wine): a delayed import for drawing themed parts
    "dwmapi.dll",    // uxtheme and user32: the desktop window manager
    "uxtheme.dll",   // user32 and comctl32: themed dialogs, buttons and boxes
    "apphelp.dll",   // kernel32 and the shell: compatibility look-ups for started programs
    "setupapi.dll",  // shell32: device and drive look-ups for the shell folders
    "propsys.dll",   // shell32 and the link object: property stores
    "oleacc.dll",    // user32 and the dialogs: accessibility
    "combase.dll",   // shell32 and ole32 (Wine): COM itself, for the shell's folders
    "comres.dll",    // ole32 and clbcatq: COM's own resources
    "clbcatq.dll",   // ole32: the COM class catalogue, for CLSID_ShellLink
};

typedef BOOL(WINAPI* SetDefaultDllDirectoriesFunction)(DWORD);

static void LoadFromSystemFolder()
{
    char folder[MAX_PATH];
    UINT length = GetSystemDirectoryA(folder, sizeof folder);
    if (length == 0 || length >= sizeof folder || !AppendText(folder, sizeof folder, "\\"))
        return;
    for (const char* name : LateDlls) {
        char path[MAX_PATH];
        // One that is not there is simply not loaded: nothing asks for it then.
        if (JoinText(path, sizeof path, folder, name))
            LoadLibraryA(path);
    }
}

void HardenDllSearch()
{
    // No current folder in the search either (the CD, the download folder).
    SetDllDirectoryA("");
    LoadFromSystemFolder();

    // Where the system offers it, every later load by name searches the system
    // folder alone. Not on 6.0: there it is known to make the shell link object
    // fail to be created, and the installer makes its shortcuts with it.
    DWORD version = GetVersion();
    if (LOBYTE(LOWORD(version)) == 6 && HIBYTE(LOWORD(version)) == 0)
        return;
    SetDefaultDllDirectoriesFunction setDefault = (SetDefaultDllDirectoriesFunction)(void*)
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
    if (setDefault)
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
}
