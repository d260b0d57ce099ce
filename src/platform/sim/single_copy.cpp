// The single-copy counter and window slot, shared by the running copies of
// one program file as an image's shared data section is on Windows.
//
// They live in a folder of the user's runtime folder keyed by a hash of the
// program file's real path, so copies in other folders do not meet. Each
// running copy holds an exclusive flock on a slot file there; the counter
// is the number of held slots minus one. A copy that dies, however it dies,
// lets go of its lock, so it can never leave the counter raised. A guard
// lock makes counting and claiming one step.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

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

#include "platform/sim/unique_fd.h"
#include "platform/single_copy.h"

namespace sim {
namespace {

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
    char exe[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", exe, sizeof exe - 1);
    const std::string runtime = RuntimeFolder();
    if (length <= 0 || runtime.empty()) return std::string();
    char name[40];
    std::snprintf(name, sizeof name, "/copies-%016" PRIx64, PathHash(std::string(exe, length)));
    const std::string folder = runtime + name;
    mkdir(folder.c_str(), 0700);
    return folder;
}

// Held for the time of one count-and-change.
class GuardLock {
public:
    explicit GuardLock(const std::string &folder)
        : m_fd(open((folder + "/guard").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
        while (m_fd && flock(m_fd.Get(), LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    explicit operator bool() const { return static_cast<bool>(m_fd); }

private:
    UniqueFd m_fd;
};

// This process's claimed slots, newest last.
struct ClaimedSlots {
    std::mutex lock;
    std::vector<UniqueFd> slots;
};

ClaimedSlots &Claimed() {
    static ClaimedSlots claimed;
    return claimed;
}

bool IsSlotName(const char *name) { return std::strncmp(name, "slot-", 5) == 0; }

// Counts the held slots (this process's own included, since their locks
// belong to other open files). With `claim`, also takes a free slot,
// making one when all are held. Call under the guard lock.
long CountHeldSlots(const std::string &folder, UniqueFd *claim) {
    long held = 0;
    int slotFiles = 0;
    DIR *directory = opendir(folder.c_str());
    if (!directory) return 0;
    while (const dirent *entry = readdir(directory)) {
        if (!IsSlotName(entry->d_name)) continue;
        ++slotFiles;
        UniqueFd slot(open((folder + "/" + entry->d_name).c_str(), O_RDWR | O_CLOEXEC));
        if (!slot) continue;
        if (flock(slot.Get(), LOCK_EX | LOCK_NB) != 0) {
            ++held;
        } else if (claim && !*claim) {
            *claim = std::move(slot);
        }
    }
    closedir(directory);
    for (int number = slotFiles; claim && !*claim; ++number) {
        UniqueFd slot(open((folder + "/slot-" + std::to_string(number)).c_str(),
                           O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (!slot && errno != EEXIST) break;
        if (slot && flock(slot.Get(), LOCK_EX | LOCK_NB) == 0) *claim = std::move(slot);
    }
    return held;
}

std::string WindowSlotPath(const std::string &folder) { return folder + "/window"; }

}  // namespace
}  // namespace sim

namespace win {

LONG IncrementCopyCounter() {
    const std::string folder = sim::CopiesFolder();
    sim::GuardLock guard(folder);
    if (folder.empty() || !guard) {
        std::fprintf(stderr, "mirtel: cannot share the copy counter; counting this copy alone\n");
        return 0;
    }
    sim::UniqueFd claim;
    const long others = sim::CountHeldSlots(folder, &claim);
    if (!claim) {
        std::fprintf(stderr, "mirtel: cannot claim a copy slot in %s: %s\n", folder.c_str(), std::strerror(errno));
        return static_cast<LONG>(others);
    }
    // The first copy finds the section as it was loaded: an empty slot.
    if (others == 0) unlink(sim::WindowSlotPath(folder).c_str());
    sim::ClaimedSlots &claimed = sim::Claimed();
    std::lock_guard<std::mutex> lock(claimed.lock);
    claimed.slots.push_back(std::move(claim));
    return static_cast<LONG>(others);
}

// A process that holds no slot cannot take another copy's away; it only
// reads the counter then.
LONG DecrementCopyCounter() {
    const std::string folder = sim::CopiesFolder();
    sim::GuardLock guard(folder);
    if (folder.empty() || !guard) return -1;
    {
        sim::ClaimedSlots &claimed = sim::Claimed();
        std::lock_guard<std::mutex> lock(claimed.lock);
        if (!claimed.slots.empty()) claimed.slots.pop_back();
    }
    return static_cast<LONG>(sim::CountHeldSlots(folder, nullptr) - 1);
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
    const std::string folder = sim::CopiesFolder();
    if (folder.empty()) return;
    // Written whole and renamed into place, so a reader never sees half.
    const std::string path = sim::WindowSlotPath(folder);
    const std::string temporary = path + "." + std::to_string(getpid());
    {
        std::ofstream file(temporary, std::ios::trunc);
        file << std::hex << reinterpret_cast<std::uintptr_t>(window) << "\n";
    }
    if (rename(temporary.c_str(), path.c_str()) != 0)
        std::fprintf(stderr, "mirtel: cannot store the window slot in %s: %s\n", path.c_str(), std::strerror(errno));
}

}  // namespace win
