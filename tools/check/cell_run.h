// One run of the installer: this build's setup program in a copy of the
// package, on a throw-away machine of one family whose system speaks one
// language, started as a parent installer would start it; then what the
// transcript and the machine's INF store tell.
#pragma once

#include <map>
#include <string>

#include "report.h"

namespace check {

// Each run works in a copy of the package copy made of hard links: the
// installer reads its package and never writes to it, and a program file
// of its own keeps its single-copy counter apart from the other runs'.
struct CellJob {
    const Family *family = nullptr;
    const Language *language = nullptr;
    std::string package;       // host folder of the package copy
    std::string driverFolder;  // within the package
    // The bytes of each of the package's INF files -> its path within the package.
    const std::map<std::string, std::string> *packageInfs = nullptr;
};

// The boxes come back with their texts only; their keys and the providers
// of the stored INF files are the caller's to name.
Cell RunCell(const CellJob &job);

}  // namespace check
