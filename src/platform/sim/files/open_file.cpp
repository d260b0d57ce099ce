// OpenFile and _lclose on the simulated machine. An open file is a host
// descriptor behind a handle; its flock() tells other processes that the
// file is in use, exclusively when OF_SHARE_EXCLUSIVE asked for that.
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/sim/files/file_errors.h"
#include "platform/sim/files/host_files.h"
#include "platform/sim/files/paths.h"
#include "platform/sim/machine/handles.h"
#include "platform/sim/unique_fd.h"
#include "platform/system.h"

namespace win {
namespace {

constexpr UINT kAccessMask = 0x0003;  // OF_READ, OF_WRITE, OF_READWRITE
constexpr UINT kShareMask = 0x0070;
constexpr UINT kOfWrite = 0x0001;

struct OpenFileObject : sim::HandleObject {
    explicit OpenFileObject(sim::UniqueFd descriptor) : fd(std::move(descriptor)) {}
    sim::UniqueFd fd;
};

HFILE Fail(OFSTRUCT *info, DWORD error) {
    if (info != nullptr) info->nErrCode = static_cast<WORD>(error);
    SetLastError(error);
    return HFILE_ERROR;
}

HANDLE HandleOf(HFILE file) { return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(file)); }

std::string FolderOf(const std::string &windowsPath) { return windowsPath.substr(0, windowsPath.rfind('\\')); }

// A bare file name is looked for as OpenFile looks for it: in the
// program's folder, the current directory, the system directory, the
// Windows folder's SYSTEM folder and the Windows folder. Found nowhere, it
// stays a name in the current directory.
std::string SearchedPath(const std::string &path) {
    if (path.empty() || path.find_first_of("\\/:") != std::string::npos) return path;
    std::vector<std::string> folders;
    char buffer[MAX_PATH];
    const DWORD program = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    if (program > 0 && program < sizeof buffer) folders.push_back(FolderOf(buffer));
    folders.push_back(sim::CurrentDirectory());
    const UINT system = GetSystemDirectoryA(buffer, sizeof buffer);
    if (system > 0 && system < sizeof buffer) {
        const std::string windows = FolderOf(buffer);
        folders.insert(folders.end(), {buffer, windows + "\\SYSTEM", windows});
    }
    for (const std::string &folder : folders) {
        const std::string candidate = (folder.back() == '\\' ? folder : folder + "\\") + path;
        const std::string host = sim::HostPath(candidate.c_str());
        struct stat info;
        if (!host.empty() && stat(host.c_str(), &info) == 0 && S_ISREG(info.st_mode)) return candidate;
    }
    return path;
}

}  // namespace

HFILE OpenFile(const char *path, OFSTRUCT *info, UINT style) {
    if (info != nullptr) {
        std::memset(info, 0, sizeof *info);
        info->cBytes = sizeof *info;
        info->fFixedDisk = 1;
    }
    if (path == nullptr) return Fail(info, ERROR_INVALID_PARAMETER);
    if (path[0] == '\0') return Fail(info, ERROR_FILE_NOT_FOUND);
    const std::string searched = SearchedPath(path);
    DWORD error = NO_ERROR;
    const std::string host = sim::HostPathOrError(searched.c_str(), &error);
    if (host.empty()) return Fail(info, error);
    if (info != nullptr) {
        const std::string full = sim::FullWindowsPath(searched.c_str());
        std::strncpy(info->szPathName, full.c_str(), sizeof info->szPathName - 1);
    }
    struct stat status;
    if (stat(host.c_str(), &status) != 0)
        return Fail(info, errno == ENOENT || errno == ENOTDIR ? sim::MissingError(host) : sim::FileErrorOfErrno(errno));
    if (S_ISDIR(status.st_mode)) return Fail(info, ERROR_ACCESS_DENIED);

    const UINT access = style & kAccessMask;
    const bool writes = access == OF_READWRITE || access == kOfWrite;
    if (writes && sim::IsReadOnlyFile(status)) return Fail(info, ERROR_ACCESS_DENIED);
    const int flags = (access == OF_READWRITE ? O_RDWR : access == kOfWrite ? O_WRONLY : O_RDONLY) | O_CLOEXEC;
    sim::UniqueFd fd(open(host.c_str(), flags));
    if (!fd) return Fail(info, sim::FileErrorOfErrno(errno));
    if (!sim::LockForSharing(fd.Get(), (style & kShareMask) == OF_SHARE_EXCLUSIVE))
        return Fail(info, ERROR_SHARING_VIOLATION);
    if (style & OF_EXIST) return 1;  // opened and closed again: the file exists
    const HANDLE handle = sim::NewHandle(std::make_shared<OpenFileObject>(std::move(fd)));
    return static_cast<HFILE>(reinterpret_cast<std::intptr_t>(handle));
}

BOOL CloseFileHandle(HFILE file) {
    if (!sim::LookupHandle<OpenFileObject>(HandleOf(file)) || !sim::CloseSimHandle(HandleOf(file))) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

}  // namespace win
