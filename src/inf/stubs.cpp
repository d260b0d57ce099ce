// Pass results for the INF steps until they are built.
#include "app/mirtel_app.h"

CSetupApi::~CSetupApi() = default;
BOOL CMirtelApp::kCheckInfFile() { return TRUE; }
BOOL CMirtelApp::kCopyOemInf(CString &) { return TRUE; }
