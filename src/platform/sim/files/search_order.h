// Where Windows looks for a program or a library named without a folder,
// as far as the simulated machine models it: the program's own folder and
// the current folder come before the system's folders. Whatever lies in
// either of the first two is taken before the system's own file, which is
// how a file planted beside a program gets run.
#pragma once

#include <string>

namespace sim {

// The Windows path of the first regular file called `name` in the folders
// searched before the system's: the program's folder, then the current
// folder. Empty when neither holds one.
std::string FoundBeforeSystemFolders(const std::string &name);

// Whether a regular file (no folder, no device) is at `windowsPath`.
bool IsRegularFileAt(const std::string &windowsPath);

// Whether the Windows path `path` lies directly in the system folder or in
// the Windows folder (the system folder's parent), compared as Windows
// compares folders.
bool InSystemFolders(const std::string &path);

}  // namespace sim
