#include <windows.h>

#include "file_io.h"
#include "installer.h"
#include "resource.h"
#include "resource_file.h"
#include "text.h"
#include "wizard.h"

HINSTANCE InstanceHandle;
char InstallerFolder[MAX_PATH];

static const char RefusalText[] =
    "申し訳ございませんが、このQuorvane は、Windows Vista専用です。\n"
    "インストールすることができません。ご了承下さい。";

static int IsSupportedSystem()
{
    // Zeroed first, so a failed query reads as major version 0 and is refused.
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    return version.dwMajorVersion == 6;
}

static void KeepInstallerFolder()
{
    DWORD length = GetModuleFileNameA(NULL, InstallerFolder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        InstallerFolder[0] = '\0';
        return;
    }
    char* lastSeparator = NULL;
    for (char* p = InstallerFolder; *p; p = CharNextA(p)) {
        if (*p == '\\')
            lastSeparator = p;
    }
    if (lastSeparator)
        lastSeparator[1] = '\0';
    else
        InstallerFolder[0] = '\0';
}

// The installer's folder is wherever it was downloaded to or a CD: others may
// have put anything under the name there, so the file is replaced by name. When
// it cannot be written (a read-only medium) the licence page shows an older copy
// or the text carried here.
static void WriteLicenceBesideInstaller()
{
    DWORD size = 0;
    const void* text = LoadResourceBytes(IDR_LICENCE_TEXT, RESOURCE_TYPE_TEXT, &size);
    char path[MAX_PATH];
    if (text && InstallerFolder[0] && JoinText(path, sizeof path, InstallerFolder, "licence.txt"))
        WriteFileByName(path, text, size);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    InstanceHandle = instance;

    if (!IsSupportedSystem()) {
        MessageBoxA(NULL, RefusalText, NULL, MB_ICONERROR);
        return 0;
    }

    KeepInstallerFolder();
    WriteLicenceBesideInstaller();

    RunWizard();
    return 0;
}
