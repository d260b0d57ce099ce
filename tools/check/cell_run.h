// One run of the installer: this build's setup program in a copy of the
// package, on a throw-away machine of one family whose system speaks one
// language, started as a parent installer would start it; then what the
// transcript and the machine's INF store tell.
#pragma once

#include <string>
#include <vector>

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
    // The package's INF files, to know their copies in the INF store.
    const std::vector<InfFile> *infs = nullptr;
};

// A run the check is cancelled in comes back with a run error. The boxes
// come back with their texts only; their keys and the providers
// of the stored INF files are the caller's to name.
Cell RunCell(const CellJob &job);

}  // namespace check
