// The simulated machine's Add Printer Wizard: what it records of the
// device-path values, and its window as other programs find it.
#include <signal.h>

#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/process.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "support/machine_fixture.h"
#include "support/paths.h"

namespace {

using testing_machine::TranscriptEvent;

const std::string kWizard = testing_paths::BinDir() + "/mirtel-addprinter";
const std::string kCurrentVersion = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

std::vector<TranscriptEvent> EventsNamed(const std::vector<TranscriptEvent> &events, const std::string &name) {
    std::vector<TranscriptEvent> named;
    for (const TranscriptEvent &event : events)
        if (event.at("event") == name) named.push_back(event);
    return named;
}

TEST(SimWizard, RecordsTheDevicePathValuesItSees) {
    testing_machine::MachineFolder machine;
    std::ofstream(machine.HostPath("drive_c/WINDOWS/Inf/oem0.inf")) << "[Version]\n";
    std::ofstream(machine.HostPath("drive_c/WINDOWS/Inf/layout.txt")) << "\n";
    machine.SetRegistryString(kCurrentVersion + "\\Setup", "SourcePath", "D:\\");
    machine.SetRegistryValue(kCurrentVersion + "\\Setup", "Installation Sources", win::REG_MULTI_SZ,
                             std::string("D:\\PS\0\0", 7));
    machine.SetRegistryString("HKEY_CURRENT_USER\\InstallLocationsMRU", "MRUList", "ba");
    machine.SetRegistryString("HKEY_CURRENT_USER\\InstallLocationsMRU", "a", "A:\\");
    machine.SetRegistryString("HKEY_CURRENT_USER\\InstallLocationsMRU", "b", "D:\\PS");

    const testing_machine::RunResult run = testing_machine::RunProgram(
        kWizard, {"shell32,SHHelpShortcuts_RunDLL", "AddPrinter"}, {{"MIRTEL_MACHINE", machine.Path()}});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("DevicePath = %SystemRoot%\\inf"), std::string::npos) << run.out;

    const std::vector<TranscriptEvent> events = machine.Transcript();
    ASSERT_EQ(events.size(), 1u);
    const TranscriptEvent expected = {
        {"event", "wizard"},
        {"arguments", "shell32,SHHelpShortcuts_RunDLL AddPrinter"},
        {"window", "0x0"},
        {"devicepath", "%SystemRoot%\\inf"},
        {"infs", "C:\\WINDOWS\\inf\\oem0.inf"},
        {"DevicePath.type", "0x2"},
        {"DevicePath.bytes", "2553797374656d526f6f74255c696e6600"},
        {"SourcePath.type", "0x1"},
        {"SourcePath.bytes", "443a5c00"},
        {"Installation Sources.type", "0x7"},
        {"Installation Sources.bytes", "443a5c50530000"},
        {"InstallLocationsMRU\\MRUList.type", "0x1"},
        {"InstallLocationsMRU\\MRUList.bytes", "626100"},
        {"InstallLocationsMRU\\b.type", "0x1"},
        {"InstallLocationsMRU\\b.bytes", "443a5c505300"},
        {"InstallLocationsMRU\\a.type", "0x1"},
        {"InstallLocationsMRU\\a.bytes", "413a5c00"},
    };
    EXPECT_EQ(events[0], expected);
}

class SimWizardWindow : public ::testing::Test {
protected:
    void SetUp() override {
        machine.SetIni("Programs", "rundll32", kWizard);
        machine.Use();
    }

    // Starts the wizard as the installer does, with its window open for
    // `milliseconds`, and waits until it has recorded itself.
    bool StartWizard(const char *milliseconds, win::PROCESS_INFORMATION *process) {
        const std::string environment = std::string("MIRTEL_WIZARD_WINDOW_TITLE=Add Printer Wizard") + '\0' +
                                        "MIRTEL_WIZARD_SLEEP_MS=" + milliseconds + '\0' + '\0';
        char commandLine[] = "rundll32 shell32,SHHelpShortcuts_RunDLL AddPrinter";
        win::STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        if (!win::CreateProcessA(nullptr, commandLine, nullptr, nullptr, win::TRUE, win::NORMAL_PRIORITY_CLASS,
                                 const_cast<char *>(environment.data()), nullptr, &startup, process))
            return false;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (EventsNamed(machine.Transcript(), "wizard").empty() && std::chrono::steady_clock::now() < deadline)
            win::Sleep(10);
        return !EventsNamed(machine.Transcript(), "wizard").empty();
    }

    static void Close(const win::PROCESS_INFORMATION &process) {
        win::CloseHandle(process.hThread);
        win::CloseHandle(process.hProcess);
    }

    testing_machine::MachineFolder machine;
};

TEST_F(SimWizardWindow, IsFoundAndBroughtForwardWhileOpenAndGoneAfter) {
    win::PROCESS_INFORMATION process;
    ASSERT_TRUE(StartWizard("300", &process));
    const win::HWND wizard = win::FindWindowA(nullptr, "Add Printer Wizard");
    ASSERT_NE(wizard, nullptr);
    EXPECT_TRUE(win::IsWindow(wizard));
    char title[64];
    EXPECT_EQ(win::GetWindowTextA(wizard, title, sizeof title), 18);
    EXPECT_TRUE(win::SetForegroundWindow(wizard));

    EXPECT_EQ(win::WaitForSingleObject(process.hProcess, 10000), win::WAIT_OBJECT_0);
    Close(process);
    EXPECT_EQ(win::FindWindowA(nullptr, "Add Printer Wizard"), nullptr);
    EXPECT_FALSE(win::IsWindow(wizard));

    const std::vector<TranscriptEvent> events = machine.Transcript();
    const std::vector<TranscriptEvent> foreground = EventsNamed(events, "foreground");
    ASSERT_EQ(foreground.size(), 1u);
    EXPECT_EQ(foreground[0].at("hwnd"), EventsNamed(events, "wizard")[0].at("window"));
}

TEST_F(SimWizardWindow, WindowOfAKilledWizardIsNotFound) {
    win::PROCESS_INFORMATION process;
    ASSERT_TRUE(StartWizard("60000", &process));
    EXPECT_NE(win::FindWindowA(nullptr, "Add Printer Wizard"), nullptr);
    kill(static_cast<pid_t>(process.dwProcessId), SIGKILL);
    EXPECT_EQ(win::WaitForSingleObject(process.hProcess, 10000), win::WAIT_OBJECT_0);
    Close(process);
    EXPECT_EQ(win::FindWindowA(nullptr, "Add Printer Wizard"), nullptr);
}

}  // namespace
