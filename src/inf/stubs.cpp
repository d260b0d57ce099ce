// Pass results for the INF steps until they are built.
#include "app/mirtel_app.h"

CSetupApi::~CSetupApi() = default;
BOOL CMirtelApp::kCheckInfFile() {
    m_strInfPath = m_strDriverDir + "\\SETUP.INF";
    return TRUE;
}
BOOL CMirtelApp::kCopyOemInf(CString &) { return TRUE; }
