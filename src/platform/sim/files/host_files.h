// What the simulated kernel32 file calls need to know about host files:
// Windows attributes, read-only state, files held open by others, and the
// errors Windows gives.
#pragma once

#include <sys/stat.h>

#include <string>

#include "platform/files.h"

namespace sim {

// Windows keeps HIDDEN, SYSTEM and ARCHIVE (and READONLY of a folder) in
// this extended attribute, as "0x…" text. Without it a file has ARCHIVE,
// as a freshly written file has on Windows. File systems without user
// extended attributes keep none of these.
extern const char kAttributesXattr[];

// FILE_ATTRIBUTE_* of an existing entry; `info` is its stat(). A file is
// READONLY exactly when its owner write bit is clear.
win::DWORD AttributesOf(const std::string &hostPath, const struct stat &info);

// Sets the attributes SetFileAttributesA may change. False with a Win32
// error in `error` when the host refuses.
bool ChangeAttributes(const std::string &hostPath, const struct stat &info, win::DWORD attributes,
                      win::DWORD *error);

// A file whose owner write bit is clear is read-only for everyone,
// including a host user (root) whom the host would let write.
bool IsReadOnlyFile(const struct stat &info);

// Takes the flock() through which the simulated machine shows that a file
// is open: shared for an open that lets others in, exclusive for one that
// does not (or that writes, deletes or replaces the file). The lock lasts
// while `fd` stays open. False when another open holds a lock that
// conflicts: Windows would answer ERROR_SHARING_VIOLATION.
bool LockForSharing(int fd, bool exclusive);

// The error Windows gives for a path that does not exist:
// ERROR_FILE_NOT_FOUND when its folder exists, else ERROR_PATH_NOT_FOUND.
win::DWORD MissingError(const std::string &hostPath);

win::FILETIME FileTimeOf(const struct timespec &time);

}  // namespace sim
