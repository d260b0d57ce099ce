// Whole runs of the installer for the system-check and registry scenarios:
// a package whose messages are their own keys, runs in the foreground and
// in the background, and what the transcript says about them.
#pragma once

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "lang/message_keys.h"
#include "support/machine_fixture.h"
#include "support/paths.h"

extern char **environ;

namespace installer_runs {

using testing_machine::MachineFolder;
using testing_machine::RunResult;
using testing_machine::TranscriptEvent;
using Environment = std::vector<std::pair<std::string, std::string>>;

// Every message the program can show, with its key as its text.
inline std::string KeyMessages() {
    std::string text = "[String]\r\n";
    for (const char *key : kMessageKeys)
        text += std::string(key) + "=" + key + "\r\n";
    return text;
}

// A printer INF for the 9x family ("$CHICAGO$") or the NT family.
inline std::string PrinterInf(bool nineX) {
    return std::string("[Version]\r\nSignature=\"") + (nineX ? "$CHICAGO$" : "$Windows NT$") +
           "\"\r\nClass=Printer\r\nProvider=%Mfg%\r\n"
           "[Manufacturer]\r\n%Mfg%=Models\r\n[Models]\r\n\"Test Printer\"=TEST,TestPrinter\r\n"
           "[Strings]\r\nMfg=\"Test Maker\"\r\n";
}

inline void WriteFile(const std::string &path, const std::string &bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// The staged package: the program, its key messages, and one printer INF
// in `driverFolder` below the program's folder (D:\); the parent
// installer's window 0x1a2b exists on the machine.
inline void StageKeyPackage(MachineFolder &machine, bool nineX = false,
                            const std::string &driverFolder = "Printer Driver") {
    machine.SetIni("Windows", "Parent Installer", "0x1a2b");
    const std::string package = machine.StagePackage();
    WriteFile(package + "/RES/PSDI_ENG.IRC", KeyMessages());
    WriteFile(package + "/" + driverFolder + "/PRINTER.INF", PrinterInf(nineX));
}

// The machine of one Windows family, as [Version] describes it.
inline void SetOSCode(MachineFolder &machine, int osCode) {
    const char *platform = osCode <= 2 ? "1" : "2";
    const char *major = osCode == 8 ? "5" : "4";
    const char *minor = osCode == 2 ? "10" : osCode == 8 ? "1" : "0";
    machine.SetIni("Version", "PlatformId", platform);
    machine.SetIni("Version", "MajorVersion", major);
    machine.SetIni("Version", "MinorVersion", minor);
    if (osCode <= 2) machine.SetIni("System", "SystemDirectory", "C:\\WINDOWS\\SYSTEM");
}

inline std::vector<TranscriptEvent> EventsOf(const std::vector<TranscriptEvent> &events,
                                             const std::string &kind) {
    std::vector<TranscriptEvent> found;
    for (const TranscriptEvent &event : events)
        if (event.at("event") == kind) found.push_back(event);
    return found;
}

// The texts of the boxes shown, and the wParams posted, in order.
inline std::vector<std::string> Field(const std::vector<TranscriptEvent> &events,
                                      const std::string &kind, const std::string &field) {
    std::vector<std::string> values;
    for (const TranscriptEvent &event : EventsOf(events, kind)) values.push_back(event.at(field));
    return values;
}
inline std::vector<std::string> Boxes(const std::vector<TranscriptEvent> &events) {
    return Field(events, "messagebox", "text");
}
inline std::vector<std::string> Posts(const std::vector<TranscriptEvent> &events) {
    return Field(events, "post", "wparam");
}

// A copy of the program running in the background, killed (if it still
// runs) when the object goes.
class BackgroundRun {
public:
    BackgroundRun(const std::string &program, const std::string &machineFolder,
                  std::vector<std::string> arguments, const Environment &environment) {
        arguments.insert(arguments.begin(), program);
        std::vector<char *> argv;
        for (std::string &argument : arguments) argv.push_back(&argument[0]);
        argv.push_back(nullptr);
        std::vector<std::string> entries = {"MIRTEL_MACHINE=" + machineFolder};
        for (const auto &entry : environment) entries.push_back(entry.first + "=" + entry.second);
        for (char **entry = environ; *entry; ++entry) entries.push_back(*entry);
        std::vector<char *> envp;
        for (std::string &entry : entries) envp.push_back(&entry[0]);
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~BackgroundRun() {
        if (m_pid > 0) Kill();
    }
    BackgroundRun(const BackgroundRun &) = delete;
    BackgroundRun &operator=(const BackgroundRun &) = delete;

    bool Started() const { return m_pid > 0; }
    // Exit status, or 128 + signal.
    int Wait() {
        int status = 0;
        while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
        }
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    int Kill() {
        kill(m_pid, SIGKILL);
        return Wait();
    }

private:
    pid_t m_pid = -1;
};

// Waits (up to ten seconds) until the transcript holds an event of `kind`.
inline bool WaitForEvent(const MachineFolder &machine, const std::string &kind) {
    for (int i = 0; i < 1000; ++i) {
        if (!EventsOf(machine.Transcript(), kind).empty()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

}  // namespace installer_runs
