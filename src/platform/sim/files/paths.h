// Windows paths over the host file system of the simulated machine.
#pragma once

#include <string>

#include "platform/types.h"

namespace sim {

// The host path a Windows path names: drive letters through the machine's
// drive mapping, "\" and "/" as separators, relative paths against the
// process's current directory, each existing component matched without
// regard to case; components that do not exist keep the case given.
// Empty when the path names no drive the machine has.
std::string HostPath(const char *windowsPath);

// HostPath, and when there is none the error Windows gives for such a
// path: ERROR_PATH_NOT_FOUND (empty path, a drive the machine lacks),
// ERROR_BAD_NETPATH (a UNC path: the machine has no network),
// ERROR_INVALID_NAME (a character no file name may hold).
std::string HostPathOrError(const char *windowsPath, win::DWORD *error);

// The Windows path of a host path: the drive mapping with the longest
// matching host folder wins.
std::string WindowsPath(const std::string &hostPath);

// The absolute form GetFullPathNameA gives a Windows path: "\" separators,
// "." and ".." resolved, drive-relative and rooted paths completed from the
// current directory, a trailing period of an element and trailing periods
// and blanks of the last element removed. Empty for an empty path.
std::string FullWindowsPath(const char *windowsPath);

// The process's current directory, a full Windows path without a final
// "\" except for a root. It starts as the host's current directory.
std::string CurrentDirectory();
// Makes `windowsPath` (made full first) the current directory; the caller
// has checked that it names a folder.
void ChangeCurrentDirectory(const char *windowsPath);

// Position just past the last "\" or "/" of an ANSI path, skipping the
// trail bytes of double-byte characters; 0 when there is none.
std::size_t AfterLastSeparator(const std::string &ansiPath);

}  // namespace sim
