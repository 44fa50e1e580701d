#ifndef QUORVANE_COMMON_SHORTCUT_H
#define QUORVANE_COMMON_SHORTCUT_H

#include <windows.h>

// Saves a shell link at linkPath (at most MAX_PATH - 1 bytes) that starts target.
// arguments, workingDirectory and iconPath may be NULL: that field stays empty. COM is set up and taken
// down inside the call. Returns a failing HRESULT when nothing was saved.
HRESULT CreateShortcut(const char* linkPath, const char* target, const char* description,
                       const char* arguments, const char* workingDirectory,
                       const char* iconPath, int iconIndex, int showCommand);

#endif
