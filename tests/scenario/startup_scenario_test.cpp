// Whole runs of the installer: start-up, command line, wizard run, exit
// post, single copy and log.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "support/machine_fixture.h"
#include "support/paths.h"

extern char **environ;

namespace {

using testing_machine::MachineFolder;
using testing_machine::RunResult;
using testing_machine::TranscriptEvent;

// A message file whose texts are the keys themselves, so that runs can be
// checked without depending on any translation.
const char *const kKeyMessages =
    "[String]\n"
    "AFX_IDS_APP_TITLE=AFX_IDS_APP_TITLE\n"
    "IDS_ERR_CMDLINE=IDS_ERR_CMDLINE\n"
    "IDS_ERR_OR_SWITCH=IDS_ERR_OR_SWITCH\n"
    "IDS_ERR_OSVERSION=IDS_ERR_OSVERSION\n"
    "IDS_ERR_NO_ADMIN=IDS_ERR_NO_ADMIN\n"
    "IDS_ERR_REGSTORY=IDS_ERR_REGSTORY\n"
    "IDS_WRN_REGSTORY=IDS_WRN_REGSTORY\n"
    "IDS_INF_RECOVER_REG=IDS_INF_RECOVER_REG\n"
    "IDS_INF_REBOOT=IDS_INF_REBOOT\n"
    "IDS_ERR_ADDWIZARD1=IDS_ERR_ADDWIZARD1\n"
    "IDS_ERR_ADDWIZARD2=IDS_ERR_ADDWIZARD2\n"
    "IDS_ERR_READINF=IDS_ERR_READINF\n"
    "IDS_ERR_SOURCEPATHNG=IDS_ERR_SOURCEPATHNG\n"
    "IDS_ERR_WIZARD_RUN=IDS_ERR_WIZARD_RUN\n";

const char *const kPrinterInf =
    "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Printer\r\nProvider=%Mfg%\r\n"
    "[Manufacturer]\r\n%Mfg%=Models\r\n[Models]\r\n\"Test Printer\"=TEST,TestPrinter\r\n"
    "[Strings]\r\nMfg=\"Test Maker\"\r\n";

void WriteFile(const std::string &path, const std::string &text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A machine with a package of one NT printer INF and the key messages.
void StageKeyPackage(MachineFolder &machine) {
    std::string package = machine.StagePackage();
    ::mkdir((package + "/RES").c_str(), 0755);
    WriteFile(package + "/RES/PSDI_ENG.IRC", kKeyMessages);
    WriteFile(package + "/PRINTER.INF", kPrinterInf);
}

std::vector<TranscriptEvent> EventsOf(const std::vector<TranscriptEvent> &events,
                                      const std::string &kind) {
    std::vector<TranscriptEvent> found;
    for (const TranscriptEvent &event : events)
        if (event.at("event") == kind) found.push_back(event);
    return found;
}

std::string WizardProgram() { return testing_paths::BinDir() + "/mirtel-addprinter"; }

// Starts the staged program in the background; returns its process id.
pid_t StartSetup(const MachineFolder &machine, std::vector<std::string> arguments,
                 const std::vector<std::string> &extraEnvironment) {
    std::string program = machine.PackagePath() + "/setup";
    arguments.insert(arguments.begin(), program);
    std::vector<char *> argv;
    for (std::string &argument : arguments) argv.push_back(&argument[0]);
    argv.push_back(nullptr);
    std::vector<std::string> environment = extraEnvironment;
    environment.push_back("MIRTEL_MACHINE=" + machine.Path());
    for (char **entry = environ; *entry; ++entry) environment.push_back(*entry);
    std::vector<char *> envp;
    for (std::string &entry : environment) envp.push_back(&entry[0]);
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

bool TranscriptHasProcess(const MachineFolder &machine) {
    return !EventsOf(machine.Transcript(), "process").empty();
}

void WaitForWizardStart(const MachineFolder &machine) {
    for (int i = 0; i < 500 && !TranscriptHasProcess(machine); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(TranscriptHasProcess(machine)) << "the wizard never started";
}

TEST(StartupScenario, ParentReceivesResultAfterTheWizard) {
    MachineFolder machine;
    machine.SetIni("Windows", "Parent Installer", "0x1a2b");
    StageKeyPackage(machine);

    RunResult run = machine.RunSetup({"+W:1a2b", "+M:8001"});

    EXPECT_EQ(run.status, 0) << run.err;
    std::vector<TranscriptEvent> events = machine.Transcript();
    EXPECT_TRUE(EventsOf(events, "messagebox").empty()) << run.err;
    ASSERT_EQ(EventsOf(events, "process").size(), 1u);
    ASSERT_EQ(EventsOf(events, "post").size(), 1u);
    // The result is posted last, after the wizard process ran.
    const TranscriptEvent process = EventsOf(events, "process")[0];
    const TranscriptEvent &post = events.back();
    EXPECT_EQ(process.at("commandline"), "rundll32 shell32,SHHelpShortcuts_RunDLL AddPrinter");
    EXPECT_EQ(process.at("result"), "1");
    EXPECT_EQ(post.at("event"), "post");
    EXPECT_EQ(post.at("hwnd"), "0x1a2b");
    EXPECT_EQ(post.at("msg"), "0x8001");
    EXPECT_EQ(post.at("wparam"), "0x0");
    EXPECT_EQ(post.at("lparam"), "0x0");
}

struct CommandLineCase {
    const char *name;
    std::vector<std::string> arguments;
    std::string boxText;  // empty: no box
    std::string boxOwner;
    std::string postedWParam;  // empty: nothing posted
};

class CommandLineScenario : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineScenario, ShowsOneBoxAndPostsAsTheSwitchesSay) {
    const CommandLineCase &c = GetParam();
    MachineFolder machine;
    machine.SetIni("Windows", "Parent Installer", "0x1a2b");
    StageKeyPackage(machine);

    RunResult run = machine.RunSetup(c.arguments);

    EXPECT_EQ(run.status, 0);
    std::vector<TranscriptEvent> events = machine.Transcript();
    std::vector<TranscriptEvent> boxes = EventsOf(events, "messagebox");
    ASSERT_EQ(boxes.size(), 1u) << run.err;
    EXPECT_EQ(boxes[0].at("text"), c.boxText);
    EXPECT_EQ(boxes[0].at("caption"), "AFX_IDS_APP_TITLE");
    EXPECT_EQ(boxes[0].at("style"), "0x30");
    EXPECT_EQ(boxes[0].at("owner"), c.boxOwner);
    EXPECT_TRUE(EventsOf(events, "process").empty());
    std::vector<TranscriptEvent> posts = EventsOf(events, "post");
    if (c.postedWParam.empty()) {
        EXPECT_TRUE(posts.empty());
    } else {
        ASSERT_EQ(posts.size(), 1u);
        EXPECT_EQ(posts[0].at("wparam"), c.postedWParam);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Refused, CommandLineScenario,
    ::testing::Values(
        CommandLineCase{"UnknownLetter", {"+Q:1"}, "IDS_ERR_CMDLINE\n+Q:1", "0x0", ""},
        CommandLineCase{"WindowWithoutValue", {"+W:"}, "IDS_ERR_CMDLINE\n+W:", "0x0", ""},
        CommandLineCase{"NoRegistryTooLong", {"+9x"}, "IDS_ERR_CMDLINE\n+9x", "0x0", ""},
        CommandLineCase{"MessageWithoutWindow", {"+M:8001"}, "IDS_ERR_OR_SWITCH\n+M:\n+W:", "0x0", ""},
        // The first bad argument stops the reading: the window switch after
        // it is never read, so the box has no owner and nothing is posted.
        CommandLineCase{"StopsAtTheFirstFault", {"+Q:1", "+W:1a2b"}, "IDS_ERR_CMDLINE\n+Q:1", "0x0", ""},
        // With both switches read before the fault the parent owns the box
        // and learns that an error was shown.
        CommandLineCase{"LanguageOfThreeDigits", {"+W:1a2b", "+M:8001", "+H:409"}, "IDS_ERR_CMDLINE\n+H:409", "0x1a2b",
                        "0x1"},
        CommandLineCase{"DriveRelativeFolder", {"/w:1a2b", "xM:8001", "+G:D:DRIVERS"}, "IDS_ERR_CMDLINE\n+G:D:DRIVERS",
                        "0x1a2b", "0x1"}),
    [](const ::testing::TestParamInfo<CommandLineCase> &info) { return info.param.name; });

TEST(StartupScenario, SecondCopyEndsSilentlyAndAKilledCopyLeavesNoTrace) {
    MachineFolder machine;
    machine.SetIni("Programs", "rundll32", WizardProgram());
    StageKeyPackage(machine);

    // The first copy leaves the registry alone (+9), so that killing it
    // leaves nothing for the next start to repair.
    pid_t first = StartSetup(machine, {"+9"}, {"MIRTEL_WIZARD_SLEEP_MS=5000"});
    ASSERT_GT(first, 0);
    WaitForWizardStart(machine);

    auto start = std::chrono::steady_clock::now();
    RunResult second = machine.RunSetup({"+W:1a2b", "+M:8001"});
    auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(second.status, 0);
    EXPECT_LT(elapsed, std::chrono::seconds(1));
    std::vector<TranscriptEvent> events = machine.Transcript();
    EXPECT_TRUE(EventsOf(events, "messagebox").empty());
    EXPECT_TRUE(EventsOf(events, "post").empty());
    EXPECT_EQ(EventsOf(events, "process").size(), 1u);

    ::kill(first, SIGKILL);
    int status = 0;
    ::waitpid(first, &status, 0);

    RunResult third = machine.RunSetup({"+W:1a2b", "+M:8001"}, {{"MIRTEL_WIZARD_SLEEP_MS", "0"}});
    EXPECT_EQ(third.status, 0);
    events = machine.Transcript();
    EXPECT_EQ(EventsOf(events, "process").size(), 2u);
    ASSERT_EQ(EventsOf(events, "post").size(), 1u);
    EXPECT_EQ(EventsOf(events, "post")[0].at("wparam"), "0x0");
}

TEST(StartupScenario, UnstartableWizardShowsItsMessageAndPostsTheError) {
    MachineFolder machine;
    machine.SetIni("Programs", "rundll32", "");
    StageKeyPackage(machine);

    RunResult run = machine.RunSetup({"+W:1a2b", "+M:8001"});

    std::vector<TranscriptEvent> events = machine.Transcript();
    std::vector<TranscriptEvent> boxes = EventsOf(events, "messagebox");
    ASSERT_EQ(boxes.size(), 1u) << run.err;
    EXPECT_EQ(boxes[0].at("text"), "IDS_ERR_WIZARD_RUN");
    ASSERT_EQ(EventsOf(events, "post").size(), 1u);
    EXPECT_EQ(EventsOf(events, "post")[0].at("wparam"), "0x1");
}

struct LogSwitchCase {
    const char *name;
    unsigned type;
    std::string bytes;
    bool logs;
};

class LogSwitchScenario : public ::testing::TestWithParam<LogSwitchCase> {};

TEST_P(LogSwitchScenario, OnlyANonZeroDwordSwitchesTheLogOn) {
    const LogSwitchCase &c = GetParam();
    MachineFolder machine;
    machine.SetRegistryValue("HKEY_LOCAL_MACHINE\\SOFTWARE\\TALVO\\IMG\\PS\\LOG", "OutputLevel",
                             c.type, c.bytes);
    StageKeyPackage(machine);
    const std::string log = machine.HostPath("drive_c/WINDOWS/Temp/PSLOG.TXT");

    machine.RunSetup({});
    machine.RunSetup({});

    std::string text = ReadFile(log);
    if (!c.logs) {
        EXPECT_TRUE(text.empty());
        EXPECT_NE(::access(log.c_str(), F_OK), 0) << "no file may be left behind";
        return;
    }
    const std::string start = "Inf : Start Add Printer Wizard\r\n";
    const std::string end = "Inf : End Add Printer Wizard\r\n";
    // Two runs append to one file, each with its own lines, CR LF ended.
    std::size_t first = text.find(start);
    ASSERT_NE(first, std::string::npos) << text;
    EXPECT_NE(text.find(start, first + 1), std::string::npos) << text;
    EXPECT_NE(text.find(end), std::string::npos);
    EXPECT_EQ(text.find("\n\n"), std::string::npos);
    // The entry made before the log folder is known never reaches the file.
    EXPECT_EQ(text.find("LangsDef-file-path"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    OutputLevel, LogSwitchScenario,
    ::testing::Values(LogSwitchCase{"DwordOne", 4, std::string("\1\0\0\0", 4), true},
                      LogSwitchCase{"DwordAllBits", 4, std::string("\xff\xff\xff\xff", 4), true},
                      LogSwitchCase{"DwordZero", 4, std::string("\0\0\0\0", 4), false},
                      LogSwitchCase{"String", 1, std::string("1\0", 2), false},
                      LogSwitchCase{"Binary", 3, std::string("\1\0\0\0", 4), false}),
    [](const ::testing::TestParamInfo<LogSwitchCase> &info) { return info.param.name; });

}  // namespace
