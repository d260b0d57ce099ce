// The Windows families the check runs the installer on, with the version
// numbers a machine of each family reports.
#pragma once

#include <string>
#include <vector>

namespace check {

struct Family {
    std::string id;    // "95", "98", "nt4", "xp", "7"
    std::string name;  // "Windows 95", ...
    int platformId;
    int majorVersion;
    int minorVersion;
    int buildNumber;
    unsigned osCode;  // what the installer makes of these numbers
    std::string systemDirectory;
};

const std::vector<Family> &Families();

}  // namespace check
