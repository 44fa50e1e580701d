#include "resource_file.h"

#include "file_io.h"
#include "text.h"

BOOL ExtractResourceToFile(WORD id, const char* type, const char* directory,
                           const char* fileName)
{
    HRSRC found = FindResourceA(InstanceHandle, MAKEINTRESOURCEA(id), type);
    if (!found)
        return FALSE;
    HGLOBAL loaded = LoadResource(InstanceHandle, found);
    DWORD size = SizeofResource(InstanceHandle, found);
    const void* bytes = loaded ? LockResource(loaded) : NULL;
    if (!bytes)
        return FALSE;

    char path[MAX_PATH];
    if (!JoinText(path, sizeof path, directory, fileName))
        return FALSE;
    return WriteWholeFile(path, bytes, size);
}
