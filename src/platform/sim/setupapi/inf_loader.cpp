#include "platform/sim/setupapi/inf_loader.h"

#include <utility>
#include <vector>

#include "platform/setupapi.h"
#include "platform/sim/setupapi/inf_decoding.h"
#include "platform/sim/setupapi/inf_parser.h"

namespace sim::setupapi {
namespace {

// Offsets into the text and the assembled tokens are 32-bit.
constexpr std::size_t kMaxFileBytes = std::size_t{1} << 30;

bool HasSeparator(const std::string &name, const CodePageText &codePage) {
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' || name[i] == '/') return true;
        if (codePage.IsLead(static_cast<unsigned char>(name[i]))) ++i;
    }
    return false;
}

bool IsWindows4Signature(std::string_view signature, const CodePageText &codePage) {
    for (const char *accepted : {"$Chicago$", "$Windows NT$", "$Windows 95$"})
        if (codePage.Equal(signature, accepted)) return true;
    return false;
}

// A file found by name: its full path, and either its bytes or the parse
// kept of it.
struct NamedFile {
    std::string fullPath;
    TextBuffer bytes;
    std::shared_ptr<const LoadedInf> parsed;
    bool stamped = false;  // `stamp` was taken before the bytes were read
    FileStamp stamp;
};

win::DWORD ReadCandidate(const std::string &fullPath, const FileAccess &files, const LastParsedInf *lastParsed,
                         NamedFile *file) {
    file->fullPath = fullPath;
    file->stamped = lastParsed != nullptr && files.Stamp(fullPath, &file->stamp);
    if (file->stamped && (file->parsed = lastParsed->Find(fullPath, file->stamp))) return win::NO_ERROR;
    return files.Read(fullPath, &file->bytes);
}

// The file `name` names; a bare name is looked for in the two system
// folders.
win::DWORD ReadNamedFile(const std::string &name, const EngineSettings &settings, const FileAccess &files,
                         NameSearch search, const LastParsedInf *lastParsed, NamedFile *file) {
    if (search == NameSearch::AsPath || HasSeparator(name, *settings.codePage)) {
        const std::string fullPath = files.FullPath(name);
        file->fullPath = fullPath;
        return fullPath.empty() ? win::ERROR_PATH_NOT_FOUND : ReadCandidate(fullPath, files, lastParsed, file);
    }
    // A machine without a system folder has nowhere to look.
    if (settings.windowsFolder.empty() || settings.systemFolder.empty()) return win::ERROR_FILE_NOT_FOUND;
    std::vector<std::string> candidates = {settings.windowsFolder + "\\inf\\" + name,
                                           settings.systemFolder + "\\" + name};
    if (search == NameSearch::SystemFolderFirst) std::swap(candidates[0], candidates[1]);
    win::DWORD error = win::ERROR_FILE_NOT_FOUND;
    for (const std::string &candidate : candidates) {
        error = ReadCandidate(candidate, files, lastParsed, file);
        if (error == win::NO_ERROR) break;
    }
    return error;
}

bool ClassMatches(const LoadedInf &inf, const char *infClass) {
    std::string_view rawClass;
    if (!inf.File().RawValue("Version", "Class", &rawClass)) return false;
    SubstitutedText buffer;
    return inf.File().CodePage().Equal(inf.Substitute(rawClass, &buffer), infClass);
}

}  // namespace

LoadResult LoadInf(const char *name, const char *infClass, win::DWORD infStyle,
                   const std::shared_ptr<const EngineSettings> &settings, const FileAccess &files,
                   NameSearch search, LastParsedInf *lastParsed) {
    LoadResult result;
    if (name == nullptr || (infStyle & ~(win::INF_STYLE_OLDNT | win::INF_STYLE_WIN4)) != 0) {
        result.error = win::ERROR_INVALID_PARAMETER;
        return result;
    }
    NamedFile file;
    result.error = ReadNamedFile(name, *settings, files, search, lastParsed, &file);
    result.fullPath = file.fullPath;
    if (result.error != win::NO_ERROR) return result;
    if (file.bytes.Size() > kMaxFileBytes) {
        result.error = win::ERROR_NOT_ENOUGH_MEMORY;
        return result;
    }
    result.read = true;
    std::shared_ptr<const LoadedInf> inf = std::move(file.parsed);
    win::UINT strayLine = 0;
    if (!inf) {
        DecodedInf decoded = DecodeInfText(std::move(file.bytes), *settings->wideChars);
        ParseResult parsed =
            ParseInf(std::move(decoded.text), decoded.unicode ? settings->unicodeCodePage : settings->codePage);
        if (!parsed.file) {
            result.error = parsed.error;
            result.hasErrorLine = true;
            result.errorLine = parsed.errorLine;
            return result;
        }
        std::string_view signature;
        const bool windows4 = parsed.file->RawValue("Version", "Signature", &signature) &&
                              IsWindows4Signature(signature, *settings->codePage);
        inf = std::make_shared<const LoadedInf>(std::move(parsed.file), result.fullPath,
                                                windows4 ? win::INF_STYLE_WIN4 : win::INF_STYLE_OLDNT, settings);
        strayLine = parsed.strayLine;
        // A file with a stray line never opens, so only the others are kept.
        if (file.stamped && strayLine == 0) lastParsed->Remember(result.fullPath, file.stamp, inf);
    }
    // The style is checked before stray lines: a file of text without a
    // signature is of the wrong style, not one with a misplaced line.
    if (inf->Style() != win::INF_STYLE_WIN4 && (infStyle & win::INF_STYLE_WIN4) != 0) {
        result.error = win::ERROR_WRONG_INF_STYLE;
        result.hasErrorLine = true;
        return result;
    }
    if (strayLine != 0) {
        result.error = win::ERROR_EXPECTED_SECTION_NAME;
        result.hasErrorLine = true;
        result.errorLine = strayLine;
        return result;
    }
    if (infClass != nullptr && !ClassMatches(*inf, infClass)) {
        result.error = ERROR_CLASS_MISMATCH;
        return result;
    }
    result.inf = std::move(inf);
    return result;
}

}  // namespace sim::setupapi
