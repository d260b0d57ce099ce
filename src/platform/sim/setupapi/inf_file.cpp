#include "platform/sim/setupapi/inf_file.h"

#include <cstring>
#include <utility>

#include "platform/sim/setupapi/inf_parser.h"

namespace sim::setupapi {
namespace {

constexpr char kControlZ = '\x1a';
constexpr std::uint64_t kEmptySlot = 0;
constexpr std::size_t kFirstSlotCount = 64;

std::uint64_t Slot(std::uint32_t hash, std::uint32_t index) { return std::uint64_t{hash} << 32 | (index + 1); }
std::uint32_t HashOf(std::uint64_t slot) { return static_cast<std::uint32_t>(slot >> 32); }
std::uint32_t IndexOf(std::uint64_t slot) { return static_cast<std::uint32_t>(slot) - 1; }

}  // namespace

InfFile::InfFile(TextBuffer text, std::shared_ptr<const CodePageText> codePage)
    : m_text(std::move(text)), m_codePage(std::move(codePage)), m_sectionSlots(kFirstSlotCount, kEmptySlot) {
    const void *controlZ = std::memchr(m_text.Data(), kControlZ, m_text.Size());
    m_textEnd = static_cast<std::uint32_t>(controlZ != nullptr ? static_cast<const char *>(controlZ) - m_text.Data()
                                                               : m_text.Size());
    m_syntax.textHasNul = std::memchr(m_text.Data(), '\0', m_textEnd) != nullptr;
}

void InfFile::ReadLine(const InfSection &section, std::uint32_t index, InfLineFields *fields) const {
    const std::uint32_t entry = m_lines[section.firstLine + index];
    if ((entry & kKeptLine) == 0) {
        if ((entry & kPlainLine) != 0) ReadPlainLineFields(*this, entry & ~kPlainLine, fields);
        else ReadLineFields(*this, entry, fields);
        return;
    }
    const KeptLine &line = m_keptLines[entry & ~kKeptLine];
    fields->Clear();
    if (line.keyField != KeptLine::kNoKey) fields->AddKey(Text(m_keptFields[line.keyField]));
    for (std::uint32_t i = 0; i < line.fieldCount; ++i) fields->AddValue(Text(m_keptFields[line.firstField + i]));
}

int InfFile::FindSection(std::string_view name, std::uint32_t hash) const {
    const std::size_t mask = m_sectionSlots.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const std::uint64_t entry = m_sectionSlots[slot];
        if (entry == kEmptySlot) return kNoSection;
        if (HashOf(entry) == hash && m_codePage->Equal(Text(m_sections[IndexOf(entry)].name), name))
            return static_cast<int>(IndexOf(entry));
    }
}

std::uint32_t InfFile::AddSection(TextRef name, std::uint32_t hash) {
    const std::uint32_t index = static_cast<std::uint32_t>(m_sections.size());
    InfSection section;
    section.name = name;
    m_sections.push_back(section);
    if (2 * m_sections.size() > m_sectionSlots.size()) {
        std::vector<std::uint64_t> slots(2 * m_sectionSlots.size(), kEmptySlot);
        slots.swap(m_sectionSlots);
        for (std::uint64_t entry : slots)
            if (entry != kEmptySlot) Place(entry);
    }
    Place(Slot(hash, index));
    return index;
}

void InfFile::Place(std::uint64_t entry) {
    const std::size_t mask = m_sectionSlots.size() - 1;
    std::size_t slot = HashOf(entry) & mask;
    while (m_sectionSlots[slot] != kEmptySlot) slot = (slot + 1) & mask;
    m_sectionSlots[slot] = entry;
}

bool InfFile::RawValue(std::string_view sectionName, std::string_view key, std::string_view *value) const {
    const int index = FindSection(sectionName);
    if (index == kNoSection) return false;
    const InfSection &section = m_sections[index];
    InfLineFields fields;
    for (std::uint32_t i = 0; i < section.lineCount; ++i) {
        ReadLine(section, i, &fields);
        if (!fields.HasKey() || !m_codePage->Equal(fields.Key(), key)) continue;
        if (fields.ValueCount() == 0) return false;
        *value = fields.Value(0);
        return true;
    }
    return false;
}

}  // namespace sim::setupapi
