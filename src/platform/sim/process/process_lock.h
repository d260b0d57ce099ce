// Locks that belong to this process, not to an open file: POSIX record
// locks (fcntl). A child made by fork() does not hold them, so they go
// the instant the process that took them ends, however it ends, even while
// a child it was starting is still on its way to exec. (A flock() would
// live on in such a child, which holds a copy of every descriptor.)
//
// Closing any descriptor of a file drops this process's locks on it: keep
// one descriptor per locked file, and never open a file this process has
// locked. A process never conflicts with its own locks.
#pragma once

namespace sim {

// Takes a shared or an exclusive lock on the whole file without waiting;
// false when another process holds one that conflicts.
bool TryLockForProcess(int fd, bool exclusive);

// True when another process holds any lock on the file.
bool LockedByAnotherProcess(int fd);

}  // namespace sim
