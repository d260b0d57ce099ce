// The installer's view of an INF: its provider, its models section and the
// model names, computed with the calls and rules of the installer's INF
// reader, for the "project" lines of the dump.
#pragma once

#include <string>
#include <vector>

#include "setup_api_calls.h"

namespace infdump {

struct InstallerModels {
    bool providerOk = false;
    std::string provider;
    bool sectionOk = false;
    std::string section;
    bool modelsOk = false;
    std::vector<std::string> models;
};

InstallerModels ReadInstallerModels(const SetupApiCalls &api, win::HINF inf);

// The "project provider/modelsection/models" lines.
void PrintInstallerModels(const InstallerModels &models);

}  // namespace infdump
