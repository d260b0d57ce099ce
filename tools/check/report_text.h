// The report for a terminal or a log: the matrix as a table, families as
// rows and languages as columns, then the problems one line each.
#pragma once

#include <cstdio>

#include "report.h"

namespace check {

void PrintText(const Report &report, bool colour, std::FILE *out);

}  // namespace check
