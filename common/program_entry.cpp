// The programs' entry point, in place of the C runtime's start-up code: they use
// no runtime initialisation (no constructors, no arguments, no atexit), and the
// start-up code would be most of the uninstaller's size.
#include <windows.h>

#include "dll_search.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);

extern "C" void ProgramEntry()
{
    HardenDllSearch();
    STARTUPINFOA startup;
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    int showCommand = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
    ExitProcess(WinMain(GetModuleHandleA(NULL), NULL, GetCommandLineA(), showCommand));
}
