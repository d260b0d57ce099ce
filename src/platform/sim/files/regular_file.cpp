#include "platform/sim/files/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

namespace sim {

UniqueFd OpenRegularFile(const std::string &hostPath, int flags, mode_t mode) {
    // Without O_NONBLOCK, opening a FIFO waits for its other end for ever.
    UniqueFd fd(open(hostPath.c_str(), flags | O_CLOEXEC | O_NONBLOCK, mode));
    if (!fd) return fd;
    struct stat info;
    if (fstat(fd.Get(), &info) != 0) return UniqueFd();
    if (!S_ISREG(info.st_mode)) {
        std::fprintf(stderr, "mirtel: %s is not a regular file\n", hostPath.c_str());
        errno = EACCES;
        return UniqueFd();
    }
    const int status = fcntl(fd.Get(), F_GETFL);
    if (status == -1 || fcntl(fd.Get(), F_SETFL, status & ~O_NONBLOCK) != 0) return UniqueFd();
    return fd;
}

}  // namespace sim
