// Language selection: the first row of the language table whose message
// file loads, trying the requested language, the system's language and
// English in turn.
#include "lang/select_language.h"

#include <cstdio>

#include "app/mirtel_app.h"

namespace {

constexpr WORD kPrimaryLanguageMask = 0x3FF;
constexpr WORD kLangEnglish = 0x09;

WORD PrimaryLanguage(unsigned id) { return static_cast<WORD>(id & kPrimaryLanguageMask); }

const LangEntry *FindExact(const LangEntry *table, unsigned id) {
    for (const LangEntry *row = table; row->LangID != kLangTableEnd; ++row)
        if (row->LangID == id) return row;
    return nullptr;
}

const LangEntry *FindPrimary(const LangEntry *table, WORD primary) {
    for (const LangEntry *row = table; row->LangID != kLangTableEnd; ++row)
        if (PrimaryLanguage(row->LangID) == primary) return row;
    return nullptr;
}

void AddTry(std::vector<LanguageTry> &tries, const LangEntry *row, FailedPathRule rule) {
    if (row) tries.push_back({row, rule});
}

}  // namespace

std::vector<LanguageTry> LanguageTries(const LangEntry *table, const char *requested,
                                       LANGID systemLangId) {
    std::vector<LanguageTry> tries;
    unsigned int wanted = 0;
    if (requested && std::sscanf(requested, "%4x", &wanted) == 1) {
        AddTry(tries, FindExact(table, wanted), FailedPathRule::kReplace);
        AddTry(tries, FindPrimary(table, PrimaryLanguage(wanted)), FailedPathRule::kKeep);
    }
    AddTry(tries, FindExact(table, systemLangId), FailedPathRule::kSetIfEmpty);
    AddTry(tries, FindPrimary(table, PrimaryLanguage(systemLangId)), FailedPathRule::kSetIfEmpty);
    AddTry(tries, FindPrimary(table, kLangEnglish), FailedPathRule::kSetIfEmpty);
    return tries;
}

const LangEntry *EnglishRow(const LangEntry *table) {
    return table ? FindPrimary(table, kLangEnglish) : nullptr;
}

BOOL CMirtelApp::SelectLanguage(const char *requested, const LangEntry *&chosenRow,
                                CString &failedPath) {
    for (const LanguageTry &attempt :
         LanguageTries(m_pLangTable, requested, GetSystemDefaultLangID())) {
        chosenRow = attempt.row;
        m_strResFilePath =
            FormatString("%sRES\\PSDI_%s.IRC", m_strAppDir.c_str(), attempt.row->OmittedName);
        if (attempt.failedPath == FailedPathRule::kReplace ||
            (attempt.failedPath == FailedPathRule::kSetIfEmpty && failedPath.empty()))
            failedPath = m_strResFilePath;
        if (m_resFile.Load(m_strResFilePath.c_str())) return TRUE;
    }
    return FALSE;
}
