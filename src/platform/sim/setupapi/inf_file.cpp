#include "platform/sim/setupapi/inf_file.h"

#include <utility>

namespace sim::setupapi {
namespace {

constexpr std::uint32_t kEmptySlot = 0xFFFFFFFF;
constexpr std::size_t kFirstSlotCount = 64;

}  // namespace

InfFile::InfFile(std::string text, std::shared_ptr<const CodePageText> codePage)
    : m_text(std::move(text)), m_codePage(std::move(codePage)), m_sectionSlots(kFirstSlotCount, kEmptySlot) {}

int InfFile::FindSection(std::string_view name) const {
    const std::uint32_t hash = m_codePage->Hash(name);
    const std::size_t mask = m_sectionSlots.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const std::uint32_t index = m_sectionSlots[slot];
        if (index == kEmptySlot) return kNoSection;
        const InfSection &section = m_sections[index];
        if (section.nameHash == hash && m_codePage->Equal(Text(section.name), name))
            return static_cast<int>(index);
    }
}

std::uint32_t InfFile::AddSection(TextRef name, std::uint32_t hash) {
    const std::uint32_t index = static_cast<std::uint32_t>(m_sections.size());
    InfSection section;
    section.name = name;
    section.nameHash = hash;
    m_sections.push_back(section);
    if (2 * m_sections.size() > m_sectionSlots.size()) {
        m_sectionSlots.assign(2 * m_sectionSlots.size(), kEmptySlot);
        const std::size_t mask = m_sectionSlots.size() - 1;
        for (std::uint32_t i = 0; i < m_sections.size(); ++i) {
            std::size_t slot = m_sections[i].nameHash & mask;
            while (m_sectionSlots[slot] != kEmptySlot) slot = (slot + 1) & mask;
            m_sectionSlots[slot] = i;
        }
    } else {
        const std::size_t mask = m_sectionSlots.size() - 1;
        std::size_t slot = hash & mask;
        while (m_sectionSlots[slot] != kEmptySlot) slot = (slot + 1) & mask;
        m_sectionSlots[slot] = index;
    }
    return index;
}

bool InfFile::RawValue(std::string_view sectionName, std::string_view key, std::string_view *value) const {
    const int index = FindSection(sectionName);
    if (index == kNoSection) return false;
    const InfSection &section = m_sections[index];
    for (std::uint32_t i = 0; i < section.lineCount; ++i) {
        const InfLine &line = LineAt(section, i);
        if (line.keyField == InfLine::kNoKey || !m_codePage->Equal(FieldText(line.keyField), key)) continue;
        if (line.fieldCount == 0) return false;
        *value = FieldText(line.firstField);
        return true;
    }
    return false;
}

}  // namespace sim::setupapi
