// Pass results for the system checks until they are built.
#include "app/mirtel_app.h"

void CMirtelApp::kGetOSVersion() {
    m_nOSCode = kOSWinNT5;
    m_dwMajorVersion = 5;
    m_dwMinorVersion = 1;
}
BOOL CMirtelApp::kIsTerminalServer(WORD) { return FALSE; }
BOOL CMirtelApp::kIsAdministrator() { return TRUE; }
BOOL CMirtelApp::kFileIsUsed(const CString &, const CString &) { return FALSE; }
BOOL CMirtelApp::kCheckAddWizard() { return FALSE; }
void CMirtelApp::kActivateAddWizard() {}
