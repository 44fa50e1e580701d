// The stand-in server program and the misbehaving test variants, and the Wine
// machine every test runs in.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "gui_driver.h"
#include "layout.h"
#include "machine.h"

namespace {

TEST(WineMachine, IsAJapaneseVistaByDefault)
{
    EXPECT_EQ(932u, GetACP());
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    ASSERT_TRUE(GetVersionExA(&version));
    EXPECT_EQ(6u, version.dwMajorVersion);
    EXPECT_EQ(0u, version.dwMinorVersion);
}

// What sending the stop message does to a window: 1 when it was handled in time.
LRESULT SendStop(HWND window)
{
    DWORD_PTR ignored;
    return SendMessageTimeoutA(window, WM_DESTROY, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
}

TEST(StandInServer, IgnoresItsCommandLineAndEndsOnTheStopMessage)
{
    std::string folder = ScratchFolder("stand-in");
    std::string path = folder + "\\Quorvane.exe";
    ASSERT_TRUE(CopyFileA(BuiltServer().c_str(), path.c_str(), FALSE));
    Program server;
    // Split at the blank the way an unquoted path would be.
    ASSERT_TRUE(StartProgram(path, "Files\\Quorvane\\Quorvane.exe --bogus", &server));
    HWND window = WaitForWindow(server.id, "Quorvane", "Quorvane Server", 20000);
    ASSERT_NE(nullptr, window);

    EXPECT_NE(0, SendStop(window));
    EXPECT_EQ(0u, WaitForExit(server, 2000));
    EndProgram(&server);

    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, search);
    int files = 0;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            ++files;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    EXPECT_EQ(1, files) << "the stand-in wrote a file beside itself";
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, "Software\\Brennmoor"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, "Software\\Brennmoor"));
}

TEST(WindowHost, StubbornVariantKeepsRunningAndKeepsItsFile)
{
    Program host;
    std::string path = ScratchFolder("stubborn") + "\\Quorvane.exe";
    HWND window = StartWindowHost("Quorvane", "stay", &host, path);
    ASSERT_NE(nullptr, window);
    EXPECT_NE(0, SendStop(window));
    EXPECT_EQ("WM_DESTROY received", WindowText(window));
    EXPECT_EQ(static_cast<DWORD>(STILL_ACTIVE), WaitForExit(host, 2500));
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    EXPECT_EQ(INVALID_HANDLE_VALUE, file) << "its program file could be replaced";
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    EndProgram(&host);
}

TEST(WindowHost, HungVariantNeverAnswers)
{
    Program host;
    HWND window = StartWindowHost("Quorvane", "hang", &host);
    ASSERT_NE(nullptr, window);
    DWORD start = GetTickCount();
    EXPECT_EQ(0, SendStop(window));
    EXPECT_LE(GetTickCount() - start, 6000u);
    EXPECT_EQ(static_cast<DWORD>(STILL_ACTIVE), WaitForExit(host, 0));
    EndProgram(&host);
}

}  // namespace
