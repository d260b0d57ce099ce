// A throw-away simulated machine for the fuzz targets that need one: made
// from the built-in template in a new temporary folder, used by the process
// and removed when the process ends.
#pragma once

#include <string>

namespace fuzzing {

// Makes the machine (once) and answers its folder.
const std::string &UseFuzzMachine();

}  // namespace fuzzing
