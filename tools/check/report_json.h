// The report as one JSON document, the same facts as the text report (the
// schema is in the README).
#pragma once

#include <cstdio>

#include "report.h"

namespace check {

// Raised whenever a member changes meaning or goes; new members may come
// without it.
constexpr int kJsonSchemaVersion = 2;

void PrintJson(const Report &report, std::FILE *out);

}  // namespace check
