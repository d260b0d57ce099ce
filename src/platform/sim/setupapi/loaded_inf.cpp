#include "platform/sim/setupapi/loaded_inf.h"

#include <utility>

namespace sim::setupapi {
namespace {

constexpr std::uint32_t kNone = 0xFFFFFFFF;
// Sections up to this many lines are searched line by line.
constexpr std::uint32_t kLinesSearchedInTurn = 16;

// The folder of a full path without its final "\" (a root keeps it), for
// %1%.
std::string FolderOf(const std::string &fullPath, const CodePageText &codePage) {
    std::size_t afterSeparator = 0;
    for (std::size_t i = 0; i < fullPath.size(); ++i) {
        if (fullPath[i] == '\\' || fullPath[i] == '/') afterSeparator = i + 1;
        else if (codePage.IsLead(static_cast<unsigned char>(fullPath[i]))) ++i;
    }
    if (afterSeparator == 0) return std::string();
    const bool root = afterSeparator == 3 && fullPath[1] == ':';
    return fullPath.substr(0, root ? afterSeparator : afterSeparator - 1);
}

}  // namespace

LoadedInf::LoadedInf(std::unique_ptr<InfFile> file, std::string fullPath, win::DWORD style,
                     std::shared_ptr<const EngineSettings> settings)
    : m_settings(std::move(settings)),
      m_file(std::move(file)),
      m_fullPath(std::move(fullPath)),
      m_style(style),
      m_strings(*m_file, ChooseStringsSection(*m_file, m_settings->strings), m_settings->directories,
                FolderOf(m_fullPath, m_file->CodePage())) {}

bool LoadedInf::KeyMatches(const InfSection &section, std::uint32_t line, std::string_view key) const {
    InfLineFields fields;
    m_file->ReadLine(section, line, &fields);
    if (!fields.HasKey()) return false;
    SubstitutedText buffer;
    return m_file->CodePage().Equal(Substitute(fields.Key(), &buffer), key);
}

bool LoadedInf::FindKey(std::uint32_t sectionIndex, std::string_view key, std::uint32_t from,
                        std::uint32_t *line) const {
    const InfSection &section = m_file->Section(sectionIndex);
    if (from >= section.lineCount) return false;
    if (section.lineCount <= kLinesSearchedInTurn) {
        for (std::uint32_t i = from; i < section.lineCount; ++i)
            if (KeyMatches(section, i, key)) {
                *line = i;
                return true;
            }
        return false;
    }
    const KeyIndex &index = IndexOf(sectionIndex);
    const std::uint32_t hash = m_file->CodePage().Hash(key);
    const std::size_t mask = index.slots.size() - 1;
    std::size_t slot = hash & mask;
    while (index.slots[slot] != kNone && index.lineHashes[index.slots[slot]] != hash) slot = (slot + 1) & mask;
    for (std::uint32_t i = index.slots[slot]; i != kNone; i = index.nextWithHash[i])
        if (i >= from && KeyMatches(section, i, key)) {
            *line = i;
            return true;
        }
    return false;
}

const LoadedInf::KeyIndex &LoadedInf::IndexOf(std::uint32_t sectionIndex) const {
    std::lock_guard<std::mutex> guard(m_indexLock);
    std::unique_ptr<const KeyIndex> &built = m_keyIndexes[sectionIndex];
    if (built) return *built;
    const InfSection &section = m_file->Section(sectionIndex);
    auto index = std::make_unique<KeyIndex>();
    std::size_t size = 16;
    while (size < 2 * section.lineCount) size *= 2;
    index->slots.assign(size, kNone);
    index->lineHashes.assign(section.lineCount, 0);
    index->nextWithHash.assign(section.lineCount, kNone);
    // From the last line back, so that every chain ends up in file order.
    InfLineFields fields;
    for (std::uint32_t i = section.lineCount; i-- > 0;) {
        m_file->ReadLine(section, i, &fields);
        if (!fields.HasKey()) continue;
        SubstitutedText buffer;
        const std::uint32_t hash = m_file->CodePage().Hash(Substitute(fields.Key(), &buffer));
        index->lineHashes[i] = hash;
        std::size_t slot = hash & (size - 1);
        while (index->slots[slot] != kNone && index->lineHashes[index->slots[slot]] != hash)
            slot = (slot + 1) & (size - 1);
        index->nextWithHash[i] = index->slots[slot];
        index->slots[slot] = i;
    }
    built = std::move(index);
    return *built;
}

}  // namespace sim::setupapi
