#include "app/mirtel_doc.h"

#include "app/mirtel_app.h"

// The document's title, and so the main window's caption and taskbar
// entry, is the application title of the chosen language.
BOOL CMirtelDoc::OnNewDocument() {
    if (!CDocument::OnNewDocument()) return FALSE;
    CString title;
    GetMirtelApp()->m_resFile.GetString(msg::kAppTitle, title);
    SetTitle(title.c_str());
    return TRUE;
}
