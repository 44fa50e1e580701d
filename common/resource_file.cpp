#include "resource_file.h"

#include "file_io.h"
#include "text.h"

const void* LoadResourceBytes(WORD id, const char* type, DWORD* size)
{
    HRSRC found = FindResourceA(InstanceHandle, MAKEINTRESOURCEA(id), type);
    if (!found)
        return NULL;
    HGLOBAL loaded = LoadResource(InstanceHandle, found);
    *size = SizeofResource(InstanceHandle, found);
    return loaded ? LockResource(loaded) : NULL;
}

BOOL ExtractResourceToFile(WORD id, const char* type, const char* directory,
                           const char* fileName)
{
    DWORD size = 0;
    const void* bytes = LoadResourceBytes(id, type, &size);
    if (!bytes)
        return FALSE;

    char path[MAX_PATH];
    if (!JoinText(path, sizeof path, directory, fileName))
        return FALSE;
    return WriteWholeFile(path, bytes, size);
}
