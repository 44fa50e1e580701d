#include <windows.h>

#include "installer.h"
#include "resource.h"
#include "resource_file.h"
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

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    InstanceHandle = instance;

    if (!IsSupportedSystem()) {
        MessageBoxA(NULL, RefusalText, NULL, MB_ICONERROR);
        return 0;
    }

    KeepInstallerFolder();
    if (InstallerFolder[0])
        ExtractResourceToFile(IDR_LICENCE_TEXT, RESOURCE_TYPE_TEXT, InstallerFolder, "licence.txt");

    RunWizard();
    return 0;
}
