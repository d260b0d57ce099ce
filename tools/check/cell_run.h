// One run of the installer: this build's setup program in a copy of the
// package, on a throw-away machine of one family whose system speaks one
// language, started as a parent installer would start it; then what the
// transcript and the machine's INF store tell.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "report.h"

namespace check {

struct CellJob {
    const Family *family = nullptr;
    const Language *language = nullptr;
    // Host folder of the package the program runs in, which no other run
    // uses at the same time: a program file of its own keeps its
    // single-copy counter apart from the other runs'.
    std::string package;
    std::string driverFolder;  // within the package
    // The package's INF files, to know their copies in the INF store.
    const std::vector<InfFile> *infs = nullptr;
    // Added to the program's nice value: runs beside a long chain of runs
    // leave it the processor.
    int niceness = 0;
};

// A run the check is cancelled in comes back with a run error. The boxes
// come back with their texts only; their keys and the providers
// of the stored INF files are the caller's to name. `programEnded` is
// called when the program and all it started have ended, before what they
// left is read and removed (not at all when the program never started).
Cell RunCell(const CellJob &job, const std::function<void()> &programEnded);

}  // namespace check
