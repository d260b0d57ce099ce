#include "platform/sim/profile/profile_cache.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "platform/sim/files/regular_file.h"
#include "platform/sim/profile/profile_prefix.h"
#include "platform/sim/unique_fd.h"

namespace sim {
namespace {

// Reads the whole file, expected to hold `size` bytes, into a string of
// just that size (a file that grew meanwhile is read to its end).
bool ReadWhole(int fd, off_t size, std::string *bytes) {
    bytes->resize(static_cast<std::size_t>(size));
    std::size_t got = 0;
    while (got < bytes->size()) {
        const ssize_t count = read(fd, &(*bytes)[got], bytes->size() - got);
        if (count == 0) break;
        if (count < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        got += static_cast<std::size_t>(count);
    }
    bytes->resize(got);
    for (char more[4096];;) {
        const ssize_t count = read(fd, more, sizeof more);
        if (count == 0) return true;
        if (count < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes->append(more, static_cast<std::size_t>(count));
    }
}

// File times come from a coarse clock: a file written again within the
// same tick keeps its time (and its size, if the text is as long). Only
// files left alone for longer than a tick are trusted to stay the same
// while their stat() does.
bool SettledLongEnough(const struct stat &info) {
    constexpr long long kTickNanoseconds = 100 * 1000 * 1000;
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    const long long age = (static_cast<long long>(now.tv_sec) - info.st_mtim.tv_sec) * 1000000000LL +
                          (now.tv_nsec - info.st_mtim.tv_nsec);
    return age >= kTickNanoseconds;
}

bool SameFile(const struct stat &info, dev_t device, ino_t inode, off_t size, const struct timespec &modified) {
    return device == info.st_dev && inode == info.st_ino && size == info.st_size &&
           modified.tv_sec == info.st_mtim.tv_sec && modified.tv_nsec == info.st_mtim.tv_nsec;
}

const std::shared_ptr<const ProfileFile> &EmptyProfile() {
    static const std::shared_ptr<const ProfileFile> empty = std::make_shared<const ProfileFile>();
    return empty;
}

}  // namespace

std::shared_ptr<const ProfileFile> ProfileCache::Load(const std::string &hostPath, win::UINT codePage) {
    struct stat info;
    if (stat(hostPath.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return EmptyProfile();
    if (auto kept = Find(hostPath, codePage, info)) return kept;

    MakeRoom(hostPath, static_cast<std::size_t>(info.st_size));
    const UniqueFd fd = OpenRegularFile(hostPath, O_RDONLY);
    std::string bytes;
    if (!fd || fstat(fd.Get(), &info) != 0 || !ReadWhole(fd.Get(), info.st_size, &bytes)) return EmptyProfile();
    auto profile = std::make_shared<const ProfileFile>(std::move(bytes), codePage);
    if (SettledLongEnough(info)) {
        const std::size_t bytesHeld = sizeof(Kept) + hostPath.size() + profile->HeldBytes();
        Keep({hostPath, codePage, info.st_dev, info.st_ino, info.st_size, info.st_mtim, profile, bytesHeld});
    }
    return profile;
}

std::shared_ptr<const ProfileFile> ProfileCache::Find(const std::string &hostPath, win::UINT codePage,
                                                      const struct stat &info) {
    std::lock_guard<std::mutex> guard(m_lock);
    auto found = std::find_if(m_recent.begin(), m_recent.end(), [&](const Kept &kept) {
        return kept.hostPath == hostPath && kept.codePage == codePage &&
               SameFile(info, kept.device, kept.inode, kept.size, kept.modified);
    });
    if (found == m_recent.end()) return nullptr;
    std::rotate(m_recent.begin(), found, found + 1);
    return m_recent.front().profile;
}

void ProfileCache::MakeRoom(const std::string &hostPath, std::size_t fileSize) {
    std::lock_guard<std::mutex> guard(m_lock);
    DropStale(hostPath);
    while (!m_recent.empty() && m_heldBytes > std::max(fileSize, m_minRoom)) {
        m_heldBytes -= m_recent.back().bytes;
        m_recent.pop_back();
    }
}

void ProfileCache::Keep(Kept kept) {
    std::lock_guard<std::mutex> guard(m_lock);
    DropStale(kept.hostPath);
    m_heldBytes += kept.bytes;
    m_recent.insert(m_recent.begin(), std::move(kept));
    if (m_recent.size() > m_maxFiles) {
        m_heldBytes -= m_recent.back().bytes;
        m_recent.pop_back();
    }
}

void ProfileCache::DropStale(const std::string &hostPath) {
    // A file that was not found as it is now was kept with other contents
    // (at most once: each parse replaces the one before).
    auto stale = std::find_if(m_recent.begin(), m_recent.end(),
                              [&](const Kept &kept) { return kept.hostPath == hostPath; });
    if (stale == m_recent.end()) return;
    m_heldBytes -= stale->bytes;
    m_recent.erase(stale);
}

std::size_t ProfileCache::HeldFiles() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_recent.size();
}

std::size_t ProfileCache::HeldBytes() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_heldBytes;
}

std::shared_ptr<const ProfileFile> LoadProfile(const std::string &hostPath, win::UINT codePage) {
    // The program reads one file's keys in a row, so a few files are
    // plenty; small files share 64 KB between them.
    static ProfileCache cache(16, 64 * 1024);
    return cache.Load(hostPath, codePage);
}

std::shared_ptr<const ProfileFile> LoadProfileSection(const std::string &hostPath, win::UINT codePage,
                                                      const std::string &sectionUpper) {
    // Files of a few hundred KB at most are read whole and kept: the
    // program reads several of their sections.
    constexpr off_t kLargeFile = 1 << 20;
    struct stat info;
    std::string bytes;
    if (stat(hostPath.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > kLargeFile &&
        ReadProfilePrefix(hostPath, codePage, sectionUpper, &bytes))
        return std::make_shared<const ProfileFile>(std::move(bytes), codePage);
    return LoadProfile(hostPath, codePage);
}

}  // namespace sim
