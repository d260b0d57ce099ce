// Finding lines and reading their keys and fields.
#include "platform/sim/setupapi/setupapi_engine.h"

#include <cstring>
#include <string_view>

#include "platform/sim/setupapi/call_result.h"

namespace sim::setupapi {
namespace {

// The fields of a context's line; false when it has none.
bool ReadLineOf(const LoadedInf &inf, win::UINT section, win::UINT line, InfLineFields *fields) {
    const InfFile &file = inf.File();
    if (section >= file.SectionCount() || line >= file.Section(section).lineCount) return false;
    file.ReadLine(file.Section(section), line, fields);
    return true;
}

void SetContext(win::INFCONTEXT *context, const void *inf, const void *file, std::uint32_t section,
                std::uint32_t line) {
    context->Inf = const_cast<void *>(inf);
    context->CurrentInf = const_cast<void *>(file);
    context->Section = section;
    context->Line = line;
}

}  // namespace

bool SetupApiEngine::Resolve(const win::INFCONTEXT *context, ContextFile *file) const {
    if (context == nullptr) return Fail(win::ERROR_INVALID_PARAMETER);
    file->open = m_handles.Find(context->Inf);
    if (file->open) file->index = file->open->IndexOf(context->CurrentInf);
    if (!file->open || file->index == file->open->files.size()) return Fail(win::ERROR_INVALID_HANDLE);
    file->inf = file->open->files[file->index].inf.get();
    return true;
}

win::BOOL SetupApiEngine::FindMatch(const OpenInf &open, win::HINF inf, std::size_t index, std::uint32_t section,
                                    std::uint32_t from, const char *key, win::INFCONTEXT *context) const {
    std::uint32_t line = 0;
    const LoadedInf &first = *open.files[index].inf;
    std::string name;
    if (first.FindKey(section, first.NameOf(key, &name), from, &line)) {
        SetContext(context, inf, open.files[index].id, section, line);
        return Succeed();
    }
    const std::string_view sectionName = first.File().SectionName(section);
    for (std::size_t i = index + 1; i < open.files.size(); ++i) {
        const LoadedInf &later = *open.files[i].inf;
        const int other = later.File().FindSection(sectionName);
        if (other != InfFile::kNoSection && later.FindKey(other, later.NameOf(key, &name), 0, &line)) {
            SetContext(context, inf, open.files[i].id, other, line);
            return Succeed();
        }
    }
    return Fail(win::ERROR_LINE_NOT_FOUND);
}

win::BOOL SetupApiEngine::FindFirstLine(win::HINF inf, const char *section, const char *key,
                                        win::INFCONTEXT *context) {
    const std::shared_ptr<const OpenInf> open = m_handles.Find(inf);
    if (!open) return Fail(win::ERROR_INVALID_HANDLE);
    if (section == nullptr || context == nullptr) return Fail(win::ERROR_INVALID_PARAMETER);
    std::string name;
    for (std::size_t i = 0; i < open->files.size(); ++i) {
        const InfFile &file = open->files[i].inf->File();
        const int found = file.FindSection(open->files[i].inf->NameOf(section, &name));
        if (found == InfFile::kNoSection) continue;
        if (key != nullptr) return FindMatch(*open, inf, i, found, 0, key, context);
        if (file.Section(found).lineCount != 0) {
            SetContext(context, inf, open->files[i].id, found, 0);
            return Succeed();
        }
    }
    return Fail(win::ERROR_LINE_NOT_FOUND);
}

win::BOOL SetupApiEngine::FindNextLine(const win::INFCONTEXT *contextIn, win::INFCONTEXT *contextOut) {
    ContextFile file;
    if (!Resolve(contextIn, &file)) return win::FALSE;
    if (contextOut == nullptr) return Fail(win::ERROR_INVALID_PARAMETER);
    const InfFile &current = file.inf->File();
    if (contextIn->Section >= current.SectionCount()) return Fail(win::ERROR_LINE_NOT_FOUND);
    if (contextIn->Line + 1 < current.Section(contextIn->Section).lineCount) {
        const win::INFCONTEXT next = *contextIn;
        *contextOut = next;
        ++contextOut->Line;
        return Succeed();
    }
    // On into the same section of the files appended after this one.
    const std::string_view name = current.SectionName(contextIn->Section);
    for (std::size_t i = file.index + 1; i < file.open->files.size(); ++i) {
        const InfFile &later = file.open->files[i].inf->File();
        const int found = later.FindSection(name);
        if (found != InfFile::kNoSection && later.Section(found).lineCount != 0) {
            SetContext(contextOut, contextIn->Inf, file.open->files[i].id, found, 0);
            return Succeed();
        }
    }
    return Fail(win::ERROR_LINE_NOT_FOUND);
}

win::BOOL SetupApiEngine::FindNextMatchLine(const win::INFCONTEXT *contextIn, const char *key,
                                            win::INFCONTEXT *contextOut) {
    if (key == nullptr) return FindNextLine(contextIn, contextOut);
    ContextFile file;
    if (!Resolve(contextIn, &file)) return win::FALSE;
    if (contextOut == nullptr) return Fail(win::ERROR_INVALID_PARAMETER);
    if (contextIn->Section >= file.inf->File().SectionCount()) return Fail(win::ERROR_LINE_NOT_FOUND);
    return FindMatch(*file.open, contextIn->Inf, file.index, contextIn->Section, contextIn->Line + 1, key,
                     contextOut);
}

win::BOOL SetupApiEngine::GetLineText(win::INFCONTEXT *context, win::HINF inf, const char *section,
                                      const char *key, char *buffer, win::DWORD bufferSize,
                                      win::DWORD *requiredSize) {
    win::INFCONTEXT found;
    if (context == nullptr) {
        if (!FindFirstLine(inf, section, key, &found)) return win::FALSE;
        context = &found;
    }
    ContextFile file;
    if (!Resolve(context, &file)) return win::FALSE;
    InfLineFields line;
    if (!ReadLineOf(*file.inf, context->Section, context->Line, &line)) return Fail(win::ERROR_LINE_NOT_FOUND);
    // The values joined by ",", each counted with one byte for its
    // separator or the final NUL.
    win::DWORD total = 0;
    for (std::uint32_t i = 0; i < line.ValueCount(); ++i) {
        SubstitutedText value;
        std::string presented;
        total += static_cast<win::DWORD>(
            file.inf->Presented(file.inf->Substitute(line.Value(i), &value), &presented).size() + 1);
    }
    if (requiredSize != nullptr) *requiredSize = total;
    if (buffer == nullptr) return Succeed();
    if (total > bufferSize) return Fail(win::ERROR_INSUFFICIENT_BUFFER);
    for (std::uint32_t i = 0; i < line.ValueCount(); ++i) {
        SubstitutedText value;
        std::string presented;
        const std::string_view part = file.inf->Presented(file.inf->Substitute(line.Value(i), &value), &presented);
        std::memcpy(buffer, part.data(), part.size());
        buffer += part.size();
        *buffer++ = i + 1 < line.ValueCount() ? ',' : '\0';
    }
    return Succeed();
}

win::BOOL SetupApiEngine::GetStringField(win::INFCONTEXT *context, win::DWORD fieldIndex, char *buffer,
                                         win::DWORD bufferSize, win::DWORD *requiredSize) {
    win::SetLastError(win::NO_ERROR);  // a missing field fails with no error code
    ContextFile file;
    if (!Resolve(context, &file)) return win::FALSE;
    InfLineFields line;
    if (!ReadLineOf(*file.inf, context->Section, context->Line, &line)) return win::FALSE;
    if (fieldIndex == 0 ? !line.HasKey() : fieldIndex > line.ValueCount()) return win::FALSE;
    const std::string_view raw = fieldIndex == 0 ? line.Key() : line.Value(fieldIndex - 1);
    SubstitutedText value;
    std::string presented;
    const std::string_view text = file.inf->Presented(file.inf->Substitute(raw, &value), &presented);
    if (requiredSize != nullptr) *requiredSize = static_cast<win::DWORD>(text.size() + 1);
    if (buffer == nullptr) return win::TRUE;
    if (bufferSize <= text.size()) return Fail(win::ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
    return win::TRUE;
}

win::DWORD SetupApiEngine::GetFieldCount(win::INFCONTEXT *context) {
    ContextFile file;
    if (!Resolve(context, &file)) return 0;
    InfLineFields line;
    return ReadLineOf(*file.inf, context->Section, context->Line, &line) ? line.ValueCount() : 0;
}

win::LONG SetupApiEngine::GetLineCount(win::HINF inf, const char *section) {
    const std::shared_ptr<const OpenInf> open = m_handles.Find(inf);
    if (!open || section == nullptr) {
        Fail(open ? win::ERROR_INVALID_PARAMETER : win::ERROR_INVALID_HANDLE);
        return -1;
    }
    win::LONG count = -1;
    std::string name;
    for (const OpenInf::Member &member : open->files) {
        const int found = member.inf->File().FindSection(member.inf->NameOf(section, &name));
        if (found == InfFile::kNoSection) continue;
        count = (count < 0 ? 0 : count) + static_cast<win::LONG>(member.inf->File().Section(found).lineCount);
    }
    win::SetLastError(count < 0 ? win::ERROR_SECTION_NOT_FOUND : win::NO_ERROR);
    return count;
}

win::BOOL SetupApiEngine::GetLineByIndex(win::HINF inf, const char *section, win::DWORD index,
                                         win::INFCONTEXT *context) {
    const std::shared_ptr<const OpenInf> open = m_handles.Find(inf);
    if (!open) return Fail(win::ERROR_INVALID_HANDLE);
    if (section == nullptr || context == nullptr) return Fail(win::ERROR_INVALID_PARAMETER);
    std::string name;
    for (const OpenInf::Member &member : open->files) {
        const int found = member.inf->File().FindSection(member.inf->NameOf(section, &name));
        if (found == InfFile::kNoSection) continue;
        const std::uint32_t lines = member.inf->File().Section(found).lineCount;
        if (index < lines) {
            SetContext(context, inf, member.id, found, index);
            return Succeed();
        }
        index -= lines;
    }
    return Fail(win::ERROR_LINE_NOT_FOUND);
}

win::BOOL SetupApiEngine::EnumInfSections(win::HINF inf, win::UINT index, char *buffer, win::DWORD size,
                                          win::DWORD *requiredSize) {
    const std::shared_ptr<const OpenInf> open = m_handles.Find(inf);
    if (!open) return Fail(win::ERROR_INVALID_HANDLE);
    // The sections file by file, each file's in the order they first
    // appear; a name in two files comes twice.
    for (const OpenInf::Member &member : open->files) {
        const InfFile &file = member.inf->File();
        if (index >= file.SectionCount()) {
            index -= file.SectionCount();
            continue;
        }
        std::string presented;
        const std::string_view name = member.inf->Presented(file.SectionName(index), &presented);
        if (requiredSize != nullptr) *requiredSize = static_cast<win::DWORD>(name.size() + 1);
        if (buffer == nullptr) return size == 0 ? Succeed() : Fail(ERROR_INVALID_USER_BUFFER);
        if (name.size() + 1 > size) return Fail(win::ERROR_INSUFFICIENT_BUFFER);
        std::memcpy(buffer, name.data(), name.size());
        buffer[name.size()] = '\0';
        return Succeed();
    }
    return Fail(win::ERROR_NO_MORE_ITEMS);
}

}  // namespace sim::setupapi
