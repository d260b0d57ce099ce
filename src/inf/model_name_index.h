// Model names as the OEM INF step holds and compares them, among hundreds
// of thousands at once (a driver CD's INF may list that many): held one
// after another in one text, and compared with ASCII letter case ignored
// through a hash of each, only names of the same hash letter by letter.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "framework/afx.h"

// Names each ended by a NUL in one text: a byte more than the names
// themselves, where a list of strings takes twice as much and more.
class CModelNames {
public:
    void Add(const CString &name);
    std::size_t Count() const { return m_count; }

    // Whether `test` holds for every name, in the order they were added;
    // the first for which it does not ends the walk.
    template <class Test>
    bool All(Test test) const {
        for (std::size_t at = 0; at < m_text.size();) {
            const std::size_t end = m_text.find('\0', at);
            if (!test(std::string_view(m_text).substr(at, end - at))) return false;
            at = end + 1;
        }
        return true;
    }
    template <class Visit>
    void ForEach(Visit visit) const {
        All([&visit](std::string_view name) {
            visit(name);
            return true;
        });
    }

private:
    std::string m_text;
    std::size_t m_count = 0;
};

// A hash of `name` that ignores ASCII letter case.
std::uint64_t ModelNameHash(std::string_view name);

class CModelNameIndex {
public:
    // `names` must stay as they are while the index is used.
    explicit CModelNameIndex(const CModelNames &names);

    // Whether `name` is one of the names, letter case ignored.
    bool Holds(std::string_view name) const;

private:
    std::vector<std::pair<std::uint64_t, std::string_view>> m_entries;  // sorted by hash
};
