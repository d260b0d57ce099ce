// The order in which language selection tries the rows of the language
// table, and what each try does to the path named when all of them fail.
#pragma once

#include <vector>

#include "lang/langs_def.h"

// What a try does to the failed path before its file is loaded.
enum class FailedPathRule {
    kReplace,     // the try names the requested language itself
    kKeep,        // a looser match for the requested language
    kSetIfEmpty,  // a try for the system language, or English
};

struct LanguageTry {
    const LangEntry *row;
    FailedPathRule failedPath;
};

// The rows to try, in order, for the language text `requested` (null when
// none was asked for) on a system whose default language is `systemLangId`:
// the requested language exactly, then by its primary language; the system
// language exactly, then by its primary language; then English. The same
// row may come more than once.
std::vector<LanguageTry> LanguageTries(const LangEntry *table, const char *requested,
                                       LANGID systemLangId);

// The row whose message file stands in for a text the chosen file lacks:
// the first English one; null when the table has none.
const LangEntry *EnglishRow(const LangEntry *table);
