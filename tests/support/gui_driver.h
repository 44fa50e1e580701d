#ifndef QUORVANE_TESTS_GUI_DRIVER_H
#define QUORVANE_TESTS_GUI_DRIVER_H

// Drives another program's windows from the outside, the way a person would:
// finds its windows, reads their texts, clicks buttons by control id and answers
// message boxes. Clicks are posted, never sent, so a handler that runs a long job
// or opens a modal box cannot block the driver.

#include <windows.h>

#include <string>
#include <vector>

struct Program {
    HANDLE process = NULL;
    DWORD id = 0;
};

// Starts exePath with the given command-line tail (may be empty). The working
// folder is the program's own.
bool StartProgram(const std::string& exePath, const std::string& arguments, Program* program);

// A program that is already running, by process id.
Program AttachProgram(DWORD processId);

// Waits for the process to end; its exit code, or STILL_ACTIVE on time-out.
DWORD WaitForExit(const Program& program, DWORD timeoutMs);
void EndProgram(Program* program);

// A visible top-level window of the process with that class (NULL for any) and
// caption (NULL for any); NULL on time-out. processId 0 means any process.
HWND WaitForWindow(DWORD processId, const char* className, const char* caption,
                   DWORD timeoutMs);
HWND WaitForDialog(DWORD processId, const char* caption, DWORD timeoutMs);
// True when no such window appeared within timeoutMs.
bool NoWindowFor(DWORD processId, const char* className, DWORD timeoutMs);
// Every top-level window of that class in enumeration order.
std::vector<HWND> TopLevelWindows(const char* className);

std::string WindowText(HWND window);
std::string ControlText(HWND dialog, int id);
std::string ClassName(HWND window);

void Click(HWND dialog, int id);
void PressKey(HWND dialog, UINT virtualKey);
void CloseBox(HWND window);

enum class BoxIcon { None, Error, Question, Warning, Information };

struct MessageBoxView {
    HWND window = NULL;
    std::string caption;
    std::string text;
    BoxIcon icon = BoxIcon::None;
    std::vector<int> buttons;  // control ids, as the box lists them
    HWND owner = NULL;
};

// Waits for a message box of the process and reads it; false on time-out.
bool WaitForMessageBox(DWORD processId, DWORD timeoutMs, MessageBoxView* box);
// Clicks the button and waits (up to five seconds) for the box to close.
void Answer(const MessageBoxView& box, int buttonId);

// Saves what the window shows on screen as a 24-bit .bmp file.
bool SaveScreenshot(HWND window, const std::string& bmpPath);

#endif
