// Windows paths over the host file system of the simulated machine.
#pragma once

#include <string>

namespace sim {

// The host path a Windows path names: drive letters through the machine's
// drive mapping, "\" and "/" as separators, relative paths against the
// process's current directory, each existing component matched without
// regard to case; components that do not exist keep the case given.
// Empty when the path names no drive the machine has.
std::string HostPath(const char *windowsPath);

// The Windows path of a host path: the drive mapping with the longest
// matching host folder wins.
std::string WindowsPath(const std::string &hostPath);

}  // namespace sim
