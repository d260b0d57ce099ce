// Processes of the simulated machine. A command line names a program of
// machine.ini [Programs]; its host command runs with the rest of the
// command line as arguments. The child is started through an intermediate
// process that ends at once, so it is never this process's child and can
// never be left behind as a zombie; a pidfd opened while the child still
// waits for the go-ahead makes its handle one to wait on.
#include <fcntl.h>
#include <sys/syscall.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/process.h"
#include "platform/sim/codepage.h"
#include "platform/sim/command_line.h"
#include "platform/sim/machine.h"
#include "platform/sim/paths.h"
#include "platform/sim/transcript.h"
#include "platform/sim/unique_fd.h"
#include "platform/sim/waiting.h"

extern char **environ;

namespace sim {
namespace {

constexpr win::DWORD ERROR_BAD_EXE_FORMAT = 193;
constexpr win::DWORD ERROR_DIRECTORY = 267;

// A running (or ended) program: its pidfd reads as readable once it has
// ended. The primary thread's handle names the same object, since a
// program and its main thread end together.
class ProcessObject : public WaitableObject {
public:
    explicit ProcessObject(UniqueFd pidFd) : m_pidFd(std::move(pidFd)) {}
    int SignalFd() const override { return m_pidFd.Get(); }

private:
    UniqueFd m_pidFd;
};

bool IsExecutableFile(const std::string &path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

// The host file a [Programs] command names: a path when it holds a "/",
// else the first match on the search path.
std::string ResolveHostCommand(const std::string &command) {
    if (command.find('/') != std::string::npos) return command;
    const char *searchPath = std::getenv("PATH");
    std::string folders = searchPath ? searchPath : "/usr/local/bin:/usr/bin:/bin";
    std::size_t begin = 0;
    for (;;) {
        const std::size_t end = folders.find(':', begin);
        std::string folder = folders.substr(begin, end == std::string::npos ? end : end - begin);
        const std::string candidate = (folder.empty() ? "." : folder) + "/" + command;
        if (IsExecutableFile(candidate)) return candidate;
        if (end == std::string::npos) return std::string();
        begin = end + 1;
    }
}

// The child's environment: the block given to CreateProcessA, or this
// process's own, with MIRTEL_MACHINE naming this machine so the child runs
// on it even when this process found it by default.
std::vector<std::string> ChildEnvironment(const char *block) {
    std::vector<std::string> entries;
    if (block) {
        for (const char *entry = block; *entry; entry += std::strlen(entry) + 1) entries.emplace_back(entry);
    } else {
        for (char **entry = environ; *entry; ++entry) entries.emplace_back(*entry);
    }
    const std::string key = "MIRTEL_MACHINE=";
    std::vector<std::string> result;
    for (std::string &entry : entries)
        if (entry.compare(0, key.size(), key) != 0) result.push_back(std::move(entry));
    result.push_back(key + Machine::Get().Folder());
    return result;
}

std::vector<char *> PointerArray(std::vector<std::string> &strings) {
    std::vector<char *> pointers;
    for (std::string &text : strings) pointers.push_back(&text[0]);
    pointers.push_back(nullptr);
    return pointers;
}

win::DWORD ErrorOfErrno(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
        return win::ERROR_ACCESS_DENIED;
    case ENOEXEC:
        return ERROR_BAD_EXE_FORMAT;
    case ENOMEM:
    case EAGAIN:
        return win::ERROR_NOT_ENOUGH_MEMORY;
    default:
        return win::ERROR_FILE_NOT_FOUND;
    }
}

bool ReadAll(int fd, void *buffer, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = read(fd, static_cast<char *>(buffer) + done, size - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        done += static_cast<std::size_t>(got);
    }
    return true;
}

// Runs in the grandchild, between fork and exec: only async-signal-safe
// calls. Tells the parent its pid, waits for the go-ahead (the parent
// closing its end), then becomes the program; on failure it reports errno.
[[noreturn]] void BecomeProgram(int report, int goAhead, const char *folder, const char *path,
                                char *const *argv, char *const *envp) {
    const pid_t self = getpid();
    if (write(report, &self, sizeof self) != sizeof self) _exit(127);
    char ignored;
    while (read(goAhead, &ignored, 1) < 0 && errno == EINTR) {
    }
    if (folder && chdir(folder) != 0) {
        const int error = errno;
        if (write(report, &error, sizeof error) != sizeof error) _exit(127);
        _exit(127);
    }
    execve(path, argv, envp);
    const int error = errno;
    if (write(report, &error, sizeof error) != sizeof error) _exit(127);
    _exit(127);
}

struct Pipe {
    UniqueFd read;
    UniqueFd write;
    bool Open() {
        int ends[2];
        if (pipe2(ends, O_CLOEXEC) != 0) return false;
        read = UniqueFd(ends[0]);
        write = UniqueFd(ends[1]);
        return true;
    }
};

struct StartedProcess {
    UniqueFd pidFd;
    pid_t pid = 0;
};

// Starts `path` with `argv` and `envp` in `folder` (null: this process's
// current folder). No pidfd in the result means it failed; `error` says why.
StartedProcess Spawn(const std::string &path, std::vector<std::string> argv,
                     std::vector<std::string> envp, const char *folder, win::DWORD *error) {
    std::vector<char *> argvPointers = PointerArray(argv);
    std::vector<char *> envpPointers = PointerArray(envp);
    Pipe report;
    Pipe goAhead;
    if (!report.Open() || !goAhead.Open()) {
        *error = win::ERROR_NOT_ENOUGH_MEMORY;
        return StartedProcess();
    }
    const pid_t intermediate = fork();
    if (intermediate < 0) {
        *error = win::ERROR_NOT_ENOUGH_MEMORY;
        return StartedProcess();
    }
    if (intermediate == 0) {
        const pid_t child = fork();
        if (child == 0)
            BecomeProgram(report.write.Get(), goAhead.read.Get(), folder, path.c_str(),
                          argvPointers.data(), envpPointers.data());
        _exit(child < 0 ? 1 : 0);
    }
    report.write.Reset();
    goAhead.read.Reset();
    int status = 0;
    while (waitpid(intermediate, &status, 0) < 0 && errno == EINTR) {
    }
    pid_t child = 0;
    if (!ReadAll(report.read.Get(), &child, sizeof child)) {
        *error = win::ERROR_NOT_ENOUGH_MEMORY;
        return StartedProcess();
    }
    // The child is blocked until goAhead closes, so this pid is still its.
    UniqueFd pidFd(static_cast<int>(syscall(SYS_pidfd_open, child, 0)));
    goAhead.write.Reset();
    int execError = 0;
    if (ReadAll(report.read.Get(), &execError, sizeof execError)) {
        *error = ErrorOfErrno(execError);
        return StartedProcess();
    }
    if (!pidFd) {
        std::fprintf(stderr, "mirtel: cannot watch process %d: %s\n", static_cast<int>(child),
                     std::strerror(errno));
        *error = win::ERROR_NOT_ENOUGH_MEMORY;
    }
    return StartedProcess{std::move(pidFd), child};
}

void RecordProcess(const std::string &commandLine, bool started) {
    AppendTranscript("{\"event\":\"process\",\"commandline\":" +
                     JsonString(AnsiToUtf8(commandLine, Machine::Get().AnsiCodePage())) +
                     ",\"result\":" + (started ? "1" : "0") + "}");
}

}  // namespace
}  // namespace sim

namespace win {

BOOL CreateProcessA(const char *applicationName, char *commandLine, void *, void *, BOOL, DWORD,
                    void *environment, const char *currentDirectory, STARTUPINFOA *,
                    PROCESS_INFORMATION *processInformation) {
    const std::string line = commandLine ? commandLine : applicationName ? applicationName : "";
    std::vector<std::string> words = sim::SplitCommandLine(line);
    // With an application name the command line's first word is only the
    // program's name as the child sees it.
    const std::string program =
        applicationName ? applicationName : words.empty() ? std::string() : words.front();
    const std::string hostCommand = sim::Machine::Get().String(
        "Programs", sim::ProgramName(program).c_str(), "");
    const std::string hostPath = hostCommand.empty() ? std::string() : sim::ResolveHostCommand(hostCommand);

    DWORD error = NO_ERROR;
    std::string folder;
    if (hostPath.empty()) {
        error = ERROR_FILE_NOT_FOUND;
    } else if (currentDirectory) {
        folder = sim::HostPath(currentDirectory);
        struct stat info;
        if (folder.empty() || stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
            error = sim::ERROR_DIRECTORY;
    }
    sim::StartedProcess started;
    if (error == NO_ERROR) {
        std::vector<std::string> argv = {hostPath};
        if (!words.empty()) argv.insert(argv.end(), words.begin() + 1, words.end());
        started = sim::Spawn(hostPath, std::move(argv),
                             sim::ChildEnvironment(static_cast<const char *>(environment)),
                             currentDirectory ? folder.c_str() : nullptr, &error);
    }
    sim::RecordProcess(line, static_cast<bool>(started.pidFd));
    if (!started.pidFd) {
        SetLastError(error);
        return FALSE;
    }
    if (processInformation) {
        auto process = std::make_shared<sim::ProcessObject>(std::move(started.pidFd));
        processInformation->dwProcessId = static_cast<DWORD>(started.pid);
        processInformation->dwThreadId = static_cast<DWORD>(started.pid);
        processInformation->hProcess = sim::NewHandle(process);
        processInformation->hThread = sim::NewHandle(process);
    }
    return TRUE;
}

}  // namespace win
