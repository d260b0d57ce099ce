// The main window: a frame outside the screen, minimized, without menu,
// whose one duty is to run the Add Printer Wizard.
#pragma once

#include "framework/afx.h"

class CMainFrame : public CFrameWnd {
public:
    MIRTEL_DECLARE_DYNAMIC(CMainFrame)
    BOOL LoadFrame(UINT resourceId, CDocument *document) override;

    // The wizard run, on WM_START_ADDWIZARD.
    LRESULT OnStartAddWizard(WPARAM wParam, LPARAM lParam);

protected:
    BOOL PreCreateWindow(CREATESTRUCTA &cs) override;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result) override;
};

// The main frame's window, for the wizard's waiting thread.
extern HWND g_hAddWizardNotifyWnd;
DWORD MIRTEL_STDCALL AddWizardWaitThread(void *processHandle);
