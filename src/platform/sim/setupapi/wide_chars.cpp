#include "platform/sim/setupapi/wide_chars.h"

#include <algorithm>

#include "platform/sim/text/best_fit.h"
#include "platform/sim/text/codepage.h"

namespace sim::setupapi {
namespace {

constexpr unsigned kFirstTrail = 0x40;
constexpr unsigned kTrailsPerLead = 0x100 - kFirstTrail;

const std::vector<unsigned char> &TagLeads() {
    static const std::vector<unsigned char> leads = [] {
        std::vector<unsigned char> all;
        for (int c = 0; c < 0x80; ++c)
            if (IsTagLead(static_cast<unsigned char>(c))) all.push_back(static_cast<unsigned char>(c));
        return all;
    }();
    return leads;
}

}  // namespace

bool HasTagLead(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return IsTagLead(static_cast<unsigned char>(c)); });
}

void WideCharTags::AppendTag(char32_t c, std::string *out) {
    std::lock_guard<std::mutex> guard(m_lock);
    auto found = m_numbers.find(c);
    if (found == m_numbers.end()) {
        // A full table leaves further characters as "?": they can no
        // longer be told apart.
        if (m_chars.size() == TagLeads().size() * kTrailsPerLead) {
            out->push_back('?');
            return;
        }
        found = m_numbers.emplace(c, static_cast<std::uint16_t>(m_chars.size())).first;
        m_chars.push_back(c);
    }
    out->push_back(static_cast<char>(TagLeads()[found->second / kTrailsPerLead]));
    out->push_back(static_cast<char>(kFirstTrail + found->second % kTrailsPerLead));
}

std::string WideCharTags::Tagged(const std::u32string &text) {
    std::string out;
    out.reserve(text.size());
    std::string bestFit;
    for (char32_t c : text) {
        if (c < 0x80) {
            if (IsTagLead(static_cast<unsigned char>(c))) AppendTag(c, &out);
            else out.push_back(static_cast<char>(c));
            continue;
        }
        if (AppendAnsiChar(c, m_codePage, &out)) continue;
        // A space the code page writes as " " is a blank to the parser,
        // as it is to Windows' (em space, ideographic space ...).
        bestFit.clear();
        if (AppendBestFit(c, m_codePage, &bestFit) && bestFit == " ") out.push_back(' ');
        else AppendTag(c, &out);
    }
    return out;
}

std::string WideCharTags::NameOf(std::string_view ansi) {
    std::string out;
    out.reserve(ansi.size());
    for (char c : ansi) {
        if (IsTagLead(static_cast<unsigned char>(c))) AppendTag(static_cast<unsigned char>(c), &out);
        else out.push_back(c);
    }
    return out;
}

std::string WideCharTags::Presented(std::string_view text) const {
    std::string out;
    out.reserve(text.size());
    std::lock_guard<std::mutex> guard(m_lock);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (!IsTagLead(c) || i + 1 == text.size()) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        const std::size_t lead = static_cast<std::size_t>(
            std::find(TagLeads().begin(), TagLeads().end(), c) - TagLeads().begin());
        const std::size_t number = lead * kTrailsPerLead + static_cast<unsigned char>(text[++i]) - kFirstTrail;
        const char32_t wide = number < m_chars.size() ? m_chars[number] : U'?';
        if (wide < 0x80) out.push_back(static_cast<char>(wide));
        else AppendBestFitOrDefault(wide, m_codePage, &out);
    }
    return out;
}

}  // namespace sim::setupapi
