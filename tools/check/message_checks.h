// The message files and notice files of the package's languages, read as
// the installer reads them: every key it can show has a text, and every
// line decodes in the language's code page.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "report.h"

namespace check {

// Message key -> its text as UTF-8, per language code.
typedef std::map<std::string, std::map<std::string, std::string>> MessageTexts;

void CheckMessageFiles(std::vector<Language> *languages, MessageTexts *texts, std::vector<Problem> *problems);

}  // namespace check
