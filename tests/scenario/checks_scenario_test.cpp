// Whole runs that the system checks decide: unsupported Windows versions,
// users without administrator rights, a second copy on a terminal server,
// and an Add Printer Wizard that is already open. The runs pass "+9", so
// that what they show depends on the checks alone.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "scenario/installer_runs.h"
#include "unit/locking_process.h"

namespace {

using namespace installer_runs;
using Strings = std::vector<std::string>;
using Settings = std::vector<std::vector<std::string>>;  // section, key, value

const Strings kParent = {"+W:1a2b", "+M:8001", "+9"};
const char *const kWizardOpen = "IDS_ERR_ADDWIZARD1\nIDS_ERR_ADDWIZARD2";

void Apply(MachineFolder &machine, const Settings &settings) {
    for (const auto &setting : settings) machine.SetIni(setting[0], setting[1], setting[2]);
}

std::string ReadFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void SwitchLogOn(MachineFolder &machine) {
    machine.SetRegistryValue("HKEY_LOCAL_MACHINE\\SOFTWARE\\TALVO\\IMG\\PS\\LOG", "OutputLevel",
                             4 /* REG_DWORD */, std::string("\1\0\0\0", 4));
}

std::string Log(const MachineFolder &machine) {
    return ReadFile(machine.HostPath("drive_c/WINDOWS/Temp/PSLOG.TXT"));
}

struct CheckCase {
    const char *name;
    Settings settings;
    Strings boxes;
    Strings posts;
    bool installs;
    Strings logged;     // lines the log holds
    Strings notLogged;  // texts it does not hold
    bool nineX = false;  // the package holds a 9x INF
};

class CheckScenario : public ::testing::TestWithParam<CheckCase> {};

TEST_P(CheckScenario, RunEndsAsTheChecksSay) {
    const CheckCase &c = GetParam();
    MachineFolder machine;
    Apply(machine, c.settings);
    SwitchLogOn(machine);
    StageKeyPackage(machine, c.nineX);

    const RunResult run = machine.RunSetup(kParent);

    EXPECT_EQ(run.status, 0) << run.err;
    const std::vector<TranscriptEvent> events = machine.Transcript();
    EXPECT_EQ(Boxes(events), c.boxes);
    EXPECT_EQ(Posts(events), c.posts);
    EXPECT_EQ(EventsOf(events, "process").size(), c.installs ? 1u : 0u);
    const std::string log = Log(machine);
    for (const std::string &line : c.logged)
        EXPECT_NE(log.find(line + "\r\n"), std::string::npos) << line << "\n" << log;
    for (const std::string &text : c.notLogged)
        EXPECT_EQ(log.find(text), std::string::npos) << text << "\n" << log;
}

const char *const kAdminLine = "Inf : GetTokenInformation API need buffer size. : ";
const char *const kNtPrint =
    "CMirtelApp::kFileIsUsed  File Name [C:\\WINDOWS\\system32\\NTPRINT.DLL]";

INSTANTIATE_TEST_SUITE_P(
    Machines, CheckScenario,
    ::testing::Values(
        CheckCase{"Nt7", {{"Version", "MajorVersion", "7"}}, {"IDS_ERR_OSVERSION"}, {"0x1"},
                  false, {}, {kAdminLine}},
        CheckCase{"Win32s", {{"Version", "PlatformId", "0"}}, {"IDS_ERR_OSVERSION"}, {"0x1"},
                  false, {}, {}},
        CheckCase{"VersionQueryFails", {{"Version", "VersionQueryFails", "1"}},
                  {"IDS_ERR_OSVERSION"}, {"0x1"}, false, {}, {}},
        // Windows 98 (code 2): no administrator check, and the 9x printer
        // library is the one that must not be in use.
        CheckCase{"Win98WithoutAdministrator",
                  {{"Version", "PlatformId", "1"},
                   {"Version", "MajorVersion", "4"},
                   {"Version", "MinorVersion", "10"},
                   {"System", "SystemDirectory", "C:\\WINDOWS\\SYSTEM"},
                   {"System", "Administrator", "0"}},
                  {},
                  {"0x0"},
                  true,
                  {"CMirtelApp::kFileIsUsed  File Name [C:\\WINDOWS\\SYSTEM\\MSPRINT2.DLL]"},
                  {kAdminLine},
                  true},
        CheckCase{"XpWithoutAdministrator", {{"System", "Administrator", "0"}},
                  {"IDS_ERR_NO_ADMIN"}, {"0x1"}, false, {}, {}},
        CheckCase{"Nt4WithoutAdministrator",
                  {{"Version", "MajorVersion", "4"},
                   {"Version", "MinorVersion", "0"},
                   {"System", "Administrator", "0"}},
                  {"IDS_ERR_NO_ADMIN"},
                  {"0x1"},
                  false,
                  {},
                  {}},
        CheckCase{"XpDenyOnlyAdministrator", {{"System", "Administrator", "2"}}, {}, {"0x0"}, true,
                  {kNtPrint},
                  {"Err : "}},
        // Windows 6.x asks for the wizard's window instead of the library.
        CheckCase{"VistaWithoutTheWizard",
                  {{"Version", "MajorVersion", "6"}, {"Version", "MinorVersion", "0"}},
                  {},
                  {"0x0"},
                  true,
                  {"CMirtelApp::kCheckAddWizard()  strDLLName [C:\\WINDOWS\\system32\\PRINTUI.DLL]",
                   "CMirtelApp::kCheckAddWizard() szBuff[Add Printer Wizard] ",
                   "CMirtelApp::kCheckAddWizard()  Return FALSE"},
                  {"kFileIsUsed"}},
        CheckCase{"VistaWithTheWizardOpen",
                  {{"Version", "MajorVersion", "6"},
                   {"Version", "MinorVersion", "0"},
                   {"Windows", "Add Printer Wizard", "0x00020040"}},
                  {kWizardOpen},
                  {"0x0"},
                  false,
                  {"CMirtelApp::kCheckAddWizard()  hWnd [0000000000020040] Return TRUE"},
                  {}},
        CheckCase{"XpWithTheWizardWindowAsksTheLibraryOnly",
                  {{"Windows", "Add Printer Wizard", "0x00020040"}},
                  {},
                  {"0x0"},
                  true,
                  {kNtPrint, "CMirtelApp::kFileIsUsed  OpenFile GetLastError [2]"},
                  {"kCheckAddWizard"}}),
    [](const ::testing::TestParamInfo<CheckCase> &info) { return info.param.name; });

struct LibraryCase {
    const char *name;
    int osCode;
    const char *library;  // below drive_c
};

class LibraryInUseScenario : public ::testing::TestWithParam<LibraryCase> {};

TEST_P(LibraryInUseScenario, PrinterLibraryHeldOpenStopsTheRun) {
    const LibraryCase &c = GetParam();
    MachineFolder machine;
    SetOSCode(machine, c.osCode);
    StageKeyPackage(machine, c.osCode <= 2);
    const std::string library = machine.HostPath(std::string("drive_c/") + c.library);
    WriteFile(library, "library");
    {
        LockingProcess holder(library);
        ASSERT_TRUE(holder.Locked());
        machine.RunSetup(kParent);
    }
    std::vector<TranscriptEvent> events = machine.Transcript();
    EXPECT_EQ(Boxes(events), Strings{kWizardOpen});
    EXPECT_EQ(Posts(events), Strings{"0x0"});
    EXPECT_TRUE(EventsOf(events, "process").empty());

    // Let go, the same library no longer stops anyone.
    machine.RunSetup(kParent);
    events = machine.Transcript();
    EXPECT_EQ(Boxes(events), Strings{kWizardOpen});
    EXPECT_EQ(Posts(events), (Strings{"0x0", "0x0"}));
    EXPECT_EQ(EventsOf(events, "process").size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Families, LibraryInUseScenario,
    ::testing::Values(LibraryCase{"Xp", 8, "WINDOWS/system32/NTPRINT.DLL"},
                      LibraryCase{"Nt4", 4, "WINDOWS/system32/NTPRINT.DLL"},
                      LibraryCase{"Win98", 2, "WINDOWS/SYSTEM/MSPRINT2.DLL"},
                      LibraryCase{"Win95", 1, "WINDOWS/SYSTEM/MSPRINT2.DLL"}),
    [](const ::testing::TestParamInfo<LibraryCase> &info) { return info.param.name; });

// A second copy of the program in another folder of the same machine.
std::string CopyPackage(const MachineFolder &machine) {
    const std::string other = machine.Path() + "/../other";
    std::filesystem::copy(machine.PackagePath(), other, std::filesystem::copy_options::recursive);
    return other + "/setup";
}

struct MachineMutexCase {
    const char *name;
    Settings settings;
    bool suite;  // NT 4.0 names the terminal server in ProductSuite
    bool nineX;
};

class MachineMutexScenario : public ::testing::TestWithParam<MachineMutexCase> {};

// The machine-wide mutex stops an installer in another folder on every
// system, terminal server or not, under the global name or the plain one.
TEST_P(MachineMutexScenario, MachineWideMutexStopsACopyInAnotherFolder) {
    const MachineMutexCase &c = GetParam();
    MachineFolder machine;
    Apply(machine, c.settings);
    if (c.suite)
        machine.SetRegistryValue(
            "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\ProductOptions",
            "ProductSuite", 7 /* REG_MULTI_SZ */, std::string("Terminal Server\0\0", 17));
    StageKeyPackage(machine, c.nineX);
    const std::string other = CopyPackage(machine);

    BackgroundRun first(machine.PackagePath() + "/setup", machine.Path(), {"+9"},
                        {{"MIRTEL_WIZARD_SLEEP_MS", "5000"}});
    ASSERT_TRUE(first.Started());
    ASSERT_TRUE(WaitForEvent(machine, "process"));

    // The same program file is stopped by its copy counter: nothing posted.
    machine.RunSetup(kParent);
    EXPECT_TRUE(Posts(machine.Transcript()).empty());

    const RunResult otherRun = testing_machine::RunProgram(
        other, kParent, {{"MIRTEL_MACHINE", machine.Path()}, {"MIRTEL_WIZARD_SLEEP_MS", "0"}});
    EXPECT_EQ(otherRun.status, 0) << otherRun.err;
    std::vector<TranscriptEvent> events = machine.Transcript();
    EXPECT_TRUE(Boxes(events).empty());
    EXPECT_EQ(Posts(events), Strings{"0x0"});
    EXPECT_EQ(EventsOf(events, "process").size(), 1u);

    // The mutex goes with the copy that held it, however it ended.
    first.Kill();
    testing_machine::RunProgram(
        other, kParent, {{"MIRTEL_MACHINE", machine.Path()}, {"MIRTEL_WIZARD_SLEEP_MS", "0"}});
    events = machine.Transcript();
    EXPECT_EQ(Posts(events), (Strings{"0x0", "0x0"}));
    EXPECT_EQ(EventsOf(events, "process").size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(
    Machines, MachineMutexScenario,
    ::testing::Values(
        MachineMutexCase{"XpTerminalServer",
                         {{"Version", "ProductType", "3"}, {"Version", "SuiteMask", "0x10"}},
                         false,
                         false},
        MachineMutexCase{"Nt4TerminalServer",
                         {{"Version", "MajorVersion", "4"}, {"Version", "MinorVersion", "0"}},
                         true,
                         false},
        MachineMutexCase{"XpWorkstation", {}, false, false},
        MachineMutexCase{"Win98",
                         {{"Version", "PlatformId", "1"},
                          {"Version", "MajorVersion", "4"},
                          {"Version", "MinorVersion", "10"},
                          {"System", "SystemDirectory", "C:\\WINDOWS\\SYSTEM"}},
                         false,
                         true}),
    [](const ::testing::TestParamInfo<MachineMutexCase> &info) { return info.param.name; });

TEST(SecondCopyScenario, BringsTheOpenWizardToTheFront) {
    MachineFolder machine;
    StageKeyPackage(machine);
    BackgroundRun first(machine.PackagePath() + "/setup", machine.Path(), {"+9"},
                        {{"MIRTEL_WIZARD_SLEEP_MS", "5000"},
                         {"MIRTEL_WIZARD_WINDOW_TITLE", "Add Printer Wizard"}});
    ASSERT_TRUE(first.Started());
    ASSERT_TRUE(WaitForEvent(machine, "wizard"));

    machine.RunSetup(kParent);

    const std::vector<TranscriptEvent> events = machine.Transcript();
    const std::vector<TranscriptEvent> wizard = EventsOf(events, "wizard");
    ASSERT_EQ(wizard.size(), 1u);
    EXPECT_NE(wizard[0].at("window"), "0x0");
    EXPECT_EQ(Field(events, "foreground", "hwnd"), Strings{wizard[0].at("window")});
    EXPECT_TRUE(Boxes(events).empty());
    EXPECT_TRUE(Posts(events).empty());
}

}  // namespace
