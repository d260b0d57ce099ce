// Every INF file of the driver folder, read through the installer's own
// code: opened as the setup API opens it, [Version] as the driver-folder
// check reads it, the provider, the Windows 95 family's copy name, the
// model names and the layout file. A layout file the setup API does not
// find is told, not counted as a problem: the installer reads no line of it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "report.h"

namespace check {

// `package` the host folder, `driverFolder` within it as UTF-8 ("" for the
// package folder itself); `progress` is told (done, total) as files are read.
std::vector<InfFile> CheckInfFiles(const std::string &package, const std::string &driverFolder,
                                   std::vector<Problem> *problems,
                                   const std::function<void(std::size_t, std::size_t)> &progress);

// The installer gets the driver folder as +G: in the system's ANSI code
// page: a name that code page cannot write reaches it as another name.
void CheckDriverFolderName(const std::string &driverFolder, const std::vector<Language> &languages,
                           std::vector<Problem> *problems);

}  // namespace check
