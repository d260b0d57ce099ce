// The registry redirection in whole runs: what the Add Printer Wizard sees
// while it runs on each Windows family, and the repair of a run that was
// killed anywhere between saving the values and putting them back.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/registry.h"
#include "platform/sim/machine/transcript.h"
#include "platform/sim/registry/registry_store.h"
#include "scenario/installer_runs.h"

namespace {

using namespace installer_runs;
using namespace win;
using namespace std::string_literals;
using Strings = std::vector<std::string>;

const Strings kParent = {"+W:1a2b", "+M:8001", "+G:Printer Driver"};
const char *const kCurrentVersion =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char *const kSetup =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup";
const char *const kMru = "HKEY_CURRENT_USER\\InstallLocationsMRU";
const char *const kBackup = "SOFTWARE\\TALVO\\IMG\\PS";

// The driver folder (D:\ is the package) in its long and its 8.3 form.
const std::string kFolder = "D:\\Printer Driver\0"s;
const std::string kShortFolder = "D:\\PRINTE~1\0"s;

struct Value {
    const char *key;
    const char *name;
    DWORD type;
    std::string bytes;
    const char *wizardLabel;  // as the wizard stand-in reports it
};

// What a machine of any family may hold.
const std::vector<Value> &EveryValue() {
    static const std::vector<Value> values = {
        {kCurrentVersion, "DevicePath", REG_EXPAND_SZ, "%SystemRoot%\\inf\0"s, "DevicePath"},
        {kCurrentVersion, "OtherDevicePath", REG_SZ, "C:\\WINDOWS\\OTHER\0"s, "OtherDevicePath"},
        {kSetup, "SourcePath", REG_SZ, "D:\\WIN98\0"s, "SourcePath"},
        {kSetup, "Installation Sources", REG_MULTI_SZ, "D:\\I386\0E:\\I386\0\0"s,
         "Installation Sources"},
        {kMru, "MRUList", REG_SZ, "ba\0"s, "InstallLocationsMRU\\MRUList"},
        {kMru, "a", REG_SZ, "D:\\WIN98\0"s, "InstallLocationsMRU\\a"},
        {kMru, "b", REG_SZ, "A:\\\0"s, "InstallLocationsMRU\\b"},
    };
    return values;
}

std::string HexNumber(DWORD number) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", number);
    return text;
}

// One Windows family: what it redirects, and under which backup names.
struct Family {
    const char *name;
    int osCode;
    std::map<std::string, std::string> during;  // value name -> bytes while the wizard runs
    Strings saved;                              // backup names, in the order written
    Strings shown;                              // the repair's boxes
    const char *repairPost;
};

const Family kFamilies[] = {
    {"Win95",
     1,
     {{"DevicePath", kShortFolder}, {"OtherDevicePath", "\0"s}, {"SourcePath", kShortFolder},
      {"b", kFolder}},
     {"DevicePath", "OtherDevicePath", "SourcePath", "MRUListPath", "MRUList"},
     {"IDS_INF_RECOVER_REG"},
     "0x0"},
    {"Win98",
     2,
     {{"DevicePath", kShortFolder}, {"OtherDevicePath", "\0"s}, {"SourcePath", kShortFolder},
      {"b", kFolder}},
     {"DevicePath", "OtherDevicePath", "SourcePath", "MRUListPath", "MRUList"},
     {"IDS_INF_RECOVER_REG"},
     "0x0"},
    {"Nt4",
     4,
     {{"DevicePath", kFolder}, {"Installation Sources", kFolder + "\0"s}},
     {"DevicePath", "Installation Sources"},
     {"IDS_INF_RECOVER_REG"},
     "0x0"},
    {"Xp",
     8,
     {{"DevicePath", kFolder}},
     {"DevicePath"},
     {"IDS_INF_RECOVER_REG\nIDS_INF_REBOOT"},
     "0x10000"},
};

// The live value that each backup name saves.
const Value &SavedValue(const std::string &savedName) {
    const std::string live = savedName == "MRUListPath" ? "b" : savedName;
    for (const Value &value : EveryValue())
        if (live == value.name) return value;
    return EveryValue()[0];
}

class RegistryScenario : public ::testing::TestWithParam<Family> {
protected:
    void SetUp() override {
        SetOSCode(m_machine, GetParam().osCode);
        StageKeyPackage(m_machine, GetParam().osCode <= 2);
        for (const Value &value : EveryValue())
            m_machine.SetRegistryValue(value.key, value.name, value.type, value.bytes);
        m_initial = RegistryFileText();
    }

    std::string RegistryFileText() const {
        std::ifstream in(m_machine.HostPath("registry.reg"), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // Back to the machine as SetUp left it, with an empty transcript.
    void ResetMachine() {
        WriteFile(m_machine.HostPath("registry.reg"), m_initial);
        std::remove(m_machine.HostPath("transcript.jsonl").c_str());
    }

    std::optional<sim::RegValue> Backup(const std::string &name) const {
        return m_machine.RegistryValue(std::string("HKEY_LOCAL_MACHINE\\") + kBackup, name);
    }
    Strings BackupNames() const {
        Strings names;
        const sim::RegTree tree = m_machine.Registry();
        if (const sim::RegKey *key = tree.Find(sim::RegRoot::LocalMachine, kBackup))
            for (const sim::RegValue &value : key->Values()) names.push_back(value.name);
        return names;
    }

    // The registry holds exactly the keys, values, types and bytes it held at
    // the start, plus at most the backup key, which is empty.
    void ExpectRegistryAsAtStart() const {
        sim::RegTree now = m_machine.Registry();
        if (const sim::RegKey *backup = now.Find(sim::RegRoot::LocalMachine, kBackup)) {
            EXPECT_TRUE(backup->Values().empty());
        }
        now.Find(sim::RegRoot::LocalMachine, "SOFTWARE")->DeleteSubkey("TALVO");
        sim::RegTree initial;
        sim::RegParseError error;
        ASSERT_TRUE(sim::ParseRegedit4(m_initial, &initial, &error));
        EXPECT_EQ(sim::FormatRegedit4(now), sim::FormatRegedit4(initial));
    }

    // The wizard saw each value redirected as the family does, all others
    // as they were.
    void ExpectWizardView(const TranscriptEvent &wizard) const {
        for (const Value &value : EveryValue()) {
            const auto changed = GetParam().during.find(value.name);
            const std::string bytes =
                changed != GetParam().during.end() ? changed->second : value.bytes;
            const std::string label = value.wizardLabel;
            ASSERT_EQ(wizard.count(label + ".bytes"), 1u) << label;
            EXPECT_EQ(wizard.at(label + ".bytes"), sim::HexBytes(bytes)) << label;
            EXPECT_EQ(wizard.at(label + ".type"), HexNumber(value.type)) << label;
        }
    }

    // The backup key holds exactly the family's saved values, with the
    // types and bytes the live values had.
    void ExpectBackupOfTheOldValues() const {
        EXPECT_EQ(BackupNames(), GetParam().saved);
        for (const std::string &name : GetParam().saved) {
            const Value &live = SavedValue(name);
            const std::optional<sim::RegValue> saved = Backup(name);
            ASSERT_TRUE(saved.has_value()) << name;
            EXPECT_EQ(saved->type, live.type) << name;
            EXPECT_EQ(saved->data, live.bytes) << name;
        }
    }

    // A run that installs: the wizard sees the redirected values, the
    // parent learns that all went well, and the registry is as it was.
    void ExpectInstallingRun() {
        const RunResult run = m_machine.RunSetup(kParent);
        EXPECT_EQ(run.status, 0) << run.err;
        const std::vector<TranscriptEvent> events = m_machine.Transcript();
        EXPECT_TRUE(Boxes(events).empty());
        EXPECT_EQ(Posts(events), Strings{"0x0"});
        const std::vector<TranscriptEvent> wizard = EventsOf(events, "wizard");
        ASSERT_EQ(wizard.size(), 1u);
        ExpectWizardView(wizard[0]);
        // The wizard finds the driver's INF file in the folder DevicePath
        // names, in its long or its 8.3 form.
        const std::string devicePath = GetParam().during.at("DevicePath");
        EXPECT_EQ(wizard[0].at("infs"), devicePath.substr(0, devicePath.size() - 1) + "\\PRINTER.INF");
        ExpectRegistryAsAtStart();
    }

    // A run that repairs and ends.
    void ExpectRepairingRun() {
        const RunResult run = m_machine.RunSetup(kParent);
        EXPECT_EQ(run.status, 0) << run.err;
        const std::vector<TranscriptEvent> events = m_machine.Transcript();
        EXPECT_EQ(Boxes(events), GetParam().shown);
        EXPECT_EQ(Posts(events), Strings{GetParam().repairPost});
        EXPECT_TRUE(EventsOf(events, "process").empty());
        ExpectRegistryAsAtStart();
    }

    // A run killed while the wizard is open leaves the values redirected
    // and the old ones in the backup.
    void KillWhileTheWizardIsOpen() {
        BackgroundRun killed(m_machine.PackagePath() + "/setup", m_machine.Path(), kParent,
                             {{"MIRTEL_WIZARD_SLEEP_MS", "3000"}});
        ASSERT_TRUE(killed.Started());
        ASSERT_TRUE(WaitForEvent(m_machine, "wizard"));
        EXPECT_EQ(killed.Kill(), 128 + SIGKILL);
        std::remove(m_machine.HostPath("transcript.jsonl").c_str());
    }

    // Replaces registry.reg whole, as the simulated machine itself does, so
    // that a running copy never reads half of it.
    void WriteRegistry(const sim::RegTree &tree) const {
        const std::string path = m_machine.HostPath("registry.reg");
        WriteFile(path + ".new", sim::FormatRegedit4(tree));
        std::filesystem::rename(path + ".new", path);
    }

    // A run that ends without a word or a post other than `post`, and
    // leaves the registry as it was at the start.
    void ExpectQuietRun(const RunResult &run, const Strings &boxes, const std::string &post) {
        EXPECT_EQ(run.status, 0) << run.err;
        const std::vector<TranscriptEvent> events = m_machine.Transcript();
        EXPECT_EQ(Boxes(events), boxes);
        EXPECT_EQ(Posts(events), Strings{post});
        ExpectRegistryAsAtStart();
        std::remove(m_machine.HostPath("transcript.jsonl").c_str());
    }

    MachineFolder m_machine;
    std::string m_initial;
};

TEST_P(RegistryScenario, WizardSeesTheRedirectedValuesAndTheRegistryComesBack) {
    ExpectInstallingRun();
    // A second installation finds nothing to repair.
    std::remove(m_machine.HostPath("transcript.jsonl").c_str());
    ExpectInstallingRun();
}

TEST_P(RegistryScenario, RunKilledWhileTheWizardIsOpenIsRepairedAtTheNextStart) {
    {
        BackgroundRun killed(m_machine.PackagePath() + "/setup", m_machine.Path(), kParent,
                             {{"MIRTEL_WIZARD_SLEEP_MS", "3000"}});
        ASSERT_TRUE(killed.Started());
        ASSERT_TRUE(WaitForEvent(m_machine, "wizard"));
        ExpectWizardView(EventsOf(m_machine.Transcript(), "wizard")[0]);
        ExpectBackupOfTheOldValues();
        EXPECT_EQ(killed.Kill(), 128 + SIGKILL);
    }
    // Still redirected, the old values kept in the backup.
    const std::optional<sim::RegValue> devicePath =
        m_machine.RegistryValue(kCurrentVersion, "DevicePath");
    ASSERT_TRUE(devicePath.has_value());
    EXPECT_EQ(devicePath->data, GetParam().during.at("DevicePath"));
    ExpectBackupOfTheOldValues();

    std::remove(m_machine.HostPath("transcript.jsonl").c_str());
    ExpectRepairingRun();
    std::remove(m_machine.HostPath("transcript.jsonl").c_str());
    ExpectInstallingRun();
}

// The values come back only after the wizard has closed, whether a worker
// thread waits for it or, when none can be started, the run itself: a
// wizard that stays open a while still finds the driver when it closes.
TEST_P(RegistryScenario, ValuesComeBackOnlyAfterTheWizardClosed) {
    for (const char *threadsFail : {"0", "1"}) {
        SCOPED_TRACE(std::string("MIRTEL_CREATE_THREAD_FAILS=") + threadsFail);
        ResetMachine();
        const RunResult run = m_machine.RunSetup(
            kParent, {{"MIRTEL_WIZARD_SLEEP_MS", "700"}, {"MIRTEL_CREATE_THREAD_FAILS", threadsFail}});
        EXPECT_EQ(run.status, 0) << run.err;
        const std::vector<TranscriptEvent> events = m_machine.Transcript();
        EXPECT_TRUE(Boxes(events).empty());
        EXPECT_EQ(Posts(events), Strings{"0x0"});
        const std::vector<TranscriptEvent> closing = EventsOf(events, "wizard-closing");
        ASSERT_EQ(closing.size(), 1u) << "the run ended before the wizard closed";
        ExpectWizardView(closing[0]);
        ExpectRegistryAsAtStart();
    }
}

// Every registry write of an installing run, the program killed there: the
// registry always keeps either the old value live or the old value in the
// backup; the next start repairs when something was saved, and installs
// when nothing was; the run after that installs.
TEST_P(RegistryScenario, RunKilledAtAnyRegistryWriteLeavesWhatTheNextStartRepairs) {
    int kills = 0;
    for (int write = 1; write < 100; ++write) {
        SCOPED_TRACE("killed at registry write " + std::to_string(write));
        ResetMachine();
        const RunResult killed = m_machine.RunSetup(
            kParent, {{"MIRTEL_KILL_AT_REGISTRY_WRITE", std::to_string(write)}});
        if (killed.status != 128 + SIGKILL) {
            // The run has fewer writes: it ended normally.
            EXPECT_EQ(killed.status, 0) << killed.err;
            break;
        }
        ++kills;

        // The start repairs when the backup holds a value it puts back; the
        // MRU entry's saved value counts only beside the list that names it.
        bool somethingToRepair = false;
        const bool listSaved = Backup("MRUList").has_value();
        for (const std::string &name : GetParam().saved) {
            const Value &value = SavedValue(name);
            const std::optional<sim::RegValue> saved = Backup(name);
            const std::optional<sim::RegValue> live =
                m_machine.RegistryValue(value.key, value.name);
            const auto isOld = [&value](const std::optional<sim::RegValue> &found) {
                return found && found->type == value.type && found->data == value.bytes;
            };
            const bool liveIsOld = isOld(live);
            const bool savedIsOld = isOld(saved);
            EXPECT_TRUE(liveIsOld || savedIsOld) << name;
            if (saved) {
                EXPECT_TRUE(savedIsOld) << name;
            }
            if (saved && name != "MRUList" && (name != "MRUListPath" || listSaved))
                somethingToRepair = true;
        }

        std::remove(m_machine.HostPath("transcript.jsonl").c_str());
        if (somethingToRepair) {
            ExpectRepairingRun();
        } else {
            ExpectInstallingRun();
        }
        std::remove(m_machine.HostPath("transcript.jsonl").c_str());
        ExpectInstallingRun();
        if (HasFatalFailure()) return;
    }
    // Saving, redirecting, putting back and clearing: at least one write each.
    EXPECT_GE(kills, 4);
}

TEST_P(RegistryScenario, NoRegistrySwitchLeavesTheRegistryFileAloneButStillRepairs) {
    struct stat before {};
    ASSERT_EQ(stat(m_machine.HostPath("registry.reg").c_str(), &before), 0);
    const RunResult run = m_machine.RunSetup({"+W:1a2b", "+M:8001", "+G:Printer Driver", "+9"});
    EXPECT_EQ(run.status, 0) << run.err;
    struct stat after {};
    ASSERT_EQ(stat(m_machine.HostPath("registry.reg").c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(RegistryFileText(), m_initial);
    const std::vector<TranscriptEvent> wizard = EventsOf(m_machine.Transcript(), "wizard");
    ASSERT_EQ(wizard.size(), 1u);
    EXPECT_EQ(wizard[0].at("DevicePath.bytes"), sim::HexBytes(EveryValue()[0].bytes));

    // A backup left by an interrupted run is repaired all the same.
    for (const std::string &name : GetParam().saved) {
        const Value &value = SavedValue(name);
        m_machine.SetRegistryValue(std::string("HKEY_LOCAL_MACHINE\\") + kBackup, name, value.type,
                                   value.bytes);
    }
    for (const auto &redirected : GetParam().during) {
        for (const Value &value : EveryValue())
            if (redirected.first == value.name)
                m_machine.SetRegistryValue(value.key, value.name, value.type, redirected.second);
    }
    std::remove(m_machine.HostPath("transcript.jsonl").c_str());
    const RunResult repair = m_machine.RunSetup({"+W:1a2b", "+M:8001", "+9"});
    EXPECT_EQ(repair.status, 0) << repair.err;
    const std::vector<TranscriptEvent> events = m_machine.Transcript();
    EXPECT_EQ(Boxes(events), GetParam().shown);
    EXPECT_EQ(Posts(events), Strings{GetParam().repairPost});
    ExpectRegistryAsAtStart();
}

// Scenarios that need one family of each kind (Windows 98 and XP), the
// families an upgrade to XP starts from, or the 9x family alone.
class NineXAndNtScenario : public RegistryScenario {};
class UpgradeScenario : public RegistryScenario {};
class NineXScenario : public RegistryScenario {};

// Two packages' installers in two folders: while the first has the
// registry redirected, the second ends as a second copy does, touching
// nothing, and the first puts everything back.
TEST_P(NineXAndNtScenario, SecondInstallerFromAnotherFolderLeavesTheFirstAlone) {
    const std::string other = m_machine.PackagePath() + " B";
    std::filesystem::copy(m_machine.PackagePath(), other, std::filesystem::copy_options::recursive);
    BackgroundRun first(m_machine.PackagePath() + "/setup", m_machine.Path(), kParent,
                        {{"MIRTEL_WIZARD_SLEEP_MS", "1500"}});
    ASSERT_TRUE(first.Started());
    ASSERT_TRUE(WaitForEvent(m_machine, "wizard"));

    const RunResult second =
        testing_machine::RunProgram(other + "/setup", kParent, {{"MIRTEL_MACHINE", m_machine.Path()}});
    EXPECT_EQ(second.status, 0) << second.err;
    std::vector<TranscriptEvent> events = m_machine.Transcript();
    EXPECT_TRUE(Boxes(events).empty());
    EXPECT_EQ(EventsOf(events, "process").size(), 1u);
    EXPECT_EQ(Posts(events), Strings{"0x0"});
    ExpectBackupOfTheOldValues();

    EXPECT_EQ(first.Wait(), 0);
    EXPECT_EQ(Posts(m_machine.Transcript()), (Strings{"0x0", "0x0"}));
    ExpectRegistryAsAtStart();
}

// A run interrupted on one family and repaired after an upgrade to NT 5.x:
// every saved value goes back, and the start after the repair installs.
TEST_P(UpgradeScenario, BackupOfAnotherFamilyIsRepairedWhole) {
    KillWhileTheWizardIsOpen();
    if (HasFatalFailure()) return;
    SetOSCode(m_machine, 8);
    WriteFile(m_machine.PackagePath() + "/Printer Driver/PRINTNT.INF", PrinterInf(false));
    ExpectQuietRun(m_machine.RunSetup(kParent), {"IDS_INF_RECOVER_REG\nIDS_INF_REBOOT"}, "0x10000");
    ExpectQuietRun(m_machine.RunSetup(kParent), {}, "0x0");
}

// The user's MRU key goes while the wizard is open (on a 9x machine with
// user profiles, another user logging on is enough): the reset fails and
// says that a new start repairs, the new start repairs without the key,
// and the start after it installs.
TEST_P(NineXScenario, MruKeyGoneBeforeTheResetIsRepairedWithoutIt) {
    {
        BackgroundRun run(m_machine.PackagePath() + "/setup", m_machine.Path(), kParent,
                          {{"MIRTEL_WIZARD_SLEEP_MS", "1000"}});
        ASSERT_TRUE(run.Started());
        ASSERT_TRUE(WaitForEvent(m_machine, "wizard"));
        sim::RegTree live = m_machine.Registry();
        ASSERT_TRUE(live.currentUser.DeleteSubkey("InstallLocationsMRU"));
        WriteRegistry(live);
        EXPECT_EQ(run.Wait(), 0);
    }
    const std::vector<TranscriptEvent> events = m_machine.Transcript();
    EXPECT_EQ(Boxes(events), Strings{"IDS_ERR_REGSTORY\nIDS_WRN_REGSTORY"});
    EXPECT_EQ(Posts(events), Strings{"0x1"});
    std::remove(m_machine.HostPath("transcript.jsonl").c_str());

    sim::RegTree initial;
    sim::RegParseError error;
    ASSERT_TRUE(sim::ParseRegedit4(m_initial, &initial, &error));
    initial.currentUser.DeleteSubkey("InstallLocationsMRU");
    m_initial = sim::FormatRegedit4(initial);
    ExpectQuietRun(m_machine.RunSetup(kParent), {"IDS_INF_RECOVER_REG"}, "0x0");
    ExpectQuietRun(m_machine.RunSetup(kParent), {}, "0x0");
}

// Runs killed at random moments (a fixed seed; MIRTEL_RANDOM_KILLS kills,
// 10 unless set), each followed at once by a start that must go through:
// it repairs or installs, tells the parent, and leaves every value as it
// was and the backup empty. scripts/kill-soak.sh runs many more.
TEST_P(NineXAndNtScenario, RunsKilledAtRandomMomentsAreAlwaysRepaired) {
    const char *count = std::getenv("MIRTEL_RANDOM_KILLS");
    const int kills = count && *count ? std::atoi(count) : 10;
    const std::string setup = m_machine.PackagePath() + "/setup";

    // A whole run sets the span the kills are spread over.
    const auto started = std::chrono::steady_clock::now();
    ExpectInstallingRun();
    const auto span = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - started);
    std::mt19937 random(9);
    std::uniform_int_distribution<long> moment(0, span.count());
    int repaired = 0;
    for (int kill = 0; kill < kills && !HasFailure(); ++kill) {
        SCOPED_TRACE("kill " + std::to_string(kill));
        {
            BackgroundRun killed(setup, m_machine.Path(), kParent, {});
            ASSERT_TRUE(killed.Started());
            std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
            killed.Kill();
        }
        std::remove(m_machine.HostPath("transcript.jsonl").c_str());
        const RunResult next = m_machine.RunSetup(kParent);
        EXPECT_EQ(next.status, 0) << next.err;
        const std::vector<TranscriptEvent> events = m_machine.Transcript();
        const Strings posts = Posts(events);
        ASSERT_EQ(posts.size(), 1u) << "the start after a kill ended silently";
        if (!Boxes(events).empty()) {
            EXPECT_EQ(Boxes(events), GetParam().shown);
            EXPECT_EQ(posts[0], GetParam().repairPost);
            ++repaired;
        } else {
            EXPECT_EQ(posts[0], "0x0");
        }
        ExpectRegistryAsAtStart();
    }
    std::printf("%d kills on %s, %d repaired at the next start\n", kills, GetParam().name, repaired);
}

std::string FamilyName(const ::testing::TestParamInfo<Family> &info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(Families, RegistryScenario, ::testing::ValuesIn(kFamilies), FamilyName);
INSTANTIATE_TEST_SUITE_P(Families, NineXAndNtScenario, ::testing::Values(kFamilies[1], kFamilies[3]),
                         FamilyName);
INSTANTIATE_TEST_SUITE_P(Families, UpgradeScenario,
                         ::testing::Values(kFamilies[0], kFamilies[1], kFamilies[2]), FamilyName);
INSTANTIATE_TEST_SUITE_P(Families, NineXScenario, ::testing::Values(kFamilies[0], kFamilies[1]),
                         FamilyName);

}  // namespace
