#include "file_io.h"

DWORD ReadWholeFile(const char* path, void* buffer, DWORD cap)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;

    DWORD size = SetFilePointer(file, 0, NULL, FILE_END);
    SetFilePointer(file, 0, NULL, FILE_BEGIN);
    DWORD wanted = size < cap ? size : cap;

    // ReadFile zeroes the count before it starts, so a failed read reports 0.
    DWORD got = 0;
    ReadFile(file, buffer, wanted, &got, NULL);
    CloseHandle(file);
    return got;
}

static BOOL WriteFileAs(DWORD disposition, const char* path, const void* data, DWORD length)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, disposition,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;

    SetFilePointer(file, 0, NULL, FILE_BEGIN);
    DWORD written = 0;
    BOOL ok = WriteFile(file, data, length, &written, NULL);
    CloseHandle(file);
    // A short write (a full disk, say) leaves a truncated file behind; that is
    // a failed write, not a success.
    return ok && written == length;
}

BOOL WriteWholeFile(const char* path, const void* data, DWORD length)
{
    return WriteFileAs(CREATE_ALWAYS, path, data, length);
}

BOOL WriteFileByName(const char* path, const void* data, DWORD length)
{
    // Opening the name as it stands would write through a link planted under it
    // into whatever file it points at. Deleting removes the link, not its target;
    // and a name that turns up again in between makes the create fail rather
    // than be opened.
    DeleteFileA(path);
    return WriteFileAs(CREATE_NEW, path, data, length);
}
