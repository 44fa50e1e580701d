#ifndef QUORVANE_COMMON_SERVER_WINDOW_H
#define QUORVANE_COMMON_SERVER_WINDOW_H

#include <windows.h>

// Nonzero when the window's class name is exactly "Quorvane", byte for byte.
int IsServerWindow(HWND window);

// Sends the server's stop message (WM_DESTROY) and waits at most five seconds for
// it to be handled, less when the window has stopped answering altogether.
void SendStopMessage(HWND window);

#endif
