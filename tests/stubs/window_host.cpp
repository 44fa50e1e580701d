// Test stand-in for server programs that misbehave, and for bystander windows:
//   window_host CLASS quit    ends when its window receives WM_DESTROY
//   window_host CLASS stay    ignores WM_DESTROY and keeps its own program file open
//   window_host CLASS hang    never answers a message at all
// On WM_DESTROY the window's title becomes "WM_DESTROY received", so a test can
// tell from the outside which window was sent the stop message.
#include <windows.h>
#include <stdlib.h>
#include <string.h>

static int QuitOnDestroy;

static LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        SetWindowTextA(window, "WM_DESTROY received");
        if (QuitOnDestroy)
            PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    if (__argc < 3)
        return 2;
    const char* className = __argv[1];
    const char* mode = __argv[2];
    QuitOnDestroy = strcmp(mode, "quit") == 0;

    if (strcmp(mode, "stay") == 0) {
        // Keeps the program file busy the way a running program does on Windows.
        char ownPath[MAX_PATH];
        GetModuleFileNameA(NULL, ownPath, sizeof ownPath);
        CreateFileA(ownPath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    }

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = HostWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = className;
    if (!RegisterClassA(&windowClass))
        return 3;
    HWND window = CreateWindowA(className, className, WS_OVERLAPPEDWINDOW, 0, 0, 200, 80, NULL,
                                NULL, instance, NULL);
    if (!window)
        return 4;
    ShowWindow(window, SW_SHOWNOACTIVATE);

    if (strcmp(mode, "hang") == 0)
        Sleep(INFINITE);

    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}
