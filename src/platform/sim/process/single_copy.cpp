// The single-copy counter and window slot, shared by the running copies of
// one program file as an image's shared data section is on Windows.
//
// They live in a folder of the user's runtime folder keyed by a hash of the
// program file's real path, so copies in other folders do not meet. Each
// running copy holds an exclusive lock of its own process on a slot file
// there; the counter is the number of held slots minus one. A copy that
// dies, however it dies, lets go of its lock at that instant (a wizard it
// was starting holds none), so it can never leave the counter raised. A
// guard lock makes counting and changing one step; the last copy to leave
// removes the folder, as the section goes with the last process that maps
// it.
#include "platform/sim/process/copy_counter.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "platform/sim/process/process_lock.h"
#include "platform/sim/unique_fd.h"
#include "platform/single_copy.h"

namespace sim {
namespace {

// A slot this process holds, by its file's path.
struct ClaimedSlot {
    std::string path;
    UniqueFd fd;
};

// What this process knows of its counter.
struct CopyCounter {
    std::mutex lock;
    std::string folderOverride;
    std::vector<ClaimedSlot> claimedSlots;  // newest last
};

CopyCounter &Counter() {
    static CopyCounter counter;
    return counter;
}

// The paths of this process's slots: it counts them as held without
// opening them, since closing a file drops this process's lock on it.
std::vector<std::string> OwnSlotPaths() {
    CopyCounter &counter = Counter();
    std::lock_guard<std::mutex> guard(counter.lock);
    std::vector<std::string> names;
    for (const ClaimedSlot &slot : counter.claimedSlots) names.push_back(slot.path);
    return names;
}

// $XDG_RUNTIME_DIR/mirtel, else /tmp/mirtel-<uid>; made private to the
// user. Empty when neither can be used.
std::string RuntimeFolder() {
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat info;
    const bool useRuntime = runtime && runtime[0] == '/' && stat(runtime, &info) == 0 && S_ISDIR(info.st_mode);
    const std::string folder =
        useRuntime ? std::string(runtime) + "/mirtel" : "/tmp/mirtel-" + std::to_string(getuid());
    mkdir(folder.c_str(), 0700);
    if (lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != getuid()) {
        std::fprintf(stderr, "mirtel: %s is not a private folder of this user\n", folder.c_str());
        return std::string();
    }
    return folder;
}

// FNV-1a: a short, stable name for a path.
std::uint64_t PathHash(const std::string &path) {
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : path) hash = (hash ^ c) * 1099511628211ull;
    return hash;
}

std::string CopiesFolder() {
    {
        CopyCounter &counter = Counter();
        std::lock_guard<std::mutex> guard(counter.lock);
        if (!counter.folderOverride.empty()) return counter.folderOverride;
    }
    char exe[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", exe, sizeof exe - 1);
    const std::string runtime = RuntimeFolder();
    if (length <= 0 || runtime.empty()) return std::string();
    char name[40];
    std::snprintf(name, sizeof name, "/copies-%016" PRIx64, PathHash(std::string(exe, length)));
    return runtime + name;
}

std::string WindowSlotPath(const std::string &folder) { return folder + "/window"; }

bool IsSlotName(const char *name) { return std::strncmp(name, "slot-", 5) == 0; }

// The folder's guard lock, held for one count-and-change. Since the last
// copy removes the folder, a lock taken on a guard file that has meanwhile
// been removed is let go and taken again on the new one.
class GuardLock {
public:
    explicit GuardLock(const std::string &folder) : m_folder(folder) {
        if (folder.empty()) return;
        const std::string path = folder + "/guard";
        for (int attempt = 0; attempt < 100; ++attempt) {
            mkdir(folder.c_str(), 0700);
            UniqueFd fd(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
            if (!fd) break;
            while (flock(fd.Get(), LOCK_EX) != 0 && errno == EINTR) {
            }
            struct stat held, named;
            if (fstat(fd.Get(), &held) == 0 && stat(path.c_str(), &named) == 0 && held.st_ino == named.st_ino &&
                held.st_dev == named.st_dev) {
                m_fd = std::move(fd);
                return;
            }
        }
        std::fprintf(stderr, "mirtel: cannot lock %s: %s\n", path.c_str(), std::strerror(errno));
    }
    explicit operator bool() const { return static_cast<bool>(m_fd); }
    const std::string &Folder() const { return m_folder; }

    // Counts the held slots, this process's own included. With `claim`,
    // also takes a free slot, making one when all are held.
    long CountHeldSlots(ClaimedSlot *claim) const {
        const std::vector<std::string> own = OwnSlotPaths();
        long held = 0;
        int slotFiles = 0;
        DIR *directory = opendir(m_folder.c_str());
        if (!directory) return 0;
        while (const dirent *entry = readdir(directory)) {
            if (!IsSlotName(entry->d_name)) continue;
            ++slotFiles;
            const std::string path = m_folder + "/" + entry->d_name;
            if (std::find(own.begin(), own.end(), path) != own.end()) {
                ++held;
                continue;
            }
            UniqueFd slot(open(path.c_str(), O_RDWR | O_CLOEXEC));
            if (!slot) continue;
            if (!TryLockForProcess(slot.Get(), true)) {
                ++held;
            } else if (claim && !claim->fd) {
                *claim = {path, std::move(slot)};
            }
        }
        closedir(directory);
        for (int number = slotFiles; claim && !claim->fd; ++number) {
            const std::string path = m_folder + "/slot-" + std::to_string(number);
            UniqueFd slot(open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
            if (!slot && errno != EEXIST) break;
            if (slot && TryLockForProcess(slot.Get(), true)) *claim = {path, std::move(slot)};
        }
        return held;
    }

    // With no copy left, the folder goes (the guard file last).
    void RemoveFolder() const {
        DIR *directory = opendir(m_folder.c_str());
        if (!directory) return;
        while (const dirent *entry = readdir(directory)) {
            if (IsSlotName(entry->d_name)) unlink((m_folder + "/" + entry->d_name).c_str());
        }
        closedir(directory);
        unlink(WindowSlotPath(m_folder).c_str());
        unlink((m_folder + "/guard").c_str());
        rmdir(m_folder.c_str());
    }

private:
    std::string m_folder;
    UniqueFd m_fd;
};

}  // namespace

void UseCopyCounterFolder(const std::string &folder) {
    CopyCounter &counter = Counter();
    std::lock_guard<std::mutex> guard(counter.lock);
    counter.folderOverride = folder;
}

}  // namespace sim

namespace win {

LONG IncrementCopyCounter() {
    const sim::GuardLock guard(sim::CopiesFolder());
    if (!guard) {
        std::fprintf(stderr, "mirtel: cannot share the copy counter; counting this copy alone\n");
        return 0;
    }
    sim::ClaimedSlot claim;
    const long others = guard.CountHeldSlots(&claim);
    if (!claim.fd) {
        std::fprintf(stderr, "mirtel: cannot claim a copy slot: %s\n", std::strerror(errno));
        return static_cast<LONG>(others);
    }
    // The first copy finds the section as it was loaded: an empty slot,
    // whatever a killed last copy left there.
    if (others == 0) unlink(sim::WindowSlotPath(guard.Folder()).c_str());
    sim::CopyCounter &counter = sim::Counter();
    std::lock_guard<std::mutex> lock(counter.lock);
    counter.claimedSlots.push_back(std::move(claim));
    return static_cast<LONG>(others);
}

// A process that holds no slot cannot take another copy's away; it only
// reads the counter then.
LONG DecrementCopyCounter() {
    const sim::GuardLock guard(sim::CopiesFolder());
    if (!guard) return -1;
    {
        sim::CopyCounter &counter = sim::Counter();
        std::lock_guard<std::mutex> lock(counter.lock);
        if (!counter.claimedSlots.empty()) counter.claimedSlots.pop_back();
    }
    const long held = guard.CountHeldSlots(nullptr);
    if (held == 0) guard.RemoveFolder();
    return static_cast<LONG>(held - 1);
}

HWND GetSharedWindowSlot() {
    const std::string folder = sim::CopiesFolder();
    if (folder.empty()) return nullptr;
    std::ifstream file(sim::WindowSlotPath(folder));
    std::uintptr_t value = 0;
    if (!(file >> std::hex >> value)) return nullptr;
    return reinterpret_cast<HWND>(value);
}

void SetSharedWindowSlot(HWND window) {
    const sim::GuardLock guard(sim::CopiesFolder());
    if (!guard) return;
    // Written whole and renamed into place, so a reader never sees half.
    const std::string path = sim::WindowSlotPath(guard.Folder());
    const std::string temporary = path + "." + std::to_string(getpid());
    {
        std::ofstream file(temporary, std::ios::trunc);
        file << std::hex << reinterpret_cast<std::uintptr_t>(window) << "\n";
    }
    if (rename(temporary.c_str(), path.c_str()) != 0)
        std::fprintf(stderr, "mirtel: cannot store the window slot in %s: %s\n", path.c_str(), std::strerror(errno));
}

}  // namespace win
