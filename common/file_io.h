#ifndef QUORVANE_COMMON_FILE_IO_H
#define QUORVANE_COMMON_FILE_IO_H

#include <windows.h>

// Reads at most cap bytes from the start of the file; returns how many were read,
// 0 when the file cannot be opened. No terminator is added.
DWORD ReadWholeFile(const char* path, void* buffer, DWORD cap);

// Replaces the file with exactly length bytes of data; nonzero only when every
// byte was written.
BOOL WriteWholeFile(const char* path, const void* data, DWORD length);

// As WriteWholeFile, for a folder that others may write: whatever entry the name
// holds (a file, a link to another file) is deleted and a new file is created in
// its place, so no other file is ever written through it.
BOOL WriteFileByName(const char* path, const void* data, DWORD length);

#endif
