#include <gtest/gtest.h>

#include <optional>

#include "lang/resource_file.h"
#include "support/machine_fixture.h"
#include "unit/lang_test_files.h"

namespace {

constexpr const char *kPath = "C:\\Setup\\RES\\PSDI_ENG.IRC";

class ResourceFileTest : public ::testing::Test {
protected:
    void Write(const std::string &bytes) {
        WriteHostFile(m_machine.HostPath("drive_c/Setup/RES/PSDI_ENG.IRC"), bytes);
    }
    testing_machine::MachineFolder m_machine;
};

struct LineCase {
    const char *name;
    std::string file;
    const char *key;
    std::optional<std::string> value;  // none: the lookup fails
};

TEST_F(ResourceFileTest, LinesBecomeEntriesOfTheirSection) {
    const std::string longValue(249, 'x');  // fills the 255-character piece after "IDS_A="
    const LineCase cases[] = {
        {"plain entry", "[String]\r\nIDS_A=Hello\r\n", "IDS_A", "Hello"},
        {"no line end at the end", "[String]\r\nIDS_A=Hello", "IDS_A", "Hello"},
        {"blanks around =", "[String]\r\nIDS_ERR_CMDLINE   =  Invalid entry  \r\n",
         "IDS_ERR_CMDLINE", "Invalid entry  "},
        {"tabs around =", "[String]\r\nIDS_A\t=\tx\r\n", "IDS_A", "x"},
        {"blanks before the key", "[String]\r\n  IDS_A=x\r\n", "IDS_A", std::nullopt},
        {"blanks kept in the key", "[String]\r\n  IDS_A=x\r\n", "  IDS_A", "x"},
        {"section in lower case", "[string]\r\nIDS_A=x\r\n", "IDS_A", std::nullopt},
        {"before any section", "IDS_A=x\r\n[String]\r\n", "IDS_A", std::nullopt},
        {"another section", "[String]\r\n[Other]\r\nIDS_A=x\r\n", "IDS_A", std::nullopt},
        {"later entry wins", "[String]\r\nIDS_A=first\r\nIDS_A=second\r\n", "IDS_A", "second"},
        {"later section of the same name", "[String]\r\nIDS_A=first\r\n[Other]\r\n[String]\r\nIDS_A=again\r\n",
         "IDS_A", "again"},
        {"semicolon is no comment", "[String]\r\n;IDS_A=x\r\n", ";IDS_A", "x"},
        {"value taken as it stands", "[String]\r\nIDS_A=\"a\\nb\" ; c\r\n", "IDS_A", "\"a\\nb\" ; c"},
        {"second = belongs to the value", "[String]\r\nIDS_A==x=y\r\n", "IDS_A", "=x=y"},
        {"empty value", "[String]\r\nIDS_A=\r\n", "IDS_A", ""},
        {"line without = ignored", "[String]\r\nIDS_A\r\nIDS_B=b\r\n", "IDS_A", std::nullopt},
        // The name is the line less "[" and its last two characters, which
        // are normally "]" and the line end; nothing checks them.
        {"header without ]", "[String\r\nIDS_A=x\r\n", "IDS_A", std::nullopt},
        {"any two last characters", "[StringX\r\nIDS_A=x\r\n", "IDS_A", "x"},
        {"short header", "[\r\nIDS_A=x\r\n[String]\r\nIDS_B=y\r\n", "IDS_B", "y"},
        {"long line cut at 255", "[String]\r\nIDS_A=" + longValue + "yyyy\r\n", "IDS_A", longValue},
        {"rest of a long line is a line", "[String]\r\nIDS_A=" + longValue + "IDS_B=tail\r\n",
         "IDS_B", "tail"},
        {"value of 248 fits with its line end",
         "[String]\r\nIDS_A=" + std::string(248, 'z') + "\r\nIDS_B=b\r\n", "IDS_A",
         std::string(248, 'z')},
        {"double-byte text kept byte for byte", "[String]\r\nIDS_A=\x83\x5c\x95\x5c\r\n", "IDS_A",
         "\x83\x5c\x95\x5c"},
        {"lone CR stays in the value's end", "[String]\r\nIDS_A=x \r\r\n", "IDS_A", "x \r"},
    };
    for (const LineCase &c : cases) {
        Write(c.file);
        m_machine.Use();
        CResourceFile file;
        ASSERT_TRUE(file.Load(kPath)) << c.name;
        CString text = "stale";
        EXPECT_EQ(file.GetString(c.key, text), c.value.has_value()) << c.name;
        EXPECT_EQ(text, c.value.value_or("")) << c.name;
    }
}

TEST_F(ResourceFileTest, LoadStartsAfresh) {
    Write("[String]\r\nIDS_A=a\r\n");
    m_machine.Use();
    CResourceFile file;
    ASSERT_TRUE(file.Load(kPath));

    Write("[String]\r\nIDS_B=b\r\n");
    ASSERT_TRUE(file.Load(kPath));
    CString text;
    EXPECT_FALSE(file.GetString("IDS_A", text));
    EXPECT_TRUE(file.GetString("IDS_B", text));

    EXPECT_FALSE(file.Load("C:\\Setup\\RES\\PSDI_XXX.IRC"));
    EXPECT_FALSE(file.GetString("IDS_B", text));
    EXPECT_EQ(text, "");
}

}  // namespace
