// Finding and loading the machine of this process.
#include "platform/sim/machine/machine.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <sstream>

#include "platform/sim/files/regular_file.h"

namespace sim {
namespace {

std::string Upper(std::string text) {
    for (char &c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string Trim(const std::string &text) {
    const char *blanks = " \t\r";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// Decimal, or hexadecimal after "0x"; the whole text must be the number.
bool ParseNumber(const std::string &text, long *number) {
    if (text.empty()) return false;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    errno = 0;
    char *end = nullptr;
    const long value = hex ? static_cast<long>(std::strtoul(text.c_str() + 2, &end, 16))
                           : std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || end == text.c_str() || *end != '\0' || (hex && text[2] == '-')) return false;
    *number = value;
    return true;
}

// Keys that hold numbers: checked when the machine loads, so a mistyped
// number stops the program before it does anything.
const struct {
    const char *section;
    const char *key;
} kNumberKeys[] = {
    {"Version", "PlatformId"},      {"Version", "MajorVersion"},     {"Version", "MinorVersion"},
    {"Version", "BuildNumber"},     {"Version", "ProductType"},      {"Version", "SuiteMask"},
    {"Version", "VersionQueryFails"}, {"System", "DefaultLangID"},   {"System", "AnsiCodePage"},
    {"System", "Administrator"},    {"System", "ScreenWidth"},       {"System", "ScreenHeight"},
    {"SetupApi", "Present"},
};

std::string HomeFolder() {
    const char *home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return home;
    const passwd *user = getpwuid(getuid());
    return user != nullptr && user->pw_dir != nullptr ? user->pw_dir : "/";
}

std::string DefaultFolder() {
    const char *state = std::getenv("XDG_STATE_HOME");
    const std::string base =
        state != nullptr && state[0] == '/' ? std::string(state) : HomeFolder() + "/.local/state";
    return base + "/mirtel/machine";
}

// An absolute path, so that a later change of the current directory does
// not move the machine.
std::string Absolute(const std::string &path) {
    if (!path.empty() && path[0] == '/') return path;
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd) == nullptr) return path;
    return std::string(cwd) + "/" + path;
}

struct CurrentMachine {
    std::mutex lock;
    const Machine *machine = nullptr;
    // Every machine this process used; kept so references stay valid.
    std::vector<std::unique_ptr<Machine>> loaded;
};

CurrentMachine &Current() {
    static CurrentMachine current;
    return current;
}

}  // namespace

struct MachineLoader {
    static std::unique_ptr<Machine> Load(const std::string &folder);
    static void ReadIni(Machine &machine, const std::string &path);
    static void ReadDrives(Machine &machine);
};

std::unique_ptr<Machine> MachineLoader::Load(const std::string &folder) {
    struct stat info {};
    if (stat(folder.c_str(), &info) != 0) {
        std::string error;
        if (!CreateMachineFolder(folder, &error)) MachineUnusable("cannot create the machine " + error);
    } else if (!S_ISDIR(info.st_mode)) {
        MachineUnusable(folder + ": not a machine folder (not a folder)");
    }
    const std::string iniPath = folder + "/machine.ini";
    if (access(iniPath.c_str(), F_OK) != 0)
        MachineUnusable(folder + ": not a machine folder (it has no machine.ini)");

    auto machine = std::make_unique<Machine>();
    machine->m_folder = folder;
    ReadIni(*machine, iniPath);
    for (const auto &numberKey : kNumberKeys) machine->Number(numberKey.section, numberKey.key, 0);
    ReadDrives(*machine);
    return machine;
}

void MachineLoader::ReadIni(Machine &machine, const std::string &path) {
    const UniqueFd file = OpenRegularFile(path, O_RDONLY);
    if (!file) MachineUnusable(path + ": cannot be read: " + std::strerror(errno));
    std::string bytes;
    char buffer[4096];
    ssize_t got;
    while ((got = read(file.Get(), buffer, sizeof buffer)) != 0) {
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) MachineUnusable(path + ": cannot be read: " + std::strerror(errno));
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    std::istringstream in(bytes);
    std::vector<Machine::Entry> *section = nullptr;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const std::string where = path + ":" + std::to_string(number) + ": ";
        const std::string text = Trim(line.substr(0, line.find(';')));
        if (text.empty()) continue;
        if (text[0] == '[') {
            if (text.back() != ']' || text.size() < 3)
                MachineUnusable(where + "a section line must be [Name]");
            section = &machine.m_sections[Upper(Trim(text.substr(1, text.size() - 2)))];
            continue;
        }
        const std::size_t equals = text.find('=');
        if (equals == std::string::npos || equals == 0)
            MachineUnusable(where + "expected Key=Value");
        if (section == nullptr) MachineUnusable(where + "a key before the first [Section]");
        section->push_back({Trim(text.substr(0, equals)), Trim(text.substr(equals + 1)), number});
    }
}

void MachineLoader::ReadDrives(Machine &machine) {
    machine.m_drives['C'] = machine.m_folder + "/drive_c";
    machine.m_drives['Z'] = "/";
    auto found = machine.m_sections.find("DRIVES");
    if (found == machine.m_sections.end()) return;
    for (const Machine::Entry &entry : found->second) {
        if (entry.key.size() != 1 || !std::isalpha(static_cast<unsigned char>(entry.key[0])) ||
            entry.value.empty())
            MachineUnusable(machine.m_folder + "/machine.ini:" + std::to_string(entry.line) +
                            ": a drive is Letter=folder");
        std::string host = entry.value[0] == '/' ? entry.value : machine.m_folder + "/" + entry.value;
        while (host.size() > 1 && host.back() == '/') host.pop_back();
        machine.m_drives[static_cast<char>(std::toupper(static_cast<unsigned char>(entry.key[0])))] =
            host;
    }
}

const Machine &Machine::Get() {
    CurrentMachine &current = Current();
    std::lock_guard<std::mutex> guard(current.lock);
    if (current.machine == nullptr) {
        const char *named = std::getenv("MIRTEL_MACHINE");
        const std::string folder =
            named != nullptr && named[0] != '\0' ? Absolute(named) : DefaultFolder();
        current.loaded.push_back(MachineLoader::Load(folder));
        current.machine = current.loaded.back().get();
    }
    return *current.machine;
}

void Machine::UseFolder(const std::string &folder) {
    CurrentMachine &current = Current();
    std::lock_guard<std::mutex> guard(current.lock);
    current.loaded.push_back(MachineLoader::Load(Absolute(folder)));
    current.machine = current.loaded.back().get();
}

const Machine::Entry *Machine::Find(const char *section, const char *key) const {
    auto found = m_sections.find(Upper(section));
    if (found == m_sections.end()) return nullptr;
    const std::string wanted = Upper(key);
    for (const Entry &entry : found->second)
        if (Upper(entry.key) == wanted) return &entry;
    return nullptr;
}

std::string Machine::String(const char *section, const char *key, const char *defaultValue) const {
    const Entry *entry = Find(section, key);
    return entry != nullptr ? entry->value : std::string(defaultValue);
}

long Machine::Number(const char *section, const char *key, long defaultValue) const {
    const Entry *entry = Find(section, key);
    if (entry == nullptr || entry->value.empty()) return defaultValue;
    long number = 0;
    if (!ParseNumber(entry->value, &number))
        MachineUnusable(m_folder + "/machine.ini:" + std::to_string(entry->line) + ": " + key +
                        " must be a decimal or 0x-hexadecimal number, not \"" + entry->value + "\"");
    return number;
}

std::vector<std::pair<std::string, std::string>> Machine::Section(const char *section) const {
    std::vector<std::pair<std::string, std::string>> entries;
    auto found = m_sections.find(Upper(section));
    if (found != m_sections.end())
        for (const Entry &entry : found->second) entries.emplace_back(entry.key, entry.value);
    return entries;
}

win::UINT Machine::AnsiCodePage() const {
    return static_cast<win::UINT>(Number("System", "AnsiCodePage", 1252));
}

void MachineUnusable(const std::string &message) {
    std::fprintf(stderr, "mirtel: the simulated machine cannot be used: %s\n", message.c_str());
    std::fflush(stderr);
    _exit(2);
}

}  // namespace sim
