// Pass results for the device-path redirection until it is built.
#include "app/mirtel_app.h"

BOOL CRegInfomation::RestoreBackupRegistry(BOOL &restored) {
    restored = FALSE;
    return TRUE;
}
BOOL CRegInfomation::ResetRegistry() { return TRUE; }
BOOL CMirtelApp::kSetAddWizardRegistry(BOOL &) { return TRUE; }
