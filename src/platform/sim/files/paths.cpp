// Windows paths of the simulated machine: making them full as
// GetFullPathNameA does, the process's current directory, and the mapping
// between Windows paths and host paths through the machine's drives.
#include "platform/sim/files/paths.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/sim/files/file_errors.h"
#include "platform/sim/files/folder_listing.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/text/codepage.h"
#include "platform/sim/text/unicode.h"

namespace sim {
namespace {

win::UINT CodePage() { return Machine::Get().AnsiCodePage(); }

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

char UpperLetter(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 0x20) : c; }

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The elements of `path` between separators, in order, empty ones
// included; a "\" that is the trail byte of a double-byte character is
// part of its element.
std::vector<std::string> SplitElements(const std::string &path, win::UINT codePage) {
    std::vector<std::string> elements(1);
    for (std::size_t i = 0; i < path.size(); ++i) {
        const char c = path[i];
        if (IsLeadByte(static_cast<unsigned char>(c), codePage) && i + 1 < path.size()) {
            elements.back() += c;
            elements.back() += path[++i];
        } else if (IsSeparator(c)) {
            elements.emplace_back();
        } else {
            elements.back() += c;
        }
    }
    return elements;
}

std::string Join(const std::vector<std::string> &elements, const char *separator) {
    std::string joined;
    for (const std::string &element : elements) {
        if (!joined.empty()) joined += separator;
        joined += element;
    }
    return joined;
}

// The root of a full path: "C:" for a drive, "\\server\share" for a UNC
// path; `rest` receives what follows it (without the separator).
std::string SplitRoot(const std::string &full, std::string *rest, win::UINT codePage) {
    if (full.size() >= 2 && IsSeparator(full[0]) && IsSeparator(full[1])) {
        std::vector<std::string> elements = SplitElements(full.substr(2), codePage);
        std::string root = "\\\\" + elements[0];
        std::size_t used = 1;
        if (elements.size() > 1) {
            root += "\\" + elements[1];
            used = 2;
        }
        rest->clear();
        for (std::size_t i = used; i < elements.size(); ++i) {
            if (i > used) *rest += "\\";
            *rest += elements[i];
        }
        if (elements.size() > used && rest->empty()) *rest = "\\";
        return root;
    }
    *rest = full.size() > 3 ? full.substr(3) : std::string();
    return full.substr(0, 2);
}

// Resolves "." and "..", drops empty elements, and trims elements as
// Windows does, below `root`.
std::string Normalize(const std::string &root, const std::string &rest, win::UINT codePage) {
    const bool trailingSeparator = !rest.empty() && IsSeparator(rest.back());
    std::vector<std::string> kept;
    for (std::string element : SplitElements(rest, codePage)) {
        if (element.empty() || element == ".") continue;
        if (element == "..") {
            if (!kept.empty()) kept.pop_back();
            continue;
        }
        // One trailing period goes; "a.." and "..." keep theirs.
        if (element.back() == '.' && (element.size() < 2 || element[element.size() - 2] != '.'))
            element.pop_back();
        kept.push_back(element);
    }
    if (!trailingSeparator && !kept.empty()) {
        std::string &last = kept.back();
        while (!last.empty() && (last.back() == '.' || last.back() == ' ')) last.pop_back();
        if (last.empty()) kept.pop_back();
    }
    const bool unc = root.size() > 2 && root[0] == '\\';
    if (kept.empty()) return unc ? root + (trailingSeparator ? "\\" : "") : root + "\\";
    return root + "\\" + Join(kept, "\\") + (trailingSeparator ? "\\" : "");
}

struct CurrentDirectoryState {
    std::mutex lock;
    std::string path;
};

CurrentDirectoryState &CurrentState() {
    static CurrentDirectoryState state;
    return state;
}

std::string HostCurrentDirectory() {
    char buffer[PATH_MAX];
    return getcwd(buffer, sizeof buffer) != nullptr ? std::string(buffer) : std::string("/");
}

// `path` made absolute against the host's current directory, with "." and
// ".." resolved and repeated "/" dropped, without looking at the disk.
std::string LexicalHostPath(const std::string &path) {
    const std::string absolute = !path.empty() && path[0] == '/' ? path : HostCurrentDirectory() + "/" + path;
    std::vector<std::string> kept;
    std::size_t start = 0;
    while (start <= absolute.size()) {
        std::size_t end = absolute.find('/', start);
        if (end == std::string::npos) end = absolute.size();
        const std::string element = absolute.substr(start, end - start);
        if (element == "..") {
            if (!kept.empty()) kept.pop_back();
        } else if (!element.empty() && element != ".") {
            kept.push_back(element);
        }
        start = end + 1;
    }
    return "/" + Join(kept, "/");
}

bool IsUnder(const std::string &path, const std::string &folder) {
    if (folder == "/") return true;
    return path.compare(0, folder.size(), folder) == 0 &&
           (path.size() == folder.size() || path[folder.size()] == '/');
}

std::string JoinHost(const std::string &folder, const std::string &name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

bool Exists(const std::string &hostPath) {
    struct stat info;
    return lstat(hostPath.c_str(), &info) == 0;
}

// The entry of `folder` whose 8.3 alias (GetShortPathNameA, FindFirstFileA)
// is `name`, without regard to case; empty when there is none.
std::string FindEntryByShortName(const std::string &folder, const std::string &name) {
    std::vector<FolderEntry> entries;
    if (!ListFolder(folder, true, &entries)) return std::string();
    const std::u16string wanted = UpcasedUtf16(name);
    for (const FolderEntry &entry : entries)
        if (!entry.shortName.empty() && UpcasedUtf16(entry.shortName) == wanted) return entry.name;
    return std::string();
}

// The entry of `folder` whose name equals `name` without regard to case,
// else the one whose short name it is; empty when there is none. Of
// several names, the one whose bytes sort first.
std::string FindEntryIgnoringCase(const std::string &folder, const std::string &name) {
    std::unique_ptr<DIR, int (*)(DIR *)> dir(opendir(folder.c_str()), closedir);
    if (!dir) return std::string();
    const std::u16string wanted = UpcasedUtf16(name);
    std::string found;
    while (const dirent *entry = readdir(dir.get())) {
        const std::string candidate = entry->d_name;
        if (candidate == "." || candidate == "..") continue;
        if (UpcasedUtf16(candidate) == wanted && (found.empty() || candidate < found)) found = candidate;
    }
    // Every short name the machine hands out has a "~".
    if (found.empty() && name.find('~') != std::string::npos) found = FindEntryByShortName(folder, name);
    return found;
}

bool HasInvalidCharacter(const std::string &element, win::UINT codePage) {
    for (std::size_t i = 0; i < element.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(element[i]);
        if (IsLeadByte(c, codePage)) {
            ++i;
            continue;
        }
        if (c < 0x20 || c == '<' || c == '>' || c == ':' || c == '"' || c == '|' || c == '?' || c == '*')
            return true;
    }
    return false;
}

}  // namespace

std::size_t AfterLastSeparator(const std::string &ansiPath) {
    const win::UINT codePage = CodePage();
    std::size_t after = 0;
    for (std::size_t i = 0; i < ansiPath.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(ansiPath[i]), codePage)) ++i;
        else if (IsSeparator(ansiPath[i])) after = i + 1;
    }
    return after;
}

std::string CurrentDirectory() {
    CurrentDirectoryState &state = CurrentState();
    std::lock_guard<std::mutex> guard(state.lock);
    if (state.path.empty()) {
        state.path = WindowsPath(HostCurrentDirectory());
        if (state.path.empty()) state.path = "C:\\";
    }
    return state.path;
}

void ChangeCurrentDirectory(const char *windowsPath) {
    std::string full = FullWindowsPath(windowsPath);
    if (full.size() > 3 && full.back() == '\\') full.pop_back();
    CurrentDirectoryState &state = CurrentState();
    std::lock_guard<std::mutex> guard(state.lock);
    state.path = full;
}

std::string FullWindowsPath(const char *windowsPath) {
    if (windowsPath == nullptr || windowsPath[0] == '\0') return std::string();
    const win::UINT codePage = CodePage();
    std::string path = windowsPath;
    for (char &c : path)
        if (c == '/') c = '\\';  // "/" is never the trail byte of a double-byte character

    std::string combined;
    if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
        // "\\?\" and "\\.\" name the path exactly as written.
        if (path.size() >= 4 && (path[2] == '?' || path[2] == '.') && path[3] == '\\') return path;
        combined = path;
    } else if (path.size() >= 2 && IsLetter(path[0]) && path[1] == ':') {
        if (path.size() >= 3 && path[2] == '\\') {
            combined = path;
        } else {
            // Drive-relative: the current directory when it is on that
            // drive, else the drive's root.
            const std::string current = CurrentDirectory();
            const char letter = UpperLetter(path[0]);
            const bool onDrive = current.size() >= 2 && UpperLetter(current[0]) == letter && current[1] == ':';
            combined = (onDrive ? current : std::string(1, letter) + ":") + "\\" + path.substr(2);
        }
    } else {
        const std::string current = CurrentDirectory();
        if (path[0] == '\\') {
            std::string ignored;
            combined = SplitRoot(current, &ignored, codePage) + path;
        } else {
            combined = current + "\\" + path;
        }
    }
    std::string rest;
    const std::string root = SplitRoot(combined, &rest, codePage);
    return Normalize(root, rest, codePage);
}

std::string HostPathOrError(const char *windowsPath, win::DWORD *error) {
    std::string full = FullWindowsPath(windowsPath);
    // "\\?\C:\..." names the local path as written.
    if (full.size() >= 7 && full.compare(0, 4, "\\\\?\\") == 0 && IsLetter(full[4]) && full[5] == ':')
        full.erase(0, 4);
    if (full.empty()) {
        *error = win::ERROR_PATH_NOT_FOUND;
        return std::string();
    }
    if (full[0] == '\\') {
        *error = ERROR_BAD_NETPATH;
        return std::string();
    }
    const Machine &machine = Machine::Get();
    const auto drive = machine.Drives().find(UpperLetter(full[0]));
    if (drive == machine.Drives().end()) {
        *error = win::ERROR_PATH_NOT_FOUND;
        return std::string();
    }
    const win::UINT codePage = machine.AnsiCodePage();
    std::string host = drive->second;
    bool existing = true;
    for (const std::string &element : SplitElements(full.substr(3), codePage)) {
        if (element.empty()) continue;
        if (HasInvalidCharacter(element, codePage)) {
            *error = win::ERROR_INVALID_NAME;
            return std::string();
        }
        const std::string name = AnsiToUtf8(element, codePage);
        std::string next = JoinHost(host, name);
        if (existing && !Exists(next)) {
            const std::string found = FindEntryIgnoringCase(host, name);
            if (found.empty()) existing = false;
            else next = JoinHost(host, found);
        }
        host = next;
    }
    *error = win::NO_ERROR;
    return host;
}

std::string HostPath(const char *windowsPath) {
    win::DWORD ignored;
    return HostPathOrError(windowsPath, &ignored);
}

std::string WindowsPath(const std::string &hostPath) {
    const std::string path = LexicalHostPath(hostPath);
    const Machine &machine = Machine::Get();
    char bestLetter = 0;
    std::size_t bestLength = 0;
    for (const auto &drive : machine.Drives()) {
        std::vector<std::string> roots = {drive.second};
        char resolved[PATH_MAX];
        if (realpath(drive.second.c_str(), resolved) != nullptr && drive.second != resolved)
            roots.emplace_back(resolved);
        for (const std::string &root : roots) {
            if (IsUnder(path, root) && (bestLetter == 0 || root.size() > bestLength)) {
                bestLetter = drive.first;
                bestLength = root.size();
            }
        }
    }
    if (bestLetter == 0) return std::string();
    std::string rest = path.substr(std::min(bestLength, path.size()));
    while (!rest.empty() && rest[0] == '/') rest.erase(0, 1);
    for (char &c : rest)
        if (c == '/') c = '\\';
    return std::string(1, bestLetter) + ":\\" + Utf8ToAnsi(rest, machine.AnsiCodePage());
}

}  // namespace sim
