#include "gui_driver.h"

#include <string.h>

namespace {

const int MessageBoxIconId = 0x440;  // the icon control of the system's message box
const int MessageBoxTextId = 0xFFFF;

struct Search {
    DWORD processId;
    const char* className;
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM context)
{
    Search* search = reinterpret_cast<Search*>(context);
    if (!IsWindowVisible(window))
        return TRUE;
    if (search->processId) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != search->processId)
            return TRUE;
    }
    if (search->className && ClassName(window) != search->className)
        return TRUE;
    if (search->caption && WindowText(window) != search->caption)
        return TRUE;
    search->found = window;
    return FALSE;
}

HWND FindNow(DWORD processId, const char* className, const char* caption)
{
    Search search = {processId, className, caption, NULL};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool IsMessageBox(HWND window)
{
    return ClassName(window) == "#32770" && GetDlgItem(window, MessageBoxIconId) != NULL;
}

struct BoxSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchMessageBox(HWND window, LPARAM context)
{
    BoxSearch* search = reinterpret_cast<BoxSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window) && IsMessageBox(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectButton(HWND child, LPARAM context)
{
    auto* buttons = reinterpret_cast<std::vector<int>*>(context);
    if (ClassName(child) == "Button" && IsWindowVisible(child))
        buttons->push_back(GetDlgCtrlID(child));
    return TRUE;
}

// Runs paint on a 32-bit top-down bitmap of that size and returns its pixels.
template <class Paint>
std::vector<DWORD> PaintPixels(int width, int height, Paint paint)
{
    std::vector<DWORD> pixels;
    if (width <= 0 || height <= 0)
        return pixels;
    pixels.resize(width * height);

    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = NULL;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    paint(memory, screen, static_cast<DWORD*>(bits));
    GdiFlush();
    memcpy(pixels.data(), bits, pixels.size() * sizeof(DWORD));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return pixels;
}

// What the screen shows in that rectangle, top row first.
std::vector<DWORD> GrabScreen(const RECT& area)
{
    int width = area.right - area.left;
    int height = area.bottom - area.top;
    return PaintPixels(width, height, [&](HDC memory, HDC screen, DWORD*) {
        BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    });
}

// The candidate icon drawn the way the message box draws it, over the colour
// that surrounds the real one.
std::vector<DWORD> DrawCandidate(LPCSTR iconName, int width, int height, DWORD background)
{
    return PaintPixels(width, height, [&](HDC memory, HDC, DWORD* bits) {
        for (int i = 0; i < width * height; ++i)
            bits[i] = background;
        if (iconName)
            DrawIconEx(memory, 0, 0, LoadIconA(NULL, iconName), 0, 0, 0, NULL, DI_NORMAL);
    });
}

long long Distance(const std::vector<DWORD>& a, const std::vector<DWORD>& b)
{
    long long total = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        for (int shift = 0; shift < 24; shift += 8) {
            int x = (a[i] >> shift) & 0xFF;
            int y = (b[i] >> shift) & 0xFF;
            total += x > y ? x - y : y - x;
        }
    }
    return total;
}

BoxIcon ReadIcon(HWND box)
{
    HWND control = GetDlgItem(box, MessageBoxIconId);
    if (!control || !IsWindowVisible(control))
        return BoxIcon::None;
    RECT area;
    GetWindowRect(control, &area);
    std::vector<DWORD> shown = GrabScreen(area);
    if (shown.empty())
        return BoxIcon::None;
    int width = area.right - area.left;
    int height = area.bottom - area.top;

    struct Candidate {
        BoxIcon icon;
        LPCSTR name;
    };
    const Candidate candidates[] = {
        {BoxIcon::None, NULL},
        {BoxIcon::Error, IDI_HAND},
        {BoxIcon::Question, IDI_QUESTION},
        {BoxIcon::Warning, IDI_EXCLAMATION},
        {BoxIcon::Information, IDI_ASTERISK},
    };
    BoxIcon best = BoxIcon::None;
    long long bestDistance = -1;
    for (const Candidate& candidate : candidates) {
        long long distance =
            Distance(shown, DrawCandidate(candidate.name, width, height, shown[0] & 0xFFFFFF));
        if (bestDistance < 0 || distance < bestDistance) {
            bestDistance = distance;
            best = candidate.icon;
        }
    }
    return best;
}

void Pause()
{
    Sleep(50);
}

}  // namespace

bool StartProgram(const std::string& exePath, const std::string& arguments, Program* program)
{
    std::string commandLine = "\"" + exePath + "\"";
    if (!arguments.empty())
        commandLine += " " + arguments;
    std::string folder = exePath.substr(0, exePath.find_last_of('\\'));

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::vector<char> writable(commandLine.begin(), commandLine.end());
    writable.push_back('\0');
    if (!CreateProcessA(exePath.c_str(), writable.data(), NULL, NULL, FALSE, 0, NULL,
                        folder.c_str(), &startup, &info))
        return false;
    CloseHandle(info.hThread);
    program->process = info.hProcess;
    program->id = info.dwProcessId;
    return true;
}

Program AttachProgram(DWORD processId)
{
    Program program;
    program.id = processId;
    program.process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE,
                                  FALSE, processId);
    return program;
}

DWORD WaitForExit(const Program& program, DWORD timeoutMs)
{
    if (WaitForSingleObject(program.process, timeoutMs) != WAIT_OBJECT_0)
        return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(program.process, &code);
    return code;
}

void EndProgram(Program* program)
{
    if (!program->process)
        return;
    if (WaitForSingleObject(program->process, 0) != WAIT_OBJECT_0) {
        TerminateProcess(program->process, 1);
        WaitForSingleObject(program->process, 5000);
    }
    CloseHandle(program->process);
    program->process = NULL;
}

HWND WaitForWindow(DWORD processId, const char* className, const char* caption,
                   DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND window = FindNow(processId, className, caption);
        if (window || GetTickCount() - start >= timeoutMs)
            return window;
        Pause();
    }
}

HWND WaitForDialog(DWORD processId, const char* caption, DWORD timeoutMs)
{
    return WaitForWindow(processId, "#32770", caption, timeoutMs);
}

bool NoWindowFor(DWORD processId, const char* className, DWORD timeoutMs)
{
    return WaitForWindow(processId, className, NULL, timeoutMs) == NULL;
}

std::vector<HWND> TopLevelWindows(const char* className)
{
    struct Collect {
        const char* className;
        std::vector<HWND> windows;
    } collect = {className, {}};
    WNDENUMPROC add = [](HWND window, LPARAM context) WINAPI -> BOOL {
        Collect* c = reinterpret_cast<Collect*>(context);
        if (ClassName(window) == c->className)
            c->windows.push_back(window);
        return TRUE;
    };
    EnumWindows(add, reinterpret_cast<LPARAM>(&collect));
    return collect.windows;
}

std::string WindowText(HWND window)
{
    char text[8192];
    int length = GetWindowTextA(window, text, sizeof text);
    return std::string(text, length > 0 ? length : 0);
}

std::string ControlText(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    if (!control)
        return std::string();
    // WM_GETTEXT reaches another process's controls; GetWindowText would not.
    std::vector<char> text(65536);
    LRESULT length = SendMessageA(control, WM_GETTEXT, text.size(), (LPARAM)text.data());
    return std::string(text.data(), length > 0 ? length : 0);
}

std::string ClassName(HWND window)
{
    char name[260];
    int length = GetClassNameA(window, name, sizeof name);
    return std::string(name, length > 0 ? length : 0);
}

void Click(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

void PressKey(HWND dialog, UINT virtualKey)
{
    // The dialog's own message loop hands keys to IsDialogMessage, which acts on
    // them as on a real key stroke (Esc cancels, Tab moves the focus).
    GUITHREADINFO thread = {};
    thread.cbSize = sizeof thread;
    HWND target = dialog;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(dialog, NULL), &thread) && thread.hwndFocus)
        target = thread.hwndFocus;
    UINT scan = MapVirtualKeyA(virtualKey, 0);
    PostMessageA(target, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
    PostMessageA(target, WM_KEYUP, virtualKey, 1 | (scan << 16) | 0xC0000000);
}

void CloseBox(HWND window)
{
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

bool WaitForMessageBox(DWORD processId, DWORD timeoutMs, MessageBoxView* box)
{
    DWORD start = GetTickCount();
    BoxSearch search = {processId, NULL};
    for (;;) {
        EnumWindows(MatchMessageBox, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            break;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Pause();
    }
    // Let it finish painting before its icon is read off the screen.
    Sleep(300);
    box->window = search.found;
    box->caption = WindowText(search.found);
    box->text = ControlText(search.found, MessageBoxTextId);
    box->owner = GetWindow(search.found, GW_OWNER);
    box->buttons.clear();
    EnumChildWindows(search.found, CollectButton, reinterpret_cast<LPARAM>(&box->buttons));
    box->icon = ReadIcon(search.found);
    return true;
}

void Answer(const MessageBoxView& box, int buttonId)
{
    Click(box.window, buttonId);
    // Wait for the box to go, so that the next look for a box cannot find it again.
    DWORD start = GetTickCount();
    while (IsWindow(box.window) && IsWindowVisible(box.window) && GetTickCount() - start < 5000)
        Pause();
}

bool SaveScreenshot(HWND window, const std::string& bmpPath)
{
    RECT area;
    if (!GetWindowRect(window, &area))
        return false;
    std::vector<DWORD> pixels = GrabScreen(area);
    int width = area.right - area.left;
    int height = area.bottom - area.top;
    int stride = (width * 3 + 3) & ~3;

    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biSizeImage = stride * height;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + header.biSizeImage;

    std::vector<BYTE> rows(header.biSizeImage);
    for (int y = 0; y < height; ++y) {
        BYTE* row = &rows[(height - 1 - y) * stride];
        for (int x = 0; x < width; ++x) {
            DWORD pixel = pixels[y * width + x];
            row[x * 3] = pixel & 0xFF;
            row[x * 3 + 1] = (pixel >> 8) & 0xFF;
            row[x * 3 + 2] = (pixel >> 16) & 0xFF;
        }
    }

    HANDLE out = CreateFileA(bmpPath.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, NULL);
    if (out == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(out, &file, sizeof file, &written, NULL) &&
              WriteFile(out, &header, sizeof header, &written, NULL) &&
              WriteFile(out, rows.data(), rows.size(), &written, NULL);
    CloseHandle(out);
    return ok;
}
