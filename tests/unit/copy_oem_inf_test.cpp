// The OEM INF step: the 95 family's Inf\Other copies, NT 4.0's OEM<n>.inf
// replacement, the dispatch by OS code, and the helpers they share.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/mirtel_app.h"
#include "support/inf_test_files.h"
#include "support/machine_fixture.h"
#include "support/path_variable.h"

namespace {

namespace fs = std::filesystem;
using inf_testing::Exists;
using inf_testing::ReadFile;
using inf_testing::WriteFile;

// Every file under the machine's drive C:, as host paths relative to it.
std::set<std::string> FilesOnDriveC(const testing_machine::MachineFolder &machine) {
    std::set<std::string> files;
    const fs::path root = machine.HostPath("drive_c");
    for (const auto &entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file()) files.insert(fs::relative(entry.path(), root).string());
    return files;
}

class OemInfTest : public ::testing::Test {
protected:
    // Files are written before the machine is used: configure, then call
    // MakeApp().
    CMirtelApp &MakeApp(WORD osCode) {
        m_machine.Use();
        setenv("PATH", "C:\\A", 1);
        m_app = std::make_unique<CMirtelApp>();
        m_app->m_nOSCode = osCode;
        return *m_app;
    }
    std::string Host(const std::string &relative) { return m_machine.HostPath(relative); }

    testing_machine::MachineFolder m_machine;
    inf_testing::PathVariableGuard m_path;
    std::unique_ptr<CMirtelApp> m_app;
};

// ---------------------------------------------------------------- shared

TEST_F(OemInfTest, ClearReadOnlyTouchesOnlyReadOnlyFiles) {
    struct Case {
        const char *name;
        DWORD before;  // 0: no such file
        DWORD after;
    };
    const Case cases[] = {
        {"missing", 0, INVALID_FILE_ATTRIBUTES},
        {"plain", FILE_ATTRIBUTE_ARCHIVE, FILE_ATTRIBUTE_ARCHIVE},
        {"hidden only", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE,
         FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE},
        {"read-only", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE, FILE_ATTRIBUTE_ARCHIVE},
        {"read-only and hidden",
         FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
             FILE_ATTRIBUTE_ARCHIVE,
         FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE},
    };
    CMirtelApp &app = MakeApp(kOSWinNT4);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = "C:\\file.txt";
        fs::remove(Host("drive_c/file.txt"));
        if (c.before) {
            WriteFile(Host("drive_c/file.txt"), "x");
            ASSERT_TRUE(SetFileAttributesA(path.c_str(), c.before));
        }
        EXPECT_TRUE(app.kClearReadOnly(path));
        EXPECT_EQ(GetFileAttributesA(path.c_str()), c.after);
    }
}

TEST_F(OemInfTest, DispatchesByOsCode) {
    WriteFile(Host("drive_c/pkg/A.inf"), inf_testing::PrinterInf("$Windows NT$", {"Talvo A"}));
    struct Case {
        WORD osCode;
        BOOL result;
    };
    const Case cases[] = {{kOSUnsupported, FALSE}, {3, FALSE}, {kOSWinNT5, TRUE}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.osCode);
        CMirtelApp &app = MakeApp(c.osCode);
        app.m_listInfFile = {"C:\\pkg\\A.inf"};
        const std::set<std::string> before = FilesOnDriveC(m_machine);
        CString text = "(untouched)";
        EXPECT_EQ(app.kCopyOemInf(text), c.result);
        EXPECT_EQ(text, "(untouched)");
        EXPECT_TRUE(app.m_strErrorFile.empty());
        EXPECT_EQ(FilesOnDriveC(m_machine), before);
    }
}

// ------------------------------------------------------------ 95 family

struct Case95 {
    const char *name;
    std::string infName;
    std::string version;  // [Version] lines after Signature and Class
    std::string strings;  // [Strings] lines
    BOOL result;
    std::string destination;  // under Inf\Other when copied
    bool errorNamesInf;       // else m_strErrorFile stays empty
};

const Case95 kCases95[] = {
    {"provider token", "DRV.INF", "Provider=%Mfg%\n", "Mfg=ABC\n", TRUE, "ABCDRV.INF", false},
    {"plain provider", "DRV.INF", "Provider=ABC\n", "", TRUE, "ABCDRV.INF", false},
    {"quoted text with blanks", "DRV.INF", "Provider=%Mfg%\n", "Mfg=\"ABC Inc.\"\n", TRUE,
     "ABC Inc.DRV.INF", false},
    {"a percent sign at one end only", "DRV.INF", "Provider=%Mfg\n", "", TRUE, "%MfgDRV.INF",
     false},
    {"no provider", "DRV.INF", "", "", FALSE, "", false},
    {"token without a [Strings] text", "DRV.INF", "Provider=%Mfg%\n", "Other=ABC\n", FALSE, "",
     true},
    {"empty token", "DRV.INF", "Provider=%%\n", "", FALSE, "", true},
    {"provider leading out of the folder", "DRV.INF", "Provider=..\\..\\SYSTEM\\\n", "", FALSE,
     "", true},
    {"token leading out of the folder", "DRV.INF", "Provider=%Mfg%\n", "Mfg=..\\evil\n", FALSE, "",
     true},
    {"provider with a drive", "DRV.INF", "Provider=C:\\x\n", "", FALSE, "", true},
    {"provider with a slash", "DRV.INF", "Provider=a/b\n", "", FALSE, "", true},
    {"provider with a wildcard", "DRV.INF", "Provider=a*b\n", "", FALSE, "", true},
    {"provider with a bar", "DRV.INF", "Provider=a|b\n", "", FALSE, "", true},
    {"provider with a control character", "DRV.INF", "Provider=a\x01" "b\n", "", FALSE, "", true},
    {"provider and name making a device", ".inf", "Provider=CON\n", "", FALSE, "", true},
};

TEST_F(OemInfTest, CopiesTo95InfOtherUnderProviderAndName) {
    for (const Case95 &c : kCases95) {
        SCOPED_TRACE(c.name);
        testing_machine::MachineFolder machine;
        const std::string inf = "[Version]\nSignature=\"$CHICAGO$\"\nClass=Printer\n" + c.version +
                                "[Strings]\n" + c.strings;
        WriteFile(machine.HostPath("drive_c/pkg/" + c.infName), inf);
        const std::set<std::string> before = FilesOnDriveC(machine);
        machine.Use();
        CMirtelApp app;
        app.m_nOSCode = kOSWin95;
        app.m_listInfFile = {"C:\\pkg\\" + c.infName};

        CString text = "(untouched)";
        EXPECT_EQ(app.kCopyOemInf(text), c.result);
        EXPECT_EQ(app.m_strErrorFile, c.errorNamesInf ? app.m_listInfFile.front() : "");
        std::set<std::string> expected = before;
        if (c.result) {
            EXPECT_EQ(text, "C:\\WINDOWS\\Inf\\Other\\" + c.destination);
            EXPECT_EQ(ReadFile(machine.HostPath("drive_c/WINDOWS/Inf/Other/" + c.destination)), inf);
            expected.insert("WINDOWS/Inf/Other/" + c.destination);
        } else {
            EXPECT_EQ(text, "(untouched)");
        }
        // Nothing is written anywhere else.
        EXPECT_EQ(FilesOnDriveC(machine), expected);
    }
}

TEST_F(OemInfTest, Names95FailuresAsTheyHappen) {
    WriteFile(Host("drive_c/pkg/A.INF"), inf_testing::PrinterInf("$CHICAGO$", {"M"}, "ABC"));
    WriteFile(Host("drive_c/pkg/B.INF"), inf_testing::PrinterInf("$CHICAGO$", {"M"}, "ABC"));
    // A folder where the second copy would go.
    fs::create_directories(Host("drive_c/WINDOWS/Inf/Other/ABCB.INF"));
    CMirtelApp &app = MakeApp(kOSWin95);
    app.m_listInfFile = {"C:\\pkg\\A.INF", "C:\\pkg\\B.INF"};
    CString text;
    EXPECT_FALSE(app.kCopyOemInf(text));
    EXPECT_EQ(app.m_strErrorFile, "C:\\WINDOWS\\Inf\\Other\\ABCB.INF");
    // The first copy stays.
    EXPECT_TRUE(Exists(Host("drive_c/WINDOWS/Inf/Other/ABCA.INF")));
}

TEST_F(OemInfTest, Reports95FolderAndEmptyList) {
    CMirtelApp &app = MakeApp(kOSWin95);
    CString text;
    EXPECT_TRUE(app.kCopyOemInf(text));
    EXPECT_EQ(text, "C:\\WINDOWS\\Inf\\Other");
    EXPECT_TRUE(fs::is_directory(Host("drive_c/WINDOWS/Inf/Other")));

    fs::remove_all(Host("drive_c/WINDOWS/Inf"));
    EXPECT_FALSE(app.kCopyOemInf(text));
    EXPECT_TRUE(app.m_strErrorFile.empty());
}

// ---------------------------------------------------------------- NT 4.0

const std::vector<std::string> kOurModels = {"Talvo A", "Talvo B"};

std::string Ours(const std::vector<std::string> &models = kOurModels) {
    return inf_testing::PrinterInf("$Windows NT$", models) + "; ours\n";
}
std::string Theirs(const std::vector<std::string> &models) {
    return inf_testing::PrinterInf("$Windows NT$", models) + "; theirs\n";
}

struct StoreFile {
    std::string name;  // under Inf; "<folder>" content makes a folder
    std::string content;
};

struct CaseNT {
    const char *name;
    std::string ours;
    std::vector<StoreFile> store;
    std::string text;                 // under Inf
    std::vector<std::string> copies;  // files under Inf that now hold ours
    std::vector<std::string> gone;    // files under Inf that were deleted
};

// The models section begins with an empty key: no model names.
const std::string kOursWithoutModels =
    "[Version]\nSignature=\"$Windows NT$\"\nClass=Printer\nProvider=P\n"
    "[Manufacturer]\nP=X\n[X]\n=first\nTalvo A=a\n";
const std::string kFolder = "<folder>";

const CaseNT kCasesNT[] = {
    {"two unrelated OEM files", Ours(),
     {{"OEM0.inf", Theirs({"X"})}, {"OEM1.inf", Theirs({"Y"})}}, "OEM2.inf", {"OEM2.inf"}, {}},
    {"two copies of our models", Ours(),
     {{"OEM3.inf", Theirs({"Talvo A"})},
      {"OEM3.PNF", "pnf"},
      {"OEM7.inf", Theirs({"Talvo B", "Talvo A"})},
      {"OEM7.PNF", "pnf"}},
     "OEM3.inf", {"OEM3.inf"}, {"OEM3.PNF", "OEM7.inf", "OEM7.PNF"}},
    {"one of our models and a foreign one", Ours(),
     {{"OEM4.inf", Theirs({"Talvo A", "Other C"})}}, "OEM0.inf", {"OEM0.inf"}, {}},
    {"model names compared without case", Ours(), {{"OEM5.inf", Theirs({"TALVO a"})}}, "OEM5.inf",
     {"OEM5.inf"}, {}},
    {"unreadable and model-less OEM files never match", Ours(),
     {{"OEM0.inf", "garbage\n"}, {"OEM1.inf", Theirs({})}}, "OEM2.inf", {"OEM2.inf"}, {}},
    {"our INF lists no model", kOursWithoutModels, {{"OEM0.inf", Theirs({"Talvo A"})}}, "OEM1.inf",
     {"OEM1.inf"}, {}},
    {"only numbered OEM files directly in the store are replaced", Ours(),
     {{"Sub/OEM1.inf", Theirs({"Talvo A"})},
      {"OEMsetup.inf", Theirs({"Talvo A"})},
      {"OEM2.inf", kFolder}},
     "OEM0.inf", {"OEM0.inf"}, {}},
};

TEST_F(OemInfTest, ReplacesOrAddsNumberedOemInfFilesOnNT4) {
    for (const CaseNT &c : kCasesNT) {
        SCOPED_TRACE(c.name);
        testing_machine::MachineFolder machine;
        const std::string &ours = c.ours;
        WriteFile(machine.HostPath("drive_c/pkg/ours.inf"), ours);
        for (const StoreFile &file : c.store) {
            const std::string host = machine.HostPath("drive_c/WINDOWS/Inf/" + file.name);
            if (file.content == kFolder)
                fs::create_directories(host);
            else
                WriteFile(host, file.content);
        }
        machine.Use();
        CMirtelApp app;
        app.m_nOSCode = kOSWinNT4;
        app.m_listInfFile = {"C:\\pkg\\ours.inf"};

        CString text;
        EXPECT_TRUE(app.kCopyOemInf(text));
        EXPECT_EQ(text, "C:\\WINDOWS\\Inf\\" + c.text);
        EXPECT_EQ(app.m_pSetupApi, nullptr);
        for (const std::string &copy : c.copies)
            EXPECT_EQ(ReadFile(machine.HostPath("drive_c/WINDOWS/Inf/" + copy)), ours) << copy;
        for (const std::string &gone : c.gone)
            EXPECT_FALSE(Exists(machine.HostPath("drive_c/WINDOWS/Inf/" + gone))) << gone;
        for (const StoreFile &file : c.store) {
            const bool changed = std::count(c.copies.begin(), c.copies.end(), file.name) ||
                                 std::count(c.gone.begin(), c.gone.end(), file.name);
            if (changed) continue;
            const std::string host = machine.HostPath("drive_c/WINDOWS/Inf/" + file.name);
            if (file.content == kFolder)
                EXPECT_TRUE(fs::is_directory(host)) << file.name;
            else
                EXPECT_EQ(ReadFile(host), file.content) << file.name;
        }
    }
}

TEST_F(OemInfTest, ClearsTheAttributesOfANT4MatchBeforeReplacingIt) {
    WriteFile(Host("drive_c/pkg/ours.inf"), Ours());
    WriteFile(Host("drive_c/WINDOWS/Inf/OEM3.inf"), Theirs({"Talvo A"}));
    WriteFile(Host("drive_c/WINDOWS/Inf/OEM3.PNF"), "pnf");
    WriteFile(Host("drive_c/WINDOWS/Inf/OEM4.inf"), Theirs({"Talvo B"}));
    CMirtelApp &app = MakeApp(kOSWinNT4);
    const DWORD locked = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
    for (const char *file : {"OEM3.inf", "OEM3.PNF", "OEM4.inf"})
        ASSERT_TRUE(SetFileAttributesA((std::string("C:\\WINDOWS\\Inf\\") + file).c_str(), locked));
    app.m_listInfFile = {"C:\\pkg\\ours.inf"};

    CString text;
    EXPECT_TRUE(app.kCopyOemInf(text));
    EXPECT_EQ(ReadFile(Host("drive_c/WINDOWS/Inf/OEM3.inf")), Ours());
    EXPECT_EQ(GetFileAttributesA("C:\\WINDOWS\\Inf\\OEM3.inf") & locked, 0u);
    EXPECT_FALSE(Exists(Host("drive_c/WINDOWS/Inf/OEM3.PNF")));
    EXPECT_FALSE(Exists(Host("drive_c/WINDOWS/Inf/OEM4.inf")));
}

TEST_F(OemInfTest, ALaterNT4InfReplacesTheCopyOfAnEarlierOne) {
    WriteFile(Host("drive_c/pkg/a.inf"), Ours({"Talvo A"}));
    WriteFile(Host("drive_c/pkg/b.inf"), Ours({"Talvo A", "Talvo B"}));
    CMirtelApp &app = MakeApp(kOSWinNT4);
    app.m_listInfFile = {"C:\\pkg\\a.inf", "C:\\pkg\\b.inf"};

    CString text;
    EXPECT_TRUE(app.kCopyOemInf(text));
    EXPECT_EQ(text, "C:\\WINDOWS\\Inf\\OEM0.inf");
    EXPECT_EQ(ReadFile(Host("drive_c/WINDOWS/Inf/OEM0.inf")), Ours({"Talvo A", "Talvo B"}));
    EXPECT_FALSE(Exists(Host("drive_c/WINDOWS/Inf/OEM1.inf")));
}

// The store is read once for the whole list, so what the step itself did
// earlier in the list must count: its own copies as matches, the numbers
// it filled as taken and the number of a copy it deleted as free.
TEST_F(OemInfTest, EachNT4InfOfAListSeesTheStoreAsTheEarlierOnesLeftIt) {
    WriteFile(Host("drive_c/WINDOWS/Inf/OEM0.inf"), Theirs({"X"}));
    WriteFile(Host("drive_c/WINDOWS/Inf/OEM2.inf"), Theirs({"Y"}));
    const std::vector<std::vector<std::string>> models = {
        {"Talvo A"}, {"Talvo B"}, {"Talvo A", "Talvo B"}, {"Talvo D"}, {"Talvo E"}};
    CStringList list;
    for (std::size_t i = 0; i < models.size(); ++i) {
        const std::string name = "inf" + std::to_string(i) + ".inf";
        WriteFile(Host("drive_c/pkg/" + name), Ours(models[i]));
        list.push_back("C:\\pkg\\" + name);
    }
    CMirtelApp &app = MakeApp(kOSWinNT4);
    app.m_listInfFile = list;

    CString text;
    EXPECT_TRUE(app.kCopyOemInf(text));
    // inf0 -> OEM1, inf1 -> OEM3, inf2 covers both: OEM1 takes it and OEM3
    // goes, so inf3 -> OEM3 again and inf4 -> OEM4.
    EXPECT_EQ(text, "C:\\WINDOWS\\Inf\\OEM4.inf");
    EXPECT_EQ(ReadFile(Host("drive_c/WINDOWS/Inf/OEM0.inf")), Theirs({"X"}));
    EXPECT_EQ(ReadFile(Host("drive_c/WINDOWS/Inf/OEM1.inf")), Ours(models[2]));
    EXPECT_EQ(ReadFile(Host("drive_c/WINDOWS/Inf/OEM2.inf")), Theirs({"Y"}));
    EXPECT_EQ(ReadFile(Host("drive_c/WINDOWS/Inf/OEM3.inf")), Ours(models[3]));
    EXPECT_EQ(ReadFile(Host("drive_c/WINDOWS/Inf/OEM4.inf")), Ours(models[4]));
    EXPECT_FALSE(Exists(Host("drive_c/WINDOWS/Inf/OEM5.inf")));
}

// Nothing is rolled back: an unreadable INF ends the step after the
// earlier INFs of the list were copied, and no later one is.
TEST_F(OemInfTest, AnUnreadableNT4InfEndsTheStepInItsTurn) {
    WriteFile(Host("drive_c/pkg/a.inf"), Ours({"Talvo A"}));
    WriteFile(Host("drive_c/pkg/b.inf"), "[Version]\nSignature=\"$Windows 2000$\"\n");
    WriteFile(Host("drive_c/pkg/c.inf"), Ours({"Talvo C"}));
    CMirtelApp &app = MakeApp(kOSWinNT4);
    app.m_listInfFile = {"C:\\pkg\\a.inf", "C:\\pkg\\b.inf", "C:\\pkg\\c.inf"};

    CString text;
    EXPECT_FALSE(app.kCopyOemInf(text));
    EXPECT_EQ(app.m_strErrorFile, "C:\\pkg\\b.inf");
    EXPECT_EQ(ReadFile(Host("drive_c/WINDOWS/Inf/OEM0.inf")), Ours({"Talvo A"}));
    EXPECT_FALSE(Exists(Host("drive_c/WINDOWS/Inf/OEM1.inf")));
}

TEST_F(OemInfTest, NamesNT4FailuresAsTheyHappen) {
    struct Case {
        const char *name;
        const char *missingExports;
        std::string ours;
        bool removeStore;
        bool errorNamesOurs;  // else m_strErrorFile stays empty
    };
    const Case cases[] = {
        {"setup API without a required entry point", "SetupPromptForDiskA", Ours(), false, false},
        {"our INF unreadable", "", "[Version]\nSignature=\"$Windows 2000$\"\n", false, true},
        {"no INF store to copy into", "", Ours(), true, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        testing_machine::MachineFolder machine;
        machine.SetIni("SetupApi", "MissingExports", c.missingExports);
        WriteFile(machine.HostPath("drive_c/pkg/ours.inf"), c.ours);
        if (c.removeStore) fs::remove_all(machine.HostPath("drive_c/WINDOWS/Inf"));
        machine.Use();
        CMirtelApp app;
        app.m_nOSCode = kOSWinNT4;
        app.m_listInfFile = {"C:\\pkg\\ours.inf"};

        CString text = "(untouched)";
        EXPECT_FALSE(app.kCopyOemInf(text));
        EXPECT_EQ(text, "(untouched)");
        EXPECT_EQ(app.m_strErrorFile, c.errorNamesOurs ? "C:\\pkg\\ours.inf" : "");
        EXPECT_EQ(app.m_pSetupApi, nullptr);
    }
}

TEST_F(OemInfTest, AFailedNT4OverwriteEndsTheStepAndNamesTheMatch) {
    WriteFile(Host("drive_c/pkg/ours.inf"), Ours());
    WriteFile(Host("drive_c/WINDOWS/Inf/OEM3.inf"), Theirs({"Talvo A"}));
    WriteFile(Host("drive_c/WINDOWS/Inf/OEM7.inf"), Theirs({"Talvo B"}));
    CMirtelApp &app = MakeApp(kOSWinNT4);
    app.m_listInfFile = {"C:\\pkg\\ours.inf"};
    // Another process has the first match open for reading, so it can be
    // read but not replaced.
    const int held = open(Host("drive_c/WINDOWS/Inf/OEM3.inf").c_str(), O_RDONLY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(flock(held, LOCK_SH), 0);

    CString text = "(untouched)";
    EXPECT_FALSE(app.kCopyOemInf(text));
    close(held);
    EXPECT_EQ(app.m_strErrorFile, "C:\\WINDOWS\\Inf\\OEM3.inf");
    EXPECT_EQ(text, "(untouched)");
    EXPECT_EQ(ReadFile(Host("drive_c/WINDOWS/Inf/OEM3.inf")), Theirs({"Talvo A"}));
    // The step ended before the later match.
    EXPECT_EQ(ReadFile(Host("drive_c/WINDOWS/Inf/OEM7.inf")), Theirs({"Talvo B"}));
}

// The store holds the copy an earlier installation made of a driver CD's
// INF: telling it ours takes about as long as reading the two files, not
// a comparison of every name with every other (40,000 models took 22 s
// that way, 672,000 would take hours).
TEST_F(OemInfTest, ReplacesTheCopyOfALargeNT4InfInSeconds) {
    std::vector<std::string> models;
    for (int i = 0; i < 40000; ++i) models.push_back("Talvo ImageWriter " + std::to_string(100000 + i) + " PS");
    const std::string ours = inf_testing::PrinterInf("$Windows NT$", models);
    WriteFile(Host("drive_c/pkg/ours.inf"), ours);
    WriteFile(Host("drive_c/WINDOWS/Inf/OEM0.inf"), ours);
    CMirtelApp &app = MakeApp(kOSWinNT4);
    app.m_listInfFile = {"C:\\pkg\\ours.inf"};

    CString text;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(app.kCopyOemInf(text));
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 5.0);
    EXPECT_EQ(text, "C:\\WINDOWS\\Inf\\OEM0.inf");
}

TEST_F(OemInfTest, LogsTheModelNamesOfEveryInfItReads) {
    WriteFile(Host("drive_c/pkg/ours.inf"), Ours({"Talvo A"}));
    WriteFile(Host("drive_c/WINDOWS/Inf/OEM0.inf"), Theirs({"Talvo A", "Other X"}));
    WriteFile(Host("drive_c/WINDOWS/Inf/OEM1.inf"), "garbage\n");
    CMirtelApp &app = MakeApp(kOSWinNT4);
    app.m_bLogOutput = TRUE;
    app.m_strTempDir = "C:\\WINDOWS\\Temp\\";
    app.m_listInfFile = {"C:\\pkg\\ours.inf"};

    CString text;
    EXPECT_TRUE(app.kCopyOemInf(text));
    const std::string separator = "*------------------------------------------*\r\n";
    EXPECT_EQ(ReadFile(Host("drive_c/WINDOWS/Temp/PSLOG.TXT")),
              separator + "InfFileName = [C:\\pkg\\ours.inf]\r\n" +
                  "strDriverName = [Talvo A]\r\n" + separator +
                  "InfFileName = [C:\\WINDOWS\\Inf\\OEM0.inf]\r\n" +
                  "strDriverName = [Talvo A]\r\nstrDriverName = [Other X]\r\n" + separator +
                  "InfFileName = [C:\\WINDOWS\\Inf\\OEM1.inf]\r\n");
}

}  // namespace
