// Planted beside a program under the name of a DLL that it loads by name: when
// loaded it leaves "<own path>.ran" holding the path of the program it ran in.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    char path[MAX_PATH + 8];
    DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return TRUE;
    lstrcatA(path, ".ran");
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return TRUE;
    char host[MAX_PATH];
    DWORD hostLength = GetModuleFileNameA(NULL, host, sizeof host);
    DWORD written;
    WriteFile(file, host, hostLength, &written, NULL);
    CloseHandle(file);
    return TRUE;
}
