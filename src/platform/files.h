// File-system service: kernel32 file calls and the C runtime's path and
// stdio rules, as Windows has them. Paths are Windows paths in the ANSI
// code page (drive letters, "\" or "/" as separators, names compared
// without regard to case).
#pragma once

#include <cstdio>

#include "platform/types.h"

namespace win {

constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;
constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x02;
constexpr DWORD FILE_ATTRIBUTE_SYSTEM = 0x04;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD FILE_ATTRIBUTE_REPARSE_POINT = 0x400;
constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};

struct WIN32_FIND_DATAA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    CHAR cFileName[MAX_PATH];
    CHAR cAlternateFileName[14];
};

// FindFirstFileA matching: "*" and "?" without regard to case, entries in
// the order the file system lists them. INVALID_HANDLE_VALUE on failure
// (ERROR_FILE_NOT_FOUND: folder exists, nothing matches;
// ERROR_PATH_NOT_FOUND: no such folder).
HANDLE FindFirstFileA(const char *pattern, WIN32_FIND_DATAA *data);
BOOL FindNextFileA(HANDLE find, WIN32_FIND_DATAA *data);  // ERROR_NO_MORE_FILES at the end
BOOL FindClose(HANDLE find);

DWORD GetFileAttributesA(const char *path);
BOOL SetFileAttributesA(const char *path, DWORD attributes);
BOOL DeleteFileA(const char *path);
BOOL CopyFileA(const char *from, const char *to, BOOL failIfExists);
BOOL CreateDirectoryA(const char *path, void *securityAttributes);

DWORD GetCurrentDirectoryA(DWORD size, char *buffer);
BOOL SetCurrentDirectoryA(const char *path);
DWORD GetShortPathNameA(const char *longPath, char *shortPath, DWORD size);

// OpenFile, as far as the program uses it.
constexpr UINT OF_READ = 0x0000;
constexpr UINT OF_READWRITE = 0x0002;
constexpr UINT OF_SHARE_EXCLUSIVE = 0x0010;
constexpr UINT OF_EXIST = 0x4000;
constexpr int OFS_MAXPATHNAME = 128;
struct OFSTRUCT {
    BYTE cBytes;
    BYTE fFixedDisk;
    WORD nErrCode;
    WORD Reserved1;
    WORD Reserved2;
    CHAR szPathName[OFS_MAXPATHNAME];
};
HFILE OpenFile(const char *path, OFSTRUCT *info, UINT style);
BOOL CloseFileHandle(HFILE file);  // _lclose

// C runtime: _fullpath and _splitpath (multibyte-aware in the ANSI code page).
char *CrtFullPath(char *absPath, const char *relPath, std::size_t maxLength);
constexpr std::size_t MAX_DRIVE = 3;
constexpr std::size_t MAX_DIR = 256;
constexpr std::size_t MAX_FNAME = 256;
constexpr std::size_t MAX_EXT = 256;
void CrtSplitPath(const char *path, char *drive, char *dir, char *fname, char *ext);

// C runtime fopen with a Windows path. Text mode ("t", the default) writes
// CR LF for "\n" and reads CR LF back as "\n", as the Windows runtime does;
// "b" is byte for byte. The FILE is closed with fclose.
std::FILE *OpenStdioFile(const char *path, const char *mode);

// OpenStdioFile(path, "a") for a file that is only itself: an entry that
// is a link, a mount point or one of several hard links of one file is
// neither followed nor written to (null). Made when missing.
std::FILE *OpenOwnFileForAppend(const char *path);

}  // namespace win
