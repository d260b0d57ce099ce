// The report for a terminal or a log: the matrix as a table, families as
// rows and languages as columns, then the problems one line each.
#pragma once

#include <cstddef>
#include <cstdio>

#include "report.h"

namespace check {

// `terminalWidth` 0: no width to keep within.
void PrintText(const Report &report, bool colour, std::size_t terminalWidth, std::FILE *out);

}  // namespace check
