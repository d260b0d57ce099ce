// The install matrix: one run of the installer per family and language,
// a few at a time.
#pragma once

#include <functional>
#include <map>
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
    const std::map<std::string, std::string> *packageInfs = nullptr;  // bytes -> path within the package
};

// The cells family-major, in the order of the families and languages;
// `progress` is told (done, total) from the running threads, one at a time.
std::vector<Cell> RunMatrix(const MatrixInput &input, const std::function<void(std::size_t, std::size_t)> &progress);

}  // namespace check
