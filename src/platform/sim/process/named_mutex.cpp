// Named mutexes of the simulated machine, seen by every program on it.
//
// A named mutex is the file mutex/<name> in the machine folder (the name
// with every byte but letters, digits, "_", "-" and "." written as %XX, so
// that distinct names stay distinct, "Global\..." included). A process
// with open handles to it holds a shared lock of its own process on that
// file, and the mutex exists while any process does: it goes with the last
// process that holds it, at the instant that one ends, however it ends (a
// child it was starting holds nothing). A guard lock makes the probe for
// holders and the taking of a handle one step. Ownership
// (WaitForSingleObject, ReleaseMutex) is not simulated; the program only
// uses the name's existence.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/sim/machine/handles.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/process/process_lock.h"
#include "platform/sim/unique_fd.h"
#include "platform/single_copy.h"

namespace sim {
namespace {

// This process's hold on a name's file: one descriptor with a shared
// lock, shared by every open handle to that name in this process.
struct NameHold {
    UniqueFd fd;
};

// The names this process holds, by file path; a hold goes with the last
// handle that uses it.
struct HeldNames {
    std::mutex lock;
    std::map<std::string, std::weak_ptr<NameHold>> byPath;
};

HeldNames &Held() {
    static HeldNames held;
    return held;
}

std::shared_ptr<NameHold> OwnHold(const std::string &path) {
    HeldNames &held = Held();
    std::lock_guard<std::mutex> guard(held.lock);
    const auto found = held.byPath.find(path);
    return found == held.byPath.end() ? nullptr : found->second.lock();
}

class MutexObject : public HandleObject {
public:
    explicit MutexObject(std::shared_ptr<NameHold> hold) : m_hold(std::move(hold)) {}

private:
    std::shared_ptr<NameHold> m_hold;  // none for an unnamed mutex
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

// True when some handle, in this process or another, holds the name's
// file. Call under the guard lock. The file is not opened while this
// process holds it: closing it would drop this process's lock.
bool IsHeld(const std::string &path) {
    if (OwnHold(path)) return true;
    UniqueFd probe(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    return probe && LockedByAnotherProcess(probe.Get());
}

// A new handle holding the name's file; null with the last error set when
// the file cannot be opened and locked.
win::HANDLE HoldName(const std::string &path, bool create) {
    HeldNames &held = Held();
    std::lock_guard<std::mutex> guard(held.lock);
    std::shared_ptr<NameHold> hold = held.byPath[path].lock();
    if (!hold) {
        UniqueFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | (create ? O_CREAT : 0), 0666));
        if (!fd || !TryLockForProcess(fd.Get(), false)) {
            std::fprintf(stderr, "mirtel: cannot hold mutex file %s: %s\n", path.c_str(), std::strerror(errno));
            win::SetLastError(win::ERROR_ACCESS_DENIED);
            return nullptr;
        }
        hold = std::make_shared<NameHold>(NameHold{std::move(fd)});
        held.byPath[path] = hold;
    }
    return NewHandle(std::make_shared<MutexObject>(std::move(hold)));
}

}  // namespace
}  // namespace sim

namespace win {

HANDLE CreateMutexA(void *, BOOL, const char *name) {
    if (!name) return sim::NewHandle(std::make_shared<sim::MutexObject>(nullptr));
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
