// The command line (mirtel-check --help tells it):
//   mirtel-check [--json] [--junit FILE] [--languages LIST] [--families LIST]
//                [--fail-on error|warning] [--driver-folder DIR] PACKAGE-FOLDER
#pragma once

#include <string>
#include <vector>

#include "report.h"

namespace check {

struct Options {
    bool json = false;
    std::string junitFile;               // empty: no JUnit report
    std::vector<std::string> languages;  // as given: codes, names or identifiers; empty: all
    std::vector<std::string> families;   // family ids, lower case; empty: all
    Severity failOn = Severity::kWarning;
    std::string driverFolder;            // within the package, "\"-separated, as UTF-8; empty: the package folder
    std::string package;                 // absolute host folder
};

enum class ParseResult { kRun, kDone, kUnusable };

// kDone after --help or --version (printed to standard output); kUnusable
// with the reason printed to standard error.
ParseResult ParseOptions(int argc, char **argv, Options *options);

}  // namespace check
