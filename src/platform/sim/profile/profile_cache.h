// Parsed profile files kept while the files stay the same: the program
// reads several keys of one file in a row (an INF file's Class and
// Signature, a language file's sections, a read again with a larger
// buffer), and each file is parsed once for them.
#pragma once

#include <sys/stat.h>

#include <ctime>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/sim/profile/profile_file.h"
#include "platform/types.h"

namespace sim {

class ProfileCache {
public:
    // Keeps the files read most recently, at most `maxFiles` of them.
    // Before a file is read, the kept files are cut (the least recently
    // used first) to what that file's size allows, or `minRoom` bytes if
    // that is more: the reader then holds little more than twice the
    // largest file it reads, however many files it goes through.
    ProfileCache(std::size_t maxFiles, std::size_t minRoom) : m_maxFiles(maxFiles), m_minRoom(minRoom) {}

    // The file at `hostPath` in the ANSI code page `codePage`, parsed; a
    // file that cannot be read has no sections. A kept file is parsed
    // again when its size, modification time or inode changes.
    std::shared_ptr<const ProfileFile> Load(const std::string &hostPath, win::UINT codePage);

    std::size_t HeldFiles() const;
    std::size_t HeldBytes() const;

private:
    struct Kept {
        std::string hostPath;
        win::UINT codePage;
        dev_t device;
        ino_t inode;
        off_t size;
        struct timespec modified;
        std::shared_ptr<const ProfileFile> profile;
        std::size_t bytes;  // what keeping it costs
    };

    std::shared_ptr<const ProfileFile> Find(const std::string &hostPath, win::UINT codePage,
                                            const struct stat &info);
    // Drops kept files to make room for reading the file at `hostPath`.
    void MakeRoom(const std::string &hostPath, std::size_t fileSize);
    void Keep(Kept kept);
    void DropStale(const std::string &hostPath);  // m_lock held

    const std::size_t m_maxFiles;
    const std::size_t m_minRoom;
    mutable std::mutex m_lock;
    std::vector<Kept> m_recent;  // most recently used first
    std::size_t m_heldBytes = 0;
};

// The machine's profile files, through one cache for the whole process.
std::shared_ptr<const ProfileFile> LoadProfile(const std::string &hostPath, win::UINT codePage);
// The same for a lookup in the section `sectionUpper` (upper-cased in
// `codePage`): a large file is read only as far as that section goes, and
// is not kept.
std::shared_ptr<const ProfileFile> LoadProfileSection(const std::string &hostPath, win::UINT codePage,
                                                      const std::string &sectionUpper);

}  // namespace sim
