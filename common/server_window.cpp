#include "server_window.h"

#include <string.h>

int IsServerWindow(HWND window)
{
    char className[260];
    if (GetClassNameA(window, className, sizeof className) <= 0)
        return 0;
    return strcmp(className, "Quorvane") == 0;
}

void SendStopMessage(HWND window)
{
    // An unbounded SendMessage would hang the caller for good behind a server
    // whose window no longer answers.
    DWORD_PTR ignored;
    SendMessageTimeoutA(window, WM_DESTROY, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
}
