// The single-copy counter, its window slot and the named mutex, between
// real processes: copies of this test program started as helpers, each
// serving commands on its standard input and answering on descriptor 3.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/sim/machine/machine.h"
#include "platform/sim/process/copy_counter.h"
#include "platform/single_copy.h"
#include "platform/system.h"
#include "support/machine_fixture.h"

extern char **environ;

namespace fs = std::filesystem;

namespace {

constexpr const char *kHelperMachine = "MIRTEL_SIM_HELPER_MACHINE";
constexpr const char *kMutexName = "Global\\TALVO_MIRTEL_MUTEX";

std::string Answer(const std::string &command, std::vector<win::HANDLE> *mutexes) {
    std::istringstream words(command);
    std::string verb, argument;
    words >> verb;
    std::getline(words >> std::ws, argument);
    if (verb == "increment") return std::to_string(win::IncrementCopyCounter());
    if (verb == "decrement") return std::to_string(win::DecrementCopyCounter());
    if (verb == "set-slot") {
        win::SetSharedWindowSlot(reinterpret_cast<win::HWND>(std::stoull(argument, nullptr, 16)));
        return "ok";
    }
    if (verb == "get-slot") {
        char text[32];
        std::snprintf(text, sizeof text, "%llx",
                      static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(win::GetSharedWindowSlot())));
        return text;
    }
    if (verb == "create-mutex" || verb == "open-mutex") {
        win::HANDLE mutex = verb == "create-mutex" ? win::CreateMutexA(nullptr, win::FALSE, argument.c_str())
                                                   : win::OpenMutexA(win::MUTEX_ALL_ACCESS, win::FALSE, argument.c_str());
        const win::DWORD error = win::GetLastError();
        if (mutex) mutexes->push_back(mutex);
        // The last error means something after a creation or a failure.
        if (mutex && verb == "open-mutex") return "1";
        return std::string(mutex ? "1 " : "0 ") + std::to_string(error);
    }
    // A child caught between fork and exec, as the wizard is for a moment
    // when it starts: it holds a copy of every descriptor for two seconds.
    if (verb == "fork-child") {
        const pid_t child = fork();
        if (child == 0) {
            sleep(2);
            _exit(0);
        }
        return child > 0 ? "ok" : "fork failed";
    }
    if (verb == "close-mutexes") {
        for (win::HANDLE mutex : *mutexes) win::CloseHandle(mutex);
        mutexes->clear();
        return "ok";
    }
    return "unknown command";
}

// The helper's side; runs only in a helper copy.
TEST(SimCopyHelper, DISABLED_Serve) {
    const char *machine = std::getenv(kHelperMachine);
    if (!machine) GTEST_SKIP();
    sim::Machine::UseFolder(machine);
    std::vector<win::HANDLE> mutexes;
    for (std::string command; std::getline(std::cin, command);) {
        const std::string reply = Answer(command, &mutexes) + "\n";
        ASSERT_EQ(write(3, reply.data(), reply.size()), static_cast<ssize_t>(reply.size()));
    }
}

// A running helper copy.
class Helper {
public:
    Helper(const std::string &program, const std::string &machine, const std::string &temporary) {
        int commands[2], replies[2];
        if (pipe2(commands, O_CLOEXEC) != 0 || pipe2(replies, O_CLOEXEC) != 0) return;
        // Everything the child needs is made before fork.
        std::vector<std::string> environment = {std::string(kHelperMachine) + "=" + machine,
                                                "TMPDIR=" + temporary};
        for (char **entry = environ; *entry; ++entry) environment.emplace_back(*entry);
        std::vector<char *> envp;
        for (std::string &entry : environment) envp.push_back(&entry[0]);
        envp.push_back(nullptr);
        std::string filter = "--gtest_filter=SimCopyHelper.DISABLED_Serve";
        std::string disabled = "--gtest_also_run_disabled_tests";
        std::string name = program;
        char *argv[] = {&name[0], &filter[0], &disabled[0], nullptr};
        m_pid = fork();
        if (m_pid == 0) {
            dup2(commands[0], 0);
            dup2(replies[1], 3);
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, 1);
            execve(program.c_str(), argv, envp.data());
            _exit(127);
        }
        close(commands[0]);
        close(replies[1]);
        m_commands = commands[1];
        m_replies = replies[0];
    }
    ~Helper() {
        if (m_commands >= 0) close(m_commands);
        if (m_replies >= 0) close(m_replies);
        if (m_pid > 0) waitpid(m_pid, nullptr, 0);
    }
    Helper(const Helper &) = delete;
    Helper &operator=(const Helper &) = delete;

    // The reply to one command; empty when none came within ten seconds.
    std::string Ask(const std::string &command) {
        const std::string line = command + "\n";
        if (write(m_commands, line.data(), line.size()) != static_cast<ssize_t>(line.size())) return "";
        std::string reply;
        for (;;) {
            pollfd ready = {m_replies, POLLIN, 0};
            char c;
            if (poll(&ready, 1, 10000) <= 0 || read(m_replies, &c, 1) != 1) return "";
            if (c == '\n') return reply;
            reply += c;
        }
    }

    void Kill() {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

private:
    pid_t m_pid = -1;
    int m_commands = -1;
    int m_replies = -1;
};

class SimSingleCopy : public ::testing::Test {
protected:
    // Two copies of this program in two folders of their own, so that
    // their counters are theirs alone and apart from each other.
    static void SetUpTestSuite() {
        std::string root = (fs::temp_directory_path() / "mirtel-copies-XXXXXX").string();
        ASSERT_NE(mkdtemp(root.data()), nullptr);
        s_root = root;
        for (const char *folder : {"first", "second"}) {
            fs::create_directories(root + "/" + folder);
            fs::copy_file(fs::read_symlink("/proc/self/exe"), root + "/" + folder + "/copy");
        }
        fs::create_directories(root + "/tmp");
    }
    static void TearDownTestSuite() { fs::remove_all(s_root); }

    void SetUp() override { machine.Use(); }

    std::unique_ptr<Helper> Start(const char *folder = "first") {
        return std::make_unique<Helper>(s_root + "/" + folder + "/copy", machine.Path(), s_root + "/tmp");
    }

    static std::string s_root;
    testing_machine::MachineFolder machine;
};

std::string SimSingleCopy::s_root;

TEST_F(SimSingleCopy, RunningCopiesCountEachOther) {
    auto first = Start();
    auto second = Start();
    EXPECT_EQ(first->Ask("increment"), "0");
    EXPECT_EQ(second->Ask("increment"), "1");
    EXPECT_EQ(second->Ask("decrement"), "0");
    EXPECT_EQ(second->Ask("increment"), "1");
    EXPECT_EQ(first->Ask("decrement"), "0");
    EXPECT_EQ(second->Ask("decrement"), "-1");
}

TEST_F(SimSingleCopy, ACopyKilledWhileRunningLeavesTheCounterClean) {
    auto killed = Start();
    EXPECT_EQ(killed->Ask("increment"), "0");
    killed->Kill();
    auto next = Start();
    EXPECT_EQ(next->Ask("increment"), "0");
    EXPECT_EQ(next->Ask("decrement"), "-1");
}

// The counter and the mutex go with the copy the instant it dies, even
// while a child it was starting still holds copies of its descriptors.
TEST_F(SimSingleCopy, ACopyKilledWhileStartingAChildLeavesNothingHeld) {
    auto killed = Start();
    EXPECT_EQ(killed->Ask("increment"), "0");
    EXPECT_EQ(killed->Ask(std::string("create-mutex ") + kMutexName), "1 0");
    EXPECT_EQ(killed->Ask("fork-child"), "ok");
    killed->Kill();
    auto next = Start();
    EXPECT_EQ(next->Ask("increment"), "0");
    EXPECT_EQ(next->Ask(std::string("open-mutex ") + kMutexName), "0 2");  // ERROR_FILE_NOT_FOUND
    EXPECT_EQ(next->Ask("decrement"), "-1");
}

TEST_F(SimSingleCopy, CopiesInOtherFoldersHaveTheirOwnCounter) {
    auto here = Start("first");
    auto there = Start("second");
    EXPECT_EQ(here->Ask("increment"), "0");
    EXPECT_EQ(there->Ask("increment"), "0");
    EXPECT_EQ(here->Ask("decrement"), "-1");
    EXPECT_EQ(there->Ask("decrement"), "-1");
}

TEST_F(SimSingleCopy, WindowSlotIsSharedWhileACopyRuns) {
    {
        auto first = Start();
        auto second = Start();
        EXPECT_EQ(first->Ask("increment"), "0");
        EXPECT_EQ(first->Ask("set-slot 40012301"), "ok");
        EXPECT_EQ(second->Ask("increment"), "1");
        EXPECT_EQ(second->Ask("get-slot"), "40012301");
        first->Kill();
        second->Kill();
    }
    // Like a shared section loaded afresh, the slot starts empty again.
    auto later = Start();
    EXPECT_EQ(later->Ask("increment"), "0");
    EXPECT_EQ(later->Ask("get-slot"), "0");
    EXPECT_EQ(later->Ask("decrement"), "-1");
}

TEST_F(SimSingleCopy, CounterChangesInterlockedStyleAndGoesWithTheLastCopy) {
    const std::string folder = s_root + "/in-process-counter";
    sim::UseCopyCounterFolder(folder);
    const struct {
        bool increment;
        win::LONG result;
    } steps[] = {{true, 0}, {true, 1}, {false, 0}, {true, 1}, {false, 0}, {false, -1},
                 // Nothing held: the counter cannot go below -1.
                 {false, -1}};
    for (const auto &step : steps)
        EXPECT_EQ(step.increment ? win::IncrementCopyCounter() : win::DecrementCopyCounter(), step.result);
    EXPECT_FALSE(fs::exists(folder));
    sim::UseCopyCounterFolder("");
}

TEST_F(SimSingleCopy, NamedMutexIsSeenMachineWideUntilItsHolderDies) {
    auto holder = Start("first");
    auto other = Start("second");
    EXPECT_EQ(other->Ask(std::string("open-mutex ") + kMutexName), "0 2");  // ERROR_FILE_NOT_FOUND
    EXPECT_EQ(holder->Ask(std::string("create-mutex ") + kMutexName), "1 0");
    EXPECT_EQ(other->Ask(std::string("open-mutex ") + kMutexName), "1");
    EXPECT_EQ(other->Ask("close-mutexes"), "ok");
    EXPECT_EQ(other->Ask(std::string("create-mutex ") + kMutexName), "1 183");  // ERROR_ALREADY_EXISTS
    EXPECT_EQ(other->Ask("close-mutexes"), "ok");
    win::HANDLE mine = win::OpenMutexA(win::MUTEX_ALL_ACCESS, win::FALSE, kMutexName);
    EXPECT_NE(mine, nullptr);
    win::CloseHandle(mine);

    holder->Kill();
    EXPECT_EQ(win::OpenMutexA(win::MUTEX_ALL_ACCESS, win::FALSE, kMutexName), nullptr);
    EXPECT_EQ(win::GetLastError(), win::ERROR_FILE_NOT_FOUND);
}

TEST_F(SimSingleCopy, NamedMutexGoesWithItsLastHandleAndNamesStayApart) {
    win::HANDLE mutex = win::CreateMutexA(nullptr, win::FALSE, "Local\\Mirtel.Test");
    ASSERT_NE(mutex, nullptr);
    EXPECT_EQ(win::GetLastError(), win::NO_ERROR);
    for (const char *otherName : {"local\\mirtel.test", "Local/Mirtel.Test", "Local%5CMirtel.Test", "Mirtel.Test"}) {
        EXPECT_EQ(win::OpenMutexA(win::MUTEX_ALL_ACCESS, win::FALSE, otherName), nullptr) << otherName;
    }
    win::HANDLE second = win::OpenMutexA(win::MUTEX_ALL_ACCESS, win::FALSE, "Local\\Mirtel.Test");
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(win::CloseHandle(mutex));
    EXPECT_TRUE(win::CloseHandle(second));
    EXPECT_EQ(win::OpenMutexA(win::MUTEX_ALL_ACCESS, win::FALSE, "Local\\Mirtel.Test"), nullptr);
}

}  // namespace
