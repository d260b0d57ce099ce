// The example package's message files: every language has every message,
// in its own code page, as its UTF-8 source says.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "lang/message_keys.h"
#include "lang/resource_file.h"
#include "platform/sim/text/codepage.h"
#include "support/machine_fixture.h"
#include "support/paths.h"

namespace {

const std::pair<const char *, UINT> kLanguages[] = {
    {"ENG", 1252}, {"DEU", 1252}, {"FRA", 1252}, {"ESP", 1252},
    {"ITA", 1252}, {"JPN", 932},  {"SCH", 936},
};

// The Windows path of a host path: drive Z: is the host's root.
std::string OnDriveZ(const std::string &hostPath) {
    std::string path = "Z:" + hostPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

class MessageFilesTest : public ::testing::Test {
protected:
    MessageFilesTest() { m_machine.Use(); }
    testing_machine::MachineFolder m_machine;
};

TEST_F(MessageFilesTest, EveryLanguageHasEveryMessageAsItsSourceSays) {
    const std::string source = testing_paths::SourceDir() + "/examples";
    for (const auto &language : kLanguages) {
        const std::string name = std::string("PSDI_") + language.first + ".IRC";
        CResourceFile encoded, utf8;
        ASSERT_TRUE(encoded.Load(OnDriveZ(source + "/package/RES/" + name).c_str())) << name;
        ASSERT_TRUE(utf8.Load(OnDriveZ(source + "/messages/" + name).c_str())) << name;
        for (const char *key : kMessageKeys) {
            CString text, expected;
            EXPECT_TRUE(encoded.GetString(key, text)) << name << " " << key;
            EXPECT_FALSE(text.empty()) << name << " " << key;
            utf8.GetString(key, expected);
            EXPECT_EQ(sim::AnsiToUtf8(text, language.second), expected) << name << " " << key;
        }
    }
}

TEST_F(MessageFilesTest, EveryPackageFileHasASource) {
    const std::string source = testing_paths::SourceDir() + "/examples";
    for (const auto &entry : std::filesystem::directory_iterator(source + "/package/RES"))
        EXPECT_TRUE(std::filesystem::exists(source + "/messages/" + entry.path().filename().string()))
            << entry.path();
}

}  // namespace
