// The device-path values: saved with their exact types and bytes,
// redirected to the driver folder as each Windows family needs, and put
// back byte for byte; a backup left by an interrupted run is repaired.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/sim/registry/registry_store.h"
#include "registry/reg_infomation.h"
#include "unit/app_on_machine.h"
#include "unit/lang_test_files.h"

namespace {

using namespace std::string_literals;
using Lines = std::vector<std::string>;

const char *const kCurrentVersion = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char *const kSetup = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup";
const char *const kMru = "InstallLocationsMRU";
const char *const kBackup = "SOFTWARE\\TALVO\\IMG\\PS";

// The driver folder, its 8.3 form, and the INF file the run accepted.
const char *const kInfPath = "C:\\Program Files\\Printer Driver\\OEMSETUP.INF";
const std::string kFolder = "C:\\Program Files\\Printer Driver";
const std::string kShortFolder = "C:\\PROGRA~1\\PRINTE~1";

struct Value {
    bool currentUser;
    const char *key;
    const char *name;
    DWORD type;
    std::string bytes;
};

std::string KeyPath(const Value &value) {
    return std::string(value.currentUser ? "HKEY_CURRENT_USER\\" : "HKEY_LOCAL_MACHINE\\") +
           value.key;
}

// Every value that one Windows family or another redirects, and a few
// that none touches, as a machine of any family may hold them.
const std::vector<Value> &EveryValue() {
    static const std::vector<Value> values = {
        {false, kCurrentVersion, "DevicePath", REG_EXPAND_SZ, "%SystemRoot%\\inf\0"s},
        {false, kCurrentVersion, "OtherDevicePath", REG_SZ, "C:\\WINDOWS\\INF\\OTHER\0"s},
        {false, kCurrentVersion, "ProgramFilesDir", REG_SZ, "C:\\Program Files\0"s},
        {false, kSetup, "SourcePath", REG_SZ, "D:\\WIN98\0"s},
        {false, kSetup, "Installation Sources", REG_MULTI_SZ, "D:\\I386\0E:\\I386\0\0"s},
        {true, kMru, "MRUList", REG_SZ, "ba\0"s},
        {true, kMru, "a", REG_SZ, "D:\\WIN98\0"s},
        {true, kMru, "b", REG_SZ, "A:\\\0"s},
    };
    return values;
}

std::string Saved(DWORD type, const std::string &name, const std::string &bytes) {
    return std::to_string(type) + ":" + name + "=" + bytes;
}

// A machine and an application on it, with the registry it started from.
class RedirectionMachine {
public:
    // An application on a machine of `osCode` whose registry holds `values`
    // (the template's DevicePath is replaced or removed).
    CMirtelApp &Start(WORD osCode, const std::vector<Value> &values) {
        MakeHostFolder(m_machine.HostPath("drive_c/Program Files/Printer Driver"));
        m_app = LoggingApp(m_machine);
        m_app->m_nOSCode = osCode;
        m_app->m_strInfPath = kInfPath;
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kCurrentVersion, 0, KEY_ALL_ACCESS, &key) ==
            ERROR_SUCCESS) {
            RegDeleteValueA(key, "DevicePath");
            RegCloseKey(key);
        }
        for (const Value &value : values)
            PutValue(value.currentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE, value.key,
                     value.name, value.type, value.bytes);
        m_before = RegistryText();
        return *m_app;
    }

    std::string RegistryText() const { return sim::FormatRegedit4(m_machine.Registry()); }
    bool HasBackupKey() const {
        return m_machine.RegistryKeyExists(std::string("HKEY_LOCAL_MACHINE\\") + kBackup);
    }
    Lines Log() const { return LogLines(m_machine); }

    bool Has(const Value &value) const {
        return m_machine.RegistryValue(KeyPath(value), value.name).has_value();
    }
    void ExpectValue(const Value &expected) const {
        const std::optional<sim::RegValue> found =
            m_machine.RegistryValue(KeyPath(expected), expected.name);
        ASSERT_TRUE(found.has_value()) << expected.key << " " << expected.name;
        EXPECT_EQ(found->type, expected.type) << expected.name;
        EXPECT_EQ(found->data, expected.bytes) << expected.name;
    }
    // Each of `values` as it is now: its entry in `changed` when there is
    // one, else as `values` has it.
    void ExpectValues(const std::vector<Value> &values, const std::vector<Value> &changed) const {
        for (const Value &value : values) {
            const Value *expected = &value;
            for (const Value &change : changed)
                if (change.currentUser == value.currentUser &&
                    std::string(change.key) == value.key && std::string(change.name) == value.name)
                    expected = &change;
            ExpectValue(*expected);
        }
    }
    // The backup key's values (type:name=bytes) in the order written.
    std::vector<std::string> Backup() const {
        std::vector<std::string> values;
        const sim::RegTree tree = m_machine.Registry();
        if (const sim::RegKey *key = tree.Find(sim::RegRoot::LocalMachine, kBackup))
            for (const sim::RegValue &value : key->Values())
                values.push_back(Saved(value.type, value.name, value.data));
        return values;
    }

    // The registry holds exactly what it held at Start, plus the backup key,
    // which is empty.
    void ExpectRegistryAsBeforePlusEmptyBackup() const {
        sim::RegTree after = m_machine.Registry();
        const sim::RegKey *backup = after.Find(sim::RegRoot::LocalMachine, kBackup);
        ASSERT_NE(backup, nullptr);
        EXPECT_TRUE(backup->Values().empty());
        after.Find(sim::RegRoot::LocalMachine, "SOFTWARE")->DeleteSubkey("TALVO");
        EXPECT_EQ(sim::FormatRegedit4(after), m_before);
    }
    const std::string &Before() const { return m_before; }

    // A machine without the key at `path` under HKEY_LOCAL_MACHINE.
    void RemoveKey(const char *path) {
        ASSERT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, path), ERROR_SUCCESS) << path;
        m_before = RegistryText();
    }

    testing_machine::MachineFolder m_machine;

private:
    std::unique_ptr<CMirtelApp> m_app;
    std::string m_before;
};

// Whole runs check what each family redirects; here, what the log says.
struct LogCase {
    WORD osCode;
    Lines log;
};

TEST(Redirection, EachSavedValueIsLoggedInTheOrderOfTheRecords) {
    const LogCase cases[] = {
        {kOSWin98,
         {"Inf : [DevicePath]           Original Value = [%SystemRoot%\\inf]",
          "Inf : [OtherDevicePath]      Original Value = [C:\\WINDOWS\\INF\\OTHER]",
          "Inf : [SourcePath]           Original Value = [D:\\WIN98]",
          "Inf : [InstallLocationsMRU]  Original Value = [A:\\]",
          "Completed : Change AddWizard registory"}},
        {kOSWinNT4,
         {"Inf : [DevicePath]           Original Value = [%SystemRoot%\\inf]",
          "Inf : [Installation Sources] Original Value = [D:\\I386]",
          "Completed : Change AddWizard registory"}},
    };
    for (const LogCase &c : cases) {
        SCOPED_TRACE(c.osCode);
        RedirectionMachine machine;
        CMirtelApp &app = machine.Start(c.osCode, EveryValue());
        BOOL begun = FALSE;
        ASSERT_TRUE(app.kSetAddWizardRegistry(begun));
        ASSERT_TRUE(app.m_regInfo.ResetRegistry());
        machine.ExpectRegistryAsBeforePlusEmptyBackup();
        EXPECT_EQ(machine.Log(), c.log);
    }
}

TEST(Redirection, AbsentValuesAreNeitherSavedNorChanged) {
    RedirectionMachine machine;
    CMirtelApp &app = machine.Start(kOSWinNT5, {});
    BOOL begun = FALSE;
    ASSERT_TRUE(app.kSetAddWizardRegistry(begun));
    EXPECT_TRUE(begun);
    EXPECT_FALSE(machine.Has({false, kCurrentVersion, "DevicePath", 0, ""}));
    EXPECT_TRUE(machine.Backup().empty());
    ASSERT_TRUE(app.m_regInfo.ResetRegistry());
    machine.ExpectRegistryAsBeforePlusEmptyBackup();
    EXPECT_EQ(machine.Log(), Lines{"Completed : Change AddWizard registory"});
}

struct ValueCase {
    const char *label;
    WORD osCode;
    std::vector<Value> values;
    std::vector<Value> during;
    std::vector<std::string> backup;
};

TEST(Redirection, ValuesKeepTheirTypesAndTheMruEntryFollowsMRUList) {
    const std::string longText = kFolder + "\0"s;
    const std::string shortText = kShortFolder + "\0"s;
    const ValueCase cases[] = {
        {"Installation Sources as one string",
         kOSWinNT4,
         {{false, kSetup, "Installation Sources", REG_SZ, "D:\\I386\0"s}},
         {{false, kSetup, "Installation Sources", REG_SZ, longText}},
         {Saved(REG_SZ, "Installation Sources", "D:\\I386\0"s)}},
        {"DevicePath as a plain string",
         kOSWinNT5,
         {{false, kCurrentVersion, "DevicePath", REG_SZ, "C:\\WINNT\\INF\0"s}},
         {{false, kCurrentVersion, "DevicePath", REG_SZ, longText}},
         {Saved(REG_SZ, "DevicePath", "C:\\WINNT\\INF\0"s)}},
        {"9x without an MRU list",
         kOSWin98,
         {{false, kCurrentVersion, "DevicePath", REG_SZ, "C:\\WINDOWS\\INF\0"s},
          {false, kSetup, "SourcePath", REG_SZ, "D:\\WIN98\0"s}},
         {{false, kCurrentVersion, "DevicePath", REG_SZ, shortText},
          {false, kSetup, "SourcePath", REG_SZ, shortText}},
         {Saved(REG_SZ, "DevicePath", "C:\\WINDOWS\\INF\0"s),
          Saved(REG_SZ, "SourcePath", "D:\\WIN98\0"s)}},
        {"empty MRUList names the default value",
         kOSWin95,
         {{false, kSetup, "SourcePath", REG_SZ, "D:\\WIN95\0"s},
          {true, kMru, "MRUList", REG_SZ, "\0"s},
          {true, kMru, "", REG_SZ, "A:\\\0"s},
          {true, kMru, "a", REG_SZ, "B:\\\0"s}},
         {{false, kSetup, "SourcePath", REG_SZ, shortText},
          {true, kMru, "", REG_SZ, longText}},
         {Saved(REG_SZ, "SourcePath", "D:\\WIN95\0"s), Saved(REG_SZ, "MRUListPath", "A:\\\0"s),
          Saved(REG_SZ, "MRUList", "\0"s)}},
        {"MRUList naming no value",
         kOSWin95,
         {{false, kSetup, "SourcePath", REG_SZ, "D:\\WIN95\0"s},
          {true, kMru, "MRUList", REG_SZ, "c\0"s},
          {true, kMru, "a", REG_SZ, "B:\\\0"s}},
         {{false, kSetup, "SourcePath", REG_SZ, shortText}},
         {Saved(REG_SZ, "SourcePath", "D:\\WIN95\0"s), Saved(REG_SZ, "MRUList", "c\0"s)}},
        {"text stored without its terminating zero",
         kOSWin98,
         {{false, kCurrentVersion, "DevicePath", REG_SZ, "C:\\WINDOWS\\INF"s},
          {false, kSetup, "SourcePath", REG_SZ, "D:"s},
          {true, kMru, "MRUList", REG_SZ, "a"s},
          {true, kMru, "a", REG_SZ, "B:"s}},
         {{false, kCurrentVersion, "DevicePath", REG_SZ, shortText},
          {false, kSetup, "SourcePath", REG_SZ, shortText},
          {true, kMru, "a", REG_SZ, longText}},
         {Saved(REG_SZ, "DevicePath", "C:\\WINDOWS\\INF"s), Saved(REG_SZ, "SourcePath", "D:"s),
          Saved(REG_SZ, "MRUListPath", "B:"s), Saved(REG_SZ, "MRUList", "a"s)}},
    };
    for (const ValueCase &c : cases) {
        SCOPED_TRACE(c.label);
        RedirectionMachine machine;
        // The 9x family keeps its SETUP key even where no value is in it.
        machine.m_machine.CreateRegistryKey(std::string("HKEY_LOCAL_MACHINE\\") + kSetup);
        CMirtelApp &app = machine.Start(c.osCode, c.values);
        BOOL begun = FALSE;
        ASSERT_TRUE(app.kSetAddWizardRegistry(begun));
        machine.ExpectValues(c.values, c.during);
        EXPECT_EQ(machine.Backup(), c.backup);
        ASSERT_TRUE(app.m_regInfo.ResetRegistry());
        machine.ExpectRegistryAsBeforePlusEmptyBackup();
    }
}

TEST(Redirection, TextWithoutItsZeroIsLoggedUpToItsEnd) {
    RedirectionMachine machine;
    const std::string text(300, 'x');
    CMirtelApp &app =
        machine.Start(kOSWinNT5, {{false, kCurrentVersion, "DevicePath", REG_SZ, text}});
    BOOL begun = FALSE;
    ASSERT_TRUE(app.kSetAddWizardRegistry(begun));
    ASSERT_FALSE(machine.Log().empty());
    EXPECT_EQ(machine.Log()[0], "Inf : [DevicePath]           Original Value = [" + text + "]");
}

struct FolderCase {
    WORD osCode;
    const char *infPath;
    std::string devicePath;
};

TEST(Redirection, FolderIsTheInfFilesFolderInTheFormEachFamilyReads) {
    const FolderCase cases[] = {
        {kOSWinNT5, "D:\\Setup.inf", "D:\\\0"s},
        {kOSWinNT5, "C:\\Program Files\\Printer Driver\\Win2000\\OEMSETUP.INF",
         "C:\\Program Files\\Printer Driver\\Win2000\0"s},
        {kOSWin98, "C:\\Setup.inf", "C:\\\0"s},
        {kOSWin98, kInfPath, kShortFolder + "\0"s},
        // Without a short form (the folder does not exist) the long one is used.
        {kOSWin98, "C:\\No Such Folder\\OEMSETUP.INF", "C:\\No Such Folder\0"s},
    };
    for (const FolderCase &c : cases) {
        SCOPED_TRACE(c.infPath);
        RedirectionMachine machine;
        CMirtelApp &app = machine.Start(c.osCode, EveryValue());
        app.m_strInfPath = c.infPath;
        BOOL begun = FALSE;
        ASSERT_TRUE(app.kSetAddWizardRegistry(begun));
        machine.ExpectValue({false, kCurrentVersion, "DevicePath", REG_EXPAND_SZ, c.devicePath});
    }
}

TEST(Redirection, NoRegistrySwitchLeavesEverythingAlone) {
    RedirectionMachine machine;
    CMirtelApp &app = machine.Start(kOSWinNT5, EveryValue());
    app.m_bNoRegistry = TRUE;
    BOOL begun = FALSE;
    EXPECT_TRUE(app.kSetAddWizardRegistry(begun));
    EXPECT_FALSE(begun);
    EXPECT_EQ(machine.RegistryText(), machine.Before());
    EXPECT_TRUE(machine.Log().empty());
}

TEST(Redirection, UnreadableLiveKeyStopsBeforeAnythingIsSaved) {
    RedirectionMachine machine;
    CMirtelApp &app =
        machine.Start(kOSWin98, {{false, kCurrentVersion, "DevicePath", REG_SZ, "x\0"s},
                                 {false, kSetup, "SourcePath", REG_SZ, "D:\\\0"s}});
    machine.RemoveKey(kSetup);
    BOOL begun = FALSE;
    EXPECT_FALSE(app.kSetAddWizardRegistry(begun));  // the 9x family needs the SETUP key
    EXPECT_FALSE(begun);
    EXPECT_EQ(machine.RegistryText(), machine.Before());
    EXPECT_EQ(machine.Log(), Lines{"Err : Get Error AddWizard registory"});
}

TEST(Redirection, NoFolderFailsAfterTheBackupSoTheCallerResets) {
    RedirectionMachine machine;
    CMirtelApp &app = machine.Start(kOSWinNT5, EveryValue());
    app.m_strInfPath.clear();
    BOOL begun = FALSE;
    EXPECT_FALSE(app.kSetAddWizardRegistry(begun));
    EXPECT_TRUE(begun);
    EXPECT_EQ(machine.Backup(), std::vector<std::string>{Saved(REG_EXPAND_SZ, "DevicePath",
                                                               "%SystemRoot%\\inf\0"s)});
    EXPECT_EQ(machine.Log(),
              Lines{"Inf : [DevicePath]           Original Value = [%SystemRoot%\\inf]"});
    ASSERT_TRUE(app.m_regInfo.ResetRegistry());
    machine.ExpectRegistryAsBeforePlusEmptyBackup();
}

// A value already saved belongs to a run not yet repaired, or to another
// installer running now: the backup step leaves it, and everything else,
// alone, and the reset after it has nothing of this run to undo.
TEST(Redirection, BackupNeverOverwritesAValueAlreadySaved) {
    RedirectionMachine machine;
    CMirtelApp &app =
        machine.Start(kOSWinNT5, {{false, kCurrentVersion, "DevicePath", REG_SZ, "D:\\A\0"s},
                                  {false, kBackup, "MRUList", REG_SZ, "ba\0"s}});
    BOOL begun = FALSE;
    EXPECT_FALSE(app.kSetAddWizardRegistry(begun));
    EXPECT_EQ(machine.RegistryText(), machine.Before());
    EXPECT_EQ(machine.Log(), (Lines{"Inf : [DevicePath]           Original Value = [D:\\A]",
                                    "Err : Backup value [MRUList] is already saved",
                                    "Err : Make error backup registory"}));
    if (begun) {
        EXPECT_TRUE(app.m_regInfo.ResetRegistry());
    }
    EXPECT_EQ(machine.RegistryText(), machine.Before());
}

TEST(Redirection, ResetThatCannotWriteKeepsTheBackupForTheNextStart) {
    RedirectionMachine machine;
    CMirtelApp &app = machine.Start(kOSWin98, EveryValue());
    BOOL begun = FALSE;
    ASSERT_TRUE(app.kSetAddWizardRegistry(begun));
    ASSERT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSetup), ERROR_SUCCESS);
    const std::vector<std::string> saved = machine.Backup();

    EXPECT_FALSE(app.m_regInfo.ResetRegistry());
    EXPECT_EQ(machine.Backup(), saved);
    // What was written back before the failure stays written; the rest
    // stays redirected.
    machine.ExpectValue(EveryValue()[0]);
    machine.ExpectValue(EveryValue()[1]);
    machine.ExpectValue({true, kMru, "b", REG_SZ, kFolder + "\0"s});
    EXPECT_EQ(machine.Log().back(), "Completed : Change AddWizard registory");
}

// A start-up that finds the backup key as an earlier run left it.
struct RestoreCase {
    const char *label;
    WORD osCode;
    bool backupKey;
    std::vector<Value> backup;
    std::vector<Value> repaired;  // live values afterwards (others as they were)
    BOOL restored;
    Lines log;
    std::vector<std::string> backupAfter;
};

TEST(Redirection, StartRepairsWhatAnInterruptedRunLeft) {
    const std::string redirected = kFolder + "\0"s;
    const std::vector<Value> live = {
        {false, kCurrentVersion, "DevicePath", REG_EXPAND_SZ, redirected},
        {false, kCurrentVersion, "OtherDevicePath", REG_SZ, "\0"s},
        {false, kSetup, "SourcePath", REG_SZ, redirected},
        {false, kSetup, "Installation Sources", REG_MULTI_SZ, redirected + "\0"s},
        {true, kMru, "MRUList", REG_SZ, "ba\0"s},
        {true, kMru, "b", REG_SZ, redirected},
    };
    const Value savedDevicePath = {false, kBackup, "DevicePath", REG_EXPAND_SZ,
                                   "%SystemRoot%\\inf\0"s};
    const Value savedSources = {false, kBackup, "Installation Sources", REG_MULTI_SZ,
                                "D:\\I386\0\0"s};
    const Value repairedDevicePath = {false, kCurrentVersion, "DevicePath", REG_EXPAND_SZ,
                                      "%SystemRoot%\\inf\0"s};
    const std::string devicePathLine =
        "Inf : [DevicePath]           Backup Value = [%SystemRoot%\\inf]";
    const char *const completed = "Inf : Completed restore backup registory";
    const char *const noData = "Inf : No data backup registory";
    const RestoreCase cases[] = {
        {"no backup key", kOSWinNT5, false, {}, {}, FALSE, {}, {}},
        {"empty backup key", kOSWinNT5, true, {}, {}, FALSE, {noData}, {}},
        {"DevicePath only", kOSWinNT5, true, {savedDevicePath}, {repairedDevicePath}, TRUE,
         {devicePathLine, completed}, {}},
        // A backup survives an upgrade of the system: every saved value goes
        // back where it came from, whichever family saved it.
        {"NT 4 backup read on NT 5",
         kOSWinNT5,
         true,
         {savedDevicePath, savedSources},
         {repairedDevicePath,
          {false, kSetup, "Installation Sources", REG_MULTI_SZ, "D:\\I386\0\0"s}},
         TRUE,
         {devicePathLine, "Inf : [Installation Sources] Backup Value = [D:\\I386]", completed},
         {}},
        {"NT 4",
         kOSWinNT4,
         true,
         {savedDevicePath, savedSources},
         {repairedDevicePath,
          {false, kSetup, "Installation Sources", REG_MULTI_SZ, "D:\\I386\0\0"s}},
         TRUE,
         {devicePathLine, "Inf : [Installation Sources] Backup Value = [D:\\I386]", completed},
         {}},
        {"9x",
         kOSWin98,
         true,
         {savedDevicePath,
          {false, kBackup, "OtherDevicePath", REG_SZ, "C:\\OTHER\0"s},
          {false, kBackup, "SourcePath", REG_SZ, "D:\\WIN98\0"s},
          {false, kBackup, "MRUListPath", REG_SZ, "A:\\\0"s},
          {false, kBackup, "MRUList", REG_SZ, "ba\0"s}},
         {repairedDevicePath,
          {false, kCurrentVersion, "OtherDevicePath", REG_SZ, "C:\\OTHER\0"s},
          {false, kSetup, "SourcePath", REG_SZ, "D:\\WIN98\0"s},
          {true, kMru, "b", REG_SZ, "A:\\\0"s}},
         TRUE,
         {devicePathLine, "Inf : [OtherDevicePath]      Backup Value = [C:\\OTHER]",
          "Inf : [SourcePath]           Backup Value = [D:\\WIN98]",
          "Inf : [InstallLocationsMRU]  Backup Value = [A:\\]", completed},
         {}},
        {"9x entry saved without zeros",
         kOSWin95,
         true,
         {{false, kBackup, "MRUListPath", REG_SZ, "A:"s},
          {false, kBackup, "MRUList", REG_SZ, "b"s}},
         {{true, kMru, "b", REG_SZ, "A:"s}},
         TRUE,
         {"Inf : [InstallLocationsMRU]  Backup Value = [A:]", completed},
         {}},
        // A list without its entry has nowhere to go: it is cleared, so that
        // the next backup finds the key empty.
        {"MRUList alone is no data", kOSWin95, true, {{false, kBackup, "MRUList", REG_SZ, "ba\0"s}},
         {}, FALSE, {noData}, {}},
        {"9x backup read on NT 5",
         kOSWinNT5,
         true,
         {{false, kBackup, "SourcePath", REG_SZ, "D:\\WIN98\0"s}},
         {{false, kSetup, "SourcePath", REG_SZ, "D:\\WIN98\0"s}},
         TRUE,
         {"Inf : [SourcePath]           Backup Value = [D:\\WIN98]", completed},
         {}},
    };
    for (const RestoreCase &c : cases) {
        SCOPED_TRACE(c.label);
        RedirectionMachine machine;
        if (c.backupKey)
            machine.m_machine.CreateRegistryKey(std::string("HKEY_LOCAL_MACHINE\\") + kBackup);
        std::vector<Value> values = live;
        values.insert(values.end(), c.backup.begin(), c.backup.end());
        CMirtelApp &app = machine.Start(c.osCode, values);

        BOOL restored = !c.restored;
        EXPECT_TRUE(app.m_regInfo.RestoreBackupRegistry(restored));
        EXPECT_EQ(restored, c.restored);
        machine.ExpectValues(live, c.repaired);
        EXPECT_EQ(machine.HasBackupKey(), c.backupKey);
        EXPECT_EQ(machine.Backup(), c.backupAfter);
        EXPECT_EQ(machine.Log(), c.log);
    }
}

TEST(Redirection, RepairThatCannotWriteKeepsTheBackup) {
    RedirectionMachine machine;
    CMirtelApp &app =
        machine.Start(kOSWin98, {{false, kBackup, "DevicePath", REG_SZ, "C:\\INF\0"s},
                                 {false, kBackup, "SourcePath", REG_SZ, "D:\\W98\0"s},
                                 {false, kSetup, "SourcePath", REG_SZ, "D:\\\0"s}});
    machine.RemoveKey(kSetup);
    BOOL restored = TRUE;
    EXPECT_FALSE(app.m_regInfo.RestoreBackupRegistry(restored));  // there is no SETUP key
    EXPECT_FALSE(restored);
    EXPECT_EQ(machine.Backup(),
              (std::vector<std::string>{Saved(REG_SZ, "DevicePath", "C:\\INF\0"s),
                                        Saved(REG_SZ, "SourcePath", "D:\\W98\0"s)}));
    machine.ExpectValue({false, kCurrentVersion, "DevicePath", REG_SZ, "C:\\INF\0"s});
    EXPECT_EQ(machine.Log(), (Lines{"Inf : [DevicePath]           Backup Value = [C:\\INF]",
                                    "Inf : [SourcePath]           Backup Value = [D:\\W98]"}));
}

}  // namespace
