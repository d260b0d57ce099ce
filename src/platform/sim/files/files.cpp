// files/: the file system of the simulated machine: Windows paths mapped
// onto host folders through machine.ini [Drives], names compared without
// regard to case, 8.3 aliases, NTFS listing order, FindFirstFileA's
// wildcards, OpenFile's sharing, fopen's text mode and the C runtime's
// path calls. It rests on the host's POSIX file calls, folder listings
// and flock().
//
// kernel32's file and folder calls on the simulated machine: attributes,
// delete, copy, create folder, current directory and short paths.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/files.h"
#include "platform/sim/files/file_errors.h"
#include "platform/sim/files/folder_listing.h"
#include "platform/sim/files/host_files.h"
#include "platform/sim/files/paths.h"
#include "platform/sim/files/short_names.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/text/codepage.h"
#include "platform/sim/unique_fd.h"
#include "platform/system.h"

namespace win {
namespace {

// A Windows path together with what the host holds there.
struct Located {
    std::string host;
    struct stat info {};
    bool exists = false;
    DWORD missingError = NO_ERROR;  // why it does not exist
};

bool EndsWithSeparator(const std::string &path) {
    return !path.empty() && sim::AfterLastSeparator(path) == path.size();
}

// False, with the last error set, when `path` names nothing on the host.
bool Locate(const char *path, Located *located) {
    if (path == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    DWORD error = NO_ERROR;
    located->host = sim::HostPathOrError(path, &error);
    if (located->host.empty()) {
        SetLastError(error);
        return false;
    }
    located->exists = stat(located->host.c_str(), &located->info) == 0;
    if (!located->exists) {
        located->missingError = errno == ENOENT || errno == ENOTDIR ? sim::MissingError(located->host)
                                                                    : sim::FileErrorOfErrno(errno);
    } else if (!S_ISDIR(located->info.st_mode) && EndsWithSeparator(path)) {
        // "file.txt\" names no file: the file is taken for a folder.
        located->exists = false;
        located->missingError = ERROR_PATH_NOT_FOUND;
    }
    return true;
}

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

std::string FolderOf(const std::string &hostPath) {
    const std::size_t slash = hostPath.rfind('/');
    return slash == 0 ? "/" : hostPath.substr(0, slash);
}

std::string NameOf(const std::string &hostPath) { return hostPath.substr(hostPath.rfind('/') + 1); }

// True unless another open holds `hostPath` so that it may not be
// written, replaced or deleted now.
bool MayReplace(const std::string &hostPath) {
    const sim::UniqueFd fd(open(hostPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    return !fd || sim::LockForSharing(fd.Get(), true);
}

bool CopyContents(int from, int to) {
    char buffer[65536];
    for (;;) {
        const ssize_t got = read(from, buffer, sizeof buffer);
        if (got == 0) return true;
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = write(to, buffer + done, static_cast<std::size_t>(got - done));
            if (put < 0 && errno != EINTR) return false;
            if (put > 0) done += put;
        }
    }
}

// Copies `source` into a new file beside `target` and then puts it in
// `target`'s place, so that no one ever sees half a copy. The copy keeps
// the source's write time, read-only state and stored attributes.
DWORD CopyIntoPlace(const Located &source, const std::string &target) {
    const sim::UniqueFd in(open(source.host.c_str(), O_RDONLY | O_CLOEXEC));
    if (!in) return sim::FileErrorOfErrno(errno);
    if (!sim::LockForSharing(in.Get(), false)) return ERROR_SHARING_VIOLATION;
    std::string temporary = FolderOf(target) + "/.mirtel-copy-XXXXXX";
    const sim::UniqueFd out(mkostemp(&temporary[0], O_CLOEXEC));
    if (!out) return sim::FileErrorOfErrno(errno);
    DWORD error = NO_ERROR;
    char attributes[32];
    const ssize_t attributesLength =
        fgetxattr(in.Get(), sim::kAttributesXattr, attributes, sizeof attributes);
    const struct timespec times[2] = {source.info.st_atim, source.info.st_mtim};
    if (!CopyContents(in.Get(), out.Get()) || fchmod(out.Get(), source.info.st_mode & 07777) != 0 ||
        futimens(out.Get(), times) != 0 ||
        (attributesLength > 0 &&
         fsetxattr(out.Get(), sim::kAttributesXattr, attributes, static_cast<std::size_t>(attributesLength), 0) != 0 &&
         errno != ENOTSUP) ||
        rename(temporary.c_str(), target.c_str()) != 0) {
        error = sim::FileErrorOfErrno(errno);
        unlink(temporary.c_str());
    }
    return error;
}

DWORD CopyBuffer(const std::string &text, char *buffer, DWORD size) {
    if (buffer != nullptr && size > text.size()) {
        std::memcpy(buffer, text.c_str(), text.size() + 1);
        return static_cast<DWORD>(text.size());
    }
    return static_cast<DWORD>(text.size() + 1);
}

// The 8.3 alias of the existing entry at `hostPath`, or its own name when
// that is an 8.3 name.
std::string ShortNameOf(const std::string &hostPath, UINT codePage) {
    const std::string name = NameOf(hostPath);
    std::vector<sim::FolderEntry> entries;
    if (sim::ListFolder(FolderOf(hostPath), true, &entries))
        for (const sim::FolderEntry &entry : entries)
            if (entry.name == name && !entry.shortName.empty()) return entry.shortName;
    return sim::Utf8ToAnsi(name, codePage);
}

}  // namespace

DWORD GetFileAttributesA(const char *path) {
    Located located;
    if (!Locate(path, &located)) return INVALID_FILE_ATTRIBUTES;
    if (!located.exists) {
        SetLastError(located.missingError);
        return INVALID_FILE_ATTRIBUTES;
    }
    return sim::AttributesOf(located.host, located.info);
}

BOOL SetFileAttributesA(const char *path, DWORD attributes) {
    Located located;
    if (!Locate(path, &located)) return FALSE;
    if (!located.exists) return Fail(located.missingError);
    DWORD error = NO_ERROR;
    if (!sim::ChangeAttributes(located.host, located.info, attributes, &error)) return Fail(error);
    return TRUE;
}

BOOL DeleteFileA(const char *path) {
    Located located;
    if (!Locate(path, &located)) return FALSE;
    if (!located.exists) return Fail(located.missingError);
    if (S_ISDIR(located.info.st_mode) || sim::IsReadOnlyFile(located.info)) return Fail(ERROR_ACCESS_DENIED);
    if (!MayReplace(located.host)) return Fail(ERROR_SHARING_VIOLATION);
    if (unlink(located.host.c_str()) != 0) return Fail(sim::FileErrorOfErrno(errno));
    return TRUE;
}

BOOL CopyFileA(const char *from, const char *to, BOOL failIfExists) {
    Located source;
    Located target;
    if (!Locate(from, &source)) return FALSE;
    if (!source.exists) return Fail(source.missingError);
    if (S_ISDIR(source.info.st_mode)) return Fail(ERROR_ACCESS_DENIED);
    if (!Locate(to, &target)) return FALSE;
    if (target.exists) {
        if (failIfExists) return Fail(ERROR_FILE_EXISTS);
        if (S_ISDIR(target.info.st_mode) || sim::IsReadOnlyFile(target.info)) return Fail(ERROR_ACCESS_DENIED);
        if ((target.info.st_dev == source.info.st_dev && target.info.st_ino == source.info.st_ino) ||
            !MayReplace(target.host))
            return Fail(ERROR_SHARING_VIOLATION);
    } else if (target.missingError != ERROR_FILE_NOT_FOUND) {
        return Fail(target.missingError);
    }
    const DWORD error = CopyIntoPlace(source, target.host);
    if (error != NO_ERROR) return Fail(error);
    return TRUE;
}

BOOL CreateDirectoryA(const char *path, void *) {
    Located located;
    if (!Locate(path, &located)) return FALSE;
    if (located.exists) return Fail(ERROR_ALREADY_EXISTS);
    if (located.missingError != ERROR_FILE_NOT_FOUND) return Fail(located.missingError);
    if (mkdir(located.host.c_str(), 0777) != 0) return Fail(sim::FileErrorOfErrno(errno));
    return TRUE;
}

DWORD GetCurrentDirectoryA(DWORD size, char *buffer) { return CopyBuffer(sim::CurrentDirectory(), buffer, size); }

BOOL SetCurrentDirectoryA(const char *path) {
    Located located;
    if (!Locate(path, &located)) return FALSE;
    if (!located.exists) return Fail(located.missingError);
    if (!S_ISDIR(located.info.st_mode)) return Fail(sim::ERROR_DIRECTORY);
    // Windows keeps the directory with a final "\", within MAX_PATH.
    std::string full = sim::FullWindowsPath(path);
    if (full.back() != '\\') full += '\\';
    if (full.size() + 1 > MAX_PATH) return Fail(sim::ERROR_FILENAME_EXCED_RANGE);
    sim::ChangeCurrentDirectory(path);
    return TRUE;
}

DWORD GetShortPathNameA(const char *longPath, char *shortPath, DWORD size) {
    if (longPath != nullptr && longPath[0] == '\0') {
        SetLastError(sim::ERROR_BAD_PATHNAME);
        return 0;
    }
    Located located;
    if (!Locate(longPath, &located)) return 0;
    if (!located.exists) {
        SetLastError(located.missingError);
        return 0;
    }
    // The path keeps its own form (relative or not, its separators); only
    // elements that are no 8.3 names are replaced by their aliases.
    const UINT codePage = sim::Machine::Get().AnsiCodePage();
    const std::string path = longPath;
    std::string result;
    std::size_t i = 0;
    if (path.size() >= 2 && path[1] == ':') {
        result = path.substr(0, 2);
        i = 2;
    }
    while (i < path.size()) {
        if (path[i] == '\\' || path[i] == '/') {
            result += path[i++];
            continue;
        }
        std::size_t end = i;
        while (end < path.size() && path[end] != '\\' && path[end] != '/')
            end += sim::IsLeadByte(static_cast<unsigned char>(path[end]), codePage) && end + 1 < path.size() ? 2 : 1;
        const std::string element = path.substr(i, end - i);
        if (element == "." || element == ".." || sim::IsShortName(sim::AnsiToUtf8(element, codePage))) {
            result += element;
        } else {
            result += ShortNameOf(sim::HostPath(path.substr(0, end).c_str()), codePage);
        }
        i = end;
    }
    return CopyBuffer(result, shortPath, size);
}

}  // namespace win
