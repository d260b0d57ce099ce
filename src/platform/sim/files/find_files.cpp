// FindFirstFileA / FindNextFileA / FindClose over the simulated machine's
// folders: NTFS listing order, MS-DOS wildcard rules, and a name matching
// through its 8.3 alias as well (so "*.inf" also finds "a.info", whose
// alias is "A~1.INF", as on Windows).
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/files.h"
#include "platform/sim/files/file_errors.h"
#include "platform/sim/files/folder_listing.h"
#include "platform/sim/files/host_files.h"
#include "platform/sim/files/paths.h"
#include "platform/sim/files/wildcard.h"
#include "platform/sim/machine/handles.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/text/codepage.h"
#include "platform/sim/text/unicode.h"
#include "platform/system.h"

namespace win {
namespace {

// An open search: what it found, handed out one by one.
struct FindObject : sim::HandleObject {
    std::vector<WIN32_FIND_DATAA> found;
    std::size_t next = 0;
};

void CopyName(const std::string &name, char *target, std::size_t capacity) {
    const std::size_t length = std::min(name.size(), capacity - 1);
    std::memcpy(target, name.data(), length);
    target[length] = '\0';
}

bool Describe(const std::string &hostPath, const sim::FolderEntry &entry, UINT codePage, WIN32_FIND_DATAA *data) {
    struct stat info;
    if (stat(hostPath.c_str(), &info) != 0) return false;
    std::memset(data, 0, sizeof *data);
    data->dwFileAttributes = sim::AttributesOf(hostPath, info);
    data->ftCreationTime = sim::FileTimeOf(info.st_mtim);
    data->ftLastAccessTime = sim::FileTimeOf(info.st_atim);
    data->ftLastWriteTime = sim::FileTimeOf(info.st_mtim);
    if (!S_ISDIR(info.st_mode)) {
        const auto size = static_cast<std::uint64_t>(info.st_size);
        data->nFileSizeHigh = static_cast<DWORD>(size >> 32);
        data->nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFF);
    }
    CopyName(sim::Utf8ToAnsi(entry.name, codePage), data->cFileName, sizeof data->cFileName);
    CopyName(entry.shortName, data->cAlternateFileName, sizeof data->cAlternateFileName);
    return true;
}

std::string EntryHostPath(const std::string &folder, const std::string &name) {
    if (name == ".") return folder;
    if (name == "..") {
        const std::size_t slash = folder.rfind('/');
        return slash == 0 ? "/" : folder.substr(0, slash);
    }
    return folder == "/" ? "/" + name : folder + "/" + name;
}

HANDLE Fail(DWORD error) {
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
}

}  // namespace

HANDLE FindFirstFileA(const char *pattern, WIN32_FIND_DATAA *data) {
    if (pattern == nullptr || data == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    const std::string text = pattern;
    if (text.empty()) return Fail(ERROR_PATH_NOT_FOUND);
    std::size_t split = sim::AfterLastSeparator(text);
    if (split == 0 && text.size() >= 2 && text[1] == ':') split = 2;  // "C:*.inf"
    const std::string namePattern = text.substr(split);
    if (namePattern.empty()) return Fail(ERROR_FILE_NOT_FOUND);  // "folder\" searches nothing
    const std::string folderPath = split == 0 ? std::string(".") : text.substr(0, split);

    DWORD error = NO_ERROR;
    const std::string folder = sim::HostPathOrError(folderPath.c_str(), &error);
    if (folder.empty()) return Fail(error);
    struct stat info;
    if (stat(folder.c_str(), &info) != 0) return Fail(ERROR_PATH_NOT_FOUND);
    if (!S_ISDIR(info.st_mode)) return Fail(sim::ERROR_DIRECTORY);

    const std::string full = sim::FullWindowsPath(folderPath.c_str());
    const bool isDriveRoot = full.size() == 3 && full[1] == ':';
    std::vector<sim::FolderEntry> entries;
    if (!sim::ListFolder(folder, isDriveRoot, &entries)) return Fail(sim::FileErrorOfErrno(errno));

    const UINT codePage = sim::Machine::Get().AnsiCodePage();
    const std::u16string wanted = sim::UpcasedUtf16(sim::AnsiToUtf8(namePattern, codePage));
    auto search = std::make_shared<FindObject>();
    for (const sim::FolderEntry &entry : entries) {
        const bool matches = sim::MatchesFilePattern(wanted, entry.upcased) ||
                             (!entry.shortName.empty() &&
                              sim::MatchesFilePattern(wanted, sim::UpcasedUtf16(entry.shortName)));
        WIN32_FIND_DATAA found;
        if (matches && Describe(EntryHostPath(folder, entry.name), entry, codePage, &found))
            search->found.push_back(found);
    }
    if (search->found.empty()) return Fail(ERROR_FILE_NOT_FOUND);
    *data = search->found[0];
    search->next = 1;
    return sim::NewHandle(std::move(search));
}

BOOL FindNextFileA(HANDLE find, WIN32_FIND_DATAA *data) {
    const std::shared_ptr<FindObject> search = sim::LookupHandle<FindObject>(find);
    if (!search) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (search->next >= search->found.size()) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    *data = search->found[search->next++];
    return TRUE;
}

BOOL FindClose(HANDLE find) {
    if (!sim::LookupHandle<FindObject>(find) || !sim::CloseSimHandle(find)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

}  // namespace win
