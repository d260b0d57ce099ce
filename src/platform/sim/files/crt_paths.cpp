// The C runtime's _fullpath and _splitpath, with the rules of the
// Microsoft runtime: _splitpath walks the path in the multibyte code page
// (the machine's ANSI code page), so the trail byte of a double-byte
// character is never taken for a separator or a period.
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/files.h"
#include "platform/sim/files/paths.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/text/codepage.h"

namespace win {
namespace {

void CopyPart(char *target, std::size_t capacity, const char *from, std::size_t length) {
    if (target == nullptr) return;
    length = std::min(length, capacity - 1);
    std::memcpy(target, from, length);
    target[length] = '\0';
}

}  // namespace

char *CrtFullPath(char *absPath, const char *relPath, std::size_t maxLength) {
    const std::string full = relPath == nullptr || relPath[0] == '\0' ? sim::CurrentDirectory()
                                                                      : sim::FullWindowsPath(relPath);
    // Without a buffer of the caller's, the runtime allocates MAX_PATH
    // bytes and ignores maxLength.
    const std::size_t capacity = absPath == nullptr ? MAX_PATH : maxLength;
    if (full.size() + 1 > capacity) {
        errno = ERANGE;
        return nullptr;
    }
    char *result = absPath;
    if (result == nullptr) {
        result = static_cast<char *>(std::malloc(MAX_PATH));
        if (result == nullptr) {
            errno = ENOMEM;
            return nullptr;
        }
    }
    std::memcpy(result, full.c_str(), full.size() + 1);
    return result;
}

void CrtSplitPath(const char *path, char *drive, char *dir, char *fname, char *ext) {
    const UINT codePage = sim::Machine::Get().AnsiCodePage();
    if (std::strlen(path) >= MAX_DRIVE - 1 && path[MAX_DRIVE - 2] == ':') {
        CopyPart(drive, MAX_DRIVE, path, MAX_DRIVE - 1);
        path += MAX_DRIVE - 1;
    } else {
        CopyPart(drive, MAX_DRIVE, path, 0);
    }
    const char *afterSlash = nullptr;
    const char *dot = nullptr;
    const char *end = path;
    for (; *end != '\0'; ++end) {
        if (sim::IsLeadByte(static_cast<unsigned char>(*end), codePage)) {
            if (end[1] == '\0') break;  // a lone lead byte ends the path
            ++end;
        } else if (*end == '/' || *end == '\\') {
            afterSlash = end + 1;
        } else if (*end == '.') {
            dot = end;
        }
    }
    if (*end != '\0') ++end;
    const char *name = path;
    if (afterSlash != nullptr) {
        CopyPart(dir, MAX_DIR, path, static_cast<std::size_t>(afterSlash - path));
        name = afterSlash;
    } else {
        CopyPart(dir, MAX_DIR, path, 0);
    }
    if (dot != nullptr && dot >= name) {
        CopyPart(fname, MAX_FNAME, name, static_cast<std::size_t>(dot - name));
        CopyPart(ext, MAX_EXT, dot, static_cast<std::size_t>(end - dot));
    } else {
        CopyPart(fname, MAX_FNAME, name, static_cast<std::size_t>(end - name));
        CopyPart(ext, MAX_EXT, end, 0);
    }
}

}  // namespace win
