// Settings of a machine folder's machine.ini, changed in place.
#pragma once

#include <string>
#include <vector>

namespace check {

struct IniValue {
    std::string section;
    std::string key;
    std::string value;
};

// Sets each Key=Value in its [Section] of the machine.ini at `path`,
// replacing the key where the section has it and adding key or section
// where it does not (names compared without regard to case).
bool SetIniValues(const std::string &path, const std::vector<IniValue> &values);

}  // namespace check
