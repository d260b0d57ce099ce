// registry.reg's REGEDIT4 text: exact types and bytes survive a round
// trip, the text form is the one regedit writes, and regedit's own files
// (continued hex lines, CRLF, blank lines) read back.
#include <gtest/gtest.h>

#include <string>

#include "platform/registry.h"
#include "platform/sim/registry/registry_store.h"

namespace {

using sim::RegTree;

std::string Bytes(std::initializer_list<int> bytes) {
    std::string text;
    for (int b : bytes) text.push_back(static_cast<char>(b));
    return text;
}

struct ValueCase {
    const char *what;
    std::string name;
    win::DWORD type;
    std::string data;
    std::string line;  // how registry.reg writes it
};

const ValueCase kValueCases[] = {
    {"plain string", "Text", win::REG_SZ, std::string("hello\0", 6), "\"Text\"=\"hello\""},
    {"string with quotes and backslashes", "Path", win::REG_SZ,
     std::string("C:\\a \"b\"\0", 9), "\"Path\"=\"C:\\\\a \\\"b\\\"\""},
    {"empty string", "Empty", win::REG_SZ, std::string("\0", 1), "\"Empty\"=\"\""},
    {"string without its zero", "Cut", win::REG_SZ, "ab", "\"Cut\"=hex(1):61,62"},
    {"string with two zeros", "Two", win::REG_SZ, std::string("a\0\0", 3), "\"Two\"=hex(1):61,00,00"},
    {"no bytes at all", "Nothing", win::REG_SZ, "", "\"Nothing\"=hex(1):"},
    {"dword", "Level", win::REG_DWORD, Bytes({0x2a, 0, 0, 0x80}), "\"Level\"=dword:8000002a"},
    {"short dword", "Short", win::REG_DWORD, Bytes({1, 2}), "\"Short\"=hex(4):01,02"},
    {"expand string", "DevicePath", win::REG_EXPAND_SZ, std::string("%SystemRoot%\\inf\0", 17),
     "\"DevicePath\"=hex(2):25,53,79,73,74,65,6d,52,6f,6f,74,25,5c,69,6e,66,00"},
    {"multi string", "Suite", win::REG_MULTI_SZ, std::string("a\0bc\0\0", 6),
     "\"Suite\"=hex(7):61,00,62,63,00,00"},
    {"binary", "Blob", win::REG_BINARY, Bytes({0, 0xff, 0x10}), "\"Blob\"=hex:00,ff,10"},
    {"empty binary", "None", win::REG_BINARY, "", "\"None\"=hex:"},
    {"type none", "Zero", win::REG_NONE, Bytes({7}), "\"Zero\"=hex(0):07"},
    {"type above 9", "Qword", 11, Bytes({1, 0, 0, 0, 0, 0, 0, 0}), "\"Qword\"=hex(b):01,00,00,00,00,00,00,00"},
    {"default value", "", win::REG_SZ, std::string("dflt\0", 5), "@=\"dflt\""},
    {"name with quotes and backslash", "a\"b\\c", win::REG_DWORD, Bytes({1, 0, 0, 0}),
     "\"a\\\"b\\\\c\"=dword:00000001"},
    {"name with equals sign and brackets", "x=[y]", win::REG_SZ, std::string("v\0", 2), "\"x=[y]\"=\"v\""},
    {"string with a line break", "Lines", win::REG_SZ, std::string("a\nb\0", 4), "\"Lines\"=\"a\nb\""},
    {"high bytes", "Ansi", win::REG_SZ, std::string("caf\xe9\0", 5), "\"Ansi\"=\"caf\xe9\""},
};

TEST(RegistryText, EveryValueKindRoundTripsWithExactBytes) {
    for (const ValueCase &c : kValueCases) {
        RegTree tree;
        bool created = false;
        tree.localMachine.CreateSubkey("Key", &created).SetValue(c.name, c.type, c.data);
        const std::string text = sim::FormatRegedit4(tree);
        EXPECT_NE(text.find("\n" + c.line + "\n"), std::string::npos) << c.what << "\n" << text;

        RegTree back;
        sim::RegParseError error;
        ASSERT_TRUE(sim::ParseRegedit4(text, &back, &error)) << c.what << ": line " << error.line << " "
                                                             << error.message;
        const sim::RegKey *key = back.Find(sim::RegRoot::LocalMachine, "Key");
        ASSERT_NE(key, nullptr) << c.what;
        const sim::RegValue *value = key->Value(c.name);
        ASSERT_NE(value, nullptr) << c.what;
        EXPECT_EQ(value->name, c.name) << c.what;
        EXPECT_EQ(value->type, c.type) << c.what;
        EXPECT_EQ(value->data, c.data) << c.what;
    }
}

TEST(RegistryText, LongHexWrapsAndReadsBack) {
    RegTree tree;
    bool created = false;
    std::string data;
    for (int i = 0; i < 300; ++i) data.push_back(static_cast<char>(i));
    tree.currentUser.CreateSubkey("K", &created).SetValue("Long", win::REG_BINARY, data);
    const std::string text = sim::FormatRegedit4(tree);
    std::size_t start = 0;
    int lines = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        EXPECT_LE(end - start, 80u) << "line too long: " << text.substr(start, end - start);
        start = end + 1;
        ++lines;
    }
    EXPECT_GT(lines, 10);
    RegTree back;
    sim::RegParseError error;
    ASSERT_TRUE(sim::ParseRegedit4(text, &back, &error)) << error.message;
    EXPECT_EQ(back.Find(sim::RegRoot::CurrentUser, "K")->Value("Long")->data, data);
}

TEST(RegistryText, KeysAreWrittenSortedWithTheirOwnCaseAndIntermediateKeys) {
    RegTree tree;
    bool created = false;
    sim::RegKey &software = tree.localMachine.CreateSubkey("SOFTWARE", &created);
    software.CreateSubkey("beta", &created).CreateSubkey("Inner", &created);
    software.CreateSubkey("Alpha", &created);
    tree.currentUser.CreateSubkey("Software", &created);
    EXPECT_EQ(sim::FormatRegedit4(tree),
              "REGEDIT4\n\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE]\n\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Alpha]\n\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\beta]\n\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\beta\\Inner]\n\n"
              "[HKEY_CURRENT_USER\\Software]\n\n");
}

TEST(RegistryText, ReadsWhatRegeditWrites) {
    const std::string file =
        "REGEDIT4\r\n"
        "\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion]\r\n"
        "\"DevicePath\"=hex(2):25,53,79,73,74,65,6d,52,6f,6f,74,25,5c,69,6e,66,00\r\n"
        "\"ProgramFilesDir\"=\"C:\\\\Program Files\"\r\n"
        "@=\"\"\r\n"
        "\"Big\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\r\n"
        "  16,17,18\r\n"
        "\"Flags\"=dword:0000000A\r\n"
        "\r\n"
        "[HKEY_CURRENT_USER\\InstallLocationsMRU]\r\n"
        "\"MRUList\"=\"ba\"\r\n";
    RegTree tree;
    sim::RegParseError error;
    ASSERT_TRUE(sim::ParseRegedit4(file, &tree, &error)) << error.line << ": " << error.message;
    const sim::RegKey *key =
        tree.Find(sim::RegRoot::LocalMachine, "software\\MICROSOFT\\windows\\currentversion");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->Name(), "CurrentVersion");
    EXPECT_EQ(key->Value("devicepath")->type, win::REG_EXPAND_SZ);
    EXPECT_EQ(key->Value("ProgramFilesDir")->data, std::string("C:\\Program Files\0", 17));
    EXPECT_EQ(key->Value("")->data, std::string("\0", 1));
    EXPECT_EQ(key->Value("Big")->data.size(), 25u);
    EXPECT_EQ(key->Value("Big")->data[24], '\x18');
    EXPECT_EQ(key->Value("Flags")->data, Bytes({10, 0, 0, 0}));
    EXPECT_EQ(tree.Find(sim::RegRoot::CurrentUser, "InstallLocationsMRU")->Value("MRUList")->data,
              std::string("ba\0", 3));
}

TEST(RegistryText, UnreadableFilesNameTheLine) {
    const struct {
        const char *text;
        int line;
    } cases[] = {
        {"", 1},
        {"Windows Registry Editor Version 5.00\n", 1},
        {"REGEDIT4\n\n\"x\"=\"before any key\"\n", 3},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=dword:123456789\n", 3},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=hex:1g\n", 3},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=hex:01,\\\n  02 03\n", 4},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"unterminated=\"x\n", 3},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=\"y\" z\n", 3},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=str:y\n", 3},
        {"REGEDIT4\n[HKEY_CLASSES_ROOT\\A]\n", 2},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A\n", 2},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\nstray text\n", 3},
        // Cut inside the last hex line: after a comma, after a "\", or
        // inside a byte.
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=hex:01,02,", 3},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=hex(2):01,02,\\\n", 4},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=hex(7):01,\\\n  02,\\", 4},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=hex:01,0", 3},
    };
    for (const auto &c : cases) {
        RegTree tree;
        sim::RegParseError error;
        EXPECT_FALSE(sim::ParseRegedit4(c.text, &tree, &error)) << c.text;
        EXPECT_EQ(error.line, c.line) << c.text;
        EXPECT_FALSE(error.message.empty());
    }
}

TEST(RegistryText, NamesCompareWithoutCaseAndKeepTheirFirstCase) {
    RegTree tree;
    bool created = false;
    sim::RegKey &key = tree.localMachine.CreateSubkey("MixedCase", &created);
    EXPECT_TRUE(created);
    tree.localMachine.CreateSubkey("MIXEDCASE", &created);
    EXPECT_FALSE(created);
    key.SetValue("Value", win::REG_SZ, std::string("1\0", 2));
    key.SetValue("VALUE", win::REG_SZ, std::string("2\0", 2));
    ASSERT_EQ(key.Values().size(), 1u);
    EXPECT_EQ(key.Values()[0].name, "Value");
    EXPECT_EQ(key.Values()[0].data, std::string("2\0", 2));
    EXPECT_TRUE(key.DeleteValue("vAlUe"));
    EXPECT_FALSE(key.DeleteValue("value"));
    EXPECT_EQ(tree.Find(sim::RegRoot::LocalMachine, "mixedcase")->Name(), "MixedCase");
}

}  // namespace
