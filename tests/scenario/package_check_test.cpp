// mirtel-check on packages made here, each with one kind of fault: what the
// matrix of runs and the problem list say about it, in the JSON document
// and in the table.
#include "check_packages.h"

namespace {

using namespace check_packages;

TEST(PackageCheck, ExamplePackageInstallsEverywhereInEveryLanguage) {
    const CheckRun run = RunCheck({"--json", testing_paths::BinDir() + "/../package"});
    EXPECT_EQ(run.result.status, 0) << run.result.err;
    EXPECT_TRUE(run.json["ok"].flag);
    // Its seven languages, and Czech, which it lacks: the English fallback.
    EXPECT_EQ(run.json["runs"].items.size(), 5u * 8u);
    for (const Value &cell : run.json["runs"].items) {
        EXPECT_EQ(cell["mark"].text, "ok") << cell["family"].text << " " << cell["language"].text;
        EXPECT_EQ(cell["wParam"].text, "0x0");
    }
    const Value *nt4 = RunOf(run.json, "nt4", "ENG");
    ASSERT_TRUE(nt4);
    ASSERT_EQ((*nt4)["infStore"].items.size(), 1u);
    EXPECT_EQ((*nt4)["infStore"].items[0]["path"].text, "C:\\WINDOWS\\Inf\\OEM0.inf");
    EXPECT_EQ((*nt4)["infStore"].items[0]["copyOf"].text, "TALVONT.INF");
}

// One INF, for the NT family only; a German file without the message that
// tells of it; a Japanese file with a line that is no Shift-JIS; and an
// image INF that the setup API cannot open.
TEST(PackageCheck, NamesTheFaultsOfMessageAndInfFiles) {
    Package package;
    package.Write("RES/PSDI_ENG.IRC", Messages());
    package.Write("RES/PSDI_DEU.IRC", Messages(msg::kErrSourcePathNG));
    package.Write("RES/PSDI_JPN.IRC", Messages("", "IDS_NOTE=\x82\xa0\x81\x20"));
    package.Write("NT.INF", PrinterInf("$Windows NT$", "Test Maker"));
    package.Write("SCANNER.INF", "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Image\r\n[Broken\r\nA=B\r\n");

    const CheckRun run = RunCheck({"--json", "--languages", "ENG,DEU,JPN", package.Folder()});
    EXPECT_EQ(run.result.status, 1) << run.result.err;
    const Value &json = run.json;
    struct Expected {
        const char *family, *language, *mark, *wParam;
    };
    for (const Expected &cell : {Expected{"95", "ENG", "IDS_ERR_SOURCEPATHNG", "0x1"},
                                 Expected{"98", "JPN", "IDS_ERR_SOURCEPATHNG", "0x1"},
                                 // The English text stands in for the missing one.
                                 Expected{"95", "DEU", "IDS_ERR_SOURCEPATHNG", "0x1"},
                                 Expected{"nt4", "DEU", "ok", "0x0"},
                                 Expected{"7", "ENG", "ok", "0x0"}}) {
        const Value *found = RunOf(json, cell.family, cell.language);
        ASSERT_TRUE(found);
        EXPECT_EQ((*found)["mark"].text, cell.mark) << cell.family << " " << cell.language;
        EXPECT_EQ((*found)["wParam"].text, cell.wParam) << cell.family << " " << cell.language;
    }
    for (const char *start : {"RES\\PSDI_DEU.IRC: no text in [String] for IDS_ERR_SOURCEPATHNG",
                              "RES\\PSDI_JPN.IRC:3: line 3 does not decode in code page 932",
                              "SCANNER.INF:4: the setup API does not open it: error 0xe0000001 (a [section] line "
                              "without its closing ]) at line 4",
                              "all languages: IDS_ERR_SOURCEPATHNG (\"No valid inf file\") shown",
                              // Why: the file the 95 family passed over, at its line.
                              "NT.INF:2: Signature \"$Windows NT$\": Windows 95/98/Me need \"$CHICAGO$\""})
        EXPECT_NE(ProblemStarting(json, start), "") << start << "\n" << testing::PrintToString(Problems(json));
    EXPECT_EQ(json["infs"].items.size(), 2u);

    // The table says the same.
    const CheckRun text = RunCheck({"--languages", "ENG,DEU,JPN", package.Folder()});
    EXPECT_EQ(text.result.status, 1);
    for (const std::string &line : Problems(json))
        EXPECT_NE(text.result.out.find(line), std::string::npos) << line << "\n" << text.result.out;
    EXPECT_NE(text.result.out.find("Windows 95, Windows 98/Me: all languages: IDS_ERR_SOURCEPATHNG"), std::string::npos)
        << text.result.out;
    EXPECT_NE(text.result.out.find("Windows 95       IDS_ERR_SOURCEPATHNG  IDS_ERR_SOURCEPATHNG  IDS_ERR"),
              std::string::npos)
        << text.result.out;
}

TEST(PackageCheck, NamesTheInfWhoseProviderIsNoFileName) {
    Package package;
    package.Write("RES/PSDI_ENG.IRC", Messages());
    package.Write("BADPROV.INF", PrinterInf("$CHICAGO$", "Talvo\\Drivers"));
    package.Write("NT.INF", PrinterInf("$Windows NT$", "Test Maker"));

    const CheckRun run = RunCheck({"--json", package.Folder()});
    EXPECT_EQ(run.result.status, 1);
    EXPECT_EQ(Mark(run.json, "95", "ENG"), "IDS_ERR_READINF");
    EXPECT_NE(ProblemStarting(run.json, "BADPROV.INF: Provider \"Talvo\\Drivers\" is no file name"), "");
    EXPECT_NE(ProblemStarting(run.json, "all languages: IDS_ERR_READINF (\"Failed to read inf file\") shown (D:\\BADPROV.INF)"), "")
        << testing::PrintToString(Problems(run.json));
    const Value *nt4 = RunOf(run.json, "nt4", "ENG");
    ASSERT_TRUE(nt4);
    ASSERT_EQ((*nt4)["infStore"].items.size(), 1u);
    EXPECT_EQ((*nt4)["infStore"].items[0]["provider"].text, "Test Maker");
}

// No family finds an INF: each kind of family is told what it needs, at
// the Signature's line.
TEST(PackageCheck, NamesWhatEachFamilyNeedsOfTheSignature) {
    Package package;
    package.Write("RES/PSDI_ENG.IRC", Messages());
    package.Write("W2K.INF", PrinterInf("$Windows 2000$", "Talvo"));
    const CheckRun run = RunCheck({"--json", "--languages", "ENG", package.Folder()});
    EXPECT_EQ(run.result.status, 1);
    for (const char *line : {"W2K.INF:2: Signature \"$Windows 2000$\" is accepted on no system",
                             "W2K.INF:2: Signature \"$Windows 2000$\": Windows 95/98/Me need \"$CHICAGO$\"",
                             "W2K.INF:2: Signature \"$Windows 2000$\": Windows NT 4.0 and later need \"$Windows NT$\""})
        EXPECT_NE(ProblemStarting(run.json, line), "") << line << "\n" << testing::PrintToString(Problems(run.json));
}

// The driver folder below the program, under a name that is no 8.3 name:
// the 95 family points the wizard at it by its short path.
TEST(PackageCheck, DriverFolderIsGivenToTheInstallerAndSeenByTheWizard) {
    Package package;
    package.Write("RES/PSDI_ENG.IRC", Messages());
    package.Write("Printer Driver/PRN95.INF", PrinterInf("$CHICAGO$", "Talvo"));
    package.Write("Printer Driver/PRNNT.INF", PrinterInf("$Windows NT$", "Talvo"));

    const CheckRun run = RunCheck({"--json", "--driver-folder", "Printer Driver", package.Folder()});
    EXPECT_EQ(run.result.status, 0) << run.result.out;
    const Value *win95 = RunOf(run.json, "95", "ENG");
    ASSERT_TRUE(win95);
    EXPECT_EQ((*win95)["mark"].text, "ok");
    EXPECT_EQ((*win95)["wizardInfs"].items.size(), 2u);
    ASSERT_EQ((*win95)["infStore"].items.size(), 1u);
    EXPECT_EQ((*win95)["infStore"].items[0]["path"].text, "C:\\WINDOWS\\Inf\\Other\\TalvoPRN95.INF");
    EXPECT_EQ((*win95)["infStore"].items[0]["copyOf"].text, "Printer Driver\\PRN95.INF");
}

TEST(PackageCheck, NamesAnInvalidLanguageTable) {
    Package package;
    package.Write("RES/PSDI_ENG.IRC", Messages());
    package.Write("LANGSDEF.INI", "[ENGLISH]\r\nOmittedName=ENGL\r\nLangID=0x0409\r\n");
    package.Write("NT.INF", PrinterInf("$Windows NT$", "Test Maker"));

    const CheckRun run = RunCheck({"--json", package.Folder()});
    EXPECT_EQ(run.result.status, 1);
    EXPECT_FALSE(run.json["languageTable"]["valid"].flag);
    EXPECT_NE(ProblemStarting(run.json, "LANGSDEF.INI: invalid language table"), "");
    EXPECT_EQ(Mark(run.json, "xp", "ENG"), "IDS_RESOURCE_FILE_NOT_FOUND");
}

TEST(PackageCheck, RefusesAnUnusableCommandLine) {
    struct Case {
        std::vector<std::string> arguments;
        const char *says;
    };
    for (const Case &bad : {Case{{}, "PACKAGE-FOLDER is required"},
                            Case{{"--bogus", "."}, "--bogus"},
                            Case{{"-x", "."}, "-x"},
                            Case{{"--languages", "KLINGON", "."}, "\"KLINGON\" is no language"},
                            Case{{"--families", "nt4,win10", "."}, "\"win10\" is none of"},
                            Case{{"--fail-on", "never", "."}, "--fail-on"},
                            Case{{"--fail-on=error", "--fail-on=warning", "."}, "--fail-on"},
                            Case{{"/no/such/folder"}, "/no/such/folder is no folder"}}) {
        const testing_machine::RunResult run =
            testing_machine::RunProgram(testing_paths::BinDir() + "/mirtel-check", bad.arguments, {});
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_NE(run.err.find(bad.says), std::string::npos) << run.err;
    }
    for (const char *asking : {"--help", "-h", "--version"}) {
        const testing_machine::RunResult run =
            testing_machine::RunProgram(testing_paths::BinDir() + "/mirtel-check", {asking}, {});
        EXPECT_EQ(run.status, 0) << asking << run.err;
        EXPECT_NE(run.out.find("mirtel-check"), std::string::npos) << run.out;
    }
}

}  // namespace
