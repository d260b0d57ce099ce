// The copies of the package the runs of the installer work in.
#pragma once

#include <string>

namespace check {

// Copies what the installer reads of `package` (its language table, message
// and notice files and INF files; driver files are left out) into `copy`,
// with this build's `setupProgram` as its program.
bool CopyPackage(const std::string &package, const std::string &copy, const std::string &setupProgram,
                 std::string *error);

// A copy of the copy `from` made of hard links (copies where a link cannot
// be made): the installer reads its package and never writes to it.
bool LinkPackage(const std::string &from, const std::string &to, std::string *error);

}  // namespace check
