// The English text of each message key, as the example package words it,
// so that a report can say what a box read without the package's files.
#pragma once

#include <string>

namespace check {

// Empty for a key the installer does not show.
std::string EnglishText(const std::string &key);

// `key` followed by its English text in quotes: IDS_ERR_READINF ("Failed
// to read inf file").
std::string KeyWithText(const std::string &key);

}  // namespace check
