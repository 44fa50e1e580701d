#include <gtest/gtest.h>

#include <shlobj.h>
#include <windows.h>

#include <string>

#include "file_io.h"
#include "machine.h"
#include "registry_key.h"
#include "resource_file.h"
#include "shortcut.h"
#include "special_folder.h"
#include "text.h"

HINSTANCE InstanceHandle = GetModuleHandleA(NULL);

namespace {

const char Sentinel = '\x5A';

std::string Folder()
{
    return ScratchFolder("primitives");
}

std::string OwnResource(WORD id, const char* type)
{
    HRSRC found = FindResourceA(NULL, MAKEINTRESOURCEA(id), type);
    const char* data = static_cast<const char*>(LockResource(LoadResource(NULL, found)));
    return std::string(data, SizeofResource(NULL, found));
}

// --- ReadWholeFile ---

struct ReadCase {
    const char* name;
    int fileSize;  // -1: no file at all
    DWORD cap;
    DWORD expected;
};

void PrintTo(const ReadCase& c, std::ostream* out)
{
    *out << c.name;
}

class ReadWholeFileTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadWholeFileTest, ReadsAtMostCapBytesAndNothingPastThem)
{
    const ReadCase& c = GetParam();
    std::string path = Folder() + "\\" + c.name;
    std::string content;
    for (int i = 0; i < c.fileSize; ++i)
        content += static_cast<char>('a' + i % 26);
    if (c.fileSize >= 0) {
        ASSERT_TRUE(WriteFileBytes(path, content));
    }

    std::string buffer(c.cap + 16, Sentinel);
    DWORD got = ReadWholeFile(path.c_str(), &buffer[0], c.cap);

    EXPECT_EQ(c.expected, got);
    EXPECT_EQ(content.substr(0, got), buffer.substr(0, got));
    EXPECT_EQ(std::string(buffer.size() - got, Sentinel), buffer.substr(got))
        << "bytes after the data were touched";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadWholeFileTest,
    ::testing::Values(ReadCase{"missing", -1, 64, 0}, ReadCase{"empty", 0, 64, 0},
                      ReadCase{"short", 10, 64, 10}, ReadCase{"exact", 64, 64, 64},
                      ReadCase{"longer", 100, 64, 64}, ReadCase{"licence_size", 6000, 5120, 5120}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST(ReadWholeFile, FileHeldOpenForWritingIsNotRead)
{
    std::string path = Folder() + "\\busy.txt";
    ASSERT_TRUE(WriteFileBytes(path, "busy"));
    HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, writer);
    char buffer[8] = "xxxxxxx";
    EXPECT_EQ(0u, ReadWholeFile(path.c_str(), buffer, 4));
    EXPECT_STREQ("xxxxxxx", buffer);
    CloseHandle(writer);
}

// --- WriteWholeFile ---

TEST(WriteWholeFile, ReplacesALongerFileExactly)
{
    std::string path = Folder() + "\\replace.bin";
    ASSERT_TRUE(WriteFileBytes(path, std::string(1000, 'o')));
    const char fresh[] = "new\0bytes";
    EXPECT_TRUE(WriteWholeFile(path.c_str(), fresh, sizeof fresh));
    EXPECT_EQ(std::string(fresh, sizeof fresh), ReadFileBytes(path));
}

TEST(WriteWholeFile, LengthZeroCreatesOrEmptiesTheFile)
{
    std::string path = Folder() + "\\zero.bin";
    EXPECT_TRUE(WriteWholeFile(path.c_str(), "", 0));
    EXPECT_TRUE(FileExists(path));
    ASSERT_TRUE(WriteFileBytes(path, "something"));
    EXPECT_TRUE(WriteWholeFile(path.c_str(), "ignored", 0));
    EXPECT_EQ("", ReadFileBytes(path));
}

TEST(WriteWholeFile, FailsWithoutTouchingAnythingWhenTheFileCannotBeOpened)
{
    std::string missingFolder = Folder() + "\\no such folder\\file.bin";
    EXPECT_FALSE(WriteWholeFile(missingFolder.c_str(), "x", 1));
    EXPECT_FALSE(FileExists(missingFolder));

    std::string busy = Folder() + "\\held.bin";
    ASSERT_TRUE(WriteFileBytes(busy, "original"));
    HANDLE holder = CreateFileA(busy.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    EXPECT_FALSE(WriteWholeFile(busy.c_str(), "replacement", 11));
    CloseHandle(holder);
    EXPECT_EQ("original", ReadFileBytes(busy));
}

// --- ExtractResourceToFile ---

TEST(ExtractResourceToFile, WritesTheResourceWholeAndReplacesAnOlderFile)
{
    std::string folder = Folder() + "\\";
    ASSERT_TRUE(WriteFileBytes(folder + "payload.bin", std::string(5000, 'x')));
    EXPECT_TRUE(ExtractResourceToFile(7, "APPL", folder.c_str(), "payload.bin"));
    std::string expected = OwnResource(7, "APPL");
    EXPECT_EQ(expected, ReadFileBytes(folder + "payload.bin"));
    EXPECT_NE(std::string::npos, expected.find('\0')) << "the sample must hold a zero byte";

    EXPECT_TRUE(ExtractResourceToFile(8, "TEXT", folder.c_str(), "text.txt"));
    EXPECT_EQ(OwnResource(8, "TEXT"), ReadFileBytes(folder + "text.txt"));
}

TEST(ExtractResourceToFile, MissingIdOrTypeCreatesNoFile)
{
    std::string folder = Folder() + "\\";
    struct {
        WORD id;
        const char* type;
        const char* file;
    } cases[] = {{99, "APPL", "no_id.bin"}, {7, "MPEG", "wrong_type.bin"}, {8, "APPL", "other.bin"}};
    for (const auto& c : cases) {
        EXPECT_FALSE(ExtractResourceToFile(c.id, c.type, folder.c_str(), c.file)) << c.file;
        EXPECT_FALSE(FileExists(folder + c.file)) << c.file;
    }
}

TEST(ExtractResourceToFile, JoinsFolderAndNameWithoutASeparator)
{
    std::string folder = Folder() + "\\Data";
    EXPECT_TRUE(ExtractResourceToFile(7, "APPL", folder.c_str(), "a.txt"));
    EXPECT_TRUE(FileExists(Folder() + "\\Dataa.txt"));
}

TEST(ExtractResourceToFile, RefusesAPathOverMaxPath)
{
    std::string folder = Folder() + "\\";
    std::string fits(MAX_PATH - 1 - folder.size(), 'f');
    std::string tooLong = fits + "g";
    EXPECT_TRUE(ExtractResourceToFile(7, "APPL", folder.c_str(), fits.c_str()));
    EXPECT_TRUE(FileExists(folder + fits));
    EXPECT_FALSE(ExtractResourceToFile(7, "APPL", folder.c_str(), tooLong.c_str()));
    EXPECT_FALSE(FileExists(folder + tooLong.substr(0, tooLong.size() - 1) + "g"));
}

// --- LookupSpecialFolderPath ---

TEST(LookupSpecialFolderPath, GivesTheFolderWithoutATrailingBackslash)
{
    char path[MAX_PATH];
    struct {
        int csidl;
    } folders[] = {{CSIDL_PROGRAM_FILES}, {CSIDL_WINDOWS}, {CSIDL_COMMON_PROGRAMS},
                   {CSIDL_COMMON_DESKTOPDIRECTORY}};
    for (const auto& f : folders) {
        ASSERT_EQ(1, LookupSpecialFolderPath(NULL, path, f.csidl)) << f.csidl;
        EXPECT_EQ(SpecialFolder(f.csidl), path);
        EXPECT_NE('\\', path[strlen(path) - 1]);
    }
}

TEST(LookupSpecialFolderPath, FailsForFoldersWithoutAFileSystemPath)
{
    char path[MAX_PATH];
    EXPECT_EQ(0, LookupSpecialFolderPath(NULL, path, CSIDL_DRIVES));
    EXPECT_EQ(0, LookupSpecialFolderPath(NULL, path, 0x7F));
}

// --- Registry keys and values ---

const char TestKey[] = "Software\\Quorvane Tests\\Primitives";

TEST(RegistryKey, CreatesAMissingKeyAndOpensAnExistingOneWithItsValuesKept)
{
    RegDeleteKeyA(HKEY_CURRENT_USER, TestKey);
    HKEY created = OpenOrCreateKey(HKEY_CURRENT_USER, TestKey, KEY_ALL_ACCESS);
    ASSERT_NE(nullptr, created);
    EXPECT_EQ(ERROR_SUCCESS, SetStringValue(created, "Kept", "value"));
    CloseKey(created);

    HKEY opened = OpenOrCreateKey(HKEY_CURRENT_USER, TestKey, KEY_ALL_ACCESS);
    ASSERT_NE(nullptr, opened);
    CloseKey(opened);
    EXPECT_EQ("value", ReadRegistryValue(HKEY_CURRENT_USER, TestKey, "Kept").Text());
}

TEST(RegistryKey, MachineKeyLivesUnderLocalMachine)
{
    const char key[] = "SOFTWARE\\Quorvane Tests\\Machine";
    HKEY opened = OpenOrCreateMachineKey(key, KEY_ALL_ACCESS);
    ASSERT_NE(nullptr, opened);
    CloseKey(opened);
    EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, key));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, key));
}

TEST(RegistryKey, TheAccessMaskIsPassedAsGiven)
{
    HKEY readOnly = OpenOrCreateKey(HKEY_CURRENT_USER, TestKey, KEY_READ);
    ASSERT_NE(nullptr, readOnly);
    EXPECT_NE(ERROR_SUCCESS, SetStringValue(readOnly, "Refused", "x"));
    CloseKey(readOnly);
    EXPECT_FALSE(ReadRegistryValue(HKEY_CURRENT_USER, TestKey, "Refused").present);
}

TEST(RegistryKey, FailedOpenGivesNullAndNullIsHandledQuietly)
{
    EXPECT_EQ(nullptr, OpenOrCreateKey(NULL, "Software\\Nowhere", KEY_ALL_ACCESS));
    CloseKey(NULL);
    EXPECT_NE(ERROR_SUCCESS, SetStringValue(NULL, "Name", "text"));
}

TEST(SetStringValue, StoresRegSzWithItsTerminator)
{
    HKEY key = OpenOrCreateKey(HKEY_CURRENT_USER, TestKey, KEY_ALL_ACCESS);
    ASSERT_NE(nullptr, key);
    struct {
        const char* name;
        const char* text;
    } cases[] = {{"Empty", ""}, {"Path", "C:\\Program Files\\Quorvane\\Quorvane.exe"},
                 {"Japanese", "アンインストール"}};
    for (const auto& c : cases) {
        EXPECT_EQ(ERROR_SUCCESS, SetStringValue(key, c.name, c.text)) << c.name;
        RegistryValue stored = ReadRegistryValue(HKEY_CURRENT_USER, TestKey, c.name);
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), stored.type) << c.name;
        EXPECT_EQ(strlen(c.text) + 1, stored.size) << c.name;
        EXPECT_EQ(c.text, stored.Text()) << c.name;
    }
    CloseKey(key);
}

// --- CreateShortcut ---

struct LinkCase {
    const char* name;
    const char* arguments;
    const char* workingDirectory;
    const char* iconPath;
    int iconIndex;
};

void PrintTo(const LinkCase& c, std::ostream* out)
{
    *out << c.name;
}

class CreateShortcutTest : public ::testing::TestWithParam<LinkCase> {};

// Null fields must come back empty, not as whatever the link object made of a null.
TEST_P(CreateShortcutTest, SavesALinkThatReadsBackAsGiven)
{
    const LinkCase& c = GetParam();
    std::string link = Folder() + "\\" + c.name + ".lnk";
    HRESULT result = CreateShortcut(link.c_str(), "C:\\Program Files\\Quorvane\\Quorvane.exe",
                                    "Quorvane Server", c.arguments, c.workingDirectory, c.iconPath,
                                    c.iconIndex, SW_SHOWNORMAL);
    ASSERT_TRUE(SUCCEEDED(result)) << std::hex << result;

    ShortcutView view = ReadShortcut(link);
    ASSERT_TRUE(view.loaded);
    EXPECT_EQ("C:\\Program Files\\Quorvane\\Quorvane.exe", view.target);
    EXPECT_EQ("Quorvane Server", view.description);
    EXPECT_EQ(c.arguments ? c.arguments : "", view.arguments);
    EXPECT_EQ(c.workingDirectory ? c.workingDirectory : "", view.workingDirectory);
    EXPECT_EQ(c.iconPath ? c.iconPath : "", view.iconPath);
    EXPECT_EQ(c.iconIndex, view.iconIndex);
    EXPECT_EQ(SW_SHOWNORMAL, view.showCommand);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, CreateShortcutTest,
    ::testing::Values(LinkCase{"nulls", NULL, NULL, NULL, 0},
                      LinkCase{"values", "/quiet", "C:\\Work", "C:\\icons.dll", 3}),
    [](const ::testing::TestParamInfo<LinkCase>& info) { return std::string(info.param.name); });

TEST(CreateShortcut, ASecondSaveReplacesTheFirst)
{
    std::string link = Folder() + "\\again.lnk";
    ASSERT_TRUE(SUCCEEDED(CreateShortcut(link.c_str(), "C:\\first.exe", "first", NULL, NULL,
                                         NULL, 0, SW_SHOWNORMAL)));
    ASSERT_TRUE(SUCCEEDED(CreateShortcut(link.c_str(), "C:\\second.exe", "second", NULL, NULL,
                                         NULL, 0, SW_SHOWNORMAL)));
    ShortcutView view = ReadShortcut(link);
    EXPECT_EQ("C:\\second.exe", view.target);
    EXPECT_EQ("second", view.description);
}

TEST(CreateShortcut, JapaneseLinkPathIsSavedUnderItsName)
{
    std::string link = Folder() + "\\ソフト表.lnk";
    HRESULT result =
        CreateShortcut(link.c_str(), "C:\\a.exe", "d", NULL, NULL, NULL, 0, SW_SHOWNORMAL);
    ASSERT_TRUE(SUCCEEDED(result)) << std::hex << result << " GetACP " << std::dec << GetACP();
    EXPECT_TRUE(FileExists(link));
}

TEST(CreateShortcut, FailsAndSavesNothingWhenTheLinkCannotBeWritten)
{
    std::string missingFolder = Folder() + "\\no such folder\\x.lnk";
    EXPECT_TRUE(FAILED(CreateShortcut(missingFolder.c_str(), "C:\\a.exe", "d", NULL, NULL, NULL,
                                      0, SW_SHOWNORMAL)));
    EXPECT_FALSE(FileExists(missingFolder));

    std::string folder = Folder() + "\\";
    std::string tooLong = folder + std::string(MAX_PATH - folder.size(), 'L');
    ASSERT_EQ(static_cast<size_t>(MAX_PATH), tooLong.size());
    EXPECT_TRUE(FAILED(
        CreateShortcut(tooLong.c_str(), "C:\\a.exe", "d", NULL, NULL, NULL, 0, SW_SHOWNORMAL)));
    EXPECT_FALSE(FileExists(tooLong));
    EXPECT_FALSE(FileExists(tooLong.substr(0, MAX_PATH - 1)));
}

// --- Bounded text building ---

TEST(BoundedText, RefusesResultsThatDoNotFitAndLeavesNoPartialPath)
{
    char buffer[8];
    EXPECT_TRUE(JoinText(buffer, sizeof buffer, "abc", "defg"));
    EXPECT_STREQ("abcdefg", buffer);
    EXPECT_FALSE(JoinText(buffer, sizeof buffer, "abc", "defgh"));
    EXPECT_STREQ("", buffer);
    EXPECT_TRUE(CopyText(buffer, sizeof buffer, "1234567"));
    EXPECT_FALSE(AppendText(buffer, sizeof buffer, "8"));
    EXPECT_STREQ("", buffer);
    EXPECT_FALSE(CopyText(buffer, 0, "x"));
}

}  // namespace
