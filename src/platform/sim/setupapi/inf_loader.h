// Finding, reading and checking an INF file the way SetupOpenInfFileA
// does: a name with a "\" or "/" is a path (relative ones against the
// current directory); a bare name is looked for in the Windows folder's
// "inf" and then in the system folder. A Windows 4 INF has a [Version]
// Signature of "$Chicago$", "$Windows NT$" or "$Windows 95$".
#pragma once

#include <memory>
#include <string>

#include "platform/sim/setupapi/engine_settings.h"
#include "platform/sim/setupapi/last_parsed_inf.h"
#include "platform/sim/setupapi/loaded_inf.h"
#include "platform/types.h"

namespace sim::setupapi {

constexpr win::DWORD ERROR_CLASS_MISMATCH = 0xE0000201;

// How a name without "\" or "/" is found: in the Windows folder's "inf",
// then the system folder (or the other way round); AsPath takes every
// name as a path.
enum class NameSearch { InfFolderFirst, SystemFolderFirst, AsPath };

struct LoadResult {
    std::shared_ptr<const LoadedInf> inf;  // null on failure
    win::DWORD error = 0;
    bool hasErrorLine = false;  // a parse or style error sets the line
    win::UINT errorLine = 0;
    // The file was found and read (the failure, if any, is its content).
    bool read = false;
    std::string fullPath;
};

// Loads `name`. `infStyle` is INF_STYLE_WIN4 and/or INF_STYLE_OLDNT: a
// file without a Windows 4 signature fails with ERROR_WRONG_INF_STYLE
// when WIN4 is asked for, else it loads as an old-style INF. A non-null
// `infClass` must match [Version] Class (ERROR_CLASS_MISMATCH). A file
// `lastParsed` holds unchanged is not read again; one parsed here
// replaces it there.
LoadResult LoadInf(const char *name, const char *infClass, win::DWORD infStyle,
                   const std::shared_ptr<const EngineSettings> &settings, const FileAccess &files,
                   NameSearch search = NameSearch::InfFolderFirst, LastParsedInf *lastParsed = nullptr);

}  // namespace sim::setupapi
