// Where the tests find the program, its tools and the shared test data.
#pragma once

#include <string>

namespace testing_paths {

// Folder of the built programs (setup, the tools, the wizard stand-in).
std::string BinDir();
// The source tree, and the shared folder that may stand beside it (extra
// conformance cases; a clone of the repository alone does not have it).
std::string SourceDir();
std::string SharedDir();

}  // namespace testing_paths
