// The installer on media that tests/mounted_places.sh mounts for it in a private
// mount namespace: a read-only medium, and a disk that fills up. Run only by that
// script, which names the medium in the environment.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "gui_driver.h"
#include "layout.h"
#include "machine.h"

namespace {

const DWORD Patience = 20000;
const char CompletionText[] = "インストールが完了しました。\n「Quorvane」を起動します。";
const char FailureText[] = "インストールに失敗しました。";

std::string Carried()
{
    return ResourceBytes(BuiltInstaller(), 132, "TEXT");
}

class MountedPlaceTest : public ::testing::Test {
protected:
    void TearDown() override { EndProgram(&installer); }

    std::string Medium(const char* variable)
    {
        std::string folder = HostFolder(variable);
        EXPECT_FALSE(folder.empty()) << variable << " is not set: run by mounted_places.sh";
        return folder;
    }

    MessageBoxView Agree(HWND licence)
    {
        MessageBoxView box;
        Click(licence, IDOK);
        EXPECT_TRUE(WaitForMessageBox(installer.id, 60000, &box)) << "no box after agreeing";
        return box;
    }

    Program installer;
};

TEST_F(MountedPlaceTest, AReadOnlyMediumShowsTheCarriedLicenceAndInstalls)
{
    std::string medium = Medium("QUORVANE_MEDIUM");
    ASSERT_FALSE(medium.empty());
    std::string installerPath = medium + "\\plain\\Quorvane Installer.exe";
    ASSERT_FALSE(WriteFileBytes(medium + "\\plain\\probe", "x")) << "the medium is writable";

    HWND licence = OpenLicencePage(installerPath, &installer);
    ASSERT_NE(nullptr, licence);
    EXPECT_EQ(Carried(), ControlText(licence, 1002));
    MessageBoxView box = Agree(licence);
    EXPECT_EQ(CompletionText, box.text);
    Answer(box, IDOK);
    EXPECT_EQ(0u, WaitForExit(installer, Patience));
    EXPECT_EQ(Carried(), ReadFileBytes(ProductFolder() + "licence.txt"));
    EXPECT_TRUE(FileExists(InstalledServer()));
}

TEST_F(MountedPlaceTest, AnOlderLicenceOnAReadOnlyMediumIsWhatThePageShows)
{
    std::string medium = Medium("QUORVANE_MEDIUM");
    ASSERT_FALSE(medium.empty());
    std::string older = ReadFileBytes(medium + "\\older\\licence.txt");
    ASSERT_FALSE(older.empty());
    ASSERT_NE(Carried(), older);

    HWND licence = OpenLicencePage(medium + "\\older\\Quorvane Installer.exe", &installer);
    ASSERT_NE(nullptr, licence);
    EXPECT_EQ(older, ControlText(licence, 1002));
    Click(licence, IDCANCEL);
    EXPECT_EQ(0u, WaitForExit(installer, Patience));
}

// An installer whose server program is larger than the room left on the disk, so
// that its write begins and then comes up short.
std::string InstallerWithLargeServer(size_t size)
{
    std::string path = StageInstaller("large-server");
    std::string server(size, '\x90');
    HANDLE update = BeginUpdateResourceA(path.c_str(), FALSE);
    if (!update)
        return std::string();
    BOOL ok = UpdateResourceA(update, "APPL", MAKEINTRESOURCEA(129),
                              MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), &server[0],
                              static_cast<DWORD>(server.size()));
    if (!EndUpdateResourceA(update, !ok) || !ok)
        return std::string();
    return path;
}

TEST_F(MountedPlaceTest, AFullDiskFailsTheInstallationAndMakesNothingElse)
{
    std::string disk = Medium("QUORVANE_SMALL_DISK");
    ASSERT_FALSE(disk.empty());
    const size_t serverSize = 2 * 1024 * 1024;
    ULARGE_INTEGER room = {};
    ASSERT_TRUE(GetDiskFreeSpaceExA((disk + "\\").c_str(), &room, NULL, NULL));
    ASSERT_GT(room.QuadPart, 0u) << "nothing of the write could begin";
    ASSERT_LT(room.QuadPart, serverSize);
    SetProgramFilesFolder(disk + "\\Program Files");
    std::string installerPath = InstallerWithLargeServer(serverSize);
    ASSERT_FALSE(installerPath.empty());

    HWND licence = OpenLicencePage(installerPath, &installer);
    ASSERT_NE(nullptr, licence);
    MessageBoxView box = Agree(licence);
    EXPECT_EQ("Quorvane", box.caption);
    EXPECT_EQ(FailureText, box.text);
    Answer(box, IDOK);
    EXPECT_FALSE(WaitForMessageBox(installer.id, 2000, &box)) << "a second box: " << box.text;
    EXPECT_EQ(0u, WaitForExit(installer, Patience));

    std::string written = ReadFileBytes(InstalledServer());
    EXPECT_GT(written.size(), 0u) << "the write was refused, not cut short";
    EXPECT_LT(written.size(), serverSize) << "the disk did not fill up";
    for (const std::string& path : {ProductFolder() + "mov.dat", InstalledUninstaller(),
                                    StartMenuFolder() + "Quorvane Server.lnk", DesktopShortcut()}) {
        EXPECT_FALSE(FileExists(path)) << path;
    }
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, UninstallKey));
    EXPECT_FALSE(ReadRegistryValue(HKEY_LOCAL_MACHINE, RunKey, "Quorvane").present);
    EXPECT_TRUE(TopLevelWindows("Quorvane").empty()) << "the server was started";
}

}  // namespace
