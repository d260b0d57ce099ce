// What the INF engine takes from the machine it runs on: the ANSI code
// page, the Windows and system folders, which strings section to prefer,
// and how it reaches files.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/sim/setupapi/code_page_text.h"
#include "platform/sim/setupapi/inf_strings.h"
#include "platform/sim/setupapi/text_buffer.h"
#include "platform/sim/setupapi/wide_chars.h"
#include "platform/types.h"

namespace sim::setupapi {

struct EngineSettings {
    EngineSettings(win::UINT codePage, const std::string &windowsFolder, const std::string &systemFolder,
                   const std::string &userProfile, StringsChoice strings)
        : codePage(std::make_shared<const CodePageText>(codePage)),
          unicodeCodePage(std::make_shared<const CodePageText>(codePage, true)),
          wideChars(std::make_shared<WideCharTags>(codePage)),
          windowsFolder(windowsFolder),
          systemFolder(systemFolder),
          directories(windowsFolder, systemFolder, userProfile),
          strings(strings) {}

    std::shared_ptr<const CodePageText> codePage;
    // Unicode files' text: the code page with the tags of wide_chars.h.
    std::shared_ptr<const CodePageText> unicodeCodePage;
    std::shared_ptr<WideCharTags> wideChars;
    std::string windowsFolder;  // "C:\WINDOWS"
    std::string systemFolder;   // "C:\WINDOWS\system32"
    DirectoryIds directories;
    StringsChoice strings;
};

// What tells one state of a file from another without reading it: which
// file it is, its size, and when its content and its attributes (its
// permissions among them) last changed.
struct FileStamp {
    std::uint64_t device = 0, inode = 0, size = 0;
    std::int64_t modified = 0, changed = 0;  // nanoseconds
    bool operator==(const FileStamp &other) const {
        return device == other.device && inode == other.inode && size == other.size &&
               modified == other.modified && changed == other.changed;
    }
};

// The files the engine reads, by Windows path.
class FileAccess {
public:
    virtual ~FileAccess() = default;
    // The full Windows path of `path` (relative paths against the current
    // directory), as GetFullPathNameA gives it; empty when it has none.
    virtual std::string FullPath(const std::string &path) const = 0;
    // The whole file at a full path: NO_ERROR, or the error CreateFileA
    // gives for it (ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND,
    // ERROR_ACCESS_DENIED ...).
    virtual win::DWORD Read(const std::string &fullPath, TextBuffer *bytes) const = 0;
    // The stamp of the file at a full path; false when there is none to
    // give, and then the file is read every time.
    virtual bool Stamp(const std::string &fullPath, FileStamp *stamp) const {
        (void)fullPath;
        (void)stamp;
        return false;
    }
};

}  // namespace sim::setupapi
