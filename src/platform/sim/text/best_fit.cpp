#include "platform/sim/text/best_fit.h"

#include <algorithm>

namespace sim {

bool AppendBestFit(char32_t c, win::UINT codePage, std::string *out) {
    if (c > 0xFFFF) return false;
    const BestFitTable *table = std::find_if(kBestFitTables, kBestFitTables + kBestFitTableCount,
                                             [codePage](const BestFitTable &t) { return t.codePage == codePage; });
    if (table == kBestFitTables + kBestFitTableCount) return false;
    const BestFitEntry *end = table->entries + table->count;
    const BestFitEntry *entry = std::lower_bound(table->entries, end, c,
                                                 [](const BestFitEntry &e, char32_t unit) { return e.unit < unit; });
    if (entry == end || entry->unit != c) return false;
    if (entry->bytes > 0xFF) out->push_back(static_cast<char>(entry->bytes >> 8));
    out->push_back(static_cast<char>(entry->bytes & 0xFF));
    return true;
}

void AppendBestFitOrDefault(char32_t c, win::UINT codePage, std::string *out) {
    if (AppendBestFit(c, codePage, out)) return;
    out->append(c > 0xFFFF ? "??" : "?");
}

}  // namespace sim
