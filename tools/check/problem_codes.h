// The kinds of problem the check reports: a stable code for each, which CI
// jobs and vendors' scripts may match on, its severity and what it means.
// The README lists the same table.
#pragma once

#include <string>
#include <vector>

#include "report.h"

namespace check {

struct ProblemKind {
    const char *code;
    Severity severity;
    const char *meaning;
};

const std::vector<ProblemKind> &ProblemKinds();

// The severity of a code of the table; an unknown code is an error.
Severity SeverityOf(const std::string &code);
const char *SeverityName(Severity severity);

}  // namespace check
