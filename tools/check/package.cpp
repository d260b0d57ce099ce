#include "package.h"

#include <algorithm>
#include <cctype>

#include "code_pages.h"
#include "framework/afx.h"
#include "lang/langs_def.h"
#include "machine_ini.h"
#include "sim_bridge.h"

namespace check {
namespace {

bool FileExists(const std::string &windowsPath) {
    const DWORD attributes = GetFileAttributesA(windowsPath.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string MessageFile(const std::string &code) { return "RES\\PSDI_" + code + ".IRC"; }

// The codes of the RES\PSDI_<code>.IRC files present.
std::vector<std::string> MessageFileCodes() {
    std::vector<std::string> codes;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(InPackage("RES\\PSDI_*.IRC").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return codes;
    do {
        const std::string name = found.cFileName;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name.size() > 9)
            codes.push_back(name.substr(5, name.size() - 9));
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return codes;
}

Language LanguageOf(const LangEntry &row) {
    Language language;
    language.code = row.OmittedName;
    language.name = row.Name;
    language.langId = row.LangID;
    language.codePage = AnsiCodePageOf(row.LangID);
    return language;
}

bool SameCode(const std::string &a, const std::string &b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

}  // namespace

bool PackageMachine::Open(const std::string &package, std::string *error) {
    if (m_folder.Path().empty()) {
        *error = "cannot make a temporary folder";
        return false;
    }
    const std::string machine = m_folder.Path() + "/machine";
    if (!CreateMachine(machine, error)) return false;
    if (!SetIniValues(machine + "/machine.ini", {{"Drives", kPackageDrive, package}})) {
        *error = machine + "/machine.ini: cannot write";
        return false;
    }
    UseMachine(machine);
    return true;
}

std::string InPackage(const std::string &relative) { return std::string(kPackageDrive) + ":\\" + relative; }

std::string WithinPackage(const std::string &windowsPath) {
    const std::string root = InPackage("");
    const bool inside = windowsPath.compare(0, root.size(), root) == 0;
    return AnsiToUtf8(inside ? windowsPath.substr(root.size()) : windowsPath, kPackageCodePage);
}

LanguageTable ReadLanguages(std::vector<Language> *languages, std::vector<Problem> *problems) {
    const CLangsDef langsDef(kProgramPath);
    LanguageTable table;
    table.source = langsDef.FilePath().empty() ? "built-in" : WithinPackage(langsDef.FilePath());
    table.valid = langsDef.Table() != nullptr;
    if (!table.valid)
        problems->push_back({"language-table-invalid", table.source, 0, {}, {},
                             "invalid language table: the installer stops with \"Resource file not found.\" "
                             "on every system"});

    const LangEntry *rows = table.valid ? langsDef.Table() : CLangsDef::BuiltInTable();
    const std::vector<std::string> present = MessageFileCodes();
    for (const std::string &code : present) {
        bool named = false;
        for (const LangEntry *row = rows; row->LangID != kLangTableEnd && !named; ++row)
            named = SameCode(code, row->OmittedName);
        if (!named)
            problems->push_back({"message-file-unused", MessageFile(code), 0, {}, {},
                                 "no language of the table uses this file"});
    }
    for (const LangEntry *row = rows; row->LangID != kLangTableEnd; ++row) {
        bool seen = false;
        for (const Language &language : *languages) seen = seen || language.code == row->OmittedName;
        if (seen || !FileExists(InPackage(MessageFile(row->OmittedName)))) continue;
        Language language = LanguageOf(*row);
        language.messageFile = MessageFile(row->OmittedName);
        languages->push_back(language);
    }
    if (!table.valid || languages->empty()) return table;

    // The installer falls back to the first English row of the table on a
    // system whose language has no message file.
    const LangEntry *english = rows;
    while (english->LangID != kLangTableEnd && (english->LangID & 0x3FF) != 0x09) ++english;
    if (english->LangID == kLangTableEnd || !FileExists(InPackage(MessageFile(english->OmittedName))))
        problems->push_back(
            {"english-file-missing",
             english->LangID == kLangTableEnd ? table.source : MessageFile(english->OmittedName), 0, {}, {},
             english->LangID == kLangTableEnd
                 ? "the language table has no English row: on a system whose language the package lacks the "
                   "installer stops with \"Resource file not found.\""
                 : "missing: on a system whose language the package lacks (English, Turkish, ...) the installer "
                   "stops with \"Resource file not found.\""});
    return table;
}

std::vector<Language> FallbackLanguages(const std::vector<Language> &languages) {
    const auto has = [&](unsigned langId) {
        return std::any_of(languages.begin(), languages.end(),
                           [&](const Language &language) { return (language.langId & 0x3FF) == (langId & 0x3FF); });
    };
    std::vector<Language> fallbacks;
    const LangEntry *rows = CLangsDef::BuiltInTable();
    for (const LangEntry *row = rows; row->LangID != kLangTableEnd; ++row)
        if ((row->LangID & 0x3FF) == 0x09 && !has(row->LangID)) fallbacks.push_back(LanguageOf(*row));
    const LangEntry *other = rows;
    while (other->LangID != kLangTableEnd && ((other->LangID & 0x3FF) == 0x09 || has(other->LangID))) ++other;
    // Every language of the built-in table has its file: a language outside
    // the table still takes the English fallback.
    static const LangEntry kTurkish = {"TURKISH", 0x041F, "TUR"};
    fallbacks.push_back(LanguageOf(other->LangID == kLangTableEnd ? kTurkish : *other));
    for (Language &language : fallbacks) language.fallback = true;
    return fallbacks;
}

bool LanguageNamed(const std::string &name, const std::vector<Language> &packageLanguages, Language *language) {
    std::string upper = name;
    for (char &c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::string digits = upper.rfind("0X", 0) == 0 ? upper.substr(2) : upper;
    const bool isId = !digits.empty() && digits.size() <= 4 &&
                      std::all_of(digits.begin(), digits.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
    const unsigned id = isId ? static_cast<unsigned>(std::stoul(digits, nullptr, 16)) : 0;
    const auto fits = [&](const std::string &code, const std::string &tableName, unsigned langId) {
        return code == upper || SameCode(tableName, upper) || (isId && langId == id);
    };
    for (const Language &candidate : packageLanguages) {
        if (!fits(candidate.code, candidate.name, candidate.langId)) continue;
        *language = candidate;
        return true;
    }
    for (const LangEntry *row = CLangsDef::BuiltInTable(); row->LangID != kLangTableEnd; ++row) {
        if (!fits(row->OmittedName, row->Name, row->LangID)) continue;
        *language = LanguageOf(*row);
        language->fallback = true;
        return true;
    }
    return false;
}

}  // namespace check
