// File-system service: kernel32 file calls and the C runtime's fopen.
#include "platform/files.h"
#include "platform/win32/native.h"

namespace win {
namespace {

::HANDLE Native(HANDLE handle) { return reinterpret_cast<::HANDLE>(handle); }
::LPWIN32_FIND_DATAA Native(WIN32_FIND_DATAA *data) {
    return reinterpret_cast<::LPWIN32_FIND_DATAA>(data);
}

}  // namespace

HANDLE FindFirstFileA(const char *pattern, WIN32_FIND_DATAA *data) {
    return reinterpret_cast<HANDLE>(::FindFirstFileA(pattern, Native(data)));
}

BOOL FindNextFileA(HANDLE find, WIN32_FIND_DATAA *data) {
    return ::FindNextFileA(Native(find), Native(data));
}

BOOL FindClose(HANDLE find) { return ::FindClose(Native(find)); }

DWORD GetFileAttributesA(const char *path) { return ::GetFileAttributesA(path); }

BOOL SetFileAttributesA(const char *path, DWORD attributes) {
    return ::SetFileAttributesA(path, attributes);
}

BOOL DeleteFileA(const char *path) { return ::DeleteFileA(path); }

BOOL CopyFileA(const char *from, const char *to, BOOL failIfExists) {
    return ::CopyFileA(from, to, failIfExists);
}

BOOL CreateDirectoryA(const char *path, void *securityAttributes) {
    return ::CreateDirectoryA(path, static_cast<::LPSECURITY_ATTRIBUTES>(securityAttributes));
}

DWORD GetCurrentDirectoryA(DWORD size, char *buffer) {
    return ::GetCurrentDirectoryA(size, buffer);
}

BOOL SetCurrentDirectoryA(const char *path) { return ::SetCurrentDirectoryA(path); }

DWORD GetShortPathNameA(const char *longPath, char *shortPath, DWORD size) {
    return ::GetShortPathNameA(longPath, shortPath, size);
}

HFILE OpenFile(const char *path, OFSTRUCT *info, UINT style) {
    return ::OpenFile(path, reinterpret_cast<::LPOFSTRUCT>(info), style);
}

BOOL CloseFileHandle(HFILE file) { return ::_lclose(file) != HFILE_ERROR; }

std::FILE *OpenStdioFile(const char *path, const char *mode) { return std::fopen(path, mode); }

}  // namespace win
