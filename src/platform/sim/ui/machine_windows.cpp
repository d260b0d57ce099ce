#include "platform/sim/ui/machine_windows.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <sstream>

#include "platform/sim/machine/machine.h"
#include "platform/sim/ui/window_table.h"

namespace sim {
namespace {

std::string WindowsFolder() { return Machine::Get().Folder() + "/windows.d"; }

// Field 22 of /proc/<pid>/stat: when the process started, in clock ticks
// since boot; empty when there is no such process.
std::string ProcessStartTime(const std::string &pid) {
    std::ifstream stat("/proc/" + pid + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return std::string();
    const std::size_t nameEnd = line.rfind(')');
    if (nameEnd == std::string::npos) return std::string();
    std::istringstream fields(line.substr(nameEnd + 1));
    std::string field;
    for (int number = 3; number <= 22 && fields >> field; ++number) {
        if (number == 22) return field;
    }
    return std::string();
}

// "0x…" hexadecimal or decimal, as machine.ini writes numbers.
bool ParseHandle(const std::string &text, win::HWND *handle) {
    if (text.empty()) return false;
    char *end = nullptr;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    errno = 0;
    const unsigned long long value = std::strtoull(text.c_str() + (hex ? 2 : 0), &end, hex ? 16 : 10);
    if (errno != 0 || *end != '\0' || value == 0) return false;
    *handle = reinterpret_cast<win::HWND>(static_cast<std::uintptr_t>(value));
    return true;
}

void ReadPublishedWindows(const std::string &path, const std::string &pid,
                          std::vector<OtherWindow> *windows) {
    std::ifstream file(path);
    std::string startTime;
    if (!std::getline(file, startTime) || startTime != ProcessStartTime(pid)) return;
    std::string line;
    while (std::getline(file, line)) {
        const std::size_t classStart = line.find('\t');
        const std::size_t titleStart = line.find('\t', classStart + 1);
        if (classStart == std::string::npos || titleStart == std::string::npos) continue;
        OtherWindow window;
        if (!ParseHandle(line.substr(0, classStart), &window.handle)) continue;
        window.className = line.substr(classStart + 1, titleStart - classStart - 1);
        window.title = line.substr(titleStart + 1);
        windows->push_back(window);
    }
}

bool IsPidName(const char *name) {
    if (!*name) return false;
    for (const char *c = name; *c; ++c)
        if (*c < '0' || *c > '9') return false;
    return true;
}

// One line per window: a title cannot hold a line break there.
std::string OneLine(std::string text) {
    for (char &c : text)
        if (c == '\n' || c == '\r') c = ' ';
    return text;
}

}  // namespace

std::vector<OtherWindow> OtherProgramsWindows() {
    std::vector<OtherWindow> windows;
    for (const auto &entry : Machine::Get().Section("Windows")) {
        OtherWindow window;
        window.title = entry.first;
        if (ParseHandle(entry.second, &window.handle)) windows.push_back(window);
    }
    const std::string folder = WindowsFolder();
    DIR *directory = opendir(folder.c_str());
    if (!directory) return windows;
    const std::string self = std::to_string(getpid());
    while (const dirent *entry = readdir(directory)) {
        if (!IsPidName(entry->d_name) || self == entry->d_name) continue;
        ReadPublishedWindows(folder + "/" + entry->d_name, entry->d_name, &windows);
    }
    closedir(directory);
    return windows;
}

bool FindOtherWindow(win::HWND handle, OtherWindow *window) {
    for (const OtherWindow &other : OtherProgramsWindows()) {
        if (other.handle == handle) {
            *window = other;
            return true;
        }
    }
    return false;
}

void PublishOwnWindows() {
    // Two threads changing windows at once must not interleave their files.
    static std::mutex publishing;
    std::lock_guard<std::mutex> guard(publishing);
    const std::string folder = WindowsFolder();
    const std::string pid = std::to_string(getpid());
    const std::string path = folder + "/" + pid;
    const std::vector<Window> windows = TopLevelWindows();
    if (windows.empty()) {
        if (unlink(path.c_str()) != 0 && errno != ENOENT)
            std::fprintf(stderr, "mirtel: cannot remove %s: %s\n", path.c_str(), std::strerror(errno));
        return;
    }
    std::string text = ProcessStartTime(pid) + "\n";
    for (const Window &window : windows) {
        char handle[32];
        std::snprintf(handle, sizeof handle, "0x%" PRIxPTR, reinterpret_cast<std::uintptr_t>(window.handle));
        text += std::string(handle) + "\t" + OneLine(window.className) + "\t" + OneLine(window.text) + "\n";
    }
    // Readers see the old or the new list, never half of one.
    const std::string temporary = folder + "/." + pid + ".tmp";
    mkdir(folder.c_str(), 0777);
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (!file || rename(temporary.c_str(), path.c_str()) != 0)
        std::fprintf(stderr, "mirtel: cannot publish windows in %s: %s\n", path.c_str(), std::strerror(errno));
}

}  // namespace sim
