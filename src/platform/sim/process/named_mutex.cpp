// Named mutexes of the simulated machine, seen by every program on it.
//
// A named mutex is the file mutex/<name> in the machine folder (the name
// with every byte but letters, digits, "_", "-" and "." written as %XX, so
// that distinct names stay distinct, "Global\..." included). Each open
// handle holds a shared flock on it, and the mutex exists while any does:
// it goes with the last process that holds it, however that one ends. A
// guard lock makes the probe for holders and the taking of a handle one
// step. Ownership (WaitForSingleObject, ReleaseMutex) is not simulated;
// the program only uses the name's existence.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/sim/machine/handles.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/unique_fd.h"
#include "platform/single_copy.h"

namespace sim {
namespace {

class MutexObject : public HandleObject {
public:
    explicit MutexObject(UniqueFd held) : m_held(std::move(held)) {}

private:
    UniqueFd m_held;  // shared flock on the name's file; none for an unnamed mutex
};

std::string MutexFolder() { return Machine::Get().Folder() + "/mutex"; }

std::string FileName(const char *name) {
    std::string file;
    for (const char *c = name; *c; ++c) {
        const unsigned char byte = static_cast<unsigned char>(*c);
        if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') ||
            byte == '_' || byte == '-' || (byte == '.' && c != name)) {
            file += *c;
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", byte);
            file += escaped;
        }
    }
    return file;
}

int LockRetrying(int fd, int operation) {
    int result;
    while ((result = flock(fd, operation)) != 0 && errno == EINTR) {
    }
    return result;
}

class GuardLock {
public:
    explicit GuardLock(const std::string &folder)
        : m_fd(open((folder + "/.guard").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666)) {
        if (m_fd && LockRetrying(m_fd.Get(), LOCK_EX) != 0) m_fd.Reset();
    }
    explicit operator bool() const { return static_cast<bool>(m_fd); }

private:
    UniqueFd m_fd;
};

// True when some handle, in any process, holds the name's file. Call under
// the guard lock.
bool IsHeld(const std::string &path) {
    UniqueFd probe(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    return probe && flock(probe.Get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
}

// A new handle holding the name's file; null with the last error set when
// the file cannot be opened and locked.
win::HANDLE HoldName(const std::string &path, bool create) {
    UniqueFd held(open(path.c_str(), O_RDONLY | O_CLOEXEC | (create ? O_CREAT : 0), 0666));
    if (!held || LockRetrying(held.Get(), LOCK_SH) != 0) {
        std::fprintf(stderr, "mirtel: cannot hold mutex file %s: %s\n", path.c_str(), std::strerror(errno));
        win::SetLastError(win::ERROR_ACCESS_DENIED);
        return nullptr;
    }
    return NewHandle(std::make_shared<MutexObject>(std::move(held)));
}

}  // namespace
}  // namespace sim

namespace win {

HANDLE CreateMutexA(void *, BOOL, const char *name) {
    if (!name) return sim::NewHandle(std::make_shared<sim::MutexObject>(sim::UniqueFd()));
    const std::string folder = sim::MutexFolder();
    mkdir(folder.c_str(), 0777);
    sim::GuardLock guard(folder);
    if (!guard) {
        std::fprintf(stderr, "mirtel: cannot lock %s/.guard: %s\n", folder.c_str(), std::strerror(errno));
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    const std::string path = folder + "/" + sim::FileName(name);
    const bool existed = sim::IsHeld(path);
    HANDLE handle = sim::HoldName(path, true);
    if (handle) SetLastError(existed ? ERROR_ALREADY_EXISTS : NO_ERROR);
    return handle;
}

HANDLE OpenMutexA(DWORD, BOOL, const char *name) {
    if (!name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const std::string folder = sim::MutexFolder();
    struct stat info;
    if (stat(folder.c_str(), &info) != 0) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    sim::GuardLock guard(folder);
    const std::string path = folder + "/" + sim::FileName(name);
    if (!guard || !sim::IsHeld(path)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    return sim::HoldName(path, false);
}

}  // namespace win
