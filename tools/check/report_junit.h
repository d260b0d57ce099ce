// The report as JUnit XML, the test report CI servers show on their own:
// one test case per run of the installer (family x language) and one per
// file the check read; a problem at or above --fail-on fails its case, one
// below it is told in the case's output.
#pragma once

#include <string>

#include "report.h"

namespace check {

// False with the reason when `path` cannot be written.
bool WriteJunit(const Report &report, const std::string &path, std::string *error);

}  // namespace check
