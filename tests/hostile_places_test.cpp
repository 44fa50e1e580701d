// The programs started from places others can write: a download folder with a
// DLL or a link planted in it, and the Windows folder for the uninstaller.
#include <gtest/gtest.h>

#include <shlobj.h>
#include <windows.h>

#include <string>

#include "gui_driver.h"
#include "layout.h"
#include "machine.h"

namespace {

const DWORD Patience = 20000;

std::string FolderOf(const std::string& path)
{
    return path.substr(0, path.find_last_of('\\') + 1);
}

std::string WindowsFolder()
{
    return SpecialFolder(CSIDL_WINDOWS) + "\\";
}

// Planted DLLs take effect only where the loader prefers a DLL of that name from
// the program's folder over the system's own, as Windows does for every DLL that
// is not a KnownDLL: Wine is told so for this one name, for both programs.
void PreferPlantedDll(const std::string& name)
{
    for (const char* program : {"Quorvane Installer.exe", "uninstall_Quorvane.exe"}) {
        std::string key = std::string("Software\\Wine\\AppDefaults\\") + program + "\\DllOverrides";
        WriteRegistryText(HKEY_CURRENT_USER, key, name, "native,builtin");
    }
}

bool Plant(const std::string& folder, const std::string& name)
{
    return CopyFileA((BuildFolder() + "\\planted.dll").c_str(), (folder + name + ".dll").c_str(),
                     FALSE) != 0;
}

// What the planted DLL leaves when it is loaded: the program it ran in.
std::string RanIn(const std::string& folder, const std::string& name)
{
    return ReadFileBytes(folder + name + ".dll.ran");
}

class PlantedDllTest : public ::testing::TestWithParam<const char*> {};

TEST_P(PlantedDllTest, NeverRunsInTheInstallerOrTheUninstaller)
{
    std::string name = GetParam();
    std::string installer = StageInstaller("downloads");
    ASSERT_TRUE(Plant(FolderOf(installer), name));
    ASSERT_TRUE(Plant(WindowsFolder(), name));
    PreferPlantedDll(name);

    EXPECT_EQ(0u, InstallThroughWizard(installer)) << "the installation did not go through";
    EXPECT_EQ("", RanIn(FolderOf(installer), name)) << name << " ran";
    EXPECT_TRUE(FileExists(InstalledUninstaller()));
    EXPECT_NE(nullptr, WaitForWindow(0, "Quorvane", NULL, Patience)) << "no server";

    EXPECT_EQ(0u, UninstallThroughBoxes()) << "the removal did not go through";
    EXPECT_EQ("", RanIn(WindowsFolder(), name)) << name << " ran";
    EXPECT_FALSE(FolderExists(ProductFolder()));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, UninstallKey));
}

// Every DLL the programs were seen to load by name after their start, through a
// whole installation and removal (Wine's own display driver aside). Those the
// loader brings in with the programs' imports, before their entry point runs
// (imm32, version, shcore, and combase for the installer under Wine), are
// beyond the programs' reach and left out.
INSTANTIATE_TEST_SUITE_P(Names, PlantedDllTest,
                         ::testing::Values("uxtheme", "msimg32"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param);
                         });

// From 6.1 on the programs also confine every later load by name to the system
// folder; the shortcuts, made through the shell's link object, must still come.
TEST(DllSearchTest, ConfinedToTheSystemFolderAWholeInstallAndRemovalStillWork)
{
    SetReportedWindowsVersion("win7");
    EXPECT_EQ(0u, InstallThroughWizard(StageInstaller("downloads")));
    for (const std::string& link : {StartMenuFolder() + "Quorvane Server.lnk", DesktopShortcut()}) {
        EXPECT_EQ(InstalledServer(), ReadShortcut(link).target) << link;
    }
    EXPECT_NE(nullptr, WaitForWindow(0, "Quorvane", NULL, Patience)) << "no server";
    EXPECT_EQ(0u, UninstallThroughBoxes());
    EXPECT_FALSE(FolderExists(ProductFolder()));
    EXPECT_FALSE(FileExists(DesktopShortcut()));
}

TEST(PlantedLinkTest, TheFileBehindALicenceLinkIsNeverWritten)
{
    std::string installerPath = StageInstaller("shared-downloads");
    std::string beside = FolderOf(installerPath) + "licence.txt";
    std::string victim = WindowsFolder() + "quorvane-victim.ini";
    const std::string kept = "[settings]\r\nkept=1\r\n";
    ASSERT_TRUE(WriteFileBytes(victim, kept));
    ASSERT_TRUE(CreateHardLinkA(beside.c_str(), victim.c_str(), NULL));

    Program installer;
    HWND licence = OpenLicencePage(installerPath, &installer);
    ASSERT_NE(nullptr, licence);
    std::string carried = ResourceBytes(BuiltInstaller(), 132, "TEXT");
    EXPECT_EQ(carried, ControlText(licence, 1002));
    Click(licence, IDCANCEL);
    EXPECT_EQ(0u, WaitForExit(installer, Patience));
    EndProgram(&installer);

    EXPECT_EQ(kept, ReadFileBytes(victim)) << "written through the link";
    EXPECT_EQ(carried, ReadFileBytes(beside));
}

}  // namespace
