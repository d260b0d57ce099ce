// The command line: [--json] [--languages all|ENG,JPN,...]
// [--driver-folder DIR] PACKAGE-FOLDER
#pragma once

#include <string>
#include <vector>

namespace check {

struct Options {
    bool json = false;
    std::vector<std::string> languages;  // codes, upper case; empty: all
    std::string driverFolder;            // within the package, "\"-separated; empty: the package folder
    std::string package;                 // absolute host folder
};

constexpr const char *kUsage =
    "usage: mirtel-check [--json] [--languages all|ENG,JPN,...] [--driver-folder DIR] PACKAGE-FOLDER";

// False with the reason in `error` for a command line that cannot be used.
bool ParseOptions(int argc, char **argv, Options *options, std::string *error);

}  // namespace check
