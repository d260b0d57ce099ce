// process/: processes and threads of the simulated machine: programs of
// machine.ini [Programs] started on the host, threads, waits, named
// mutexes, the single-copy counter, the command line and its arguments,
// and the native entry point. It rests on fork/execve and pidfds, host
// threads, eventfds and poll(), and flock() on files shared between the
// machine's processes.
//
// Processes of the simulated machine. A command line names a program of
// machine.ini [Programs]; its host command runs with the rest of the
// command line as arguments. A program file found beside the program or
// in the current folder before the system's, or named by a path outside
// the system's folders, is a host executable and runs itself. A pidfd makes the process's handle one to
// wait on; the child is reaped when its last handle closes, as the process
// object goes on Windows, or, if it still runs then, as soon as it ends.
#include <fcntl.h>
#include <sys/syscall.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/process.h"
#include "platform/sim/files/paths.h"
#include "platform/sim/files/search_order.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/machine/transcript.h"
#include "platform/sim/process/command_line.h"
#include "platform/sim/process/waiting.h"
#include "platform/sim/text/codepage.h"
#include "platform/sim/unique_fd.h"

extern char **environ;

namespace sim {
namespace {

constexpr win::DWORD ERROR_BAD_EXE_FORMAT = 193;
constexpr win::DWORD ERROR_DIRECTORY = 267;

// A running (or ended) child: its pidfd reads as readable once it has
// ended. The primary thread's handle names the same object, since a
// program and its main thread end together.
// True once `pid` is reaped (or was already); with WNOHANG, false while
// it runs.
bool ReapChild(pid_t pid, int options) {
    int status;
    pid_t result;
    while ((result = waitpid(pid, &status, options)) < 0 && errno == EINTR) {
    }
    return result != 0;
}

class ProcessObject : public WaitableObject {
public:
    ProcessObject(UniqueFd pidFd, pid_t pid) : m_pidFd(std::move(pidFd)), m_pid(pid) {}
    ~ProcessObject() override {
        if (ReapChild(m_pid, WNOHANG)) return;
        // Closing the handle does not end the program; reap it once it ends.
        try {
            std::thread([pid = m_pid] { ReapChild(pid, 0); }).detach();
        } catch (const std::system_error &error) {
            std::fprintf(stderr, "mirtel: process %d will stay a zombie: %s\n", static_cast<int>(m_pid),
                         error.what());
        }
    }
    int SignalFd() const override { return m_pidFd.Get(); }

private:
    UniqueFd m_pidFd;
    pid_t m_pid;
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

// Runs in the child, between fork and exec: only async-signal-safe calls.
// A failure is reported to the parent as errno through `report`, whose
// end closes on a successful exec.
[[noreturn]] void BecomeProgram(int report, const char *folder, const char *path, char *const *argv,
                                char *const *envp) {
    if (!folder || chdir(folder) == 0) execve(path, argv, envp);
    const int error = errno;
    if (write(report, &error, sizeof error) != sizeof error) _exit(127);
    _exit(127);
}

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
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        *error = win::ERROR_NOT_ENOUGH_MEMORY;
        return StartedProcess();
    }
    UniqueFd report(ends[0]);
    UniqueFd reportWrite(ends[1]);
    const pid_t child = fork();
    if (child == 0) BecomeProgram(reportWrite.Get(), folder, path.c_str(), argvPointers.data(), envpPointers.data());
    reportWrite.Reset();
    if (child < 0) {
        *error = win::ERROR_NOT_ENOUGH_MEMORY;
        return StartedProcess();
    }
    // Until it is reaped, the child's pid cannot name another process.
    UniqueFd pidFd(static_cast<int>(syscall(SYS_pidfd_open, child, 0)));
    int execError = 0;
    ssize_t got;
    while ((got = read(report.Get(), &execError, sizeof execError)) < 0 && errno == EINTR) {
    }
    if (got > 0 || !pidFd) {
        if (!pidFd) {
            std::fprintf(stderr, "mirtel: cannot watch process %d: %s\n", static_cast<int>(child),
                         std::strerror(errno));
            kill(child, SIGKILL);
        }
        int status;
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
        *error = got > 0 ? ErrorOfErrno(execError) : win::ERROR_NOT_ENOUGH_MEMORY;
        return StartedProcess();
    }
    return StartedProcess{std::move(pidFd), child};
}

// `application`: the application name given, or the file a bare name
// found before the system's programs; empty otherwise.
void RecordProcess(const std::string &commandLine, const std::string &application, bool started) {
    const win::UINT codePage = Machine::Get().AnsiCodePage();
    std::string event = "{\"event\":\"process\",\"commandline\":" + JsonString(AnsiToUtf8(commandLine, codePage));
    if (!application.empty()) event += ",\"application\":" + JsonString(AnsiToUtf8(application, codePage));
    AppendTranscript(event + ",\"result\":" + (started ? "1" : "0") + "}");
}

// The host program that `program` (an application name, or a command
// line's first word) starts. A program of the system's folders, or one
// given by bare name that neither the program's folder nor the current
// folder holds, is the machine's [Programs] entry of its name; any other
// file is run itself.
std::string HostProgram(const std::string &program, bool named, std::string *application) {
    const bool bare = program.find_first_of("\\/") == std::string::npos;
    std::string foreign;
    if (bare && !named) {
        const std::size_t dot = program.find('.');
        foreign = FoundBeforeSystemFolders(dot == std::string::npos ? program + ".exe" : program);
    } else if (!InSystemFolders(program)) {
        foreign = FullWindowsPath(program.c_str());
    }
    *application = named ? program : foreign;
    if (!foreign.empty()) {
        const std::string host = HostPath(foreign.c_str());
        return IsExecutableFile(host) ? host : std::string();
    }
    const std::string hostCommand = Machine::Get().String("Programs", ProgramName(program).c_str(), "");
    return hostCommand.empty() ? std::string() : ResolveHostCommand(hostCommand);
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
    std::string application;
    const std::string hostPath = sim::HostProgram(program, applicationName != nullptr, &application);

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
    sim::RecordProcess(line, application, static_cast<bool>(started.pidFd));
    if (!started.pidFd) {
        SetLastError(error);
        return FALSE;
    }
    auto process = std::make_shared<sim::ProcessObject>(std::move(started.pidFd), started.pid);
    if (processInformation) {
        processInformation->dwProcessId = static_cast<DWORD>(started.pid);
        processInformation->dwThreadId = static_cast<DWORD>(started.pid);
        processInformation->hProcess = sim::NewHandle(process);
        processInformation->hThread = sim::NewHandle(process);
    }
    return TRUE;
}

}  // namespace win
