#include "support/machine_fixture.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "platform/sim/machine/machine.h"
#include "platform/sim/machine/transcript.h"
#include "support/paths.h"

extern char **environ;

namespace fs = std::filesystem;

namespace testing_machine {
namespace {

std::string ReadFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::string &path, const std::string &text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out) ADD_FAILURE() << "cannot write " << path;
}

std::string Upper(std::string text) {
    for (char &c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string Trim(const std::string &text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// "HKEY_LOCAL_MACHINE\SOFTWARE\X" -> the root and "SOFTWARE\X".
sim::RegRoot SplitKeyPath(const std::string &keyPath, std::string *path) {
    const std::size_t slash = keyPath.find('\\');
    const std::string root = Upper(keyPath.substr(0, slash));
    *path = slash == std::string::npos ? std::string() : keyPath.substr(slash + 1);
    if (root == "HKEY_CURRENT_USER" || root == "HKCU") return sim::RegRoot::CurrentUser;
    if (root != "HKEY_LOCAL_MACHINE" && root != "HKLM")
        ADD_FAILURE() << "not a key path under HKLM or HKCU: " << keyPath;
    return sim::RegRoot::LocalMachine;
}

sim::RegKey &CreateKey(sim::RegTree &tree, const std::string &keyPath) {
    std::string path;
    return tree.Root(SplitKeyPath(keyPath, &path)).CreatePath(path);
}

// Reads everything both pipes give until both close.
void Collect(int outFd, int errFd, RunResult *result) {
    pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
    std::string *sinks[2] = {&result->out, &result->err};
    int open = 2;
    while (open > 0) {
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            char buffer[4096];
            const ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
            if (got > 0) {
                sinks[i]->append(buffer, static_cast<std::size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
}

}  // namespace

bool ParseJsonObject(const std::string &line, TranscriptEvent *event) {
    return sim::ParseTranscriptLine(line, event);
}

MachineFolder::MachineFolder() {
    std::string root = (fs::temp_directory_path() / "mirtel-machine-XXXXXX").string();
    if (mkdtemp(root.data()) == nullptr) {
        ADD_FAILURE() << "cannot make a temporary folder";
        return;
    }
    m_root = root;
    m_machine = root + "/machine";
    std::string error;
    if (!sim::CreateMachineFolder(m_machine, &error)) ADD_FAILURE() << error;
}

MachineFolder::~MachineFolder() {
    if (!m_usedBefore.empty() && sim::Machine::Get().Folder() == m_machine)
        sim::Machine::UseFolder(m_usedBefore);
    std::error_code ignored;
    if (!m_root.empty()) fs::remove_all(m_root, ignored);
}

std::string MachineFolder::FileText(const std::string &relative) const { return ReadFile(HostPath(relative)); }

std::string MachineFolder::IniText() const { return FileText("machine.ini"); }

void MachineFolder::ReplaceIni(const std::string &text) { WriteFile(HostPath("machine.ini"), text); }

void MachineFolder::SetIni(const std::string &section, const std::string &key, const std::string &value) {
    std::istringstream in(IniText());
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    const std::string entry = key + "=" + value;
    const std::string header = Upper("[" + section + "]");
    std::size_t i = 0;
    while (i < lines.size() && Upper(Trim(lines[i].substr(0, lines[i].find(';')))) != header) ++i;
    if (i == lines.size()) {
        lines.push_back("[" + section + "]");
        lines.push_back(entry);
    } else {
        std::size_t insertAt = i + 1;
        for (std::size_t j = i + 1; j < lines.size(); ++j) {
            const std::string text = Trim(lines[j].substr(0, lines[j].find(';')));
            if (!text.empty() && text[0] == '[') break;
            if (text.empty()) continue;
            insertAt = j + 1;
            if (Upper(Trim(text.substr(0, text.find('=')))) == Upper(key)) {
                lines[j] = entry;
                insertAt = 0;
                break;
            }
        }
        if (insertAt != 0) lines.insert(lines.begin() + static_cast<long>(insertAt), entry);
    }
    std::string text;
    for (const std::string &line : lines) text += line + "\n";
    ReplaceIni(text);
}

sim::RegTree MachineFolder::Registry() const {
    sim::RegTree tree;
    sim::RegParseError error;
    if (!sim::ParseRegedit4(ReadFile(HostPath("registry.reg")), &tree, &error))
        ADD_FAILURE() << "registry.reg:" << error.line << ": " << error.message;
    return tree;
}

void MachineFolder::SetRegistryValue(const std::string &keyPath, const std::string &name, unsigned type,
                                     const std::string &bytes) {
    sim::RegTree tree = Registry();
    CreateKey(tree, keyPath).SetValue(name, type, bytes);
    WriteFile(HostPath("registry.reg"), sim::FormatRegedit4(tree));
}

void MachineFolder::SetRegistryString(const std::string &keyPath, const std::string &name,
                                      const std::string &text) {
    SetRegistryValue(keyPath, name, 1 /* REG_SZ */, text + std::string(1, '\0'));
}

void MachineFolder::CreateRegistryKey(const std::string &keyPath) {
    sim::RegTree tree = Registry();
    CreateKey(tree, keyPath);
    WriteFile(HostPath("registry.reg"), sim::FormatRegedit4(tree));
}

std::optional<sim::RegValue> MachineFolder::RegistryValue(const std::string &keyPath,
                                                          const std::string &name) const {
    const sim::RegTree tree = Registry();
    std::string path;
    const sim::RegRoot root = SplitKeyPath(keyPath, &path);
    const sim::RegKey *key = tree.Find(root, path);
    const sim::RegValue *value = key != nullptr ? key->Value(name) : nullptr;
    if (value == nullptr) return std::nullopt;
    return *value;
}

bool MachineFolder::RegistryKeyExists(const std::string &keyPath) const {
    const sim::RegTree tree = Registry();
    std::string path;
    const sim::RegRoot root = SplitKeyPath(keyPath, &path);
    return tree.Find(root, path) != nullptr;
}

void MachineFolder::Use() {
    if (m_usedBefore.empty()) m_usedBefore = sim::Machine::Get().Folder();
    sim::Machine::UseFolder(m_machine);
}

std::string MachineFolder::StagePackage(const std::string &sourceFolder) {
    m_package = m_root + "/package";
    std::error_code error;
    fs::create_directories(m_package, error);
    if (!sourceFolder.empty())
        fs::copy(sourceFolder, m_package, fs::copy_options::recursive | fs::copy_options::overwrite_existing,
                 error);
    if (error) ADD_FAILURE() << "cannot copy " << sourceFolder << ": " << error.message();
    fs::copy_file(testing_paths::BinDir() + "/setup", m_package + "/setup",
                  fs::copy_options::overwrite_existing, error);
    if (error) ADD_FAILURE() << "cannot copy the setup program: " << error.message();
    SetIni("Drives", "D", m_package);
    return m_package;
}

RunResult MachineFolder::RunSetup(const std::vector<std::string> &arguments,
                                  const std::vector<std::pair<std::string, std::string>> &environment,
                                  const std::string &workingDirectory) const {
    std::vector<std::pair<std::string, std::string>> all = {{"MIRTEL_MACHINE", m_machine}};
    all.insert(all.end(), environment.begin(), environment.end());
    const std::string program = m_package.empty() ? testing_paths::BinDir() + "/setup" : m_package + "/setup";
    return RunProgram(program, arguments, all, workingDirectory);
}

std::vector<TranscriptEvent> MachineFolder::Transcript() const {
    std::vector<TranscriptEvent> events;
    std::istringstream in(ReadFile(HostPath("transcript.jsonl")));
    for (std::string line; std::getline(in, line);) {
        if (Trim(line).empty()) continue;
        TranscriptEvent event;
        if (!ParseJsonObject(line, &event)) ADD_FAILURE() << "not a transcript line: " << line;
        events.push_back(event);
    }
    return events;
}

RunResult RunProgram(const std::string &program, const std::vector<std::string> &arguments,
                     const std::vector<std::pair<std::string, std::string>> &environment,
                     const std::string &workingDirectory) {
    RunResult result;
    int out[2], err[2];
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
        ADD_FAILURE() << "pipe: " << std::strerror(errno);
        return result;
    }
    // Everything the child needs is prepared before fork.
    std::vector<std::string> argStrings{program};
    argStrings.insert(argStrings.end(), arguments.begin(), arguments.end());
    std::vector<char *> argv;
    for (std::string &arg : argStrings) argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::vector<std::string> envStrings;
    for (char **entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        const std::string name = text.substr(0, text.find('='));
        bool replaced = false;
        for (const auto &extra : environment) replaced = replaced || extra.first == name;
        if (!replaced) envStrings.push_back(text);
    }
    for (const auto &extra : environment) envStrings.push_back(extra.first + "=" + extra.second);
    std::vector<char *> envp;
    for (std::string &entry : envStrings) envp.push_back(entry.data());
    envp.push_back(nullptr);

    const pid_t child = fork();
    if (child == 0) {
        const int devNull = open("/dev/null", O_RDONLY);
        dup2(devNull, 0);
        dup2(out[1], 1);
        dup2(err[1], 2);
        if (!workingDirectory.empty() && chdir(workingDirectory.c_str()) != 0) _exit(127);
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    if (child < 0) {
        close(out[0]);
        close(err[0]);
        ADD_FAILURE() << "fork: " << std::strerror(errno);
        return result;
    }
    Collect(out[0], err[0], &result);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

}  // namespace testing_machine
