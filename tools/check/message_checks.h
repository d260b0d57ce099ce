// The message files and notice files of the package's languages, read as
// the installer reads them: saved in the language's code page (not as
// UTF-8 or UTF-16), a [String] section with a text for every key it can
// show, every line decodable. A fallback language has no files to read.
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
