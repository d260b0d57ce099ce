// The install matrix: one run of the installer per family and language,
// a few at a time.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "report.h"

namespace check {

struct MatrixInput {
    std::string package;  // host folder
    std::string driverFolder;
    std::string setupProgram;
    const std::vector<Family> *families = nullptr;
    const std::vector<Language> *languages = nullptr;
    const std::vector<InfFile> *infs = nullptr;
};

// The cells family-major, in the order of the families and languages;
// `progress` is told (done, total) from the running threads, one at a time.
// Once the check is cancelled no run begins; the cells not run are left
// with a run error.
std::vector<Cell> RunMatrix(const MatrixInput &input, const std::function<void(std::size_t, std::size_t)> &progress);

}  // namespace check
