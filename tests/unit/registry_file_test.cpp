// registry.reg shared by processes: changes reach the file before the call
// returns, whole files replace whole files, concurrent writers keep each
// other's updates, and a process killed at any write leaves a readable
// registry.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <string>

#include "platform/registry.h"
#include "platform/sim/registry/registry_store.h"
#include "support/machine_fixture.h"

namespace {

// Sets HKLM\Test\<name> = REG_DWORD `number` through the store.
void SetNumber(sim::RegistryFile &file, const std::string &name, int number) {
    std::string bytes(reinterpret_cast<const char *>(&number), 4);
    const win::LONG result = file.Change([&](sim::RegTree &tree, win::LONG *) {
        bool created = false;
        tree.localMachine.CreateSubkey("Test", &created).SetValue(name, win::REG_DWORD, bytes);
        return true;
    });
    if (result != win::ERROR_SUCCESS) _exit(3);
}

// Runs `body` in a child process; returns its wait status.
template <class Body>
int InChild(Body body) {
    const pid_t child = fork();
    if (child == 0) {
        body();
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return status;
}

// A write that fails half way (here: the file size limit of a full disk)
// changes nothing and leaves no temporary file behind.
TEST(RegistryFile, FailedWriteLeavesNoTemporaryFile) {
    testing_machine::MachineFolder machine;
    const std::string before = machine.FileText("registry.reg");
    const int status = InChild([&] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit = {before.size() + 16, before.size() + 16};
        setrlimit(RLIMIT_FSIZE, &limit);
        sim::RegistryFile file(machine.Path());
        const win::LONG result = file.Change([](sim::RegTree &tree, win::LONG *) {
            bool created = false;
            tree.localMachine.CreateSubkey("Test", &created).SetValue("Big", win::REG_BINARY, std::string(4096, 'x'));
            return true;
        });
        _exit(result == win::ERROR_SUCCESS ? 1 : 0);
    });
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(machine.FileText("registry.reg"), before);
    EXPECT_NE(access(machine.HostPath("registry.reg.tmp").c_str(), F_OK), 0);
}

TEST(RegistryFile, AChangeIsOnDiskWhenTheCallReturns) {
    testing_machine::MachineFolder machine;
    sim::RegistryFile file(machine.Path());
    SetNumber(file, "Written", 5);
    const auto value = machine.RegistryValue("HKLM\\Test", "Written");
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->data, std::string("\5\0\0\0", 4));
}

TEST(RegistryFile, SeesChangesOfOtherProcesses) {
    testing_machine::MachineFolder machine;
    sim::RegistryFile file(machine.Path());
    SetNumber(file, "Mine", 1);
    std::string before;
    file.Read([&](const sim::RegTree &tree) { before = sim::FormatRegedit4(tree); });

    const int status = InChild([&] {
        sim::RegistryFile other(machine.Path());
        SetNumber(other, "Theirs", 2);
    });
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    bool seen = false;
    file.Read([&](const sim::RegTree &tree) {
        const sim::RegKey *key = tree.Find(sim::RegRoot::LocalMachine, "Test");
        seen = key != nullptr && key->Value("Theirs") != nullptr && key->Value("Mine") != nullptr;
    });
    EXPECT_TRUE(seen);
}

TEST(RegistryFile, ConcurrentWritersLoseNothing) {
    testing_machine::MachineFolder machine;
    constexpr int kWrites = 60;
    pid_t writers[2];
    for (int w = 0; w < 2; ++w) {
        writers[w] = fork();
        if (writers[w] == 0) {
            sim::RegistryFile file(machine.Path());
            for (int i = 0; i < kWrites; ++i) SetNumber(file, "W" + std::to_string(w) + "_" + std::to_string(i), i);
            _exit(0);
        }
    }
    for (pid_t writer : writers) {
        int status = 0;
        waitpid(writer, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const sim::RegTree tree = machine.Registry();
    const sim::RegKey *key = tree.Find(sim::RegRoot::LocalMachine, "Test");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->Values().size(), 2u * kWrites);
}

TEST(RegistryFile, ReadersNeverSeeATornFile) {
    testing_machine::MachineFolder machine;
    const pid_t writer = fork();
    if (writer == 0) {
        sim::RegistryFile file(machine.Path());
        // Values of changing length, so a torn file could not pass for whole.
        for (int i = 0; i < 150; ++i) {
            file.Change([&](sim::RegTree &tree, win::LONG *) {
                bool created = false;
                tree.localMachine.CreateSubkey("Test", &created)
                    .SetValue("Grow", win::REG_BINARY, std::string(static_cast<std::size_t>(i * 7), 'x'));
                return true;
            });
        }
        _exit(0);
    }
    int reads = 0, status = 0;
    while (waitpid(writer, &status, WNOHANG) == 0) {
        sim::RegTree tree;
        sim::RegParseError error;
        const std::string text = machine.FileText("registry.reg");
        ASSERT_TRUE(sim::ParseRegedit4(text, &tree, &error)) << error.line << ": " << error.message;
        ASSERT_NE(tree.Find(sim::RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion"),
                  nullptr);
        ++reads;
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_GT(reads, 0);
}

// MIRTEL_KILL_AT_REGISTRY_WRITE=N: the N-th write of the process never
// reaches the file, and the registry stays whole with the first N-1.
TEST(RegistryFile, KilledAtEveryWriteLeavesTheEarlierWrites) {
    constexpr int kWrites = 4;
    for (int killAt = 1; killAt <= kWrites + 1; ++killAt) {
        testing_machine::MachineFolder machine;
        const int status = InChild([&] {
            setenv("MIRTEL_KILL_AT_REGISTRY_WRITE", std::to_string(killAt).c_str(), 1);
            sim::RegistryFile file(machine.Path());
            for (int i = 1; i <= kWrites; ++i) SetNumber(file, "V" + std::to_string(i), i);
        });
        const bool killed = killAt <= kWrites;
        EXPECT_EQ(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL, killed) << killAt;
        const sim::RegTree tree = machine.Registry();
        const sim::RegKey *key = tree.Find(sim::RegRoot::LocalMachine, "Test");
        const std::size_t kept = key != nullptr ? key->Values().size() : 0;
        EXPECT_EQ(kept, static_cast<std::size_t>(killed ? killAt - 1 : kWrites)) << killAt;

        // The next process picks up from the whole file.
        sim::RegistryFile after(machine.Path());
        SetNumber(after, "After", 1);
        EXPECT_TRUE(machine.RegistryValue("HKLM\\Test", "After").has_value());
    }
}

TEST(RegistryFile, OnlyRealChangesCountAsWrites) {
    // Creating an existing key and deleting a missing value write nothing:
    // the kill at write 1 happens at the set, after them.
    testing_machine::MachineFolder machine;
    machine.CreateRegistryKey("HKLM\\Existing");
    machine.Use();
    const int status = InChild([] {
        setenv("MIRTEL_KILL_AT_REGISTRY_WRITE", "1", 1);
        win::HKEY key = nullptr;
        win::DWORD disposition = 0;
        if (win::RegCreateKeyExA(win::HKEY_LOCAL_MACHINE, "Existing", 0, nullptr, 0, win::KEY_ALL_ACCESS,
                                 nullptr, &key, &disposition) != win::ERROR_SUCCESS ||
            disposition != win::REG_OPENED_EXISTING_KEY)
            _exit(4);
        if (win::RegDeleteValueA(key, "Missing") != win::ERROR_FILE_NOT_FOUND) _exit(5);
        const win::BYTE one[4] = {1, 0, 0, 0};
        win::RegSetValueExA(key, "Set", 0, win::REG_DWORD, one, 4);
        _exit(6);
    });
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
    EXPECT_FALSE(machine.RegistryValue("HKLM\\Existing", "Set").has_value());
}

TEST(RegistryFile, HandleOfADeletedKeySaysSo) {
    testing_machine::MachineFolder machine;
    machine.CreateRegistryKey("HKLM\\Gone");
    machine.Use();
    win::HKEY key = nullptr;
    ASSERT_EQ(win::RegOpenKeyExA(win::HKEY_LOCAL_MACHINE, "Gone", 0, win::KEY_ALL_ACCESS, &key),
              win::ERROR_SUCCESS);
    ASSERT_EQ(win::RegDeleteKeyA(win::HKEY_LOCAL_MACHINE, "gone"), win::ERROR_SUCCESS);
    const win::BYTE one[4] = {1, 0, 0, 0};
    EXPECT_EQ(win::RegSetValueExA(key, "X", 0, win::REG_DWORD, one, 4), 1018);  // ERROR_KEY_DELETED
    EXPECT_EQ(win::RegCloseKey(key), win::ERROR_SUCCESS);
    EXPECT_EQ(win::RegCloseKey(key), static_cast<win::LONG>(win::ERROR_INVALID_HANDLE));
}

}  // namespace
