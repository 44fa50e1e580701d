#ifndef QUORVANE_COMMON_FILE_IO_H
#define QUORVANE_COMMON_FILE_IO_H

#include <windows.h>

// Reads at most cap bytes from the start of the file; returns how many were read,
// 0 when the file cannot be opened. No terminator is added.
DWORD ReadWholeFile(const char* path, void* buffer, DWORD cap);

// Replaces the file with exactly length bytes of data; nonzero only when every
// byte was written.
BOOL WriteWholeFile(const char* path, const void* data, DWORD length);

#endif
