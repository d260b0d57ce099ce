// mirtel-check as a CI job uses it: a JUnit report the CI server reads, the
// exit status under --fail-on, and Ctrl-C in the middle of a check.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include <pugixml.hpp>

#include "check_packages.h"

extern char **environ;

namespace {

using namespace check_packages;

// A package that installs everywhere but whose model list shows a raw
// %token%: a warning only.
void WriteWarningOnlyPackage(const Package &package) {
    package.Write("RES/PSDI_ENG.IRC", Messages());
    package.Write("95.INF", PrinterInf("$CHICAGO$", "Talvo"));
    package.Write("NT.INF", "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Printer\r\nProvider=%Mfg%\r\n"
                            "[Manufacturer]\r\n%Mfg%=Models\r\n[Models]\r\n%Writer%=TW,TW\r\n[Strings]\r\nMfg=\"Talvo\"\r\n");
}

struct JunitCounts {
    std::size_t tests = 0, failures = 0;
};

// The JUnit document read as a CI server reads it: valid against the
// format's schema, <testsuites> of <testsuite>s of <testcase>s, each
// suite's counts those of its cases.
JunitCounts ReadJunit(const std::string &path) {
    const testing_machine::RunResult lint = testing_machine::RunProgram(
        "/usr/bin/xmllint", {"--noout", "--schema", std::string(MIRTEL_SOURCE_DIR) + "/tests/scenario/junit.xsd", path},
        {});
    EXPECT_EQ(lint.status, 0) << lint.err;
    pugi::xml_document document;
    const pugi::xml_parse_result parsed = document.load_file(path.c_str());
    EXPECT_TRUE(parsed) << parsed.description();
    const pugi::xml_node suites = document.child("testsuites");
    EXPECT_TRUE(suites);
    JunitCounts total;
    for (const pugi::xml_node suite : suites.children()) {
        EXPECT_STREQ(suite.name(), "testsuite");
        EXPECT_FALSE(std::string(suite.attribute("name").value()).empty());
        std::size_t tests = 0, failures = 0;
        for (const pugi::xml_node test : suite.children()) {
            EXPECT_STREQ(test.name(), "testcase");
            EXPECT_FALSE(std::string(test.attribute("name").value()).empty());
            EXPECT_FALSE(std::string(test.attribute("classname").value()).empty());
            ++tests;
            if (const pugi::xml_node failure = test.child("failure")) {
                ++failures;
                EXPECT_FALSE(std::string(failure.attribute("type").value()).empty());
                EXPECT_FALSE(std::string(failure.attribute("message").value()).empty());
            }
        }
        EXPECT_EQ(suite.attribute("tests").as_ullong(), tests) << suite.attribute("name").value();
        EXPECT_EQ(suite.attribute("failures").as_ullong(), failures) << suite.attribute("name").value();
        total.tests += tests;
        total.failures += failures;
    }
    EXPECT_EQ(suites.attribute("tests").as_ullong(), total.tests);
    EXPECT_EQ(suites.attribute("failures").as_ullong(), total.failures);
    return total;
}

TEST(PackageCheckCi, WarningsFailOnlyUnderFailOnWarning) {
    Package package;
    WriteWarningOnlyPackage(package);
    const std::string junit = package.Folder() + "/report.xml";
    struct Case {
        const char *failOn;
        int status;
        std::size_t failures;
    };
    for (const Case &c : {Case{"warning", 1, 1}, Case{"error", 0, 0}}) {
        const CheckRun run = RunCheck({"--json", "--fail-on", c.failOn, "--junit", junit, package.Folder()});
        EXPECT_EQ(run.result.status, c.status) << c.failOn << run.result.err;
        EXPECT_EQ(run.json["schemaVersion"].number, 2);
        const Value *problem = ProblemOf(run.json, "inf-token-undefined");
        ASSERT_TRUE(problem);
        EXPECT_EQ((*problem)["severity"].text, "warning");
        EXPECT_EQ((*problem)["line"].number, 8);
        // One case per run (5 families x ENG and a fallback) and per file read.
        const JunitCounts counts = ReadJunit(junit);
        EXPECT_EQ(counts.tests, 5u * 2u + 3u) << c.failOn;
        EXPECT_EQ(counts.failures, c.failures) << c.failOn;
    }
}

// A package for the NT family whose Provider would not do for the 95
// family's copy: no concern when the 95 family is left out.
TEST(PackageCheckCi, FamiliesLimitTheRunsAndTheProblems) {
    Package package;
    package.Write("RES/PSDI_ENG.IRC", Messages());
    package.Write("NT.INF", PrinterInf("$Windows NT$", "Talvo"));
    package.Write("ANY.INF", PrinterInf("$CHICAGO$", "Talvo\\Drivers"));
    EXPECT_EQ(RunCheck({package.Folder()}).result.status, 1);
    const CheckRun run = RunCheck({"--json", "--families=nt4,XP,7", "--languages=ENGLISH", package.Folder()});
    EXPECT_EQ(run.result.status, 0) << testing::PrintToString(Problems(run.json));
    EXPECT_EQ(run.json["runs"].items.size(), 3u);
    EXPECT_EQ(run.json["problems"].items.size(), 0u);
}

// The processes that work on a machine below `folder`: the installer and
// the wizard it started.
std::size_t ProcessesUsing(const std::string &folder) {
    std::size_t count = 0;
    for (const auto &entry : fs::directory_iterator("/proc")) {
        std::ifstream in(entry.path() / "environ", std::ios::binary);
        const std::string environment((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        count += environment.find("MIRTEL_MACHINE=" + folder) != std::string::npos;
    }
    return count;
}

TEST(PackageCheckCi, CtrlCRemovesEveryMachineAndEndsEveryRun) {
    Package scratch;  // the check's TMPDIR
    const std::string check = testing_paths::BinDir() + "/mirtel-check";
    const std::string package = testing_paths::BinDir() + "/../package";
    std::vector<std::string> environment = {"TMPDIR=" + scratch.Folder()};
    for (char **entry = environ; *entry; ++entry)
        if (std::string(*entry).rfind("TMPDIR=", 0) != 0) environment.push_back(*entry);
    std::vector<char *> envp;
    for (std::string &entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::string quiet = "--json";
    std::vector<char *> argv = {const_cast<char *>(check.c_str()), quiet.data(), const_cast<char *>(package.c_str()),
                                nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    ASSERT_EQ(posix_spawn(&pid, check.c_str(), &actions, nullptr, argv.data(), envp.data()), 0);
    posix_spawn_file_actions_destroy(&actions);

    // Until a run works on its machine.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (ProcessesUsing(scratch.Folder()) == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_GT(ProcessesUsing(scratch.Folder()), 0u) << "no run began";
    kill(pid, SIGINT);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 130);
    EXPECT_EQ(ProcessesUsing(scratch.Folder()), 0u);
    EXPECT_TRUE(fs::is_empty(scratch.Folder()));
}

}  // namespace
