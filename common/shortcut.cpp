#include "shortcut.h"

#include <objbase.h>
#include <shlobj.h>
#include <string.h>

// Kept here rather than taken from libuuid so the programs carry just these three.
static const GUID ShellLinkClass =
    {0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
static const GUID ShellLinkAInterface =
    {0x000214EE, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
static const GUID PersistFileInterface =
    {0x0000010B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

HRESULT CreateShortcut(const char* linkPath, const char* target, const char* description,
                       const char* arguments, const char* workingDirectory,
                       const char* iconPath, int iconIndex, int showCommand)
{
    // The wide copy has MAX_PATH units; a longer path would be cut off and the
    // link saved under the wrong name.
    if (strlen(linkPath) >= MAX_PATH)
        return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);

    CoInitialize(NULL);

    IShellLinkA* link = NULL;
    HRESULT result = CoCreateInstance(ShellLinkClass, NULL, CLSCTX_INPROC_SERVER,
                                      ShellLinkAInterface, (void**)&link);
    if (SUCCEEDED(result)) {
        IPersistFile* file = NULL;
        result = link->QueryInterface(PersistFileInterface, (void**)&file);
        if (SUCCEEDED(result)) {
            link->SetPath(target);
            link->SetDescription(description);
            // A new link has no arguments, working folder or icon of its own. A null
            // value is left unset rather than handed on: some link objects accept a
            // null working folder and then save heap garbage as the folder.
            if (arguments)
                link->SetArguments(arguments);
            if (workingDirectory)
                link->SetWorkingDirectory(workingDirectory);
            if (iconPath)
                link->SetIconLocation(iconPath, iconIndex);
            link->SetShowCmd(showCommand);

            WCHAR wideLinkPath[MAX_PATH];
            MultiByteToWideChar(CP_ACP, 0, linkPath, -1, wideLinkPath, MAX_PATH);
            result = file->Save(wideLinkPath, TRUE);
            file->Release();
        }
        link->Release();
    }

    CoUninitialize();
    return result;
}
