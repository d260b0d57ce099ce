#include "platform/sim/files/search_order.h"

#include <sys/stat.h>

#include <cctype>
#include <vector>

#include "platform/sim/files/paths.h"
#include "platform/sim/machine/machine.h"
#include "platform/system.h"

namespace sim {
namespace {

// A folder as Windows compares it: "/" is "\", case and trailing
// separators do not count.
std::string FolderKey(std::string path) {
    for (char &c : path) {
        if (c == '/') c = '\\';
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    while (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

std::string FolderOf(const std::string &path) {
    const std::size_t separator = AfterLastSeparator(path);
    return separator == 0 ? std::string() : path.substr(0, separator - 1);
}

std::string ProgramFolder() {
    char program[win::MAX_PATH] = {};
    const win::DWORD length = win::GetModuleFileNameA(nullptr, program, win::MAX_PATH);
    return length == 0 || length >= win::MAX_PATH ? std::string() : FolderOf(program);
}

}  // namespace

bool IsRegularFileAt(const std::string &windowsPath) {
    const std::string host = HostPath(windowsPath.c_str());
    struct stat info;
    return !host.empty() && stat(host.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string FoundBeforeSystemFolders(const std::string &name) {
    for (std::string folder : {ProgramFolder(), CurrentDirectory()}) {
        while (!folder.empty() && folder.back() == '\\') folder.pop_back();
        if (folder.empty()) continue;
        const std::string candidate = folder + "\\" + name;
        if (IsRegularFileAt(candidate)) return candidate;
    }
    return std::string();
}

bool InSystemFolders(const std::string &path) {
    const std::string system =
        FolderKey(Machine::Get().String("System", "SystemDirectory", "C:\\WINDOWS\\system32"));
    const std::string folder = FolderKey(FolderOf(FullWindowsPath(path.c_str())));
    return !folder.empty() && (folder == system || folder == FolderKey(FolderOf(system)));
}

}  // namespace sim
