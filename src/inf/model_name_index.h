// Model names compared as the OEM INF step compares them, ASCII letter case
// ignored, among hundreds of thousands at once (a driver CD's INF may list
// that many): each name is held as a hash, and only names of the same hash
// are compared.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "framework/afx.h"

// A hash of `name` that ignores ASCII letter case.
std::uint64_t ModelNameHash(const CString &name);

class CModelNameIndex {
public:
    // `names` must stay as they are while the index is used.
    explicit CModelNameIndex(const CStringList &names);

    // Whether `name` is one of the names, letter case ignored.
    bool Holds(const CString &name) const;

private:
    std::vector<std::pair<std::uint64_t, const CString *>> m_entries;  // sorted by hash
};
