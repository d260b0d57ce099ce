#include "error_names.h"

#include <cstdio>

#include "platform/setupapi.h"
#include "platform/types.h"

namespace check {

std::string DescribeError(unsigned long code) {
    using namespace win;
    const char *words = nullptr;
    switch (code) {
    case ERROR_FILE_NOT_FOUND: words = "file not found"; break;
    case ERROR_PATH_NOT_FOUND: words = "folder not found"; break;
    case ERROR_ACCESS_DENIED: words = "permission denied"; break;
    case ERROR_SHARING_VIOLATION: words = "the file is in use"; break;
    case ERROR_NOT_ENOUGH_MEMORY: words = "out of memory"; break;
    case ERROR_INVALID_DATA: words = "invalid data"; break;
    case ERROR_INVALID_NAME: words = "invalid file name"; break;
    case ERROR_EXPECTED_SECTION_NAME: words = "a line stands before the first [section]"; break;
    case ERROR_BAD_SECTION_NAME_LINE: words = "a [section] line without its closing ]"; break;
    case ERROR_SECTION_NAME_TOO_LONG: words = "a section name longer than 255 characters"; break;
    case ERROR_GENERAL_SYNTAX: words = "a syntax error"; break;
    case ERROR_WRONG_INF_STYLE: words = "wrong INF style: no [Version] Signature of a Windows 95-style INF"; break;
    case ERROR_SECTION_NOT_FOUND: words = "section not found"; break;
    case ERROR_LINE_NOT_FOUND: words = "line not found"; break;
    default: break;
    }
    char number[32];
    std::snprintf(number, sizeof number, "error 0x%08lx", code);
    return words ? std::string(number) + " (" + words + ")" : std::string(number);
}

}  // namespace check
