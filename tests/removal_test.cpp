// The uninstaller's removal steps called directly, each test in a fresh Wine
// machine with its own service manager and registry.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "gui_driver.h"
#include "layout.h"
#include "machine.h"
#include "removal.h"
#include "services.h"

namespace {

const char Key[] = "Software\\Brennmoor\\Quorvane";
const char ParentKey[] = "Software\\Brennmoor";

// --- Services ---

enum class ServiceAt { None, Stopped, Running, MarkedForDeletion };

struct ServiceCase {
    const char* name;
    ServiceAt service;
    int result;
};

void PrintTo(const ServiceCase& c, std::ostream* out)
{
    *out << c.name;
}

class RemovalServiceTest : public ::testing::TestWithParam<ServiceCase> {
protected:
    void SetUp() override
    {
        manager = OpenSCManagerA(NULL, NULL, SC_MANAGER_ALL_ACCESS);
        ASSERT_NE(nullptr, manager);
    }

    void TearDown() override
    {
        if (held)
            CloseServiceHandle(held);
        CloseServiceHandle(manager);
        EndProgram(&process);
    }

    SC_HANDLE manager = NULL;
    SC_HANDLE held = NULL;
    Program process;
};

TEST_P(RemovalServiceTest, LeavesNoServiceBehind)
{
    const ServiceCase& c = GetParam();
    if (c.service != ServiceAt::None) {
        ASSERT_TRUE(CreateServerService());
        if (c.service == ServiceAt::Running) {
            ASSERT_TRUE(StartServerService(&process));
        }
        if (c.service == ServiceAt::MarkedForDeletion) {
            held = OpenServiceA(manager, ServerServiceName, SERVICE_ALL_ACCESS);
            ASSERT_NE(nullptr, held);
            ASSERT_TRUE(DeleteService(held));
        }
    }

    EXPECT_EQ(c.result, StopAndDeleteService(ServerServiceName));
    if (c.service == ServiceAt::Running) {
        EXPECT_EQ(0u, WaitForExit(process, 2000)) << "the service process still runs";
    }

    if (held) {
        CloseServiceHandle(held);
        held = NULL;
    }
    // Wine keeps a service marked for deletion, and still lets it be opened, for as
    // long as any handle to it is open: this also shows that none was left open.
    SC_HANDLE after = OpenServiceA(manager, ServerServiceName, SERVICE_QUERY_STATUS);
    DWORD error = GetLastError();
    EXPECT_EQ(nullptr, after);
    EXPECT_EQ(static_cast<DWORD>(ERROR_SERVICE_DOES_NOT_EXIST), error);
    if (after)
        CloseServiceHandle(after);
}

INSTANTIATE_TEST_SUITE_P(
    States, RemovalServiceTest,
    ::testing::Values(ServiceCase{"running", ServiceAt::Running, 1},
                      ServiceCase{"stopped", ServiceAt::Stopped, 1},
                      ServiceCase{"missing", ServiceAt::None, 0},
                      ServiceCase{"already_marked_for_deletion", ServiceAt::MarkedForDeletion, 0}),
    [](const ::testing::TestParamInfo<ServiceCase>& info) { return std::string(info.param.name); });

// --- Keys ---

enum class Deleter { Key, MachineKey };

struct KeyCase {
    const char* name;
    HKEY root;  // where the key is made; the same key under the other root is a bystander
    Deleter deleter;
    bool present;
    bool withSubkey;
    LONG status;
};

void PrintTo(const KeyCase& c, std::ostream* out)
{
    *out << c.name;
}

HKEY OtherRoot(HKEY root)
{
    return root == HKEY_LOCAL_MACHINE ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

class RemovalKeyTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(RemovalKeyTest, DeletesOnlyAKeyWithoutSubkeys)
{
    const KeyCase& c = GetParam();
    std::string child = std::string(Key) + "\\Child";
    ASSERT_TRUE(WriteRegistryText(c.root, ParentKey, "Other", "kept"));
    if (c.present) {
        ASSERT_TRUE(WriteRegistryText(c.root, Key, "Setting", "1"));
    }
    if (c.withSubkey) {
        ASSERT_TRUE(WriteRegistryText(c.root, child, "Setting", "2"));
    }
    ASSERT_TRUE(WriteRegistryText(OtherRoot(c.root), Key, "Setting", "bystander"));

    LONG status = c.deleter == Deleter::Key ? DeleteKey(c.root, Key) : DeleteMachineKey(Key);
    EXPECT_EQ(c.status, status);

    bool stays = c.present && c.status != ERROR_SUCCESS;
    EXPECT_EQ(stays, RegistryKeyExists(c.root, Key));
    if (stays) {
        EXPECT_EQ("1", ReadRegistryValue(c.root, Key, "Setting").Text());
        EXPECT_EQ("2", ReadRegistryValue(c.root, child, "Setting").Text());
    }
    EXPECT_EQ("kept", ReadRegistryValue(c.root, ParentKey, "Other").Text());
    EXPECT_EQ("bystander", ReadRegistryValue(OtherRoot(c.root), Key, "Setting").Text());
}

INSTANTIATE_TEST_SUITE_P(
    Keys, RemovalKeyTest,
    ::testing::Values(
        KeyCase{"user_key", HKEY_CURRENT_USER, Deleter::Key, true, false, ERROR_SUCCESS},
        KeyCase{"machine_key", HKEY_LOCAL_MACHINE, Deleter::Key, true, false, ERROR_SUCCESS},
        KeyCase{"user_key_with_subkey", HKEY_CURRENT_USER, Deleter::Key, true, true,
                ERROR_ACCESS_DENIED},
        KeyCase{"machine_key_through_machine_deleter", HKEY_LOCAL_MACHINE, Deleter::MachineKey,
                true, false, ERROR_SUCCESS},
        KeyCase{"machine_key_with_subkey_through_machine_deleter", HKEY_LOCAL_MACHINE,
                Deleter::MachineKey, true, true, ERROR_ACCESS_DENIED},
        KeyCase{"missing_machine_key", HKEY_LOCAL_MACHINE, Deleter::MachineKey, false, false,
                ERROR_FILE_NOT_FOUND}),
    [](const ::testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

// --- Values ---

struct ValueCase {
    const char* name;
    bool present;
    LONG status;
};

void PrintTo(const ValueCase& c, std::ostream* out)
{
    *out << c.name;
}

class RemovalValueTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(RemovalValueTest, DeletesOnlyTheNamedValue)
{
    const ValueCase& c = GetParam();
    std::string child = std::string(Key) + "\\Quorvane";
    ASSERT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, Key, "", "default"));
    ASSERT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, Key, "Other", "kept"));
    if (c.present) {
        ASSERT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, Key, "Quorvane", "gone"));
    }
    ASSERT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, child, "Quorvane", "kept"));

    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, Key, 0, KEY_ALL_ACCESS, &key));
    EXPECT_EQ(c.status, DeleteValue(key, "Quorvane"));
    RegCloseKey(key);

    EXPECT_FALSE(ReadRegistryValue(HKEY_CURRENT_USER, Key, "Quorvane").present);
    EXPECT_EQ("default", ReadRegistryValue(HKEY_CURRENT_USER, Key, "").Text());
    EXPECT_EQ("kept", ReadRegistryValue(HKEY_CURRENT_USER, Key, "Other").Text());
    EXPECT_EQ("kept", ReadRegistryValue(HKEY_CURRENT_USER, child, "Quorvane").Text());
}

INSTANTIATE_TEST_SUITE_P(Values, RemovalValueTest,
                         ::testing::Values(ValueCase{"present", true, ERROR_SUCCESS},
                                           ValueCase{"missing", false, ERROR_FILE_NOT_FOUND}),
                         [](const ::testing::TestParamInfo<ValueCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
