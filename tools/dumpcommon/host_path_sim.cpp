// On the simulated machine a host path reaches Windows through the
// machine's drive mapping.
#include <filesystem>

#include "dumpcommon/host_path.h"
#include "platform/sim/files/paths.h"

namespace dumpcommon {

std::string WindowsPathOf(const std::string &argument) {
    if (argument.size() >= 2 && argument[1] == ':') return argument;
    return sim::WindowsPath(std::filesystem::absolute(argument).lexically_normal().string());
}

}  // namespace dumpcommon
