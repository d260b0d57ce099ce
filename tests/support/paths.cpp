#include "support/paths.h"

namespace testing_paths {

std::string BinDir() { return MIRTEL_BIN_DIR; }
std::string SourceDir() { return MIRTEL_SOURCE_DIR; }
std::string SharedDir() { return MIRTEL_SHARED_DIR; }

}  // namespace testing_paths
