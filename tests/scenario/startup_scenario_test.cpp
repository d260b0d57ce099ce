// Whole runs of the installer: start-up, command line, wizard run, exit
// post, single copy and log.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "installer_runs.h"
#include "support/machine_fixture.h"
#include "support/paths.h"

namespace {

using installer_runs::BackgroundRun;
using installer_runs::EventsOf;
using installer_runs::StageKeyPackage;
using installer_runs::WaitForEvent;
using testing_machine::MachineFolder;
using testing_machine::RunResult;
using testing_machine::TranscriptEvent;

std::string ReadFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string WizardProgram() { return testing_paths::BinDir() + "/mirtel-addprinter"; }

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
        // The shell's UTF-8 reaches the program as ANSI text and the box as
        // the same characters.
        CommandLineCase{"UnknownLetterWithAnUmlaut", {"+Q:Dr\xc3\xbc" "cker"}, "IDS_ERR_CMDLINE\n+Q:Dr\xc3\xbc" "cker",
                        "0x0", ""},
        CommandLineCase{"DriveRelativeFolder", {"/w:1a2b", "xM:8001", "+G:D:DRIVERS"}, "IDS_ERR_CMDLINE\n+G:D:DRIVERS",
                        "0x1a2b", "0x1"}),
    [](const ::testing::TestParamInfo<CommandLineCase> &info) { return info.param.name; });

TEST(StartupScenario, SecondCopyEndsSilentlyAndAKilledCopyLeavesNoTrace) {
    MachineFolder machine;
    machine.SetIni("Programs", "rundll32", WizardProgram());
    StageKeyPackage(machine);

    // The first copy leaves the registry alone (+9), so that killing it
    // leaves nothing for the next start to repair.
    BackgroundRun first(machine.PackagePath() + "/setup", machine.Path(), {"+9"},
                        {{"MIRTEL_WIZARD_SLEEP_MS", "5000"}});
    ASSERT_TRUE(first.Started());
    ASSERT_TRUE(WaitForEvent(machine, "process")) << "the wizard never started";

    auto start = std::chrono::steady_clock::now();
    RunResult second = machine.RunSetup({"+W:1a2b", "+M:8001"});
    auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(second.status, 0);
    EXPECT_LT(elapsed, std::chrono::seconds(1));
    std::vector<TranscriptEvent> events = machine.Transcript();
    EXPECT_TRUE(EventsOf(events, "messagebox").empty());
    EXPECT_TRUE(EventsOf(events, "post").empty());
    EXPECT_EQ(EventsOf(events, "process").size(), 1u);

    EXPECT_EQ(first.Kill(), 128 + 9);

    RunResult third = machine.RunSetup({"+W:1a2b", "+M:8001"}, {{"MIRTEL_WIZARD_SLEEP_MS", "0"}});
    EXPECT_EQ(third.status, 0);
    events = machine.Transcript();
    EXPECT_EQ(EventsOf(events, "process").size(), 2u);
    ASSERT_EQ(EventsOf(events, "post").size(), 1u);
    EXPECT_EQ(EventsOf(events, "post")[0].at("wparam"), "0x0");
}

// A driver folder named in UTF-8 by the shell is found.
TEST(StartupScenario, DriverFolderWithAnUmlautIsFound) {
    MachineFolder machine;
    machine.SetIni("Programs", "rundll32", WizardProgram());
    StageKeyPackage(machine, false, "Dr\xc3\xbc" "cker");

    std::string folder = "Z:" + machine.PackagePath() + "/Dr\xc3\xbc" "cker";
    std::replace(folder.begin(), folder.end(), '/', '\\');
    RunResult run = machine.RunSetup({"+G:" + folder});

    std::vector<TranscriptEvent> events = machine.Transcript();
    EXPECT_TRUE(EventsOf(events, "messagebox").empty()) << run.err;
    ASSERT_EQ(EventsOf(events, "wizard").size(), 1u) << run.err;
    EXPECT_NE(EventsOf(events, "wizard")[0].at("infs").find("Dr\xc3\xbc" "cker"), std::string::npos);
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

// The result goes only to a window that exists, never to HWND_BROADCAST,
// and only for values that fit 32 bits; a handle of 32 bits is widened by
// sign extension, for the post and for the box owner alike.
TEST(StartupScenario, ResultIsPostedOnlyToAnExistingWindowOfThirtyTwoBits) {
    const struct {
        const char *window;
        const char *message;
        const char *postedTo;  // empty: nothing posted
    } cases[] = {
        {"1a2b", "8001", "0x1a2b"},
        {"0x1A2B", "8001", "0x1a2b"},
        {"ffff1a2b", "8001", "0xffffffffffff1a2b"},
        {"ffff", "8001", ""},
        {"100001a2b", "8001", ""},
        {"fffffffff", "8001", ""},
        {"1234", "8001", ""},
        {"1a2b", "100008001", ""},
    };
    MachineFolder machine;
    StageKeyPackage(machine);
    machine.SetIni("Windows", "Everyone", "0xffff");
    machine.SetIni("Windows", "Wide", "0xffffffff");
    machine.SetIni("Windows", "Sign Extended", "0xffffffffffff1a2b");
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string("+W:") + c.window + " +M:" + c.message);
        std::remove(machine.HostPath("transcript.jsonl").c_str());
        machine.RunSetup({std::string("+W:") + c.window, std::string("+M:") + c.message, "+H:409"});
        const std::vector<TranscriptEvent> events = machine.Transcript();
        const std::vector<TranscriptEvent> posts = EventsOf(events, "post");
        const std::vector<TranscriptEvent> boxes = EventsOf(events, "messagebox");
        ASSERT_EQ(boxes.size(), 1u);
        if (*c.postedTo) {
            ASSERT_EQ(posts.size(), 1u);
            EXPECT_EQ(posts[0].at("hwnd"), c.postedTo);
            EXPECT_EQ(posts[0].at("wparam"), "0x1");
        } else {
            EXPECT_TRUE(posts.empty());
        }
        if (std::string(c.message) == "8001") {
            EXPECT_EQ(boxes[0].at("owner") == c.postedTo, *c.postedTo != '\0');
        }
    }
}

// A FIFO in place of a file the program reads would block it for ever:
// it is refused at once, by name.
TEST(StartupScenario, FifoInPlaceOfAFileIsRefusedWithoutWaiting) {
    const struct {
        const char *file;  // in the machine folder, or in the package
        bool inPackage;
        int status;
    } cases[] = {
        {"registry.reg", false, 2},
        {"machine.ini", false, 2},
        {"RES/PSDI_ENG.IRC", true, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        MachineFolder machine;
        StageKeyPackage(machine);
        const std::string path = (c.inPackage ? machine.PackagePath() : machine.Path()) + "/" + c.file;
        ASSERT_EQ(std::remove(path.c_str()), 0);
        ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
        const RunResult run = testing_machine::RunProgram(
            "/usr/bin/timeout", {"10", machine.PackagePath() + "/setup"}, {{"MIRTEL_MACHINE", machine.Path()}});
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_NE(run.err.find(std::string(c.file) + " is not a regular file"), std::string::npos) << run.err;
    }
}

// The wizard's driver index files go before and after it runs, unless +9
// asks the run to leave the machine alone; the wizard runs either way.
TEST(StartupScenario, DriverIndexFilesGoUnlessTheRegistryIsLeftAlone) {
    for (bool noRegistry : {false, true}) {
        SCOPED_TRACE(noRegistry ? "+9" : "no switch");
        MachineFolder machine;
        StageKeyPackage(machine);
        const std::string data = machine.HostPath("drive_c/WINDOWS/Inf/DRVDATA.BIN");
        const std::string index = machine.HostPath("drive_c/WINDOWS/Inf/DRVIDX.BIN");
        std::ofstream(data) << "data";
        std::ofstream(index) << "index";
        const std::string before = ReadFile(machine.HostPath("registry.reg"));

        RunResult run = machine.RunSetup(noRegistry ? std::vector<std::string>{"+9"}
                                                    : std::vector<std::string>{});

        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(EventsOf(machine.Transcript(), "process").size(), 1u);
        EXPECT_EQ(::access(data.c_str(), F_OK) == 0, noRegistry);
        EXPECT_EQ(::access(index.c_str(), F_OK) == 0, noRegistry);
        if (noRegistry) {
            EXPECT_EQ(ReadFile(machine.HostPath("registry.reg")), before);
        }
    }
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
