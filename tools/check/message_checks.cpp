#include "message_checks.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>

#include "framework/afx.h"
#include "lang/message_keys.h"
#include "lang/resource_file.h"
#include "package.h"
#include "sim_bridge.h"
#include "text_encoding.h"

namespace check {
namespace {

struct FileCloser {
    void operator()(std::FILE *file) const { std::fclose(file); }
};

// The bytes of a package file, read as the installer opens it; false when
// it cannot be read.
bool ReadPackageFile(const std::string &relative, std::string *bytes) {
    std::unique_ptr<std::FILE, FileCloser> file(OpenStdioFile(InPackage(relative).c_str(), "rb"));
    if (!file) return false;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;) bytes->append(buffer, got);
    return std::ferror(file.get()) == 0;
}

std::vector<std::string> Lines(const std::string &bytes) {
    std::vector<std::string> lines;
    for (std::size_t begin = 0; begin < bytes.size();) {
        const std::size_t end = std::min(bytes.find('\n', begin), bytes.size());
        lines.push_back(bytes.substr(begin, end - begin));
        begin = end + 1;
    }
    return lines;
}

std::vector<int> UndecodableLines(const std::vector<std::string> &lines, unsigned codePage) {
    std::vector<int> numbers;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (!DecodesWithoutLoss(lines[i], codePage)) numbers.push_back(static_cast<int>(i + 1));
    return numbers;
}

// "3, 7-9, 12": runs of lines written as ranges.
std::string LineRanges(const std::vector<int> &numbers) {
    std::string text;
    for (std::size_t i = 0; i < numbers.size();) {
        std::size_t last = i;
        while (last + 1 < numbers.size() && numbers[last + 1] == numbers[last] + 1) ++last;
        text += (text.empty() ? "" : ", ") + std::to_string(numbers[i]) +
                (last > i ? "-" + std::to_string(numbers[last]) : std::string());
        i = last + 1;
    }
    return text;
}

// One problem for all the lines of a file that do not decode.
void ReportUndecodable(const char *code, const std::string &file, const std::vector<int> &lines,
                       const Language &language, std::vector<Problem> *problems) {
    if (lines.empty()) return;
    problems->push_back({code, file, lines.front(), {}, {language.code},
                         (lines.size() > 1 ? "lines " : "line ") + LineRanges(lines) +
                             (lines.size() > 1 ? " do" : " does") + " not decode in code page " +
                             std::to_string(language.codePage)});
}

// The first line beyond ASCII as the installer shows it, against what the
// editor meant: "Ungültiger" reads "UngÃ¼ltiger".
std::string Garbled(const std::vector<std::string> &lines, unsigned codePage) {
    for (std::string line : lines) {
        if (line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
        const auto beyond = std::find_if(line.begin(), line.end(), [](char c) { return c & 0x80; });
        if (beyond == line.end()) continue;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        std::string value = line.substr(line.find('=') == std::string::npos ? 0 : line.find('=') + 1);
        if (value.size() > 40) {  // cut before the character the limit falls in
            std::size_t cut = 40;
            while (cut > 0 && (static_cast<unsigned char>(value[cut]) & 0xC0) == 0x80) --cut;
            value.resize(cut);
        }
        return ": \"" + value + "\" reads \"" + AnsiToUtf8(value, codePage) + "\"";
    }
    return std::string();
}

// False after a problem that tells all there is to tell of the file's text.
bool CheckEncoding(const std::string &file, const std::vector<std::string> &lines, Encoding encoding,
                   unsigned codePage, const char *kind, std::vector<Problem> *problems) {
    const std::string page = "code page " + std::to_string(codePage);
    if (encoding == Encoding::kUtf16) {
        problems->push_back({std::string(kind) + "-file-utf16", file, 0, {}, {},
                             "saved as UTF-16: the installer reads it byte by byte in " + page +
                                 " and finds no text in it; save it as " + page + " text"});
        return false;
    }
    if (encoding == Encoding::kUtf8) {
        problems->push_back({std::string(kind) + "-file-utf8", file, 0, {}, {},
                             "saved as UTF-8: the installer reads it in " + page + Garbled(lines, codePage) +
                                 "; save it as " + page + " text"});
        return false;
    }
    return true;
}

bool SameNoCase(const std::string &a, const std::string &b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// Why no key has a text: the section line the installer would have read,
// when the file has one that was meant to be [String].
std::string MissingSectionCause(const std::vector<std::string> &lines) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string line = lines[i];
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
        const std::size_t open = line.find('[');
        if (open == std::string::npos || line.back() != ']') continue;
        const std::string name = line.substr(open + 1, line.size() - open - 2);
        if (!SameNoCase(name, "String") && !SameNoCase(name, "Strings")) continue;
        if (open > 0) return "line " + std::to_string(i + 1) + " does not begin with \"[\"";
        return "line " + std::to_string(i + 1) + " names [" + name + "]";
    }
    return "the file has no such section";
}

void CheckLanguage(Language *language, std::map<std::string, std::string> *texts, std::vector<Problem> *problems) {
    const std::string &file = language->messageFile;
    std::string bytes;
    if (!ReadPackageFile(file, &bytes)) {
        problems->push_back({"message-file-unreadable", file, 0, {}, {language->code}, "cannot be read to its end"});
        return;
    }
    const std::vector<std::string> lines = Lines(bytes);
    const Encoding encoding = EncodingOf(bytes);
    const bool plainText = CheckEncoding(file, lines, encoding, language->codePage, "message", problems);
    if (encoding == Encoding::kUtf16) return;

    CResourceFile messages;
    if (!messages.Load(InPackage(file).c_str()))
        problems->push_back({"message-file-unreadable", file, 0, {}, {language->code}, "cannot be read to its end"});
    for (const char *key : kMessageKeys) {
        CString text;
        if (messages.GetString(key, text) && !text.empty()) (*texts)[key] = AnsiToUtf8(text, language->codePage);
        else language->missingKeys.push_back(key);
    }
    if (language->missingKeys.size() == std::size(kMessageKeys)) {
        problems->push_back({"message-section-missing", file, 0, {}, {language->code},
                             "no [String] section, the only one the installer reads (" + MissingSectionCause(lines) +
                                 "): it shows no message in this language"});
    } else if (!language->missingKeys.empty()) {
        std::string keys;
        for (const std::string &key : language->missingKeys) keys += (keys.empty() ? "" : ", ") + key;
        problems->push_back({"message-key-missing", file, 0, {}, {language->code},
                             "no text in [String] for " + keys + ": those boxes are not shown"});
    }
    if (plainText) {
        language->undecodableLines = UndecodableLines(lines, language->codePage);
        ReportUndecodable("message-lines-undecodable", file, language->undecodableLines, *language, problems);
    }

    const std::string notice = "RES\\PSDI_" + language->code + "1.TXT";
    if (GetFileAttributesA(InPackage(notice).c_str()) == INVALID_FILE_ATTRIBUTES) return;
    language->noticeFile = notice;
    std::string noticeBytes;
    if (!ReadPackageFile(notice, &noticeBytes)) {
        problems->push_back({"notice-file-unreadable", notice, 0, {}, {language->code},
                             "cannot be read: the installer shows no notice"});
        return;
    }
    const std::vector<std::string> noticeLines = Lines(noticeBytes);
    if (!CheckEncoding(notice, noticeLines, EncodingOf(noticeBytes), language->codePage, "notice", problems)) return;
    language->undecodableNoticeLines = UndecodableLines(noticeLines, language->codePage);
    ReportUndecodable("notice-lines-undecodable", notice, language->undecodableNoticeLines, *language, problems);
}

}  // namespace

void CheckMessageFiles(std::vector<Language> *languages, MessageTexts *texts, std::vector<Problem> *problems) {
    for (Language &language : *languages)
        if (!language.fallback) CheckLanguage(&language, &(*texts)[language.code], problems);
}

}  // namespace check
