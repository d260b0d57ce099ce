// The engine of the simulated machine: its settings come from the
// machine's system service, its files through the machine's drives.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/sim/files/file_errors.h"
#include "platform/sim/files/host_files.h"
#include "platform/sim/files/paths.h"
#include "platform/sim/files/regular_file.h"
#include "platform/sim/setupapi/setupapi_engine.h"
#include "platform/sim/unique_fd.h"
#include "platform/system.h"

namespace sim::setupapi {
namespace {

class MachineFileAccess : public FileAccess {
public:
    std::string FullPath(const std::string &path) const override { return FullWindowsPath(path.c_str()); }

    win::DWORD Read(const std::string &fullPath, TextBuffer *bytes) const override {
        win::DWORD error = win::NO_ERROR;
        const std::string host = HostPathOrError(fullPath.c_str(), &error);
        if (host.empty()) return error;
        const UniqueFd file = OpenRegularFile(host, O_RDONLY);
        if (!file) return errno == ENOENT || errno == ENOTDIR ? MissingError(host) : FileErrorOfErrno(errno);
        struct stat info;
        if (::fstat(file.Get(), &info) != 0) return FileErrorOfErrno(errno);
        if (S_ISDIR(info.st_mode)) return win::ERROR_ACCESS_DENIED;
        // The setup API reads with FILE_SHARE_READ: a writer that keeps
        // others out makes the open fail.
        if (!LockForSharing(file.Get(), false)) return win::ERROR_SHARING_VIOLATION;
        *bytes = TextBuffer(static_cast<std::size_t>(info.st_size));
        std::size_t done = 0;
        while (done < bytes->Size()) {
            const ssize_t got = ::read(file.Get(), bytes->Data() + done, bytes->Size() - done);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) return FileErrorOfErrno(errno);
            if (got == 0) break;  // the file shrank meanwhile
            done += static_cast<std::size_t>(got);
        }
        bytes->Shrink(done);
        return win::NO_ERROR;
    }

    bool Stamp(const std::string &fullPath, FileStamp *stamp) const override {
        win::DWORD error = win::NO_ERROR;
        const std::string host = HostPathOrError(fullPath.c_str(), &error);
        struct stat info;
        if (host.empty() || ::stat(host.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
        constexpr std::int64_t kNanoseconds = 1000000000;
        *stamp = {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
                  static_cast<std::uint64_t>(info.st_size), info.st_mtim.tv_sec * kNanoseconds + info.st_mtim.tv_nsec,
                  info.st_ctim.tv_sec * kNanoseconds + info.st_ctim.tv_nsec};
        return true;
    }
};

std::string SystemFolder() {
    char buffer[win::MAX_PATH];
    const win::UINT length = win::GetSystemDirectoryA(buffer, sizeof buffer);
    return length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string();
}

// The Windows folder is the system folder less its last element.
std::string WindowsFolder(const std::string &systemFolder) {
    const std::size_t last = AfterLastSeparator(systemFolder);
    if (last == 0) return systemFolder;
    const bool root = last == 3 && systemFolder[1] == ':';
    return systemFolder.substr(0, root ? last : last - 1);
}

std::string UserProfile() {
    char buffer[win::MAX_PATH];
    const win::DWORD length = win::GetEnvironmentVariableA("USERPROFILE", buffer, sizeof buffer);
    return length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string();
}

// Windows XP (5.1) and later take the strings section of the system
// language when the file has one.
StringsChoice MachineStringsChoice() {
    StringsChoice choice;
    win::OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (win::GetVersionExA(&version))
        choice.preferLanguage =
            version.dwMajorVersion > 5 || (version.dwMajorVersion == 5 && version.dwMinorVersion >= 1);
    choice.language = win::GetSystemDefaultLangID();
    return choice;
}

}  // namespace

SetupApiEngine &SetupApiEngine::OfMachine() {
    static SetupApiEngine engine = [] {
        const std::string system = SystemFolder();
        auto settings = std::make_shared<const EngineSettings>(win::GetACP(), WindowsFolder(system), system,
                                                               UserProfile(), MachineStringsChoice());
        return SetupApiEngine(settings, std::make_unique<MachineFileAccess>());
    }();
    return engine;
}

}  // namespace sim::setupapi
