// The boxes the user reads: messages from the message resource file, and
// the language's notice file shown once during start-up.
#include <cstdio>
#include <memory>

#include "app/mirtel_app.h"
#include "app/parent_window.h"
#include "lang/select_language.h"

namespace {

struct FileCloser {
    void operator()(std::FILE *file) const { std::fclose(file); }
};

// Reads one line of any length, its line end removed. False at the end of
// the file or on a read error, when nothing of a line was read.
bool ReadLine(std::FILE *file, CString &line) {
    line.clear();
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, file)) {
        line += buffer;
        if (!line.empty() && line.back() == '\n') {
            line.pop_back();
            return true;
        }
    }
    return !line.empty() && !std::ferror(file);
}

// The window that owns the program's message boxes: the parent installer's
// window given by +W:, else the main window (none before it exists). A +W:
// text that names no existing window falls back to the main window as
// well, so that a box is never lost to a bad handle.
HWND MessageOwner(const CMirtelApp &app) {
    HWND mainWindow = app.m_pMainWnd ? app.m_pMainWnd->GetSafeHwnd() : nullptr;
    if (app.m_strParentWnd.empty()) return mainWindow;
    const HWND parent = ExistingParentWindow(app.m_strParentWnd);
    return parent ? parent : mainWindow;
}

// Message texts by key: the chosen language's, else those of the package's
// English message file, read only when the chosen one lacks a text.
class MessageTexts {
public:
    explicit MessageTexts(const CMirtelApp &app) : m_app(app) {}

    // Empty when neither file has a text for `key`.
    CString Get(const char *key) {
        CString text;
        if (m_app.m_resFile.GetString(key, text) && !text.empty()) return text;
        if (!m_englishRead) {
            m_englishRead = true;
            const LangEntry *row = EnglishRow(m_app.m_pLangTable);
            m_hasEnglish = row && m_english.Load(FormatString("%sRES\\PSDI_%s.IRC",
                                                              m_app.m_strAppDir.c_str(),
                                                              row->OmittedName)
                                                     .c_str());
        }
        if (!m_hasEnglish || !m_english.GetString(key, text)) text.clear();
        return text;
    }

private:
    const CMirtelApp &m_app;
    CResourceFile m_english;
    bool m_englishRead = false;
    bool m_hasEnglish = false;
};

}  // namespace

// A box is never lost to a message file that lacks its text: the English
// text stands in, and without one the key itself, so the user and the
// parent installer always learn that something went wrong.
void CMirtelApp::ShowMessage(const char *key1, const char *key2, const char *extra1,
                             const char *extra2) {
    MessageTexts texts(*this);
    CString text = texts.Get(key1);
    if (text.empty()) text = key1;

    const CString second = key2 ? texts.Get(key2) : CString();
    if (!second.empty()) text += "\n" + second;
    if (extra1 && *extra1) text += CString("\n") + extra1;
    if (extra2 && *extra2) text += CString("\n") + extra2;

    CString caption;
    m_resFile.GetString(msg::kAppTitle, caption);
    MessageBoxA(MessageOwner(*this), text.c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
    m_bErrorShown = TRUE;
}

BOOL CMirtelApp::ShowNoticeFile() {
    CString path = FormatString("%sRES\\PSDI_%s1.TXT", m_strAppDir.c_str(), m_strLangCode.c_str());
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return TRUE;

    // A notice that cannot be read whole is left out: start-up goes on.
    std::unique_ptr<std::FILE, FileCloser> file(OpenStdioFile(path.c_str(), "rt"));
    if (!file) return TRUE;
    CString text, line;
    while (ReadLine(file.get(), line)) {
        // Empty lines before the first text are dropped, later ones kept.
        if (!text.empty()) text += "\r\n";
        text += line;
    }
    if (std::ferror(file.get())) return TRUE;

    if (!text.empty()) AfxMessageBox(text.c_str(), MB_OK | MB_ICONINFORMATION);
    return TRUE;
}
