#include "platform/sim/files/host_files.h"

#include <sys/file.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "platform/sim/files/file_errors.h"

namespace sim {
namespace {

constexpr win::DWORD kKeptOnFiles =
    win::FILE_ATTRIBUTE_HIDDEN | win::FILE_ATTRIBUTE_SYSTEM | win::FILE_ATTRIBUTE_ARCHIVE;
constexpr win::DWORD kKeptOnFolders = kKeptOnFiles | win::FILE_ATTRIBUTE_READONLY;

// The stored attributes, or false when the entry has none stored.
bool StoredAttributes(const std::string &hostPath, win::DWORD *attributes) {
    char text[32];
    const ssize_t length = getxattr(hostPath.c_str(), kAttributesXattr, text, sizeof text - 1);
    if (length <= 0) return false;
    text[length] = '\0';
    *attributes = static_cast<win::DWORD>(std::strtoul(text, nullptr, 0));
    return true;
}

}  // namespace

const char kAttributesXattr[] = "user.mirtel.attributes";

win::DWORD FileErrorOfErrno(int error) {
    switch (error) {
    case ENOENT:
        return win::ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
        return win::ERROR_PATH_NOT_FOUND;
    case EEXIST:
        return win::ERROR_ALREADY_EXISTS;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    case ENOSPC:
    case EDQUOT:
        return ERROR_DISK_FULL;
    case ENOMEM:
        return win::ERROR_NOT_ENOUGH_MEMORY;
    case EWOULDBLOCK:
        return win::ERROR_SHARING_VIOLATION;
    default:
        return win::ERROR_ACCESS_DENIED;
    }
}

bool IsReadOnlyFile(const struct stat &info) { return S_ISREG(info.st_mode) && (info.st_mode & S_IWUSR) == 0; }

win::DWORD AttributesOf(const std::string &hostPath, const struct stat &info) {
    win::DWORD stored = 0;
    const bool hasStored = StoredAttributes(hostPath, &stored);
    if (S_ISDIR(info.st_mode)) {
        // A link to a folder is what a junction or symbolic link is on
        // Windows: a reparse point, which a walk of the tree does not enter.
        struct stat link;
        const bool isLink = lstat(hostPath.c_str(), &link) == 0 && S_ISLNK(link.st_mode);
        return win::FILE_ATTRIBUTE_DIRECTORY | (isLink ? win::FILE_ATTRIBUTE_REPARSE_POINT : 0) |
               (stored & kKeptOnFolders);
    }
    win::DWORD attributes = hasStored ? stored & kKeptOnFiles : win::FILE_ATTRIBUTE_ARCHIVE;
    if (IsReadOnlyFile(info)) attributes |= win::FILE_ATTRIBUTE_READONLY;
    return attributes != 0 ? attributes : win::FILE_ATTRIBUTE_NORMAL;
}

bool ChangeAttributes(const std::string &hostPath, const struct stat &info, win::DWORD attributes,
                      win::DWORD *error) {
    const bool folder = S_ISDIR(info.st_mode);
    if (!folder) {
        const mode_t writable = S_IWUSR | S_IWGRP | S_IWOTH;
        const mode_t mode = (attributes & win::FILE_ATTRIBUTE_READONLY) ? info.st_mode & ~writable
                                                                         : info.st_mode | S_IWUSR;
        if ((mode & 07777) != (info.st_mode & 07777) && chmod(hostPath.c_str(), mode & 07777) != 0) {
            *error = FileErrorOfErrno(errno);
            return false;
        }
    }
    char text[32];
    std::snprintf(text, sizeof text, "0x%x", attributes & (folder ? kKeptOnFolders : kKeptOnFiles));
    if (setxattr(hostPath.c_str(), kAttributesXattr, text, std::char_traits<char>::length(text), 0) != 0 &&
        errno != ENOTSUP) {
        *error = FileErrorOfErrno(errno);
        return false;
    }
    return true;
}

bool LockForSharing(int fd, bool exclusive) {
    // A file system without flock() shares everything.
    return flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0 || errno != EWOULDBLOCK;
}

win::DWORD MissingError(const std::string &hostPath) {
    const std::size_t slash = hostPath.rfind('/');
    const std::string folder = slash == 0 ? "/" : hostPath.substr(0, slash);
    struct stat info;
    return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) ? win::ERROR_FILE_NOT_FOUND
                                                                      : win::ERROR_PATH_NOT_FOUND;
}

win::FILETIME FileTimeOf(const struct timespec &time) {
    constexpr std::uint64_t kSecondsFrom1601To1970 = 11644473600ull;
    const std::uint64_t ticks = (static_cast<std::uint64_t>(time.tv_sec) + kSecondsFrom1601To1970) * 10000000ull +
                                static_cast<std::uint64_t>(time.tv_nsec) / 100;
    return {static_cast<win::DWORD>(ticks & 0xFFFFFFFF), static_cast<win::DWORD>(ticks >> 32)};
}

}  // namespace sim
