#include <gtest/gtest.h>

#include "lang/langs_def.h"
#include "support/machine_fixture.h"
#include "unit/lang_test_files.h"

namespace {

constexpr const char *kProgram = "D:\\Pkg\\SETUP.EXE";
constexpr const char *kValidFile =
    "[ENGLISH]\r\nOmittedName=ENG\r\nLangID=0x0409\r\n"
    "[JAPANESE]\r\nOmittedName=JPN\r\nLangID=0x0411\r\n";
constexpr const char *kInvalidFile = "[ENGLISH]\r\nOmittedName=ENGL\r\nLangID=0x0409\r\n";

struct Row {
    std::string name;
    WORD langId;
    std::string omittedName;
    bool operator==(const Row &other) const {
        return name == other.name && langId == other.langId && omittedName == other.omittedName;
    }
};

void PrintTo(const Row &row, std::ostream *out) {
    *out << row.name << "/" << std::hex << row.langId << "/" << row.omittedName;
}

// Drive D: is a folder of the machine, so the tests can use its root.
class LangsDefTest : public ::testing::Test {
protected:
    LangsDefTest() { m_machine.SetIni("Drives", "D", "drive_d"); }
    void Write(const std::string &relative, const std::string &text) {
        WriteHostFile(m_machine.HostPath("drive_d/" + relative), text);
    }
    // The rows read from a LANGSDEF.INI beside the program holding `text`.
    std::vector<Row> TableFor(const std::string &text, CLangsDef::Status *status) {
        Write("Pkg/LANGSDEF.INI", text);
        m_machine.Use();
        CLangsDef langsDef(kProgram);
        *status = langsDef.GetStatus();
        std::vector<Row> rows;
        if (!langsDef.Table()) return rows;
        for (const LangEntry *row = langsDef.Table(); row->LangID != kLangTableEnd; ++row)
            rows.push_back({row->Name, row->LangID, row->OmittedName});
        return rows;
    }
    testing_machine::MachineFolder m_machine;
};

TEST_F(LangsDefTest, FindsTheFileInThreePlacesInOrder) {
    struct PlaceCase {
        std::vector<std::pair<const char *, const char *>> files;  // place, contents
        CLangsDef::Status status;
        const char *path;
    };
    const PlaceCase cases[] = {
        {{}, CLangsDef::kNotFound, ""},
        {{{"LANGSDEF.INI", kValidFile}}, CLangsDef::kRead, "D:\\LANGSDEF.INI"},
        {{{"Pkg/DRVINST/LANGSDEF.INI", kValidFile}, {"LANGSDEF.INI", kInvalidFile}},
         CLangsDef::kRead, "D:\\Pkg\\DRVINST\\LANGSDEF.INI"},
        {{{"Pkg/LANGSDEF.INI", kValidFile}, {"Pkg/DRVINST/LANGSDEF.INI", kInvalidFile}},
         CLangsDef::kRead, "D:\\Pkg\\LANGSDEF.INI"},
        // The first file found decides, even when it is invalid.
        {{{"Pkg/LANGSDEF.INI", kInvalidFile}, {"Pkg/DRVINST/LANGSDEF.INI", kValidFile}},
         CLangsDef::kInvalid, "D:\\Pkg\\LANGSDEF.INI"},
        {{{"Pkg/langsdef.ini", kValidFile}}, CLangsDef::kRead, "D:\\Pkg\\LANGSDEF.INI"},
    };
    int index = 0;
    for (const PlaceCase &c : cases) {
        testing_machine::MachineFolder machine;
        machine.SetIni("Drives", "D", "drive_d");
        for (const auto &file : c.files)
            WriteHostFile(machine.HostPath(std::string("drive_d/") + file.first), file.second);
        machine.Use();
        CLangsDef langsDef(kProgram);
        EXPECT_EQ(langsDef.GetStatus(), c.status) << "case " << index;
        EXPECT_EQ(langsDef.FilePath(), c.path) << "case " << index;
        const LangEntry *expectedTable = c.status == CLangsDef::kNotFound ? CLangsDef::BuiltInTable()
                                         : c.status == CLangsDef::kInvalid ? nullptr
                                                                           : langsDef.Table();
        EXPECT_EQ(langsDef.Table(), expectedTable) << "case " << index;
        ++index;
    }
}

TEST_F(LangsDefTest, TableFollowsTheSectionsOfAValidFile) {
    CLangsDef::Status status;
    std::vector<Row> rows = TableFor(
        "[Precondition]\r\nOmittedName=TOOLONG\r\n"
        "[JAPANESE]\r\nOmittedName=JPN\r\nLangID=0x0411\r\nComment=ignored\r\n"
        "[precondition]\r\n"
        "[ENGLISH]\r\nLangID=1033\r\nOmittedName=ENG\r\n",
        &status);
    EXPECT_EQ(status, CLangsDef::kRead);
    EXPECT_EQ(rows, (std::vector<Row>{{"JAPANESE", 0x0411, "JPN"}, {"ENGLISH", 0x0409, "ENG"}}));
}

TEST_F(LangsDefTest, LangIdReadsAsACNumber) {
    const std::pair<const char *, WORD> cases[] = {
        {"1041", 0x0411},        {"0x411", 0x0411},       {"0X0411", 0x0411},
        {"02021", 0x0411},       {"JAPAN", 0},            {"0x10411", 0x0411},
        {"1041abc", 0x0411},     {"-1", 0xFFFF},          {"+1041", 0x0411},
        {"0x7fffffffff", 0xFFFF},  // beyond a 32-bit long: its largest value
        {"-99999999999", 0x0000},  // below it: its smallest value
        {"0x000000000411", 0x0411},  // 14 characters still fit
    };
    for (const auto &c : cases) {
        testing_machine::MachineFolder machine;
        machine.SetIni("Drives", "D", "drive_d");
        WriteHostFile(machine.HostPath("drive_d/Pkg/LANGSDEF.INI"),
                      std::string("[X]\r\nOmittedName=XXX\r\nLangID=") + c.first + "\r\n");
        machine.Use();
        CLangsDef langsDef(kProgram);
        ASSERT_NE(langsDef.Table(), nullptr) << c.first;
        EXPECT_EQ(langsDef.Table()[0].LangID, c.second) << c.first;
    }
}

TEST_F(LangsDefTest, InvalidFilesGiveNoTable) {
    const char *cases[] = {
        "[ENGLISH]\r\nOmittedName=ENGL\r\nLangID=0x0409\r\n",
        "[ENGLISH]\r\nOmittedName=EN\r\nLangID=0x0409\r\n",
        "[ENGLISH]\r\nLangID=0x0409\r\n",
        "[ENGLISH]\r\nOmittedName=ENG\r\n",
        "[ENGLISH]\r\nOmittedName=ENG\r\nLangID=\r\n",
        "[ENGLISH]\r\nOmittedName=ENG\r\nLangID=0x0000000000411\r\n",  // 15 characters
        "[ENGLISH]\r\nOmittedName=ENG\r\nLangID=0x0409\r\n[GERMAN]\r\nOmittedName=DE\r\n",
        "",
        "; only a comment\r\n",
    };
    for (const char *text : cases) {
        testing_machine::MachineFolder machine;
        machine.SetIni("Drives", "D", "drive_d");
        WriteHostFile(machine.HostPath("drive_d/Pkg/LANGSDEF.INI"), text);
        machine.Use();
        CLangsDef langsDef(kProgram);
        EXPECT_EQ(langsDef.GetStatus(), CLangsDef::kInvalid) << text;
        EXPECT_EQ(langsDef.Table(), nullptr) << text;
    }
}

TEST_F(LangsDefTest, AFileWithOnlyPreconditionGivesAnEmptyTable) {
    CLangsDef::Status status;
    EXPECT_TRUE(TableFor("[Precondition]\r\nOS=NT\r\n", &status).empty());
    EXPECT_EQ(status, CLangsDef::kRead);
}

}  // namespace
