// Files of the Windows build's bin folder, found beside the running test.
#pragma once

#include <string>

std::string BesideThisProgram(const char *name);
