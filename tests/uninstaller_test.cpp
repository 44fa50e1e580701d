// The installed uninstaller driven from the outside: every test installs with the
// real installer in a fresh Wine machine, answers the uninstaller's boxes and then
// looks at what is left.
#include <gtest/gtest.h>

#include <shlobj.h>
#include <windows.h>

#include <string>
#include <vector>

#include "gui_driver.h"
#include "layout.h"
#include "machine.h"
#include "services.h"

namespace {

const DWORD Patience = 20000;
const char ConfirmationText[] = "Quorvaneを完全に削除します。よろしいですか？";
const char NoticeText[] = "完全に削除しました。\nQuorvaneのご利用ありがとうございました。";
const char SessionManagerKey[] = "System\\CurrentControlSet\\Control\\Session Manager";
const char MakerKey[] = "Software\\Brennmoor";
const char SettingsKey[] = "Software\\Brennmoor\\Quorvane";
const char VirtualStoreKey[] =
    "Software\\Classes\\VirtualStore\\Machine\\Software\\Brennmoor\\Quorvane";
const char ShortcutName[] = "Quorvane Server.lnk";

RegistryValue PendingOperations()
{
    return ReadRegistryValue(HKEY_LOCAL_MACHINE, SessionManagerKey, "PendingFileRenameOperations");
}

// Wine lists a deletion at restart as the NT path followed by an empty target name,
// and closes the list with one more terminator.
std::string PendingDeletion(const std::string& path)
{
    return "\\??\\" + path + std::string(3, '\0');
}

Program ProcessOf(HWND window)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return AttachProgram(processId);
}

bool Ended(const Program& program, DWORD timeoutMs)
{
    return WaitForExit(program, timeoutMs) != static_cast<DWORD>(STILL_ACTIVE);
}

// The names in a folder given with its trailing backslash.
std::vector<std::string> FolderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

std::string DesktopFolder()
{
    return SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + "\\";
}

void ExpectInstallationInPlace()
{
    for (const char* name : {"Quorvane.exe", "licence.txt", "mov.dat"}) {
        EXPECT_TRUE(FileExists(ProductFolder() + name)) << name;
    }
    EXPECT_TRUE(FileExists(StartMenuFolder() + ShortcutName));
    EXPECT_TRUE(FileExists(DesktopShortcut()));
    EXPECT_TRUE(FileExists(InstalledUninstaller()));
    EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, UninstallKey));
    EXPECT_TRUE(ReadRegistryValue(HKEY_LOCAL_MACHINE, RunKey, "Quorvane").present);
}

void ExpectInstallationRemoved()
{
    EXPECT_FALSE(FolderExists(ProductFolder()));
    EXPECT_FALSE(FolderExists(StartMenuFolder()));
    EXPECT_FALSE(FileExists(DesktopShortcut()));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, UninstallKey));
    EXPECT_FALSE(ReadRegistryValue(HKEY_LOCAL_MACHINE, RunKey, "Quorvane").present);
}

// What the server itself leaves behind while it runs: its settings, plus on
// version 6 a per-user start entry and the per-user copy the registry keeps of
// settings written without administrator rights.
void LeaveServerTraces()
{
    ASSERT_TRUE(WriteRegistryText(HKEY_LOCAL_MACHINE, SettingsKey, "Setting", "1"));
    ASSERT_TRUE(WriteRegistryText(HKEY_LOCAL_MACHINE, MakerKey, "Other", "kept"));
    ASSERT_TRUE(
        WriteRegistryText(HKEY_CURRENT_USER, RunKey, "Quorvane", "\"" + InstalledServer() + "\""));
    ASSERT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, VirtualStoreKey, "Setting", "1"));
}


class UninstallerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(0u, InstallThroughWizard(StageInstaller("setup")));
        serverWindow = WaitForWindow(0, "Quorvane", NULL, Patience);
        ASSERT_NE(nullptr, serverWindow) << "the installed server did not start";
        server = ProcessOf(serverWindow);
    }

    void TearDown() override
    {
        EndProgram(&uninstaller);
        EndProgram(&server);
    }

    // Frees the installed server's window class and program file for a stand-in.
    void StopInstalledServer()
    {
        PostMessageA(serverWindow, WM_CLOSE, 0, 0);
        ASSERT_TRUE(Ended(server, Patience)) << "the installed server did not end";
    }

    MessageBoxView Confirmation()
    {
        MessageBoxView box;
        EXPECT_TRUE(StartProgram(InstalledUninstaller(), "", &uninstaller));
        EXPECT_TRUE(WaitForMessageBox(uninstaller.id, Patience, &box)) << "no confirmation";
        return box;
    }

    // Answers Yes and returns the box that follows, with the time from the click
    // until it appeared.
    MessageBoxView AnswerYes(const MessageBoxView& confirmation, DWORD* elapsedMs = nullptr)
    {
        MessageBoxView notice;
        DWORD start = GetTickCount();
        Answer(confirmation, IDYES);
        HWND next = WaitForDialog(uninstaller.id, NULL, Patience);
        if (elapsedMs)
            *elapsedMs = GetTickCount() - start;
        EXPECT_NE(nullptr, next) << "no closing notice";
        if (next)
            WaitForMessageBox(uninstaller.id, Patience, &notice);
        return notice;
    }

    void CloseNotice(const MessageBoxView& notice)
    {
        Answer(notice, IDOK);
        EXPECT_EQ(0u, WaitForExit(uninstaller, Patience));
    }

    // A whole run answered with Yes; the closing notice's text.
    std::string Uninstall(DWORD* elapsedMs = nullptr)
    {
        MessageBoxView confirmation = Confirmation();
        if (!confirmation.window)
            return std::string();
        MessageBoxView notice = AnswerYes(confirmation, elapsedMs);
        if (!notice.window)
            return std::string();
        CloseNotice(notice);
        return notice.text;
    }

    HWND serverWindow = NULL;
    Program server;
    Program uninstaller;
};

// --- The two answers ---

TEST_F(UninstallerTest, YesRemovesTheInstallationAndLeavesItsOwnFileForTheRestart)
{
    MessageBoxView confirmation = Confirmation();
    ASSERT_NE(nullptr, confirmation.window);
    EXPECT_EQ(ConfirmationText, confirmation.text);
    EXPECT_EQ(UninstallCaption, confirmation.caption);
    EXPECT_EQ(BoxIcon::Question, confirmation.icon);
    EXPECT_EQ((std::vector<int>{IDYES, IDNO}), confirmation.buttons);
    EXPECT_EQ(nullptr, confirmation.owner);
    KeepScreenshot(confirmation.window, "uninstaller-confirm");
    EXPECT_FALSE(PendingOperations().present) << "scheduled before the answer";
    EXPECT_FALSE(Ended(server, 0)) << "stopped before the answer";

    DWORD elapsed = 0;
    MessageBoxView notice = AnswerYes(confirmation, &elapsed);
    ASSERT_NE(nullptr, notice.window);
    RecordProperty("yes_to_notice_ms", static_cast<int>(elapsed));
    EXPECT_GE(elapsed, 1500u) << "no pause for the server to let go of its file";
    EXPECT_EQ(NoticeText, notice.text);
    EXPECT_EQ(UninstallCaption, notice.caption);
    EXPECT_EQ(BoxIcon::Information, notice.icon);
    EXPECT_EQ(std::vector<int>{IDOK}, notice.buttons);
    EXPECT_EQ(nullptr, notice.owner);
    KeepScreenshot(notice.window, "uninstaller-notice");
    ExpectInstallationRemoved();
    CloseNotice(notice);

    EXPECT_TRUE(Ended(server, 0)) << "the server still runs";
    EXPECT_TRUE(FileExists(InstalledUninstaller()));
    RegistryValue pending = PendingOperations();
    EXPECT_EQ(static_cast<DWORD>(REG_MULTI_SZ), pending.type);
    EXPECT_EQ(PendingDeletion(InstalledUninstaller()), pending.data);
}

TEST_F(UninstallerTest, ARestartDeletesTheUninstallerItself)
{
    EXPECT_EQ(NoticeText, Uninstall());
    ASSERT_TRUE(FileExists(InstalledUninstaller()));

    // Wine starts every session with wineboot, which carries out what was left for
    // the restart; run with -r inside this session it does that much and leaves the
    // running programs, this test among them, alone.
    Program boot;
    ASSERT_TRUE(StartProgram(SpecialFolder(CSIDL_SYSTEM) + "\\wineboot.exe", "-r", &boot));
    EXPECT_EQ(0u, WaitForExit(boot, Patience));
    EndProgram(&boot);
    EXPECT_FALSE(FileExists(InstalledUninstaller()));
    EXPECT_FALSE(PendingOperations().present);
}

TEST_F(UninstallerTest, NoLeavesEverythingAsItWas)
{
    ASSERT_NO_FATAL_FAILURE(LeaveServerTraces());
    MessageBoxView confirmation = Confirmation();
    ASSERT_NE(nullptr, confirmation.window);
    Answer(confirmation, IDNO);
    EXPECT_EQ(0u, WaitForExit(uninstaller, Patience)) << "a second box, or no end";

    ExpectInstallationInPlace();
    EXPECT_FALSE(PendingOperations().present);
    EXPECT_FALSE(Ended(server, 0));
    EXPECT_EQ("Quorvane Server", WindowText(serverWindow));
    EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, SettingsKey));
    EXPECT_TRUE(ReadRegistryValue(HKEY_CURRENT_USER, RunKey, "Quorvane").present);
    EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, VirtualStoreKey));
}

TEST_F(UninstallerTest, ASecondRunFindsNothingAndStillEndsWithTheNotice)
{
    EXPECT_EQ(NoticeText, Uninstall());
    ExpectInstallationRemoved();
    EXPECT_EQ(NoticeText, Uninstall());
    ExpectInstallationRemoved();
}

// --- The server's own traces, by system ---

enum class ServiceAt { None, Stopped, Running };

struct TraceCase {
    const char* name;
    const char* version;  // what the uninstaller is told it runs on
    ServiceAt service;
    bool olderSystem;  // the service goes and the per-user traces stay
};

void PrintTo(const TraceCase& c, std::ostream* out)
{
    *out << c.name;
}

class UninstallerTraceTest : public UninstallerTest,
                             public ::testing::WithParamInterface<TraceCase> {};

TEST_P(UninstallerTraceTest, RemovesWhatTheServerLeftOnThatSystem)
{
    const TraceCase& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(LeaveServerTraces());
    Program serviceProcess;
    if (c.service != ServiceAt::None) {
        ASSERT_TRUE(CreateServerService());
    }
    if (c.service == ServiceAt::Running) {
        ASSERT_TRUE(StartServerService(&serviceProcess));
    }
    SetReportedWindowsVersion(c.version);

    EXPECT_EQ(NoticeText, Uninstall());
    ExpectInstallationRemoved();
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, SettingsKey));
    EXPECT_EQ("kept", ReadRegistryValue(HKEY_LOCAL_MACHINE, MakerKey, "Other").Text());
    EXPECT_EQ(c.olderSystem, ReadRegistryValue(HKEY_CURRENT_USER, RunKey, "Quorvane").present);
    EXPECT_EQ(c.olderSystem, RegistryKeyExists(HKEY_CURRENT_USER, VirtualStoreKey));

    ServiceView service = LookAtService();
    if (c.service == ServiceAt::None || c.olderSystem) {
        EXPECT_EQ(static_cast<DWORD>(ERROR_SERVICE_DOES_NOT_EXIST), service.openError);
    } else {
        EXPECT_EQ(0u, service.openError);
        EXPECT_EQ(
            static_cast<DWORD>(c.service == ServiceAt::Running ? SERVICE_RUNNING : SERVICE_STOPPED),
            service.state);
    }
    if (c.service == ServiceAt::Running) {
        EXPECT_EQ(c.olderSystem, Ended(serviceProcess, 0)) << "the service process";
    }
    EndProgram(&serviceProcess);
}

INSTANTIATE_TEST_SUITE_P(
    Systems, UninstallerTraceTest,
    ::testing::Values(TraceCase{"vista_running_service", "vista", ServiceAt::Running, false},
                      TraceCase{"win7_running_service", "win7", ServiceAt::Running, false},
                      TraceCase{"winxp_running_service", "winxp", ServiceAt::Running, true},
                      TraceCase{"winxp_stopped_service", "winxp", ServiceAt::Stopped, true},
                      TraceCase{"winxp_no_service", "winxp", ServiceAt::None, true}),
    [](const ::testing::TestParamInfo<TraceCase>& info) { return std::string(info.param.name); });

// --- What is not ours to remove ---

struct NestedKeyCase {
    const char* name;
    HKEY root;
    const char* key;
};

void PrintTo(const NestedKeyCase& c, std::ostream* out)
{
    *out << c.name;
}

const NestedKeyCase RemovedKeys[] = {
    {"settings", HKEY_LOCAL_MACHINE, SettingsKey},
    {"virtual_store", HKEY_CURRENT_USER, VirtualStoreKey},
    {"uninstall_entry", HKEY_LOCAL_MACHINE, UninstallKey},
};

class UninstallerNestedKeyTest : public UninstallerTest,
                                 public ::testing::WithParamInterface<NestedKeyCase> {};

TEST_P(UninstallerNestedKeyTest, AKeyWithASubkeyStaysAndTheOthersGo)
{
    const NestedKeyCase& nested = GetParam();
    ASSERT_NO_FATAL_FAILURE(LeaveServerTraces());
    std::string child = std::string(nested.key) + "\\Child";
    ASSERT_TRUE(WriteRegistryText(nested.root, child, "Setting", "1"));

    EXPECT_EQ(NoticeText, Uninstall());
    EXPECT_TRUE(RegistryKeyExists(nested.root, nested.key));
    EXPECT_EQ("1", ReadRegistryValue(nested.root, child, "Setting").Text());
    for (const NestedKeyCase& other : RemovedKeys) {
        if (std::string(other.name) != nested.name) {
            EXPECT_FALSE(RegistryKeyExists(other.root, other.key)) << other.name;
        }
    }
    EXPECT_FALSE(ReadRegistryValue(HKEY_LOCAL_MACHINE, RunKey, "Quorvane").present);
    EXPECT_FALSE(ReadRegistryValue(HKEY_CURRENT_USER, RunKey, "Quorvane").present);
    EXPECT_FALSE(FolderExists(ProductFolder()));
}

INSTANTIATE_TEST_SUITE_P(Keys, UninstallerNestedKeyTest, ::testing::ValuesIn(RemovedKeys),
                         [](const ::testing::TestParamInfo<NestedKeyCase>& info) {
                             return std::string(info.param.name);
                         });

struct ExtraFileCase {
    const char* name;
    std::string (*folder)();
    std::string (*otherFolder)();
};

void PrintTo(const ExtraFileCase& c, std::ostream* out)
{
    *out << c.name;
}

class UninstallerExtraFileTest : public UninstallerTest,
                                 public ::testing::WithParamInterface<ExtraFileCase> {};

TEST_P(UninstallerExtraFileTest, KeepsThatFolderWithOnlyTheUserFile)
{
    std::string folder = GetParam().folder();
    ASSERT_TRUE(WriteFileBytes(folder + "notes.txt", "mine"));

    EXPECT_EQ(NoticeText, Uninstall());
    EXPECT_EQ(std::vector<std::string>{"notes.txt"}, FolderEntries(folder));
    EXPECT_EQ("mine", ReadFileBytes(folder + "notes.txt"));
    EXPECT_FALSE(FolderExists(GetParam().otherFolder()));
    EXPECT_FALSE(FileExists(DesktopShortcut()));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, UninstallKey));
}

INSTANTIATE_TEST_SUITE_P(Folders, UninstallerExtraFileTest,
                         ::testing::Values(ExtraFileCase{"product", ProductFolder, StartMenuFolder},
                                           ExtraFileCase{"start_menu", StartMenuFolder,
                                                         ProductFolder}),
                         [](const ::testing::TestParamInfo<ExtraFileCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(UninstallerTest, TheAllUsersDesktopStaysEvenWhenLeftEmpty)
{
    ASSERT_EQ(std::vector<std::string>{ShortcutName}, FolderEntries(DesktopFolder()));
    EXPECT_EQ(NoticeText, Uninstall());
    EXPECT_TRUE(FolderExists(DesktopFolder()));
    EXPECT_TRUE(FolderEntries(DesktopFolder()).empty());
}

// ソ and 表 carry a backslash byte (0x5C) as their second byte in CP932.
const char JapaneseProgramFiles[] = "C:\\プログラム ソフト表";

class UninstallerJapaneseFolderTest : public UninstallerTest {
protected:
    void SetUp() override
    {
        SetProgramFilesFolder(JapaneseProgramFiles);
        UninstallerTest::SetUp();
    }
};

TEST_F(UninstallerJapaneseFolderTest, RemovesTheProductFolderBelowIt)
{
    ASSERT_EQ(std::string(JapaneseProgramFiles) + "\\Quorvane\\", ProductFolder());
    ASSERT_TRUE(FileExists(InstalledServer()));

    EXPECT_EQ(NoticeText, Uninstall());
    ExpectInstallationRemoved();
    EXPECT_TRUE(FolderExists(JapaneseProgramFiles));
}

// --- Server windows ---

TEST_F(UninstallerTest, AServerThatKeepsItsFileKeepsOnlyThatFileAndItsFolder)
{
    ASSERT_NO_FATAL_FAILURE(StopInstalledServer());
    Program stubborn;
    HWND window = StartWindowHost("Quorvane", "stay", &stubborn, InstalledServer());
    ASSERT_NE(nullptr, window);

    EXPECT_EQ(NoticeText, Uninstall());
    EXPECT_EQ("WM_DESTROY received", WindowText(window));
    EXPECT_EQ(std::vector<std::string>{"Quorvane.exe"}, FolderEntries(ProductFolder()));
    EXPECT_EQ(ReadFileBytes(BuiltStub("window_host")), ReadFileBytes(InstalledServer()));
    EXPECT_FALSE(FolderExists(StartMenuFolder()));
    EXPECT_FALSE(FileExists(DesktopShortcut()));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, UninstallKey));
    EXPECT_FALSE(ReadRegistryValue(HKEY_LOCAL_MACHINE, RunKey, "Quorvane").present);
    EndProgram(&stubborn);
}

TEST_F(UninstallerTest, AHungServerDoesNotHangTheUninstaller)
{
    ASSERT_NO_FATAL_FAILURE(StopInstalledServer());
    Program hung;
    ASSERT_NE(nullptr, StartWindowHost("Quorvane", "hang", &hung));

    DWORD elapsed = 0;
    EXPECT_EQ(NoticeText, Uninstall(&elapsed));
    RecordProperty("yes_to_notice_with_hung_server_ms", static_cast<int>(elapsed));
    EXPECT_LT(elapsed, 15000u);
    ExpectInstallationRemoved();
    EndProgram(&hung);
}

// A removal row whose folder cannot be found is left alone; the other rows go.
struct UnavailableFolderCase {
    const char* name;
    const char* shellFolderValue;
    bool startMenuStays;
};

void PrintTo(const UnavailableFolderCase& c, std::ostream* out)
{
    *out << c.name;
}

class UninstallerUnavailableFolderTest
    : public UninstallerTest,
      public ::testing::WithParamInterface<UnavailableFolderCase> {};

TEST_P(UninstallerUnavailableFolderTest, SkipsOnlyThatRow)
{
    const UnavailableFolderCase& c = GetParam();
    std::string startMenuLink = StartMenuFolder() + ShortcutName;
    std::string desktopLink = DesktopShortcut();
    MakeShellFolderUnavailable(c.shellFolderValue);

    EXPECT_EQ(NoticeText, Uninstall());
    EXPECT_EQ(c.startMenuStays, FileExists(startMenuLink));
    EXPECT_EQ(!c.startMenuStays, FileExists(desktopLink));
    EXPECT_FALSE(FolderExists(ProductFolder()));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, UninstallKey));
}

INSTANTIATE_TEST_SUITE_P(
    Folders, UninstallerUnavailableFolderTest,
    ::testing::Values(UnavailableFolderCase{"start_menu", "Common Programs", true},
                      UnavailableFolderCase{"desktop", "Common Desktop", false}),
    [](const ::testing::TestParamInfo<UnavailableFolderCase>& info) {
        return std::string(info.param.name);
    });

TEST_F(UninstallerTest, OnlyTheFirstServerWindowIsStopped)
{
    ASSERT_NO_FATAL_FAILURE(StopInstalledServer());
    TwoServerWindows two;
    ASSERT_TRUE(StartTwoServerWindows(&two));

    EXPECT_EQ(NoticeText, Uninstall());
    EXPECT_TRUE(Ended(two.first, 1000));
    EXPECT_FALSE(Ended(two.second, 0));
    EXPECT_EQ("Quorvane", WindowText(two.secondWindow));
    ExpectInstallationRemoved();
    EndTwoServerWindows(&two);
}

TEST_F(UninstallerTest, WindowsWithNearlyTheServerClassAreLeftAlone)
{
    // Wine compares class names without regard to case across processes, so the
    // lower-case one could not be told apart while a "Quorvane" window exists.
    ASSERT_NO_FATAL_FAILURE(StopInstalledServer());
    Program lower, longer;
    HWND lowerWindow = StartWindowHost("quorvane", "quit", &lower);
    HWND longerWindow = StartWindowHost("Quorvane2", "quit", &longer);
    ASSERT_NE(nullptr, lowerWindow);
    ASSERT_NE(nullptr, longerWindow);
    ASSERT_EQ("quorvane", ClassName(lowerWindow));

    EXPECT_EQ(NoticeText, Uninstall());
    EXPECT_EQ("quorvane", WindowText(lowerWindow));
    EXPECT_EQ("Quorvane2", WindowText(longerWindow));
    EXPECT_FALSE(Ended(lower, 0));
    EXPECT_FALSE(Ended(longer, 0));
    ExpectInstallationRemoved();
    EndProgram(&lower);
    EndProgram(&longer);
}

}  // namespace
