#include "special_folder.h"

#include <shlobj.h>

int LookupSpecialFolderPath(HWND owner, char* path, int folder)
{
    IMalloc* allocator = NULL;
    if (SHGetMalloc(&allocator) != S_OK)
        return 0;

    LPITEMIDLIST items = NULL;
    if (SHGetSpecialFolderLocation(owner, folder, &items) != S_OK) {
        allocator->Release();
        return 0;
    }

    BOOL found = SHGetPathFromIDListA(items, path);
    allocator->Free(items);
    allocator->Release();
    return found ? 1 : 0;
}
