// Opening, closing, describing and appending INF files.
#include "platform/sim/setupapi/setupapi_engine.h"

#include <cstddef>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/sim/setupapi/call_result.h"

namespace sim::setupapi {
namespace {

win::HINF InvalidInf() { return win::INVALID_HANDLE_VALUE; }

// An existing file that parses with errors or has no Windows 4 signature
// is what Windows calls an old-style INF.
bool IsOldStyleInf(const LoadResult &loaded) { return loaded.read && loaded.hasErrorLine; }

}  // namespace

SetupApiEngine::SetupApiEngine(std::shared_ptr<const EngineSettings> settings, std::unique_ptr<FileAccess> files)
    : m_settings(std::move(settings)), m_files(std::move(files)) {}

LoadResult SetupApiEngine::Load(const char *fileName, const char *infClass, win::DWORD infStyle,
                                NameSearch search) {
    return LoadInf(fileName, infClass, infStyle, m_settings, *m_files, search, &m_lastParsed);
}

win::HINF SetupApiEngine::OpenInfFile(const char *fileName, const char *infClass, win::DWORD infStyle,
                                      win::UINT *errorLine) {
    LoadResult loaded = Load(fileName, infClass, infStyle);
    if (!loaded.inf) {
        if (loaded.hasErrorLine && errorLine != nullptr) *errorLine = loaded.errorLine;
        win::SetLastError(loaded.error);
        return InvalidInf();
    }
    const win::HINF inf = m_handles.Add(std::move(loaded.inf));
    win::SetLastError(win::NO_ERROR);
    return inf;
}

void SetupApiEngine::CloseInfFile(win::HINF inf) {
    const std::shared_ptr<const OpenInf> closing = m_handles.Find(inf);
    if (!closing || !m_handles.Remove(inf)) return;
    for (const OpenInf::Member &member : closing->files) m_lastParsed.Forget(member.inf.get());
}

win::BOOL SetupApiEngine::GetInfInformation(const void *infNameOrHandle, win::DWORD searchControl,
                                            win::SP_INF_INFORMATION *buffer, win::DWORD bufferSize,
                                            win::DWORD *requiredSize) {
    if (infNameOrHandle == nullptr)
        return Fail(searchControl == win::INFINFO_INF_SPEC_IS_HINF ? win::ERROR_INVALID_HANDLE
                                                                   : win::ERROR_INVALID_PARAMETER);
    win::DWORD style = win::INF_STYLE_NONE;
    std::vector<std::string> paths;
    switch (searchControl) {
    case win::INFINFO_INF_SPEC_IS_HINF: {
        const std::shared_ptr<const OpenInf> open = m_handles.Find(infNameOrHandle);
        if (!open) return Fail(win::ERROR_INVALID_HANDLE);
        style = open->files.front().inf->Style();
        for (const OpenInf::Member &member : open->files) paths.push_back(member.inf->FullPath());
        break;
    }
    case win::INFINFO_INF_NAME_IS_ABSOLUTE:
    case win::INFINFO_DEFAULT_SEARCH:
    case INFINFO_REVERSE_DEFAULT_SEARCH: {
        const NameSearch search = searchControl == win::INFINFO_INF_NAME_IS_ABSOLUTE ? NameSearch::AsPath
                                  : searchControl == win::INFINFO_DEFAULT_SEARCH  ? NameSearch::InfFolderFirst
                                                                                   : NameSearch::SystemFolderFirst;
        const char *name = static_cast<const char *>(infNameOrHandle);
        const LoadResult loaded = Load(name, nullptr, win::INF_STYLE_OLDNT | win::INF_STYLE_WIN4, search);
        if (loaded.inf) style = loaded.inf->Style();
        else if (IsOldStyleInf(loaded)) style = win::INF_STYLE_OLDNT;
        else return Fail(win::ERROR_FILE_NOT_FOUND);
        paths.push_back(loaded.fullPath);
        break;
    }
    case INFINFO_INF_PATH_LIST_SEARCH:
        return Fail(ERROR_CALL_NOT_IMPLEMENTED);
    default:
        return Fail(win::ERROR_INVALID_PARAMETER);
    }
    // VersionData holds the full path of every file, each with its NUL.
    std::size_t required = offsetof(win::SP_INF_INFORMATION, VersionData);
    for (const std::string &path : paths) required += path.size() + 1;
    if (requiredSize != nullptr) *requiredSize = static_cast<win::DWORD>(required);
    if (buffer == nullptr) return bufferSize == 0 ? Succeed() : Fail(win::ERROR_INVALID_PARAMETER);
    if (bufferSize < required) return Fail(win::ERROR_INSUFFICIENT_BUFFER);
    buffer->InfStyle = style;
    buffer->InfCount = static_cast<win::DWORD>(paths.size());
    win::BYTE *data = buffer->VersionData;
    for (const std::string &path : paths) {
        std::memcpy(data, path.c_str(), path.size() + 1);
        data += path.size() + 1;
    }
    return Succeed();
}

win::BOOL SetupApiEngine::OpenAppendInfFile(const char *fileName, win::HINF inf, win::UINT *errorLine) {
    const std::shared_ptr<const OpenInf> open = m_handles.Find(inf);
    if (!open) return Fail(win::ERROR_INVALID_HANDLE);
    return fileName == nullptr ? AppendLayoutFiles(inf, *open, errorLine) : AppendFile(inf, fileName, errorLine);
}

win::BOOL SetupApiEngine::AppendFile(win::HINF inf, const char *fileName, win::UINT *errorLine) {
    LoadResult loaded = Load(fileName, nullptr, win::INF_STYLE_WIN4);
    if (!loaded.inf) {
        if (loaded.hasErrorLine && errorLine != nullptr) *errorLine = loaded.errorLine;
        return Fail(loaded.error);
    }
    // A handle closed meanwhile by another thread takes nothing more.
    return m_handles.Append(inf, std::move(loaded.inf)) ? Succeed() : Fail(win::ERROR_INVALID_HANDLE);
}

// Every file [Version] LayoutFile names, in order; the files appended
// before one that fails stay appended.
win::BOOL SetupApiEngine::AppendLayoutFiles(win::HINF inf, const OpenInf &open, win::UINT *errorLine) {
    win::INFCONTEXT layout;
    if (!FindFirstLine(inf, "Version", "LayoutFile", &layout)) return win::FALSE;
    const LoadedInf &named = *open.files[open.IndexOf(layout.CurrentInf)].inf;
    InfLineFields line;
    named.File().ReadLine(named.File().Section(layout.Section), layout.Line, &line);
    for (std::uint32_t i = 0; i < line.ValueCount(); ++i) {
        SubstitutedText buffer;
        std::string presented;
        const std::string name(named.Presented(named.Substitute(line.Value(i), &buffer), &presented));
        if (!AppendFile(inf, name.c_str(), errorLine)) return win::FALSE;
    }
    return Succeed();
}

}  // namespace sim::setupapi
