#include <cctype>
#include <cstdio>
#include <cstring>

#include "app/mirtel_app.h"
#include "platform/entry.h"

namespace {

bool EqualNoCase(const char *a, const char *b) {
    for (; *a && *b; ++a, ++b)
        if (std::toupper(static_cast<unsigned char>(*a)) !=
            std::toupper(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}

}  // namespace

// Each argument is one switch: a leading character that is not examined, a
// letter, and for the letter switches ":" and a value.
BOOL CMirtelApp::kParseCommandLine() {
    m_strParentWnd.clear();
    m_strNotifyMsg.clear();
    m_strDriverDir.clear();
    m_strLangId.clear();

    const int count = ArgumentCount();
    const char *const *arguments = Arguments();
    for (int i = 1; i < count; ++i) {
        const char *argument = arguments[i];
        const std::size_t length = std::strlen(argument);
        bool valid = length >= 2;
        if (valid) {
            const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(argument[1])));
            if (letter == '9') {
                valid = length == 2;
                if (valid) m_bNoRegistry = TRUE;
            } else if (letter == 'G' || letter == 'H' || letter == 'M' || letter == 'W') {
                valid = length >= 4 && argument[2] == ':';
                if (valid) {
                    CString &member = letter == 'G'   ? m_strDriverDir
                                      : letter == 'H' ? m_strLangId
                                      : letter == 'M' ? m_strNotifyMsg
                                                      : m_strParentWnd;
                    member = argument + 3;
                }
            } else {
                valid = false;
            }
        }
        if (!valid) {
            ShowMessage(msg::kErrCmdLine, nullptr, argument, nullptr);
            return FALSE;
        }
    }

    // A result can only be posted with both the window and the message.
    if (m_strParentWnd.empty() != m_strNotifyMsg.empty()) {
        m_strParentWnd.clear();
        ShowMessage(msg::kErrOrSwitch, nullptr, "+M:\n+W:", nullptr);
        return FALSE;
    }

    if (!m_strLangId.empty()) {
        for (const LangEntry *row = m_pLangTable; row && row->LangID != kLangTableEnd; ++row) {
            if (EqualNoCase(row->Name, m_strLangId.c_str())) {
                m_strLangId = FormatString("%04x", row->LangID);
                break;
            }
        }
        if (m_strLangId.size() != 4) {
            ShowMessage(msg::kErrCmdLine, nullptr, ("+H:" + m_strLangId).c_str(), nullptr);
            return FALSE;
        }
    }
    return TRUE;
}
