#include "machine.h"

#include <objbase.h>
#include <shlobj.h>
#include <stdlib.h>

#include <vector>

std::string ReadFileBytes(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    std::string bytes(GetFileSize(file, NULL), '\0');
    DWORD got = 0;
    if (!bytes.empty())
        ReadFile(file, &bytes[0], bytes.size(), &got, NULL);
    CloseHandle(file);
    bytes.resize(got);
    return bytes;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), bytes.size(), &written, NULL);
    CloseHandle(file);
    return ok && written == bytes.size();
}

bool FileExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeFolders(const std::string& path)
{
    return SHCreateDirectoryExA(NULL, path.c_str(), NULL) == ERROR_SUCCESS ||
           FolderExists(path);
}

std::string ResourceBytes(const std::string& modulePath, WORD id, LPCSTR type)
{
    HMODULE module = LoadLibraryExA(modulePath.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return std::string();
    std::string bytes;
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (found) {
        const char* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
        if (data)
            bytes.assign(data, SizeofResource(module, found));
    }
    FreeLibrary(module);
    return bytes;
}

RegistryValue ReadRegistryValue(HKEY root, const std::string& key, const std::string& name)
{
    RegistryValue value;
    HKEY opened;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return value;
    std::vector<char> data(4096);
    DWORD size = data.size();
    if (RegQueryValueExA(opened, name.c_str(), NULL, &value.type, (BYTE*)data.data(), &size) ==
        ERROR_SUCCESS) {
        value.present = true;
        value.size = size;
        value.data.assign(data.data(), size);
    }
    RegCloseKey(opened);
    return value;
}

bool RegistryKeyExists(HKEY root, const std::string& key)
{
    HKEY opened;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

bool WriteRegistryText(HKEY root, const std::string& key, const std::string& name,
                       const std::string& text)
{
    HKEY opened;
    if (RegCreateKeyExA(root, key.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &opened, NULL) !=
        ERROR_SUCCESS)
        return false;
    LONG status = RegSetValueExA(opened, name.c_str(), 0, REG_SZ, (const BYTE*)text.c_str(),
                                 text.size() + 1);
    RegCloseKey(opened);
    return status == ERROR_SUCCESS;
}

ShortcutView ReadShortcut(const std::string& linkPath)
{
    ShortcutView view;
    CoInitialize(NULL);
    IShellLinkA* link = NULL;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   (void**)&link))) {
        IPersistFile* file = NULL;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void**)&file))) {
            WCHAR wide[MAX_PATH * 2];
            MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH * 2);
            if (SUCCEEDED(file->Load(wide, STGM_READ))) {
                // Wine's getters leave the buffer alone when the field is empty.
                char text[1024];
                view.loaded = true;
                text[0] = '\0';
                if (SUCCEEDED(link->GetPath(text, sizeof text, NULL, SLGP_RAWPATH)))
                    view.target = text;
                text[0] = '\0';
                if (SUCCEEDED(link->GetDescription(text, sizeof text)))
                    view.description = text;
                text[0] = '\0';
                if (SUCCEEDED(link->GetArguments(text, sizeof text)))
                    view.arguments = text;
                text[0] = '\0';
                if (SUCCEEDED(link->GetWorkingDirectory(text, sizeof text)))
                    view.workingDirectory = text;
                text[0] = '\0';
                if (SUCCEEDED(link->GetIconLocation(text, sizeof text, &view.iconIndex)))
                    view.iconPath = text;
                link->GetShowCmd(&view.showCommand);
            }
            file->Release();
        }
        link->Release();
    }
    CoUninitialize();
    return view;
}

std::string SpecialFolder(int csidl)
{
    char path[MAX_PATH] = "";
    SHGetFolderPathA(NULL, csidl, NULL, SHGFP_TYPE_CURRENT, path);
    return path;
}

void SetReportedWindowsVersion(const char* version)
{
    WriteRegistryText(HKEY_CURRENT_USER, "Software\\Wine", "Version", version);
}

void MakeShellFolderUnavailable(const char* valueName)
{
    const std::string folders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";
    for (const char* key : {"User Shell Folders", "Shell Folders"})
        WriteRegistryText(HKEY_LOCAL_MACHINE, folders + key, valueName, "Q:\\no such drive");
}

void SetProgramFilesFolder(const std::string& path)
{
    MakeFolders(path);
    WriteRegistryText(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion",
                      "ProgramFilesDir", path);
}

std::string ScratchFolder(const std::string& name)
{
    std::string path = "C:\\quorvane-tests\\" + name;
    MakeFolders(path);
    return path;
}

std::string BuildFolder()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, sizeof path);
    std::string own(path, length);
    return own.substr(0, own.find_last_of('\\'));
}

std::string HostFolder(const char* variable)
{
    const char* unixPath = getenv(variable);
    if (!unixPath || !*unixPath)
        return std::string();
    std::string path = std::string("Z:") + unixPath;
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}

std::string ScreenshotFolder()
{
    std::string path = HostFolder("QUORVANE_SCREENSHOTS");
    if (!path.empty())
        MakeFolders(path);
    return path;
}
