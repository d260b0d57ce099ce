#include "cell_run.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "cancellation.h"
#include "content_hash.h"
#include "machine_ini.h"
#include "package.h"
#include "scratch_folder.h"
#include "sim_bridge.h"

extern char **environ;

namespace fs = std::filesystem;

namespace check {
namespace {

// The parent installer's window, as the machine lists it, and the message
// it asks for.
constexpr const char *kParentTitle = "Mirtel Check Parent";
constexpr const char *kParentWindow = "0x30050";
constexpr const char *kParentMessage = "0x8001";
constexpr auto kRunLimit = std::chrono::seconds(60);

std::string ReadFile(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string LastLine(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text.substr(text.find_last_of('\n') + 1);
}

bool MakeMachine(const CellJob &job, const fs::path &machine, const fs::path &package, std::string *error) {
    if (!CreateMachine(machine.string(), error)) return false;
    const Family &family = *job.family;
    char langId[8];
    std::snprintf(langId, sizeof langId, "0x%04x", job.language->langId);
    const bool written = SetIniValues(
        (machine / "machine.ini").string(),
        {{"Version", "PlatformId", std::to_string(family.platformId)},
         {"Version", "MajorVersion", std::to_string(family.majorVersion)},
         {"Version", "MinorVersion", std::to_string(family.minorVersion)},
         {"Version", "BuildNumber", std::to_string(family.buildNumber)},
         {"System", "SystemDirectory", family.systemDirectory},
         {"System", "DefaultLangID", langId},
         {"System", "AnsiCodePage", std::to_string(job.language->codePage)},
         {"Drives", kPackageDrive, package.string()},
         {"Windows", kParentTitle, kParentWindow}});
    std::string systemFolder = "drive_c" + family.systemDirectory.substr(2);
    std::replace(systemFolder.begin(), systemFolder.end(), '\\', '/');
    std::error_code ec;
    fs::create_directories(machine / systemFolder, ec);
    if (!written || ec) *error = (machine / "machine.ini").string() + ": cannot write";
    return written && !ec;
}

std::vector<std::string> Environment(const fs::path &machine) {
    std::vector<std::string> entries;
    for (char **entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        if (text.rfind("MIRTEL_", 0) != 0) entries.push_back(text);
    }
    entries.push_back("MIRTEL_MACHINE=" + machine.string());
    return entries;
}

// Runs the program to its end (killed with what it started after the
// limit); its output goes to `output`.
void Run(const CellJob &job, const fs::path &program, const fs::path &machine, const fs::path &output, Cell *cell) {
    std::vector<std::string> arguments = {program.string(), std::string("+W:") + kParentWindow,
                                          std::string("+M:") + kParentMessage};
    if (!job.driverFolder.empty()) arguments.push_back("+G:" + job.driverFolder);
    std::vector<char *> argv;
    for (std::string &argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::vector<std::string> entries = Environment(machine);
    std::vector<char *> envp;
    for (std::string &entry : entries) envp.push_back(entry.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // The check blocks the signals it waits for; the program starts with
    // none blocked and their default actions.
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    sigaddset(&defaults, SIGHUP);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    pid_t child = -1;
    const int spawned = posix_spawn(&child, program.c_str(), &actions, &attributes, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0) {
        cell->runError = "cannot start " + program.string() + ": " + std::strerror(spawned);
        return;
    }
    TrackProcessGroup(child);
    if (job.niceness != 0) setpriority(PRIO_PROCESS, static_cast<id_t>(child), job.niceness);

    // The program is reaped only once its process group (the wizard it
    // started, too) has been killed, so that the group's id cannot have
    // passed to another process by then.
    const auto deadline = std::chrono::steady_clock::now() + kRunLimit;
    for (;;) {
        siginfo_t info = {};
        const int waited = waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOHANG | WNOWAIT);
        if ((waited == 0 && info.si_pid == child) || (waited < 0 && errno != EINTR)) break;
        if (CancellationRequested()) {
            kill(-child, SIGKILL);
        } else if (std::chrono::steady_clock::now() > deadline) {
            kill(-child, SIGKILL);
            cell->timedOut = true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    kill(-child, SIGKILL);
    UntrackProcessGroup(child);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    cell->exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::vector<std::string> Split(const std::string &text, char separator) {
    std::vector<std::string> parts;
    std::size_t begin = 0;
    while (begin < text.size()) {
        const std::size_t end = std::min(text.find(separator, begin), text.size());
        parts.push_back(text.substr(begin, end - begin));
        begin = end + 1;
    }
    return parts;
}

void ReadTranscript(const fs::path &machine, Cell *cell) {
    std::istringstream lines(ReadFile(machine / "transcript.jsonl"));
    for (std::string line; std::getline(lines, line);) {
        std::map<std::string, std::string> event;
        if (!ParseTranscriptLine(line, &event)) continue;
        const std::string &kind = event["event"];
        if (kind == "messagebox") {
            cell->boxes.push_back({"", event["caption"], event["text"], event["style"]});
        } else if (kind == "post" && event["hwnd"] == kParentWindow && event["msg"] == kParentMessage) {
            cell->wParam = event["wparam"];
        } else if (kind == "wizard") {
            cell->wizardOpened = true;
            cell->wizardInfs = Split(event["infs"], ';');
        }
    }
}

// Every file in the machine's INF store now: the template's store is empty,
// so each was written by the run.
void ReadInfStore(const CellJob &job, const fs::path &machine, Cell *cell) {
    const fs::path store = machine / "drive_c/WINDOWS/Inf";
    std::error_code ec;
    std::vector<fs::path> files;
    for (fs::recursive_directory_iterator it(store, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file(ec)) files.push_back(it->path());
    std::sort(files.begin(), files.end());
    for (const fs::path &file : files) {
        std::string path = "C:\\WINDOWS\\Inf\\" + file.lexically_relative(store).string();
        std::replace(path.begin(), path.end(), '/', '\\');
        // Only a file of the same size as one of the package's is read.
        const std::uintmax_t size = fs::file_size(file, ec);
        std::string copyOf;
        std::uint64_t hash = 0;
        bool hashed = false;
        for (const InfFile &inf : *job.infs) {
            if (ec || inf.size != size || inf.readError) continue;
            if (!hashed && !FileContentHash(file.string(), &hash)) break;
            hashed = true;
            if (inf.hash == hash) {
                copyOf = inf.file;
                break;
            }
        }
        cell->infStore.push_back({path, copyOf, ""});
    }
}

}  // namespace

Cell RunCell(const CellJob &job, const std::function<void()> &programEnded) {
    Cell cell;
    cell.family = job.family->id;
    cell.language = job.language->code;
    ScratchFolder scratch;
    if (scratch.Path().empty()) {
        cell.runError = "cannot make a temporary folder";
        return cell;
    }
    const fs::path root = scratch.Path();
    const fs::path machine = root / "machine";
    const fs::path package = job.package;
    if (!MakeMachine(job, machine, package, &cell.runError)) return cell;
    Run(job, package / "setup", machine, root / "output.txt", &cell);
    programEnded();
    if (CancellationRequested()) {
        cell.runError = "cancelled";
        return cell;
    }
    if (cell.runError.empty() && !cell.timedOut && cell.exitStatus != 0)
        cell.runError = "the installer ended with status " + std::to_string(cell.exitStatus) + ": " +
                        LastLine(ReadFile(root / "output.txt"));
    ReadTranscript(machine, &cell);
    ReadInfStore(job, machine, &cell);
    return cell;
}

}  // namespace check
