// A large profile file read only as far as a section goes answers as the
// whole file does.
#include <string>
#include <vector>

#include "platform/sim/profile/profile_file.h"
#include "platform/sim/profile/profile_prefix.h"
#include "sim_files_fixture.h"

namespace {

using sim::ProfileFile;

class SimProfilePrefix : public FilesOnMachine {
protected:
    // The entries of the first section named `upper`, as "name=value" lines.
    static std::vector<std::string> EntriesOf(const ProfileFile &file, const std::string &upper) {
        std::vector<std::string> lines;
        const ProfileFile::Section *section = file.FindSection(upper);
        if (section == nullptr) return {"<no section>"};
        ProfileFile::Entries entries = file.EntriesOf(*section);
        for (sim::ProfileEntry entry; entries.Next(&entry);)
            lines.push_back(std::string(entry.name) + "=" + std::string(entry.value));
        return lines;
    }
};

TEST_F(SimProfilePrefix, SectionsReadAsInTheWholeFile) {
    // [Version] first and again later, a header across the end of the
    // first 64 KB read, [Strings] at the end of 2 MB.
    std::string text = "[Version]\r\nClass=Printer\r\n[Models]\r\n";
    text += ";" + std::string(64 * 1024 - 3 - text.size() - 3, 'x') + "\r\n";
    text += "[Edge]\r\nKey=straddles\r\n[More]\r\n";
    while (text.size() < 2 * 1024 * 1024) text += "\"Model\"=M.PPD\r\n";
    text += "[version]\r\nClass=Other\r\n[Strings]\r\nMfg=\"Talvo\"\r\n";
    WriteHostFile("large.inf", text);
    const ProfileFile whole(text, 1252);

    struct Case {
        const char *section;
        std::size_t mostBytesRead;
    };
    for (const Case &c : {Case{"VERSION", 64}, Case{"EDGE", 80 * 1024}, Case{"STRINGS", text.size()},
                          Case{"MISSING", text.size()}}) {
        std::string prefix;
        ASSERT_TRUE(sim::ReadProfilePrefix(Host("large.inf"), 1252, c.section, &prefix)) << c.section;
        EXPECT_LE(prefix.size(), c.mostBytesRead) << c.section;
        EXPECT_EQ(EntriesOf(ProfileFile(prefix, 1252), c.section), EntriesOf(whole, c.section)) << c.section;
    }
}

TEST_F(SimProfilePrefix, UnicodeFilesAreLeftToTheWholeRead) {
    WriteHostFile("unicode.inf", std::string("\xFF\xFE[\0V\0]\0", 8));
    std::string prefix;
    EXPECT_FALSE(sim::ReadProfilePrefix(Host("unicode.inf"), 1252, "V", &prefix));
}

}  // namespace
