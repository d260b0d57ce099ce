#include "inf/model_name_index.h"

#include <algorithm>

#include "inf/inf_paths.h"

namespace {

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

void CModelNames::Add(const CString &name) {
    m_text.append(name.c_str()).push_back('\0');
    ++m_count;
}

std::uint64_t ModelNameHash(std::string_view name) {
    // FNV-1a over the upper-cased bytes.
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : name) {
        hash ^= static_cast<unsigned char>(UpperAscii(c));
        hash *= 1099511628211ull;
    }
    return hash;
}

CModelNameIndex::CModelNameIndex(const CModelNames &names) {
    m_entries.reserve(names.Count());
    names.ForEach([this](std::string_view name) { m_entries.emplace_back(ModelNameHash(name), name); });
    std::sort(m_entries.begin(), m_entries.end(),
              [](const auto &a, const auto &b) { return a.first < b.first; });
}

bool CModelNameIndex::Holds(std::string_view name) const {
    const std::uint64_t hash = ModelNameHash(name);
    auto it = std::lower_bound(m_entries.begin(), m_entries.end(), hash,
                               [](const auto &entry, std::uint64_t wanted) { return entry.first < wanted; });
    for (; it != m_entries.end() && it->first == hash; ++it)
        if (SameTextNoCase(it->second, name)) return true;
    return false;
}
