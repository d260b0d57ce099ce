// Best fit: the character an ANSI code page writes for a character it
// lacks, as WideCharToMultiByte does unless told WC_NO_BEST_FIT_CHARS
// ("ĉ" is "c" in code page 1252, "Ω" is "O"). Characters without one
// become the default character "?".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/types.h"

namespace sim {

struct BestFitEntry {
    char16_t unit;
    std::uint16_t bytes;  // one byte, or a lead byte (high half) and its trail
};

struct BestFitTable {
    win::UINT codePage;
    const BestFitEntry *entries;  // by unit, ascending
    std::size_t count;
};

// The generated tables (best_fit_data.cpp).
extern const BestFitTable kBestFitTables[];
extern const std::size_t kBestFitTableCount;

// Appends the best fit of `c` in `codePage` to `out`; false when it has
// none (or the code page has no table).
bool AppendBestFit(char32_t c, win::UINT codePage, std::string *out);

// Appends the best fit of `c`, or the default character "?" for each of
// its UTF-16 units (a character beyond the Basic Multilingual Plane is two
// of them).
void AppendBestFitOrDefault(char32_t c, win::UINT codePage, std::string *out);

}  // namespace sim
