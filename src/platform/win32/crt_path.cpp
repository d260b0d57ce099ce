// The C runtime's path helpers. Splitting is done here rather than by the
// runtime's _splitpath, whose handling of double-byte characters depends on
// which msvcrt the program meets: in Shift-JIS (code page 932) the second
// byte of a character may be 0x5C, the code of "\", and must never be taken
// for a separator. Lead bytes are those of the ANSI code page.
#include <cstdlib>
#include <cstring>

#include "platform/files.h"
#include "platform/win32/split_path.h"
#include "platform/win32/native.h"

namespace win32 {
namespace {

// Copies at most `capacity` - 1 bytes of [begin, end) and ends the copy.
void CopyPart(char *target, std::size_t capacity, const char *begin, const char *end) {
    if (target == nullptr) return;
    std::size_t length = static_cast<std::size_t>(end - begin);
    if (length > capacity - 1) length = capacity - 1;
    std::memcpy(target, begin, length);
    target[length] = '\0';
}

}  // namespace

void SplitPathInCodePage(unsigned codePage, const char *path, char *drive, char *dir, char *fname,
                         char *ext) {
    // "X:" in front is the drive.
    const char *rest = path;
    if (path[0] != '\0' && path[1] == ':') {
        CopyPart(drive, win::MAX_DRIVE, path, path + 2);
        rest = path + 2;
    } else {
        CopyPart(drive, win::MAX_DRIVE, path, path);
    }

    // The folder runs to the last separator; the extension starts at the
    // last dot after it. Both bytes of a double-byte character are skipped
    // together (a lead byte right before the end stands alone).
    const char *afterLastSlash = nullptr;
    const char *lastDot = nullptr;
    const char *p = rest;
    for (; *p != '\0'; ++p) {
        if (::IsDBCSLeadByteEx(codePage, static_cast<::BYTE>(*p)) && p[1] != '\0') {
            ++p;
        } else if (*p == '\\' || *p == '/') {
            afterLastSlash = p + 1;
        } else if (*p == '.') {
            lastDot = p;
        }
    }
    const char *end = p;

    const char *name = rest;
    if (afterLastSlash != nullptr) name = afterLastSlash;
    CopyPart(dir, win::MAX_DIR, rest, name);

    if (lastDot != nullptr && lastDot >= name) {
        CopyPart(fname, win::MAX_FNAME, name, lastDot);
        CopyPart(ext, win::MAX_EXT, lastDot, end);
    } else {
        CopyPart(fname, win::MAX_FNAME, name, end);
        CopyPart(ext, win::MAX_EXT, end, end);
    }
}

}  // namespace win32

namespace win {

char *CrtFullPath(char *absPath, const char *relPath, std::size_t maxLength) {
    return ::_fullpath(absPath, relPath, maxLength);
}

void CrtSplitPath(const char *path, char *drive, char *dir, char *fname, char *ext) {
    win32::SplitPathInCodePage(CP_ACP, path, drive, dir, fname, ext);
}

}  // namespace win
