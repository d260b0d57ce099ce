#include "message_checks.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "framework/afx.h"
#include "lang/message_keys.h"
#include "lang/resource_file.h"
#include "package.h"
#include "sim_bridge.h"

namespace check {
namespace {

struct FileCloser {
    void operator()(std::FILE *file) const { std::fclose(file); }
};

// The numbers of the lines of a package file that do not decode in
// `codePage`; false when the file cannot be read.
bool UndecodableLines(const std::string &relative, unsigned codePage, std::vector<int> *lines) {
    std::unique_ptr<std::FILE, FileCloser> file(OpenStdioFile(InPackage(relative).c_str(), "rb"));
    if (!file) return false;
    std::string bytes;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;) bytes.append(buffer, got);
    int number = 0;
    for (std::size_t begin = 0; begin < bytes.size();) {
        const std::size_t end = std::min(bytes.find('\n', begin), bytes.size());
        ++number;
        if (!DecodesWithoutLoss(bytes.substr(begin, end - begin), codePage)) lines->push_back(number);
        begin = end + 1;
    }
    return true;
}

void ReportLines(const std::string &file, const std::vector<int> &lines, unsigned codePage,
                 std::vector<Problem> *problems) {
    for (int line : lines)
        problems->push_back({file, line, "does not decode in code page " + std::to_string(codePage)});
}

void CheckLanguage(Language *language, std::map<std::string, std::string> *texts, std::vector<Problem> *problems) {
    CResourceFile messages;
    if (!messages.Load(InPackage(language->messageFile).c_str()))
        problems->push_back({language->messageFile, 0, "cannot be read to its end"});
    for (const char *key : kMessageKeys) {
        CString text;
        if (messages.GetString(key, text) && !text.empty()) {
            (*texts)[key] = AnsiToUtf8(text, language->codePage);
            continue;
        }
        language->missingKeys.push_back(key);
    }
    if (!language->missingKeys.empty()) {
        std::string keys;
        for (const std::string &key : language->missingKeys) keys += (keys.empty() ? "" : ", ") + key;
        problems->push_back({language->messageFile, 0, "no text in [String] for " + keys});
    }
    UndecodableLines(language->messageFile, language->codePage, &language->undecodableLines);
    ReportLines(language->messageFile, language->undecodableLines, language->codePage, problems);

    const std::string notice = "RES\\PSDI_" + language->code + "1.TXT";
    if (GetFileAttributesA(InPackage(notice).c_str()) == INVALID_FILE_ATTRIBUTES) return;
    language->noticeFile = notice;
    if (!UndecodableLines(notice, language->codePage, &language->undecodableNoticeLines))
        problems->push_back({notice, 0, "cannot be read: the installer shows no notice"});
    ReportLines(notice, language->undecodableNoticeLines, language->codePage, problems);
}

}  // namespace

void CheckMessageFiles(std::vector<Language> *languages, MessageTexts *texts, std::vector<Problem> *problems) {
    for (Language &language : *languages) CheckLanguage(&language, &(*texts)[language.code], problems);
}

}  // namespace check
