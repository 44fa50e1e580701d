#ifndef QUORVANE_TESTS_MACHINE_H
#define QUORVANE_TESTS_MACHINE_H

// Reads and arranges the state of the Wine machine the test runs in: files,
// registry, shortcuts, special folders and the reported Windows version.

#include <windows.h>

#include <string>

std::string ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
// Creates every missing folder along the path.
bool MakeFolders(const std::string& path);

// The bytes of a resource of another program file, loaded as data.
std::string ResourceBytes(const std::string& modulePath, WORD id, LPCSTR type);

struct RegistryValue {
    bool present = false;
    DWORD type = 0;
    DWORD size = 0;      // as stored, terminator included
    std::string data;    // the stored bytes
    std::string Text() const { return data.substr(0, data.find('\0')); }
};
RegistryValue ReadRegistryValue(HKEY root, const std::string& key, const std::string& name);
bool RegistryKeyExists(HKEY root, const std::string& key);
bool WriteRegistryText(HKEY root, const std::string& key, const std::string& name,
                       const std::string& text);

struct ShortcutView {
    bool loaded = false;
    std::string target, description, arguments, workingDirectory, iconPath;
    int iconIndex = -1;
    int showCommand = -1;
};
ShortcutView ReadShortcut(const std::string& linkPath);

// The file-system path of a CSIDL folder, without a trailing backslash.
std::string SpecialFolder(int csidl);

// What GetVersionEx reports to programs started from now on ("winxp", "vista",
// "win7", "win10").
void SetReportedWindowsVersion(const char* version);

// Points a machine-wide shell folder ("Common Programs", "Common Desktop") at a
// drive that does not exist, so that looking it up fails.
void MakeShellFolderUnavailable(const char* valueName);

// Points CSIDL_PROGRAM_FILES at another folder (created if missing).
void SetProgramFilesFolder(const std::string& path);

// A folder of its own for this test, on drive C: of the Wine machine.
std::string ScratchFolder(const std::string& name);

// The folder that holds the programs under test (the test's own folder).
std::string BuildFolder();

// The host folder named by that environment variable, as a Windows path on
// drive Z:, or "" when the variable is unset.
std::string HostFolder(const char* variable);

// Where screenshots go: $QUORVANE_SCREENSHOTS as a Windows path, or "" when unset.
std::string ScreenshotFolder();

#endif
