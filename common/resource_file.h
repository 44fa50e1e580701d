#ifndef QUORVANE_COMMON_RESOURCE_FILE_H
#define QUORVANE_COMMON_RESOURCE_FILE_H

#include <windows.h>

// The module whose resources ExtractResourceToFile writes out; the program's
// entry point stores it before anything else runs.
extern HINSTANCE InstanceHandle;

// The bytes of resource id of the given custom type in InstanceHandle, and their
// number in size; NULL when the module holds no such resource or it cannot be
// loaded. The bytes stay mapped for the life of the process.
const void* LoadResourceBytes(WORD id, const char* type, DWORD* size);

// Writes resource id of the given custom type, whole, to directory + fileName
// (joined as they stand: directory must end in a backslash), replacing any file
// there. Returns 0 without creating a file when the resource is missing or cannot
// be loaded, or when the joined path does not fit MAX_PATH.
BOOL ExtractResourceToFile(WORD id, const char* type, const char* directory,
                           const char* fileName);

#endif
