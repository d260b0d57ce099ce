// The empty document and view of the main window, and the About box.
#pragma once

#include "framework/afx.h"

class CMirtelDoc : public CDocument {
public:
    MIRTEL_DECLARE_DYNAMIC(CMirtelDoc)
    BOOL OnNewDocument() override;
};

class CMirtelView : public CView {
public:
    MIRTEL_DECLARE_DYNAMIC(CMirtelView)
    void OnDraw() override {}
};

class CVersionInfoDlg : public CDialog {
public:
    MIRTEL_DECLARE_DYNAMIC(CVersionInfoDlg)
    enum { IDD = 100 };
    CVersionInfoDlg() : CDialog(IDD) {}
};
