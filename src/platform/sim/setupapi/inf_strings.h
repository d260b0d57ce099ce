// %token% substitution as the setup API does it when it hands out a key or
// a value: tokens come from the file's strings section, else from the
// machine's directory ids (%10%, %11% ...); "%%" is "%"; an unknown token
// stays as written; replacements are not scanned again; the result is cut
// to 4097 characters.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/sim/setupapi/inf_file.h"
#include "platform/types.h"

namespace sim::setupapi {

// The folders the machine's directory ids stand for (10 the Windows
// folder, 11 the system folder, 12 its drivers, 17 the INF folder, 24 the
// system drive's root ...), except 1, the INF file's own folder. 0 and -1
// (0xFFFF) stand for the empty text; any other id below 16384 that the
// machine does not define for the system folder followed by "\unknown".
// Shell-folder, user-assigned, printer and other ids stand for nothing,
// and so does 53 on a machine without a user profile.
class DirectoryIds {
public:
    // `userProfile` may be empty: then 53 stands for nothing.
    DirectoryIds(const std::string &windows, const std::string &system, const std::string &userProfile);

    bool Folder(long id, std::string_view *folder) const;

private:
    std::vector<std::pair<long, std::string>> m_folders;
    std::string m_unknown;  // empty on a machine without a system folder
};

// Which strings section a file's tokens come from: [Strings], or on
// Windows XP and later the section of the system language when the file
// has one ([Strings.0407], else [Strings.0007], else [Strings]).
struct StringsChoice {
    bool preferLanguage = false;
    win::LANGID language = 0;
};

// The section of `file` that `choice` picks, or InfFile::kNoSection.
int ChooseStringsSection(const InfFile &file, const StringsChoice &choice);

// What one file's tokens are replaced with.
class StringTable {
public:
    // `infFolder` is the folder of the file itself (%1%).
    StringTable(const InfFile &file, int stringsSection, const DirectoryIds &directories,
                std::string infFolder);

    // The text between the two "%" of a token, replaced; false when the
    // token is neither a string key nor a directory id. A directory ending
    // in "\" loses it when `backslashFollows`.
    bool Lookup(std::string_view token, bool backslashFollows, std::string_view *replacement) const;

private:
    void BuildIndex() const;
    bool LookupString(std::string_view token, std::string_view *value) const;
    bool LookupDirectory(std::string_view token, std::string_view *directory) const;

    const InfFile &m_file;
    int m_section;
    const DirectoryIds &m_directories;
    std::string m_infFolder;
    // Key hash -> line of the strings section (first of repeated keys),
    // built on the first lookup.
    mutable std::once_flag m_indexBuilt;
    mutable std::vector<std::uint32_t> m_slots;
    mutable std::vector<std::uint8_t> m_tags;  // beside each slot, 8 bits of its key's hash
};

// A substituted text: a view of the raw text when it has no "%", else of
// the buffer it was written to.
class SubstitutedText {
public:
    static constexpr std::size_t kMaxChars = 4097;

    std::string_view Of(std::string_view raw, const StringTable &strings, const CodePageText &codePage);

private:
    void Append(std::string_view text, const CodePageText &codePage);

    std::size_t m_length = 0;
    std::size_t m_chars = 0;
    char m_buffer[2 * kMaxChars];
};

}  // namespace sim::setupapi
