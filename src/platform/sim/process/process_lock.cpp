#include "platform/sim/process/process_lock.h"

#include <fcntl.h>

#include <cerrno>

namespace sim {
namespace {

struct flock WholeFile(short type) {
    struct flock lock = {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0;
    return lock;
}

}  // namespace

bool TryLockForProcess(int fd, bool exclusive) {
    struct flock lock = WholeFile(exclusive ? F_WRLCK : F_RDLCK);
    int result;
    while ((result = fcntl(fd, F_SETLK, &lock)) != 0 && errno == EINTR) {
    }
    return result == 0;
}

bool LockedByAnotherProcess(int fd) {
    struct flock lock = WholeFile(F_WRLCK);
    return fcntl(fd, F_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
}

}  // namespace sim
