#include "app/mirtel_app.h"

#include "app/mirtel_doc.h"

// The application takes its name from the string table (57344).
CMirtelApp::CMirtelApp() : CWinApp(nullptr) {}

CMirtelApp::~CMirtelApp() = default;

BOOL CMirtelApp::OnCmdMsg(UINT id) {
    switch (id) {
    case ID_APP_ABOUT: {
        CVersionInfoDlg about;
        about.DoModal();
        return TRUE;
    }
    case ID_FILE_NEW:
        OnFileNew();
        return TRUE;
    default:
        return CWinApp::OnCmdMsg(id);
    }
}

CMirtelApp *GetMirtelApp() { return static_cast<CMirtelApp *>(AfxGetApp()); }
