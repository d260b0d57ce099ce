#include "platform/sim/setupapi/inf_file.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/sim/setupapi/inf_parser.h"

namespace sim::setupapi {
namespace {

constexpr char kControlZ = '\x1a';
constexpr std::size_t kFewestSlots = 16;
constexpr std::size_t kNamesAhead = 16;

std::size_t SlotOf(std::uint32_t hash, std::size_t slots) {
    return static_cast<std::size_t>((std::uint64_t{hash} * slots) >> 32);  // the hash's share of the table
}
std::uint8_t TagOf(std::uint32_t hash) { return static_cast<std::uint8_t>(hash); }

}  // namespace

InfFile::InfFile(TextBuffer text, std::shared_ptr<const CodePageText> codePage)
    : m_text(std::move(text)), m_codePage(std::move(codePage)) {
    const void *controlZ = std::memchr(m_text.Data(), kControlZ, m_text.Size());
    m_textEnd = static_cast<std::uint32_t>(controlZ != nullptr ? static_cast<const char *>(controlZ) - m_text.Data()
                                                               : m_text.Size());
    m_syntax.textHasNul = std::memchr(m_text.Data(), '\0', m_textEnd) != nullptr;
}

std::string_view InfFile::SectionName(std::uint32_t index) const {
    const std::uint32_t offset = m_sectionNames[index];
    const char *name = offset < m_text.Size() ? m_text.Data() + offset : m_assembled.data() + (offset - m_text.Size());
    const char *end = offset < m_text.Size() ? m_text.Data() + m_textEnd : m_assembled.data() + m_assembled.size();
    // The first "]" that is no trail byte ends it, as it did in the header.
    if (!m_syntax.anyLeadBytes) {
        const void *bracket = std::memchr(name, ']', static_cast<std::size_t>(end - name));
        return std::string_view(name, static_cast<std::size_t>(static_cast<const char *>(bracket) - name));
    }
    const char *p = name;
    while (*p != ']') {
        const bool lead = m_codePage->IsLead(static_cast<unsigned char>(*p));
        p += lead && p + 1 < end && static_cast<unsigned char>(p[1]) >= 0x40 ? 2 : 1;
    }
    return std::string_view(name, static_cast<std::size_t>(p - name));
}

int InfFile::FindSection(std::string_view name, std::uint32_t hash) const {
    const std::size_t slots = m_sectionSlots.size();
    if (slots == 0) return kNoSection;
    for (std::size_t slot = SlotOf(hash, slots);; slot = slot + 1 < slots ? slot + 1 : 0) {
        const std::uint32_t entry = m_sectionSlots[slot];
        if (entry == 0) return kNoSection;
        if (m_sectionTags[slot] == TagOf(hash) && m_codePage->Equal(SectionName(entry - 1), name))
            return static_cast<int>(entry - 1);
    }
}

bool InfFile::IndexSections() {
    const std::size_t count = m_sectionNames.Size();
    const std::size_t slots = std::max(kFewestSlots, count + count / 3 + 1);
    m_sectionSlots.assign(slots, 0);
    m_sectionTags.assign(slots, 0);
    // A large table is out of the caches: the slots of the names a few
    // places ahead are asked for early, so that their reads overlap.
    std::uint32_t hashes[kNamesAhead];
    const auto hashAhead = [&](std::size_t index) {
        const std::uint32_t hash = m_codePage->Hash(SectionName(static_cast<std::uint32_t>(index)));
        __builtin_prefetch(&m_sectionSlots[SlotOf(hash, slots)]);
        __builtin_prefetch(&m_sectionTags[SlotOf(hash, slots)]);
        hashes[index % kNamesAhead] = hash;
    };
    for (std::size_t index = 0; index < std::min(count, kNamesAhead); ++index) hashAhead(index);
    bool unique = true;
    for (std::uint32_t index = 0; index < count; ++index) {
        const std::uint32_t hash = hashes[index % kNamesAhead];
        if (index + kNamesAhead < count) hashAhead(index + kNamesAhead);
        std::size_t slot = SlotOf(hash, slots);
        for (; m_sectionSlots[slot] != 0; slot = slot + 1 < slots ? slot + 1 : 0)
            if (m_sectionTags[slot] == TagOf(hash) &&
                m_codePage->Equal(SectionName(m_sectionSlots[slot] - 1), SectionName(index)))
                break;
        if (m_sectionSlots[slot] != 0) {
            unique = false;
            continue;
        }
        m_sectionSlots[slot] = index + 1;
        m_sectionTags[slot] = TagOf(hash);
    }
    return unique;
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

bool InfFile::RawValue(std::string_view sectionName, std::string_view key, std::string_view *value) const {
    const int index = FindSection(sectionName);
    if (index == kNoSection) return false;
    const InfSection section = Section(static_cast<std::uint32_t>(index));
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
