// Planted where a carelessly quoted command line would start it: when run, it
// leaves "<own path>.ran" holding the command line it was given.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char path[MAX_PATH + 8];
    DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 1;
    lstrcatA(path, ".ran");
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    const char* commandLine = GetCommandLineA();
    DWORD written;
    WriteFile(file, commandLine, lstrlenA(commandLine), &written, NULL);
    CloseHandle(file);
    return 0;
}
