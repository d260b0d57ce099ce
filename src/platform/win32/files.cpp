// File-system service: kernel32 file calls and the C runtime's fopen.
#include "platform/files.h"
#include "platform/win32/native.h"

#include <fcntl.h>
#include <io.h>

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

std::FILE *OpenOwnFileForAppend(const char *path) {
    const DWORD version = ::GetVersion();
    // The 95 family's file systems have neither links nor mount points.
    if (version & 0x80000000u) return std::fopen(path, "a");
    // NT 4.0 knows no reparse points, and no flag to open one.
    const bool reparsePoints = LOBYTE(LOWORD(version)) >= 5;
    // The entry itself is opened, never what it points to; appending only.
    const ::HANDLE file = ::CreateFileA(
        path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
        FILE_ATTRIBUTE_NORMAL | (reparsePoints ? FILE_FLAG_OPEN_REPARSE_POINT : 0), nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    ::BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(file, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0 ||
        info.nNumberOfLinks != 1) {
        ::CloseHandle(file);
        ::SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    const int descriptor = ::_open_osfhandle(reinterpret_cast<intptr_t>(file), _O_APPEND | _O_TEXT);
    if (descriptor == -1) {
        ::CloseHandle(file);
        return nullptr;
    }
    std::FILE *stream = ::_fdopen(descriptor, "a");
    if (!stream) ::_close(descriptor);
    return stream;
}

}  // namespace win
