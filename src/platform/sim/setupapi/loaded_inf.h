// One INF file as an open INF handle holds it: the parsed file, where it
// came from, its style, its string substitution, and key lookups that see
// keys the way the API hands them out (after substitution).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/setupapi/engine_settings.h"
#include "platform/sim/setupapi/inf_file.h"
#include "platform/sim/setupapi/inf_strings.h"

namespace sim::setupapi {

class LoadedInf {
public:
    LoadedInf(std::unique_ptr<InfFile> file, std::string fullPath, win::DWORD style,
              std::shared_ptr<const EngineSettings> settings);

    const InfFile &File() const { return *m_file; }
    const std::string &FullPath() const { return m_fullPath; }
    win::DWORD Style() const { return m_style; }  // INF_STYLE_WIN4 or INF_STYLE_OLDNT

    // `raw` (a field's text) with its tokens replaced; the view lives as
    // long as `buffer` and this file.
    std::string_view Substitute(std::string_view raw, SubstitutedText *buffer) const {
        return buffer->Of(raw, m_strings, m_file->CodePage());
    }

    // Text of this file as the A functions hand it out: in a Unicode file
    // a character the code page lacks becomes its best fit, or "?". The
    // view lives as long as `buffer` and this file.
    std::string_view Presented(std::string_view text, std::string *buffer) const {
        if (!m_file->CodePage().HasWideCharTags() || !HasTagLead(text)) return text;
        *buffer = m_settings->wideChars->Presented(text);
        return *buffer;
    }
    // A name given to an A function (section, key) as this file's text
    // would hold it.
    std::string_view NameOf(std::string_view ansi, std::string *buffer) const {
        if (!m_file->CodePage().HasWideCharTags() || !HasTagLead(ansi)) return ansi;
        *buffer = m_settings->wideChars->NameOf(ansi);
        return *buffer;
    }

    // The first line of `section`, from line `from` on, whose key after
    // substitution is `key` (without regard to case).
    bool FindKey(std::uint32_t section, std::string_view key, std::uint32_t from, std::uint32_t *line) const;

private:
    // The substituted keys of one large section by hash: the first line of
    // each hash, and for every line the next line with the same hash.
    struct KeyIndex {
        std::vector<std::uint32_t> slots;
        std::vector<std::uint32_t> lineHashes;
        std::vector<std::uint32_t> nextWithHash;
    };

    bool KeyMatches(const InfSection &section, std::uint32_t line, std::string_view key) const;
    const KeyIndex &IndexOf(std::uint32_t section) const;

    std::shared_ptr<const EngineSettings> m_settings;
    std::unique_ptr<InfFile> m_file;
    std::string m_fullPath;
    win::DWORD m_style;
    StringTable m_strings;
    mutable std::mutex m_indexLock;
    mutable std::map<std::uint32_t, std::unique_ptr<const KeyIndex>> m_keyIndexes;
};

}  // namespace sim::setupapi
