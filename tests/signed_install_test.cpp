// Run by tests/signed_install.sh: installs with an installer that carries the
// signed uninstaller the script made, and hands the installed file back to it.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "layout.h"
#include "machine.h"

namespace {

TEST(SignedInstall, TheInstalledUninstallerIsTheSignedOneItCarries)
{
    std::string folder = HostFolder("QUORVANE_SIGNED_INSTALL");
    ASSERT_FALSE(folder.empty()) << "QUORVANE_SIGNED_INSTALL is not set: run by signed_install.sh";
    std::string signedUninstaller = ReadFileBytes(folder + "\\signed-uninstaller.exe");
    ASSERT_FALSE(signedUninstaller.empty());

    std::string installer = StageInstaller("signed");
    HANDLE update = BeginUpdateResourceA(installer.c_str(), FALSE);
    ASSERT_NE(nullptr, update);
    BOOL ok = UpdateResourceA(update, "APPL", MAKEINTRESOURCEA(130),
                              MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), &signedUninstaller[0],
                              static_cast<DWORD>(signedUninstaller.size()));
    ASSERT_TRUE(EndUpdateResourceA(update, !ok) && ok);
    ASSERT_EQ(signedUninstaller, ResourceBytes(installer, 130, "APPL"));

    ASSERT_EQ(0u, InstallThroughWizard(installer));
    std::string installed = ReadFileBytes(InstalledUninstaller());
    EXPECT_EQ(signedUninstaller, installed);
    EXPECT_TRUE(WriteFileBytes(folder + "\\installed-uninstaller.exe", installed));
}

}  // namespace
