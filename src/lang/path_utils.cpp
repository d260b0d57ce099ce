// Path splitting and completion, recursive file search, INI reading and the
// Windows folder. The Windows rules themselves (_splitpath, _fullpath,
// FindFirstFileA matching, GetPrivateProfileStringA) come from the platform;
// these functions only shape their results the way the program uses them.
#include "lang/path_utils.h"

#include <cstring>
#include <vector>

namespace {

// Which parts of a split path a selector puts together, in this order:
// drive, folder (whole or less its final separator), name, extension.
struct SplitRecipe {
    int selector;
    bool drive;
    enum { kNoFolder, kWholeFolder, kFolderLessSeparator } folder;
    bool name;
    bool extension;
};

const SplitRecipe kSplitRecipes[] = {
    {kSplitDriveFolder, true, SplitRecipe::kFolderLessSeparator, false, false},
    {kSplitDriveFolderSlash, true, SplitRecipe::kWholeFolder, false, false},
    {kSplitNameExt, false, SplitRecipe::kNoFolder, true, true},
    {kSplitDrive, true, SplitRecipe::kNoFolder, false, false},
    {kSplitFolder, false, SplitRecipe::kFolderLessSeparator, false, false},
    {kSplitFolderSlash, false, SplitRecipe::kWholeFolder, false, false},
    {kSplitName, false, SplitRecipe::kNoFolder, true, false},
    {kSplitExt, false, SplitRecipe::kNoFolder, false, true},
    {kSplitNoExt, true, SplitRecipe::kWholeFolder, true, false},
};

const SplitRecipe *FindSplitRecipe(int selector) {
    for (const SplitRecipe &recipe : kSplitRecipes)
        if (recipe.selector == selector) return &recipe;
    return nullptr;
}

// Puts the process's current directory back when it goes out of scope.
class CurrentDirectoryKeeper {
public:
    CurrentDirectoryKeeper() {
        DWORD length = GetCurrentDirectoryA(sizeof m_saved, m_saved);
        m_valid = length != 0 && length < sizeof m_saved;
    }
    ~CurrentDirectoryKeeper() {
        if (m_valid) SetCurrentDirectoryA(m_saved);
    }
    CurrentDirectoryKeeper(const CurrentDirectoryKeeper &) = delete;
    CurrentDirectoryKeeper &operator=(const CurrentDirectoryKeeper &) = delete;

    bool Valid() const { return m_valid; }

private:
    char m_saved[MAX_PATH + 1] = {};
    bool m_valid = false;
};

// One FindFirstFileA search, closed when it goes out of scope.
class FileSearch {
public:
    explicit FileSearch(const CString &pattern)
        : m_handle(FindFirstFileA(pattern.c_str(), &m_data)),
          m_firstError(m_handle == INVALID_HANDLE_VALUE ? GetLastError() : NO_ERROR) {}
    ~FileSearch() {
        if (m_handle != INVALID_HANDLE_VALUE) FindClose(m_handle);
    }
    FileSearch(const FileSearch &) = delete;
    FileSearch &operator=(const FileSearch &) = delete;

    bool Found() const { return m_handle != INVALID_HANDLE_VALUE; }
    DWORD FirstError() const { return m_firstError; }
    const WIN32_FIND_DATAA &Entry() const { return m_data; }
    bool Next() { return FindNextFileA(m_handle, &m_data) != FALSE; }

private:
    WIN32_FIND_DATAA m_data = {};
    HANDLE m_handle;
    DWORD m_firstError;
};

bool IsDotEntry(const char *name) {
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

bool EqualsNoCase(const char *a, const char *b) {
    for (; *a && *b; ++a, ++b) {
        char ca = (*a >= 'a' && *a <= 'z') ? static_cast<char>(*a - 'a' + 'A') : *a;
        char cb = (*b >= 'a' && *b <= 'z') ? static_cast<char>(*b - 'a' + 'A') : *b;
        if (ca != cb) return false;
    }
    return *a == *b;
}

// The marker that GetPrivateProfileStringA hands back for a missing key.
constexpr const char *kNoKey = "NOKEY";
// INI buffers grow by this much, which suits the short values read.
constexpr DWORD kProfileStep = 16;

}  // namespace

void SplitPath(const char *path, int selector, CString &out) {
    out.clear();
    const SplitRecipe *recipe = FindSplitRecipe(selector);
    if (!recipe) return;

    char drive[MAX_DRIVE] = {}, folder[MAX_DIR] = {}, name[MAX_FNAME] = {}, ext[MAX_EXT] = {};
    CrtSplitPath(path, drive, folder, name, ext);

    if (recipe->drive) out += drive;
    std::size_t folderLength = std::strlen(folder);
    if (recipe->folder == SplitRecipe::kWholeFolder) {
        out.append(folder, folderLength);
    } else if (recipe->folder == SplitRecipe::kFolderLessSeparator) {
        // A root folder keeps its backslash when it follows a drive, so that
        // C:\SETUP.EXE gives C:\ and not the drive-relative C:.
        std::size_t keep = folderLength ? folderLength - 1 : 0;
        if (selector == kSplitDriveFolder && std::strcmp(folder, "\\") == 0) keep = 1;
        out.append(folder, keep);
    }
    if (recipe->name) out += name;
    if (recipe->extension) out += ext;
}

BOOL MakeFullPath(const char *baseFolder, const char *path, CString &out) {
    CurrentDirectoryKeeper keeper;
    if (!keeper.Valid()) return FALSE;
    if (baseFolder && *baseFolder && !SetCurrentDirectoryA(baseFolder)) return FALSE;

    // Only a colon that starts a rooted path is accepted: a drive-relative
    // path such as D:Drivers would depend on that drive's own current folder.
    const char *colon = std::strchr(path, ':');
    if (colon && colon[1] != '\\') return FALSE;

    std::vector<char> full(MAX_PATH);
    if (!CrtFullPath(full.data(), path, full.size())) return FALSE;
    out = full.data();
    return TRUE;
}

void FindFilesRecursive(const CString &folder, const char *pattern, CStringList &list) {
    CString prefix = folder;
    if (prefix.empty() || prefix.back() != '\\') prefix += '\\';

    {
        FileSearch matches(prefix + pattern);
        if (!matches.Found() && matches.FirstError() != ERROR_FILE_NOT_FOUND) return;
        if (matches.Found()) {
            do {
                list.push_back(prefix + matches.Entry().cFileName);
            } while (matches.Next());
        }
    }

    FileSearch entries(prefix + "*.*");
    if (!entries.Found()) return;
    do {
        const WIN32_FIND_DATAA &entry = entries.Entry();
        // Links and junctions are not entered: a tree may loop through them.
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && !IsDotEntry(entry.cFileName))
            FindFilesRecursive(prefix + entry.cFileName, pattern, list);
    } while (entries.Next());
}

BOOL ReadProfileString(const char *file, const char *section, const char *key, CString &out,
                       int &found) {
    found = 1;
    DWORD size = kProfileStep;
    for (;;) {
        std::vector<char> buffer(size, '\0');
        DWORD length = GetPrivateProfileStringA(section, key, kNoKey, buffer.data(), size, file);
        const char *value = buffer.data();
        if (!*value) {
            out.clear();
            return FALSE;
        }
        if (EqualsNoCase(value, kNoKey)) {
            out.clear();
            found = 0;
            return FALSE;
        }
        // A value that filled the buffer may have been cut (a cut value and
        // an exact fit report the same length): read again with more room.
        if (length + 2 < size) {
            out = value;
            return TRUE;
        }
        size += kProfileStep;
    }
}

BOOL ReadProfileNames(const char *file, const char *section, CStringList &list) {
    DWORD size = kProfileStep;
    std::vector<char> buffer;
    DWORD length;
    do {
        buffer.assign(size, '\0');
        length = GetPrivateProfileStringA(section, nullptr, "", buffer.data(), size, file);
        size += kProfileStep;
    } while (length + 2 >= buffer.size());

    // The names stand one after another, each ended by a NUL, the list by a
    // second NUL. The buffer is zero-filled and at least two bytes longer
    // than the list, so the walk always finds that end.
    std::size_t position = 0;
    for (;;) {
        CString name(buffer.data() + position);
        list.push_back(name);
        position += name.size() + 1;
        if (position >= buffer.size() || buffer[position] == '\0') break;
    }
    return TRUE;
}

void GetWindowsFolder(char *buffer, UINT size) {
    if (!buffer || size == 0) return;
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);

    // The last backslash that is a character of its own, not the second
    // byte of a double-byte character.
    std::size_t lastSeparator = 0;
    for (std::size_t i = 0; system[i]; ++i) {
        if (IsDBCSLeadByte(static_cast<BYTE>(system[i])) && system[i + 1]) {
            ++i;
            continue;
        }
        if (system[i] == '\\') lastSeparator = i;
    }

    std::memset(buffer, 0, size);
    std::size_t length = lastSeparator < size ? lastSeparator : size - 1;
    std::memcpy(buffer, system, length);
}

CString SystemFolder() {
    char buffer[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? CString(buffer) : CString();
}

CString JoinPath(const CString &folder, const char *name) {
    // The last character, not a trail byte of a double-byte character,
    // decides whether the folder already ends with a separator.
    bool backslash = false;
    for (std::size_t i = 0; i < folder.size(); ++i) {
        const BYTE c = static_cast<BYTE>(folder[i]);
        backslash = c == '\\';
        if (IsDBCSLeadByte(c)) ++i;
    }
    return backslash ? folder + name : folder + "\\" + name;
}
