// Stand-in for the real server program: just enough of it for the installer and
// uninstaller to deploy, start and stop. It owns one top-level window of class
// "Quorvane", ends when that window receives WM_DESTROY, ignores its command line
// and writes nothing anywhere.
#include <windows.h>

static LRESULT CALLBACK ServerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ServerWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(NULL, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    windowClass.lpszClassName = "Quorvane";
    if (!RegisterClassA(&windowClass))
        return 1;

    HWND window = CreateWindowA("Quorvane", "Quorvane Server", WS_OVERLAPPEDWINDOW,
                                CW_USEDEFAULT, CW_USEDEFAULT, 320, 120, NULL, NULL,
                                instance, NULL);
    if (!window)
        return 1;
    ShowWindow(window, showCommand);

    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
