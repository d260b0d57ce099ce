// Processes and threads of the simulated machine: programs started through
// machine.ini [Programs], waits on them, and the worker thread that
// TerminateThread ends while it waits.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <atomic>
#include <cstdlib>
#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/process.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "support/machine_fixture.h"

namespace {

using testing_machine::TranscriptEvent;

// An environment variable taken away for a while.
class UnsetVariable {
public:
    explicit UnsetVariable(const char *name) : m_name(name) {
        const char *value = std::getenv(name);
        m_had = value != nullptr;
        if (m_had) m_value = value;
        unsetenv(name);
    }
    ~UnsetVariable() {
        if (m_had) setenv(m_name.c_str(), m_value.c_str(), 1);
    }

private:
    std::string m_name;
    bool m_had = false;
    std::string m_value;
};

class SimProcesses : public ::testing::Test {
protected:
    // An executable shell script in the machine folder.
    std::string Script(const std::string &name, const std::string &body) {
        const std::string path = machine.HostPath(name);
        std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
        chmod(path.c_str(), 0755);
        return path;
    }

    std::string ReadHostFile(const std::string &name) const {
        std::ifstream in(machine.HostPath(name));
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    bool Start(std::string commandLine, win::PROCESS_INFORMATION *process) {
        win::STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        *process = {};
        return win::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, win::TRUE,
                                   win::NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, process);
    }

    static void Close(const win::PROCESS_INFORMATION &process) {
        win::CloseHandle(process.hThread);
        win::CloseHandle(process.hProcess);
    }

    // This process has no child, running or unreaped; asking reaps none.
    static bool NoChildLeft() {
        siginfo_t info = {};
        return waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) == -1 && errno == ECHILD;
    }

    testing_machine::MachineFolder machine;
};

TEST_F(SimProcesses, RunsTheMachinesProgramWithTheRestOfTheCommandLine) {
    const std::string script =
        Script("record.sh", "for a in \"$@\"; do echo \"$a\"; done > \"$MIRTEL_MACHINE/args\"");
    machine.SetIni("Programs", "rundll32", script);
    machine.Use();
    // The child learns its machine even when this process found its own
    // by default.
    const UnsetVariable noMachineVariable("MIRTEL_MACHINE");

    win::PROCESS_INFORMATION process;
    ASSERT_TRUE(Start("C:\\WINDOWS\\system32\\RUNDLL32.EXE shell32,SHHelpShortcuts_RunDLL \"Add Printer\"", &process));
    EXPECT_NE(process.dwProcessId, 0u);
    EXPECT_EQ(win::WaitForSingleObject(process.hProcess, win::INFINITE), win::WAIT_OBJECT_0);
    EXPECT_EQ(win::WaitForSingleObject(process.hThread, 0), win::WAIT_OBJECT_0);
    Close(process);
    EXPECT_TRUE(NoChildLeft());

    EXPECT_EQ(ReadHostFile("args"), "shell32,SHHelpShortcuts_RunDLL\nAdd Printer\n");
    const std::vector<TranscriptEvent> events = machine.Transcript();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0], (TranscriptEvent{{"event", "process"},
                                          {"commandline",
                                           "C:\\WINDOWS\\system32\\RUNDLL32.EXE shell32,SHHelpShortcuts_RunDLL "
                                           "\"Add Printer\""},
                                          {"result", "1"}}));
}

TEST_F(SimProcesses, ProgramsThatCannotRunFailWithWindowsErrors) {
    const std::string notExecutable = machine.HostPath("plain.txt");
    std::ofstream(notExecutable) << "text\n";
    machine.SetIni("Programs", "empty", "");
    machine.SetIni("Programs", "missing", "/nonexistent/mirtel-program");
    machine.SetIni("Programs", "unsearchable", "mirtel-no-such-command-anywhere");
    machine.SetIni("Programs", "plain", notExecutable);
    machine.Use();
    const struct {
        const char *commandLine;
        win::DWORD error;
    } cases[] = {
        {"rundll32x shell32", win::ERROR_FILE_NOT_FOUND},
        {"empty", win::ERROR_FILE_NOT_FOUND},
        {"missing a b", win::ERROR_FILE_NOT_FOUND},
        {"unsearchable", win::ERROR_FILE_NOT_FOUND},
        {"plain", win::ERROR_ACCESS_DENIED},
        {"", win::ERROR_FILE_NOT_FOUND},
    };
    for (const auto &c : cases) {
        win::PROCESS_INFORMATION process;
        EXPECT_FALSE(Start(c.commandLine, &process)) << c.commandLine;
        EXPECT_EQ(win::GetLastError(), c.error) << c.commandLine;
        EXPECT_EQ(process.hProcess, nullptr) << c.commandLine;
    }
    EXPECT_TRUE(NoChildLeft());
    const std::vector<TranscriptEvent> events = machine.Transcript();
    ASSERT_EQ(events.size(), std::size(cases));
    for (std::size_t i = 0; i < events.size(); ++i) {
        EXPECT_EQ(events[i].at("commandline"), cases[i].commandLine);
        EXPECT_EQ(events[i].at("result"), "0");
    }
}

TEST_F(SimProcesses, WaitTimesOutWhileTheProgramRunsAndEndsWithIt) {
    machine.SetIni("Programs", "sleeper", "sleep");
    machine.Use();
    win::PROCESS_INFORMATION process;
    ASSERT_TRUE(Start("sleeper 0.3", &process));
    EXPECT_EQ(win::WaitForSingleObject(process.hProcess, 20), win::WAIT_TIMEOUT);
    EXPECT_EQ(win::WaitForSingleObject(process.hProcess, 10000), win::WAIT_OBJECT_0);
    Close(process);
    EXPECT_TRUE(NoChildLeft());
    EXPECT_EQ(win::WaitForSingleObject(process.hProcess, 0), win::WAIT_FAILED);
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_HANDLE);
}

TEST_F(SimProcesses, ClosingTheHandleOfARunningProgramLeavesNoZombie) {
    machine.SetIni("Programs", "sleeper", "sleep");
    machine.Use();
    win::PROCESS_INFORMATION process;
    ASSERT_TRUE(Start("sleeper 0.1", &process));
    Close(process);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!NoChildLeft() && std::chrono::steady_clock::now() < deadline) win::Sleep(10);
    EXPECT_TRUE(NoChildLeft());
}

// The program's worker: wait for the wizard, tell the main thread, sleep
// until ended.
std::atomic<int> g_workerSteps{0};

win::DWORD MIRTEL_STDCALL WaitingWorker(void *processHandle) {
    g_workerSteps = 1;
    win::WaitForSingleObject(static_cast<win::HANDLE>(processHandle), win::INFINITE);
    g_workerSteps = 2;
    win::Sleep(win::INFINITE);
    g_workerSteps = 3;
    return 0;
}

void WaitForStep(int step) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (g_workerSteps < step && std::chrono::steady_clock::now() < deadline) win::Sleep(5);
}

TEST_F(SimProcesses, TerminateThreadEndsAWorkerInEitherOfItsWaits) {
    machine.SetIni("Programs", "sleeper", "sleep");
    machine.Use();
    for (const bool programEndsFirst : {false, true}) {
        SCOPED_TRACE(programEndsFirst ? "worker in Sleep(INFINITE)" : "worker waiting for the program");
        win::PROCESS_INFORMATION process;
        ASSERT_TRUE(Start(programEndsFirst ? "sleeper 0" : "sleeper 30", &process));
        g_workerSteps = 0;
        win::DWORD threadId = 0;
        win::HANDLE worker = win::CreateThread(nullptr, 0, WaitingWorker, process.hProcess, 0, &threadId);
        ASSERT_NE(worker, nullptr);
        EXPECT_NE(threadId, 0u);
        WaitForStep(programEndsFirst ? 2 : 1);
        win::Sleep(20);  // well inside its wait now
        EXPECT_EQ(win::WaitForSingleObject(worker, 0), win::WAIT_TIMEOUT);

        const auto before = std::chrono::steady_clock::now();
        EXPECT_TRUE(win::TerminateThread(worker, 0));
        EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(5));
        EXPECT_EQ(win::WaitForSingleObject(worker, 0), win::WAIT_OBJECT_0);
        EXPECT_EQ(g_workerSteps, programEndsFirst ? 2 : 1);
        EXPECT_TRUE(win::CloseHandle(worker));

        if (!programEndsFirst) kill(static_cast<pid_t>(process.dwProcessId), SIGKILL);
        EXPECT_EQ(win::WaitForSingleObject(process.hProcess, 10000), win::WAIT_OBJECT_0);
        Close(process);
        EXPECT_TRUE(NoChildLeft());
    }
}

TEST_F(SimProcesses, ThreadHandleIsSignalledWhenTheRoutineReturns) {
    machine.Use();
    win::HANDLE thread = win::CreateThread(
        nullptr, 0, [](void *) -> win::DWORD { return 5; }, nullptr, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(win::WaitForSingleObject(thread, 10000), win::WAIT_OBJECT_0);
    EXPECT_TRUE(win::TerminateThread(thread, 0));  // already ended: nothing to do
    EXPECT_TRUE(win::CloseHandle(thread));
    EXPECT_FALSE(win::TerminateThread(thread, 0));
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_HANDLE);
}

// Calls that Windows 95, 98, Me or 2000 refuse where later versions take
// them, as the simulated machine of each version answers them.
TEST_F(SimProcesses, OlderVersionsRefuseWhatTheirDocumentationSays) {
    struct Version {
        const char *name;
        const char *platformId, *major, *minor;
        bool refusesNullThreadId;  // CreateThread: the thread-id pointer may not be null
        bool refusesRawInput;      // MsgWaitForMultipleObjects: QS_RAWINPUT (0x400) unknown
    };
    const Version versions[] = {
        {"95", "1", "4", "0", true, true},    {"Me", "1", "4", "90", true, true},
        {"NT 4.0", "2", "4", "0", false, true}, {"2000", "2", "5", "0", false, true},
        {"XP", "2", "5", "1", false, false},  {"7", "2", "6", "1", false, false},
    };
    for (const Version &version : versions) {
        SCOPED_TRACE(version.name);
        machine.SetIni("Version", "PlatformId", version.platformId);
        machine.SetIni("Version", "MajorVersion", version.major);
        machine.SetIni("Version", "MinorVersion", version.minor);
        machine.Use();

        win::HANDLE thread = win::CreateThread(
            nullptr, 0, [](void *) -> win::DWORD { return 0; }, nullptr, 0, nullptr);
        EXPECT_EQ(thread == nullptr, version.refusesNullThreadId);
        if (thread) {
            EXPECT_EQ(win::WaitForSingleObject(thread, 10000), win::WAIT_OBJECT_0);
            win::CloseHandle(thread);
        } else {
            EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_PARAMETER);
        }

        const win::DWORD withRawInput = win::MsgWaitForMultipleObjects(0, nullptr, win::FALSE, 0, 0x04FF);
        EXPECT_EQ(withRawInput == win::WAIT_FAILED, version.refusesRawInput);
        if (withRawInput == win::WAIT_FAILED) {
            EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_PARAMETER);
        }
        EXPECT_NE(win::MsgWaitForMultipleObjects(0, nullptr, win::FALSE, 0, win::QS_ALLINPUT), win::WAIT_FAILED);
    }
}

}  // namespace
