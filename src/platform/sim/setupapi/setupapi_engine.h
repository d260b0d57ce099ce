// The INF functions of the built-in "SetupApi.DLL", with the Win32
// setup API's arguments, results and last-error codes: required sizes
// are always reported, a buffer too small fails with
// ERROR_INSUFFICIENT_BUFFER, a missing section or line with
// ERROR_SECTION_NOT_FOUND / ERROR_LINE_NOT_FOUND, a field past the last
// with no error code at all. Lines and searches run on into the files
// appended to an INF handle.
#pragma once

#include <memory>

#include "platform/setupapi.h"
#include "platform/sim/setupapi/engine_settings.h"
#include "platform/sim/setupapi/inf_handles.h"
#include "platform/sim/setupapi/inf_loader.h"
#include "platform/sim/setupapi/last_parsed_inf.h"

namespace sim::setupapi {

constexpr win::DWORD ERROR_CALL_NOT_IMPLEMENTED = 120;
constexpr win::DWORD ERROR_INVALID_USER_BUFFER = 1784;
constexpr win::DWORD INFINFO_REVERSE_DEFAULT_SEARCH = 4;
constexpr win::DWORD INFINFO_INF_PATH_LIST_SEARCH = 5;

class SetupApiEngine {
public:
    SetupApiEngine(std::shared_ptr<const EngineSettings> settings, std::unique_ptr<FileAccess> files);

    // The engine of this process's simulated machine.
    static SetupApiEngine &OfMachine();

    win::HINF OpenInfFile(const char *fileName, const char *infClass, win::DWORD infStyle, win::UINT *errorLine);
    void CloseInfFile(win::HINF inf);
    win::BOOL GetInfInformation(const void *infNameOrHandle, win::DWORD searchControl, win::SP_INF_INFORMATION *buffer,
                                win::DWORD bufferSize, win::DWORD *requiredSize);
    win::BOOL OpenAppendInfFile(const char *fileName, win::HINF inf, win::UINT *errorLine);

    win::BOOL FindFirstLine(win::HINF inf, const char *section, const char *key, win::INFCONTEXT *context);
    win::BOOL FindNextLine(const win::INFCONTEXT *contextIn, win::INFCONTEXT *contextOut);
    win::BOOL FindNextMatchLine(const win::INFCONTEXT *contextIn, const char *key, win::INFCONTEXT *contextOut);
    win::BOOL GetLineText(win::INFCONTEXT *context, win::HINF inf, const char *section, const char *key,
                          char *buffer, win::DWORD bufferSize, win::DWORD *requiredSize);
    win::BOOL GetStringField(win::INFCONTEXT *context, win::DWORD fieldIndex, char *buffer, win::DWORD bufferSize,
                             win::DWORD *requiredSize);
    win::DWORD GetFieldCount(win::INFCONTEXT *context);
    win::LONG GetLineCount(win::HINF inf, const char *section);
    win::BOOL GetLineByIndex(win::HINF inf, const char *section, win::DWORD index, win::INFCONTEXT *context);
    win::BOOL EnumInfSections(win::HINF inf, win::UINT index, char *buffer, win::DWORD size,
                              win::DWORD *requiredSize);

private:
    // A context checked against the open handles: its files, and which of
    // them the context is in.
    struct ContextFile {
        std::shared_ptr<const OpenInf> open;
        std::size_t index = 0;
        const LoadedInf *inf = nullptr;
    };
    // Sets the last error and returns false for a null context or one whose
    // handles are not open.
    bool Resolve(const win::INFCONTEXT *context, ContextFile *file) const;
    // The first line from `from` on whose key is `key`, in file `index`'s
    // section, then in the same section of the files after it.
    win::BOOL FindMatch(const OpenInf &open, win::HINF inf, std::size_t index, std::uint32_t section,
                        std::uint32_t from, const char *key, win::INFCONTEXT *context) const;
    LoadResult Load(const char *fileName, const char *infClass, win::DWORD infStyle,
                    NameSearch search = NameSearch::InfFolderFirst);
    win::BOOL AppendLayoutFiles(win::HINF inf, const OpenInf &open, win::UINT *errorLine);
    // Loads `fileName` as a Windows 4 INF and appends it to `inf`.
    win::BOOL AppendFile(win::HINF inf, const char *fileName, win::UINT *errorLine);

    std::shared_ptr<const EngineSettings> m_settings;
    std::unique_ptr<FileAccess> m_files;
    InfHandles m_handles;
    LastParsedInf m_lastParsed;
};

}  // namespace sim::setupapi
