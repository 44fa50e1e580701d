// The installer driven from the outside: every test starts the real program in a
// fresh Wine machine, clicks through it, and then looks at what it left behind.
#include <gtest/gtest.h>

#include <shlobj.h>
#include <windows.h>

#include <string>

#include "gui_driver.h"
#include "layout.h"
#include "machine.h"

namespace {

const DWORD Patience = 20000;
const char CompletionText[] = "インストールが完了しました。\n「Quorvane」を起動します。";
const char FailureText[] = "インストールに失敗しました。";
const char RefusalText[] =
    "申し訳ございませんが、このQuorvane は、Windows Vista専用です。\n"
    "インストールすることができません。ご了承下さい。";

std::string InstallerResource(WORD id, LPCSTR type)
{
    return ResourceBytes(BuiltInstaller(), id, type);
}

std::string SystemErrorCaption()
{
    char text[64] = "";
    LoadStringA(GetModuleHandleA("user32.dll"), 2, text, sizeof text);
    return text;
}

bool ServerWindowUp()
{
    return WaitForWindow(0, "Quorvane", NULL, 10000) != NULL;
}

// Nothing of an installation is on the machine.
void ExpectNothingInstalled()
{
    EXPECT_FALSE(FileExists(InstalledServer()));
    EXPECT_FALSE(FileExists(ProductFolder() + "mov.dat"));
    EXPECT_FALSE(FileExists(InstalledUninstaller()));
    EXPECT_FALSE(FileExists(StartMenuFolder() + "Quorvane Server.lnk"));
    EXPECT_FALSE(FileExists(DesktopShortcut()));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, UninstallKey));
    EXPECT_FALSE(ReadRegistryValue(HKEY_LOCAL_MACHINE, RunKey, "Quorvane").present);
}

void ExpectQuotedText(const RegistryValue& value, const std::string& path)
{
    std::string quoted = "\"" + path + "\"";
    EXPECT_TRUE(value.present);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), value.type);
    EXPECT_EQ(quoted, value.Text());
    EXPECT_EQ(quoted.size() + 1, value.size);
}

// Everything a successful installation leaves, checked against the installer's
// own resources.
void ExpectCompleteInstallation()
{
    EXPECT_EQ(InstallerResource(129, "APPL"), ReadFileBytes(InstalledServer()));
    EXPECT_EQ(InstallerResource(136, "MPEG"), ReadFileBytes(ProductFolder() + "mov.dat"));
    EXPECT_EQ(InstallerResource(132, "TEXT"), ReadFileBytes(ProductFolder() + "licence.txt"));
    EXPECT_EQ(InstallerResource(130, "APPL"), ReadFileBytes(InstalledUninstaller()));
    EXPECT_EQ(ReadFileBytes(BuiltUninstaller()), ReadFileBytes(InstalledUninstaller()));

    for (const std::string& link : {StartMenuFolder() + "Quorvane Server.lnk", DesktopShortcut()}) {
        ShortcutView view = ReadShortcut(link);
        EXPECT_TRUE(view.loaded) << link;
        EXPECT_EQ(InstalledServer(), view.target) << link;
        EXPECT_EQ("Quorvane Server", view.description) << link;
        EXPECT_EQ("", view.arguments) << link;
        EXPECT_EQ("", view.workingDirectory) << link;
        EXPECT_EQ("", view.iconPath) << link;
        EXPECT_EQ(SW_SHOWNORMAL, view.showCommand) << link;
    }

    RegistryValue name = ReadRegistryValue(HKEY_LOCAL_MACHINE, UninstallKey, "DisplayName");
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), name.type);
    EXPECT_EQ("Quorvane Server", name.Text());
    EXPECT_EQ(16u, name.size);
    ExpectQuotedText(ReadRegistryValue(HKEY_LOCAL_MACHINE, UninstallKey, "UninstallString"),
                     InstalledUninstaller());
    ExpectQuotedText(ReadRegistryValue(HKEY_LOCAL_MACHINE, RunKey, "Quorvane"), InstalledServer());
}

class InstallerTest : public ::testing::Test {
protected:
    void SetUp() override { installerPath = StageInstaller("setup"); }
    void TearDown() override { EndProgram(&installer); }

    void Start() { ASSERT_TRUE(StartProgram(installerPath, "", &installer)); }

    HWND Welcome()
    {
        HWND dialog = WaitForDialog(installer.id, WelcomeCaption, Patience);
        EXPECT_NE(nullptr, dialog) << "no welcome page";
        return dialog;
    }

    HWND Licence()
    {
        HWND dialog = WaitForDialog(installer.id, LicenceCaption, Patience);
        EXPECT_NE(nullptr, dialog) << "no licence page";
        return dialog;
    }

    HWND OpenLicencePage()
    {
        Start();
        HWND welcome = Welcome();
        if (!welcome)
            return NULL;
        Click(welcome, IDOK);
        return Licence();
    }

    // Agrees and returns the box the installation ends with, and how long it took.
    MessageBoxView Agree(HWND licence, DWORD* elapsedMs = nullptr)
    {
        MessageBoxView box;
        DWORD start = GetTickCount();
        Click(licence, IDOK);
        EXPECT_TRUE(WaitForMessageBox(installer.id, 30000, &box)) << "no box after agreeing";
        if (elapsedMs)
            *elapsedMs = GetTickCount() - start;
        return box;
    }

    void ExpectExitCodeZero() { EXPECT_EQ(0u, WaitForExit(installer, Patience)); }

    std::string LicenceBesideInstaller() const
    {
        return installerPath.substr(0, installerPath.find_last_of('\\') + 1) + "licence.txt";
    }

    std::string installerPath;
    Program installer;
};

// --- Who may install ---

struct VersionCase {
    const char* wineVersion;
    bool admitted;
};

void PrintTo(const VersionCase& c, std::ostream* out)
{
    *out << c.wineVersion;
}

class VersionGateTest : public InstallerTest, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(VersionGateTest, OnlyMajorVersionSixReachesTheWizard)
{
    SetReportedWindowsVersion(GetParam().wineVersion);
    Start();
    if (GetParam().admitted) {
        HWND welcome = Welcome();
        ASSERT_NE(nullptr, welcome);
        EXPECT_TRUE(FileExists(LicenceBesideInstaller()));
        Click(welcome, IDCANCEL);
        ExpectExitCodeZero();
        return;
    }

    MessageBoxView box;
    ASSERT_TRUE(WaitForMessageBox(installer.id, Patience, &box));
    EXPECT_EQ(RefusalText, box.text);
    EXPECT_EQ(SystemErrorCaption(), box.caption);
    EXPECT_EQ(BoxIcon::Error, box.icon);
    EXPECT_EQ(std::vector<int>{IDOK}, box.buttons);
    EXPECT_EQ(nullptr, box.owner);
    KeepScreenshot(box.window, "installer-refusal");
    Answer(box, IDOK);
    ExpectExitCodeZero();
    EXPECT_FALSE(FileExists(LicenceBesideInstaller()));
}

INSTANTIATE_TEST_SUITE_P(Versions, VersionGateTest,
                         ::testing::Values(VersionCase{"win2k", false}, VersionCase{"winxp", false},
                                           VersionCase{"vista", true}, VersionCase{"win7", true},
                                           VersionCase{"win8", true}, VersionCase{"win10", true}),
                         [](const ::testing::TestParamInfo<VersionCase>& info) {
                             return std::string(info.param.wineVersion);
                         });

// --- The two pages ---

TEST_F(InstallerTest, WelcomePageShowsItsTextsAndPicture)
{
    Start();
    HWND welcome = Welcome();
    ASSERT_NE(nullptr, welcome);
    EXPECT_EQ("次へ", ControlText(welcome, IDOK));
    EXPECT_EQ("キャンセル", ControlText(welcome, IDCANCEL));
    EXPECT_TRUE(FileExists(LicenceBesideInstaller()));
    EXPECT_EQ(InstallerResource(132, "TEXT"), ReadFileBytes(LicenceBesideInstaller()));
    Sleep(500);
    KeepScreenshot(welcome, "installer-welcome");
    Click(welcome, IDCANCEL);
    ExpectExitCodeZero();
}

enum class Leave { Button, Escape, CloseBox };

void LeaveBy(HWND dialog, Leave how, int buttonId)
{
    switch (how) {
    case Leave::Button: Click(dialog, buttonId); break;
    case Leave::Escape: PressKey(dialog, VK_ESCAPE); break;
    case Leave::CloseBox: CloseBox(dialog); break;
    }
}

class LeaveTest : public InstallerTest, public ::testing::WithParamInterface<Leave> {};

TEST_P(LeaveTest, CancellingTheWelcomePageEndsWithoutTheLicencePage)
{
    Start();
    HWND welcome = Welcome();
    ASSERT_NE(nullptr, welcome);
    LeaveBy(welcome, GetParam(), IDCANCEL);
    ExpectExitCodeZero();
    ExpectNothingInstalled();
}

TEST_P(LeaveTest, DecliningTheLicenceEndsWithNothingInstalled)
{
    HWND licence = OpenLicencePage();
    ASSERT_NE(nullptr, licence);
    LeaveBy(licence, GetParam(), IDCANCEL);
    ExpectExitCodeZero();
    ExpectNothingInstalled();
    EXPECT_FALSE(FolderExists(ProductFolder()));
}

const char* Name(Leave how)
{
    switch (how) {
    case Leave::Button: return "Button";
    case Leave::Escape: return "Escape";
    case Leave::CloseBox: return "CloseBox";
    }
    return "";
}

void PrintTo(Leave how, std::ostream* out)
{
    *out << Name(how);
}

std::string LeaveName(const ::testing::TestParamInfo<Leave>& info)
{
    return Name(info.param);
}

INSTANTIATE_TEST_SUITE_P(Ways, LeaveTest,
                         ::testing::Values(Leave::Button, Leave::Escape, Leave::CloseBox),
                         LeaveName);

TEST_F(InstallerTest, LicencePageShowsTheWholeLicenceAndRereadsItAfterBack)
{
    HWND licence = OpenLicencePage();
    ASSERT_NE(nullptr, licence);
    std::string licenceText = InstallerResource(132, "TEXT");
    EXPECT_EQ(licenceText, ControlText(licence, 1002));
    EXPECT_EQ("同意しない", ControlText(licence, IDCANCEL));
    EXPECT_EQ("< 戻る(&B)", ControlText(licence, 1001));
    EXPECT_EQ("同意する >", ControlText(licence, IDOK));
    Sleep(500);
    KeepScreenshot(licence, "installer-licence");

    Click(licence, 1001);
    HWND welcome = Welcome();
    ASSERT_NE(nullptr, welcome);
    ASSERT_TRUE(WriteFileBytes(LicenceBesideInstaller(), "edited\r\nlicence"));
    Click(welcome, IDOK);
    licence = Licence();
    ASSERT_NE(nullptr, licence);
    EXPECT_EQ("edited\r\nlicence", ControlText(licence, 1002));
    Click(licence, IDCANCEL);
    ExpectExitCodeZero();
}

TEST_F(InstallerTest, LicenceBoxDropsTheSelectionWhenItTakesTheFocus)
{
    HWND licence = OpenLicencePage();
    ASSERT_NE(nullptr, licence);
    HWND box = GetDlgItem(licence, 1002);
    // Tab order: decline (first focus), back, agree, then the text box.
    for (int i = 0; i < 3; ++i) {
        PressKey(licence, VK_TAB);
        Sleep(200);
    }
    GUITHREADINFO thread = {};
    thread.cbSize = sizeof thread;
    ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(licence, NULL), &thread));
    EXPECT_EQ(box, thread.hwndFocus);
    DWORD start = 0, end = 0;
    SendMessageA(box, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    EXPECT_EQ(start, end) << "the licence text is selected";
    Click(licence, IDCANCEL);
    ExpectExitCodeZero();
}

const int LicenceGone = -1;
const int LicenceIsAFolder = -2;

struct LicenceFileCase {
    const char* name;
    int size;       // LicenceGone, LicenceIsAFolder, or the bytes the file holds
    size_t shown;   // 0: the licence the installer carries
};

void PrintTo(const LicenceFileCase& c, std::ostream* out)
{
    *out << c.name;
}

class LicenceFileTest : public InstallerTest,
                        public ::testing::WithParamInterface<LicenceFileCase> {};

TEST_P(LicenceFileTest, ShowsTheFileOrElseTheCarriedLicenceAndStillInstalls)
{
    Start();
    HWND welcome = Welcome();
    ASSERT_NE(nullptr, welcome);
    std::string content;
    for (int i = 0; i < GetParam().size; ++i)
        content += static_cast<char>('A' + i % 23);
    if (GetParam().size < 0) {
        ASSERT_TRUE(DeleteFileA(LicenceBesideInstaller().c_str()));
    }
    if (GetParam().size == LicenceIsAFolder) {
        ASSERT_TRUE(CreateDirectoryA(LicenceBesideInstaller().c_str(), NULL));
    }
    if (GetParam().size >= 0) {
        ASSERT_TRUE(WriteFileBytes(LicenceBesideInstaller(), content));
    }
    Click(welcome, IDOK);
    HWND licence = Licence();
    ASSERT_NE(nullptr, licence);
    std::string expected = GetParam().shown ? content.substr(0, GetParam().shown)
                                            : InstallerResource(132, "TEXT");
    EXPECT_EQ(expected, ControlText(licence, 1002));

    MessageBoxView box = Agree(licence);
    EXPECT_EQ(CompletionText, box.text);
    Answer(box, IDOK);
    ExpectExitCodeZero();
    ExpectCompleteInstallation();
}

INSTANTIATE_TEST_SUITE_P(Files, LicenceFileTest,
                         ::testing::Values(LicenceFileCase{"missing", LicenceGone, 0},
                                           LicenceFileCase{"a_folder", LicenceIsAFolder, 0},
                                           LicenceFileCase{"empty", 0, 0},
                                           LicenceFileCase{"one_byte", 1, 1},
                                           LicenceFileCase{"exactly_5120", 5120, 5120},
                                           LicenceFileCase{"longer", 7000, 5120}),
                         [](const ::testing::TestParamInfo<LicenceFileCase>& info) {
                             return std::string(info.param.name);
                         });

// A dialog template naming a control class that does not exist: the dialog
// manager cannot create the page, and DialogBoxParam answers -1.
std::string UncreatablePage()
{
    std::wstring bytes;
    auto dword = [&](DWORD value) {
        bytes += static_cast<wchar_t>(value & 0xFFFF);
        bytes += static_cast<wchar_t>(value >> 16);
    };
    dword(WS_POPUP | WS_CAPTION);
    dword(0);
    bytes += wchar_t(1);                              // one control
    bytes += std::wstring(4, L'\0');                  // x, y, cx, cy
    bytes += std::wstring(3, L'\0');                  // no menu, class, caption
    if (bytes.size() % 2)
        bytes += L'\0';
    dword(WS_CHILD | WS_VISIBLE);
    dword(0);
    bytes += std::wstring(4, L'\0');
    bytes += wchar_t(1);                              // id
    bytes += std::wstring(L"NoSuchControlClass") + L'\0';
    bytes += L'\0';                                   // no text
    bytes += L'\0';                                   // no creation data
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size() * 2);
}

// A page that cannot be created must end the wizard rather than bounce between two
// pages that never appear.
class MissingPageTest : public InstallerTest, public ::testing::WithParamInterface<WORD> {};

TEST_P(MissingPageTest, EndsTheWizard)
{
    std::string page = UncreatablePage();
    HANDLE update = BeginUpdateResourceA(installerPath.c_str(), FALSE);
    ASSERT_NE(nullptr, update);
    ASSERT_TRUE(UpdateResourceA(update, RT_DIALOG, MAKEINTRESOURCEA(GetParam()), 0x0411,
                                &page[0], page.size()));
    ASSERT_TRUE(EndUpdateResourceA(update, FALSE));

    Start();
    if (GetParam() == 131) {
        HWND welcome = Welcome();
        ASSERT_NE(nullptr, welcome);
        Click(welcome, IDOK);
    }
    ExpectExitCodeZero();
    ExpectNothingInstalled();
}

INSTANTIATE_TEST_SUITE_P(Pages, MissingPageTest, ::testing::Values(128, 131),
                         [](const ::testing::TestParamInfo<WORD>& info) {
                             return info.param == 128 ? std::string("welcome")
                                                      : std::string("licence");
                         });

// --- Installing ---

TEST_F(InstallerTest, AgreeingInstallsEverythingThenStartsTheServer)
{
    HWND licence = OpenLicencePage();
    ASSERT_NE(nullptr, licence);
    DWORD elapsed = 0;
    MessageBoxView box = Agree(licence, &elapsed);
    EXPECT_LT(elapsed, 2000u) << "waited for a server that was not running";
    RecordProperty("agree_to_completion_ms", static_cast<int>(elapsed));
    EXPECT_EQ(CompletionText, box.text);
    EXPECT_EQ("Quorvane", box.caption);
    EXPECT_EQ(BoxIcon::None, box.icon);
    EXPECT_EQ(std::vector<int>{IDOK}, box.buttons);
    EXPECT_EQ(licence, box.owner);
    EXPECT_TRUE(IsWindowVisible(licence)) << "the licence page stays up during installation";
    KeepScreenshot(box.window, "installer-completion");

    ExpectCompleteInstallation();
    // The server is started only once the box is closed.
    EXPECT_TRUE(TopLevelWindows("Quorvane").empty());
    Answer(box, IDOK);
    ExpectExitCodeZero();
    EXPECT_TRUE(ServerWindowUp());
}

TEST_F(InstallerTest, ARunningServerIsStoppedAndReplaced)
{
    std::string oldServer = ScratchFolder("old") + "\\Quorvane Server.exe";
    ASSERT_TRUE(CopyFileA(BuiltServer().c_str(), oldServer.c_str(), FALSE));
    Program running;
    ASSERT_TRUE(StartProgram(oldServer, "", &running));
    ASSERT_NE(nullptr, WaitForWindow(running.id, "Quorvane", NULL, Patience));

    HWND licence = OpenLicencePage();
    ASSERT_NE(nullptr, licence);
    DWORD elapsed = 0;
    MessageBoxView box = Agree(licence, &elapsed);
    EXPECT_GE(elapsed, 2000u) << "no wait after the stop message";
    RecordProperty("agree_to_completion_with_server_ms", static_cast<int>(elapsed));
    EXPECT_EQ(CompletionText, box.text);
    EXPECT_EQ(0u, WaitForExit(running, 1000)) << "the running server did not end";
    Answer(box, IDOK);
    ExpectExitCodeZero();
    ExpectCompleteInstallation();
    EXPECT_TRUE(ServerWindowUp());
    EndProgram(&running);
}

TEST_F(InstallerTest, OnlyTheFirstServerWindowIsStopped)
{
    TwoServerWindows two;
    ASSERT_TRUE(StartTwoServerWindows(&two));

    HWND licence = OpenLicencePage();
    ASSERT_NE(nullptr, licence);
    MessageBoxView box = Agree(licence);
    EXPECT_EQ(CompletionText, box.text);
    EXPECT_EQ(0u, WaitForExit(two.first, 1000));
    EXPECT_EQ(static_cast<DWORD>(STILL_ACTIVE), WaitForExit(two.second, 0));
    EXPECT_EQ("Quorvane", WindowText(two.secondWindow));
    Answer(box, IDOK);
    ExpectExitCodeZero();
    EndTwoServerWindows(&two);
}

TEST_F(InstallerTest, WindowsWithNearlyTheServerClassAreLeftAlone)
{
    Program lower, longer;
    HWND lowerWindow = StartWindowHost("quorvane", "quit", &lower);
    HWND longerWindow = StartWindowHost("Quorvane2", "quit", &longer);
    ASSERT_NE(nullptr, lowerWindow);
    ASSERT_NE(nullptr, longerWindow);

    HWND licence = OpenLicencePage();
    ASSERT_NE(nullptr, licence);
    DWORD elapsed = 0;
    MessageBoxView box = Agree(licence, &elapsed);
    EXPECT_EQ(CompletionText, box.text);
    EXPECT_LT(elapsed, 2000u) << "waited although no server window matched";
    EXPECT_EQ("quorvane", WindowText(lowerWindow));
    EXPECT_EQ("Quorvane2", WindowText(longerWindow));
    EXPECT_EQ(static_cast<DWORD>(STILL_ACTIVE), WaitForExit(lower, 0));
    EXPECT_EQ(static_cast<DWORD>(STILL_ACTIVE), WaitForExit(longer, 0));
    Answer(box, IDOK);
    ExpectExitCodeZero();
    EndProgram(&lower);
    EndProgram(&longer);
}

TEST_F(InstallerTest, AServerThatKeepsItsFileMakesTheInstallationFail)
{
    ASSERT_TRUE(MakeFolders(ProductFolder()));
    Program stubborn;
    HWND window = StartWindowHost("Quorvane", "stay", &stubborn, InstalledServer());
    ASSERT_NE(nullptr, window);

    HWND licence = OpenLicencePage();
    ASSERT_NE(nullptr, licence);
    MessageBoxView box = Agree(licence);
    EXPECT_EQ(FailureText, box.text);
    EXPECT_EQ("Quorvane", box.caption);
    EXPECT_EQ(BoxIcon::None, box.icon);
    EXPECT_EQ(licence, box.owner);
    KeepScreenshot(box.window, "installer-failure");
    Answer(box, IDOK);
    ExpectExitCodeZero();

    EXPECT_EQ("WM_DESTROY received", WindowText(window));
    EXPECT_EQ(ReadFileBytes(BuiltStub("window_host")), ReadFileBytes(InstalledServer()));
    EXPECT_FALSE(FileExists(ProductFolder() + "mov.dat"));
    EXPECT_FALSE(FileExists(ProductFolder() + "licence.txt"));
    EXPECT_FALSE(FileExists(StartMenuFolder() + "Quorvane Server.lnk"));
    EXPECT_FALSE(FileExists(DesktopShortcut()));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, UninstallKey));
    EXPECT_FALSE(ReadRegistryValue(HKEY_LOCAL_MACHINE, RunKey, "Quorvane").present);
    Sleep(1000);
    EXPECT_EQ(1u, TopLevelWindows("Quorvane").size()) << "something was started";
    EndProgram(&stubborn);
}

TEST_F(InstallerTest, AHungServerDoesNotHangTheInstaller)
{
    Program hung;
    ASSERT_NE(nullptr, StartWindowHost("Quorvane", "hang", &hung));

    HWND licence = OpenLicencePage();
    ASSERT_NE(nullptr, licence);
    DWORD elapsed = 0;
    MessageBoxView box = Agree(licence, &elapsed);
    EXPECT_EQ(CompletionText, box.text);
    EXPECT_LT(elapsed, 15000u);
    Answer(box, IDOK);
    ExpectExitCodeZero();
    ExpectCompleteInstallation();
    EndProgram(&hung);
}

TEST_F(InstallerTest, InstallingAgainReplacesAnEarlierInstallation)
{
    ASSERT_EQ(0u, InstallThroughWizard(installerPath));
    ASSERT_TRUE(ServerWindowUp());
    ASSERT_TRUE(WriteFileBytes(ProductFolder() + "mov.dat", "damaged"));
    ASSERT_TRUE(WriteRegistryText(HKEY_LOCAL_MACHINE, UninstallKey, "DisplayName", "old"));
    ASSERT_TRUE(WriteRegistryText(HKEY_LOCAL_MACHINE, UninstallKey, "Other", "kept"));
    ASSERT_TRUE(WriteRegistryText(HKEY_LOCAL_MACHINE, RunKey, "Quorvane", "old"));

    HWND licence = OpenLicencePage();
    ASSERT_NE(nullptr, licence);
    MessageBoxView box = Agree(licence);
    EXPECT_EQ(CompletionText, box.text);
    Answer(box, IDOK);
    ExpectExitCodeZero();
    ExpectCompleteInstallation();
    EXPECT_EQ("kept", ReadRegistryValue(HKEY_LOCAL_MACHINE, UninstallKey, "Other").Text());
    EXPECT_TRUE(ServerWindowUp());
    EXPECT_EQ(1u, TopLevelWindows("Quorvane").size()) << "the earlier server was not stopped";
}

TEST_F(InstallerTest, AnUninstallerThatCannotBeWrittenFailsTheInstallation)
{
    ASSERT_TRUE(WriteFileBytes(InstalledUninstaller(), "older uninstaller"));
    HANDLE holder = CreateFileA(InstalledUninstaller().c_str(), GENERIC_READ, 0, NULL,
                                OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);

    HWND licence = OpenLicencePage();
    ASSERT_NE(nullptr, licence);
    MessageBoxView box = Agree(licence);
    EXPECT_EQ(FailureText, box.text);
    Answer(box, IDOK);
    ExpectExitCodeZero();
    CloseHandle(holder);

    EXPECT_EQ("older uninstaller", ReadFileBytes(InstalledUninstaller()));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, UninstallKey));
    EXPECT_FALSE(ReadRegistryValue(HKEY_LOCAL_MACHINE, RunKey, "Quorvane").present);
    EXPECT_FALSE(FileExists(DesktopShortcut()));
    EXPECT_TRUE(TopLevelWindows("Quorvane").empty());
}

TEST_F(InstallerTest, APlantedProgramOnTheUnquotedPathNeverRuns)
{
    ASSERT_NE(std::string::npos, InstalledServer().find(' '));
    std::string planted = "C:\\Program.exe";
    ASSERT_TRUE(CopyFileA(BuiltStub("marker").c_str(), planted.c_str(), FALSE));

    ASSERT_EQ(0u, InstallThroughWizard(installerPath));
    EXPECT_TRUE(ServerWindowUp());
    Sleep(1000);
    EXPECT_FALSE(FileExists(planted + ".ran")) << ReadFileBytes(planted + ".ran");
    ExpectQuotedText(ReadRegistryValue(HKEY_LOCAL_MACHINE, RunKey, "Quorvane"), InstalledServer());
    ExpectQuotedText(ReadRegistryValue(HKEY_LOCAL_MACHINE, UninstallKey, "UninstallString"),
                     InstalledUninstaller());
}

TEST_F(InstallerTest, JapaneseFolderNamesInstallAndLaunch)
{
    // ソ and 表 carry a backslash byte (0x5C) as their second byte in CP932.
    SetProgramFilesFolder("C:\\プログラム ソフト表");
    installerPath = StageInstaller("セットアップ ソフト表");
    ASSERT_EQ("C:\\プログラム ソフト表", SpecialFolder(CSIDL_PROGRAM_FILES));

    HWND licence = OpenLicencePage();
    ASSERT_NE(nullptr, licence);
    EXPECT_EQ(InstallerResource(132, "TEXT"), ControlText(licence, 1002));
    EXPECT_TRUE(FileExists(LicenceBesideInstaller()));
    MessageBoxView box = Agree(licence);
    EXPECT_EQ(CompletionText, box.text);
    Answer(box, IDOK);
    ExpectExitCodeZero();
    ExpectCompleteInstallation();
    EXPECT_TRUE(ServerWindowUp());
}

// A shortcut folder that cannot be found costs that shortcut alone.
struct ShortcutFolderCase {
    const char* name;
    const char* shellFolderValue;  // under the machine's shell folders
    int csidl;
};

void PrintTo(const ShortcutFolderCase& c, std::ostream* out)
{
    *out << c.name;
}

class ShortcutFolderTest : public InstallerTest,
                           public ::testing::WithParamInterface<ShortcutFolderCase> {};

TEST_P(ShortcutFolderTest, AnUnavailableFolderSkipsOnlyItsShortcut)
{
    const ShortcutFolderCase& c = GetParam();
    std::string startMenuLink = StartMenuFolder() + "Quorvane Server.lnk";
    std::string desktopLink = DesktopShortcut();
    MakeShellFolderUnavailable(c.shellFolderValue);
    char path[MAX_PATH];
    ASSERT_FALSE(SUCCEEDED(SHGetFolderPathA(NULL, c.csidl, NULL, SHGFP_TYPE_CURRENT, path)))
        << "the folder is still found: " << path;

    ASSERT_EQ(0u, InstallThroughWizard(installerPath));
    bool startMenuGone = c.csidl == CSIDL_COMMON_PROGRAMS;
    EXPECT_EQ(!startMenuGone, FileExists(startMenuLink));
    EXPECT_EQ(startMenuGone, FileExists(desktopLink));
    EXPECT_EQ(InstallerResource(129, "APPL"), ReadFileBytes(InstalledServer()));
    ExpectQuotedText(ReadRegistryValue(HKEY_LOCAL_MACHINE, RunKey, "Quorvane"), InstalledServer());
    EXPECT_TRUE(ServerWindowUp());
}

INSTANTIATE_TEST_SUITE_P(
    Folders, ShortcutFolderTest,
    ::testing::Values(
        ShortcutFolderCase{"start_menu", "Common Programs", CSIDL_COMMON_PROGRAMS},
        ShortcutFolderCase{"desktop", "Common Desktop", CSIDL_COMMON_DESKTOPDIRECTORY}),
    [](const ::testing::TestParamInfo<ShortcutFolderCase>& info) {
        return std::string(info.param.name);
    });

TEST_F(InstallerTest, AProgramFilesPathTooLongForTheBuffersFailsCleanly)
{
    std::string longFolder = "C:\\" + std::string(100, 'p') + "\\" + std::string(100, 'q') +
                             "\\" + std::string(40, 'r');
    SetProgramFilesFolder(longFolder);
    ASSERT_EQ(longFolder, SpecialFolder(CSIDL_PROGRAM_FILES));

    HWND licence = OpenLicencePage();
    ASSERT_NE(nullptr, licence);
    MessageBoxView box = Agree(licence);
    EXPECT_EQ(FailureText, box.text);
    Answer(box, IDOK);
    ExpectExitCodeZero();
    ExpectNothingInstalled();
}

}  // namespace
