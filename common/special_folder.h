#ifndef QUORVANE_COMMON_SPECIAL_FOLDER_H
#define QUORVANE_COMMON_SPECIAL_FOLDER_H

#include <windows.h>

// Fills path (MAX_PATH bytes) with the file-system path of a CSIDL folder, with no
// trailing backslash. Returns 1 on success; on 0 the buffer holds no usable path.
int LookupSpecialFolderPath(HWND owner, char* path, int folder);

#endif
