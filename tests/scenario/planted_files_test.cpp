// A package folder, or the folder the installer is started from, may be
// writable by others than the administrator the installer runs as. A
// program or library placed there under a system name must not run in its
// stead: the wizard is the system's rundll32.exe, and libraries come from
// the system's folders.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "scenario/installer_runs.h"

namespace installer_runs {
namespace {

using Strings = std::vector<std::string>;
const Strings kParent = {"+W:1a2b", "+M:8001", "+9"};

// A host program that only leaves a marker file behind when it runs.
void PlantProgram(const std::string &path, const std::string &marker) {
    WriteFile(path, "#!/bin/sh\ntouch '" + marker + "'\n");
    ASSERT_EQ(chmod(path.c_str(), 0755), 0);
}

struct PlantedWizardCase {
    const char *name;
    int osCode;
    bool inCurrentFolder;  // else beside the program
    const char *systemRundll32;
};

class PlantedWizard : public ::testing::TestWithParam<PlantedWizardCase> {};

TEST_P(PlantedWizard, TheSystemsRundll32RunsWithTheSameCommandLine) {
    const PlantedWizardCase &c = GetParam();
    MachineFolder machine;
    SetOSCode(machine, c.osCode);
    StageKeyPackage(machine, c.osCode <= 2);
    const std::string folder = c.inCurrentFolder ? machine.Path() + "/../current" : machine.PackagePath();
    std::filesystem::create_directories(folder);
    const std::string marker = machine.Path() + "/../planted-ran";
    PlantProgram(folder + "/rundll32.exe", marker);

    const RunResult run = machine.RunSetup(kParent, {}, c.inCurrentFolder ? folder : std::string());

    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_FALSE(std::filesystem::exists(marker)) << "the planted rundll32.exe ran";
    const std::vector<TranscriptEvent> events = machine.Transcript();
    EXPECT_TRUE(Boxes(events).empty());
    EXPECT_EQ(Posts(events), Strings{"0x0"});
    EXPECT_EQ(Field(events, "process", "commandline"),
              Strings{"rundll32 shell32,SHHelpShortcuts_RunDLL AddPrinter"});
    EXPECT_EQ(Field(events, "process", "application"), Strings{c.systemRundll32});
    EXPECT_EQ(Field(events, "process", "result"), Strings{"1"});
}

INSTANTIATE_TEST_SUITE_P(
    Places, PlantedWizard,
    ::testing::Values(
        PlantedWizardCase{"XpBesideTheProgram", 8, false, "C:\\WINDOWS\\system32\\rundll32.exe"},
        PlantedWizardCase{"XpInTheCurrentFolder", 8, true, "C:\\WINDOWS\\system32\\rundll32.exe"},
        PlantedWizardCase{"Nt4BesideTheProgram", 4, false, "C:\\WINDOWS\\system32\\rundll32.exe"},
        PlantedWizardCase{"Win98BesideTheProgram", 2, false, "C:\\WINDOWS\\rundll32.exe"}),
    [](const ::testing::TestParamInfo<PlantedWizardCase> &info) { return info.param.name; });

// NT 4.0's OEM INF step reads the INF files through the system's setup
// API, not through a SetupApi.DLL beside the program.
TEST(PlantedLibrary, SetupApiBesideTheProgramIsNotLoadedOnNt4) {
    MachineFolder machine;
    SetOSCode(machine, 4);
    StageKeyPackage(machine);
    WriteFile(machine.PackagePath() + "/SetupApi.DLL", "planted");

    const RunResult run = machine.RunSetup(kParent);

    EXPECT_EQ(run.status, 0) << run.err;
    const std::vector<TranscriptEvent> events = machine.Transcript();
    EXPECT_TRUE(EventsOf(events, "library").empty());
    EXPECT_TRUE(Boxes(events).empty());
    EXPECT_EQ(Posts(events), Strings{"0x0"});
}

// A second start while an installer runs brings the wizard to the front,
// reading its title from the system's PRINTUI.DLL only.
TEST(PlantedLibrary, PrintuiBesideTheProgramIsNotLoadedByASecondStart) {
    MachineFolder machine;
    machine.SetIni("Strings", "PRINTUI.DLL.15114", "Add Printer");
    StageKeyPackage(machine);
    WriteFile(machine.PackagePath() + "/PRINTUI.DLL", "planted");
    BackgroundRun first(machine.PackagePath() + "/setup", machine.Path(), {"+9"},
                        {{"MIRTEL_WIZARD_SLEEP_MS", "5000"}});
    ASSERT_TRUE(first.Started());
    ASSERT_TRUE(WaitForEvent(machine, "process"));

    machine.RunSetup(kParent);
    first.Kill();

    const std::vector<TranscriptEvent> events = machine.Transcript();
    EXPECT_TRUE(EventsOf(events, "library").empty());
}

}  // namespace
}  // namespace installer_runs
