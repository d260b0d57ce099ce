// Under Wine the host's root is drive Z:, and a relative path is taken
// against the current directory.
#include <string>

#include "dumpcommon/host_path.h"
#include "platform/files.h"

namespace dumpcommon {
namespace {

std::string Backslashed(std::string path) {
    for (char &c : path)
        if (c == '/') c = '\\';
    return path;
}

}  // namespace

std::string WindowsPathOf(const std::string &argument) {
    if (argument.size() >= 2 && argument[1] == ':') return argument;
    if (!argument.empty() && argument[0] == '/') return "Z:" + Backslashed(argument);
    char folder[win::MAX_PATH] = {};
    const win::DWORD length = win::GetCurrentDirectoryA(win::MAX_PATH, folder);
    if (length == 0 || length >= win::MAX_PATH) return Backslashed(argument);
    std::string path = folder;
    if (path.back() != '\\') path += '\\';
    return path + Backslashed(argument);
}

}  // namespace dumpcommon
