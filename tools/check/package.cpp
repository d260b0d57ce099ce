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
        problems->push_back({table.source, 0,
                             "invalid language table: the installer stops with \"Resource file not found.\" "
                             "on every system"});

    const LangEntry *rows = table.valid ? langsDef.Table() : CLangsDef::BuiltInTable();
    const std::vector<std::string> present = MessageFileCodes();
    for (const std::string &code : present) {
        bool named = false;
        for (const LangEntry *row = rows; row->LangID != kLangTableEnd && !named; ++row)
            named = SameCode(code, row->OmittedName);
        if (!named) problems->push_back({MessageFile(code), 0, "no language of the table uses this file"});
    }
    for (const LangEntry *row = rows; row->LangID != kLangTableEnd; ++row) {
        bool seen = false;
        for (const Language &language : *languages) seen = seen || language.code == row->OmittedName;
        if (seen || !FileExists(InPackage(MessageFile(row->OmittedName)))) continue;
        Language language;
        language.code = row->OmittedName;
        language.name = row->Name;
        language.langId = row->LangID;
        language.codePage = AnsiCodePageOf(row->LangID);
        language.messageFile = MessageFile(row->OmittedName);
        languages->push_back(language);
    }
    return table;
}

}  // namespace check
