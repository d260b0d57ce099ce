#include "app/main_frame.h"

#include "app/mirtel_app.h"

BOOL CMainFrame::PreCreateWindow(CREATESTRUCTA &cs) {
    // No menu, and one pixel beyond the primary screen's bottom-right
    // corner: the window is never seen, only its taskbar entry.
    if (cs.hMenu) {
        DestroyMenu(cs.hMenu);
        cs.hMenu = nullptr;
    }
    cs.x = GetSystemMetrics(SM_CXSCREEN) + 1;
    cs.y = GetSystemMetrics(SM_CYSCREEN) + 1;
    return CFrameWnd::PreCreateWindow(cs);
}

BOOL CMainFrame::LoadFrame(UINT resourceId, CDocument *document) {
    // Started by a parent installer, the window must not take the
    // activation from it.
    CMirtelApp *app = GetMirtelApp();
    app->m_nCmdShow = app->m_strParentWnd.empty() ? SW_SHOWMINIMIZED : SW_MINIMIZE;
    return CFrameWnd::LoadFrame(resourceId, document);
}

BOOL CMainFrame::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result) {
    if (message == WM_START_ADDWIZARD) {
        *result = OnStartAddWizard(wParam, lParam);
        return TRUE;
    }
    return CFrameWnd::OnWndMsg(message, wParam, lParam, result);
}
