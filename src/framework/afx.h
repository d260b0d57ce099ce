// The small application framework the program is written against: an
// application object with start-up and exit hooks and a message loop, a
// single-document template that makes document, frame and view, a frame
// window that ends the program when it closes, a modal dialog, and the
// framework's own message box. Only the behaviour the program relies on.
//
// Every application file includes this header; it brings the Win32
// vocabulary of the platform layer into scope.
#pragma once

#include <cstdarg>
#include <memory>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/library.h"
#include "platform/process.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/single_copy.h"
#include "platform/system.h"
#include "platform/types.h"
#include "platform/ui.h"

using namespace win;  // NOLINT: the Win32 vocabulary is the program's own

// Counted 8-bit strings in the ANSI code page, and ordered lists of them.
typedef std::string CString;
typedef std::vector<std::string> CStringList;

// printf into a string, of any length.
CString FormatString(const char *format, ...) __attribute__((format(printf, 1, 2)));
CString FormatStringV(const char *format, std::va_list args);

// Framework command and resource identifiers.
constexpr UINT ID_APP_ABOUT = 0xE140;  // 57664
constexpr UINT ID_FILE_NEW = 0xE100;   // 57600
constexpr UINT ID_FILE_OPEN = 0xE101;  // 57601
constexpr UINT AFX_IDS_APP_TITLE = 0xE000;  // 57344

// The window and dialog procedures through which the framework's objects
// receive their messages.
LRESULT MIRTEL_STDCALL AfxWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
std::intptr_t MIRTEL_STDCALL AfxDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

class CObject {
public:
    virtual ~CObject() = default;
    // Run-time class information: the class name.
    virtual const char *GetRuntimeClassName() const { return "CObject"; }
};

#define MIRTEL_DECLARE_DYNAMIC(name) \
    const char *GetRuntimeClassName() const override { return #name; }

class CCmdTarget : public CObject {
public:
    MIRTEL_DECLARE_DYNAMIC(CCmdTarget)
    // A WM_COMMAND identifier; TRUE when this object handled it.
    virtual BOOL OnCmdMsg(UINT id);
};

class CWnd : public CCmdTarget {
public:
    MIRTEL_DECLARE_DYNAMIC(CWnd)
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd &) = delete;
    CWnd &operator=(const CWnd &) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }

    BOOL CreateEx(DWORD exStyle, const char *windowName, DWORD style, int x, int y, int width,
                  int height, HWND parent, HMENU menu);
    BOOL ShowWindow(int command) { return win::ShowWindow(m_hWnd, command); }
    BOOL UpdateWindow() { return win::UpdateWindow(m_hWnd); }
    BOOL EnableWindow(BOOL enable) { return win::EnableWindow(m_hWnd, enable); }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return win::PostMessageA(m_hWnd, message, wParam, lParam);
    }
    virtual BOOL DestroyWindow();

protected:
    // Adjusts the creation parameters before the window is made.
    virtual BOOL PreCreateWindow(CREATESTRUCTA &cs);
    // The message map: messages this class handles itself. Returns FALSE to
    // leave a message to the default handling.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result);
    // Called after the window is gone; the object may delete itself here.
    virtual void PostNcDestroy() {}

private:
    friend LRESULT MIRTEL_STDCALL AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
};

class CDocument : public CCmdTarget {
public:
    MIRTEL_DECLARE_DYNAMIC(CDocument)
    virtual BOOL OnNewDocument();
    virtual void OnCloseDocument() {}
    void SetTitle(const char *title) { m_strTitle = title; }
    const CString &GetTitle() const { return m_strTitle; }

private:
    CString m_strTitle;
};

class CView : public CWnd {
public:
    MIRTEL_DECLARE_DYNAMIC(CView)
    virtual void OnDraw() = 0;
    virtual void OnInitialUpdate() {}

protected:
    BOOL PreCreateWindow(CREATESTRUCTA &cs) override;
    void PostNcDestroy() override { delete this; }
};

class CFrameWnd : public CWnd {
public:
    MIRTEL_DECLARE_DYNAMIC(CFrameWnd)
    // Creates the frame window from the resource set `resourceId` (its
    // menu and caption), titled after the document.
    virtual BOOL LoadFrame(UINT resourceId, CDocument *document);
    CDocument *GetActiveDocument() const { return m_pDocument; }
    CView *GetActiveView() const { return m_pView; }
    BOOL CreateView(CView *view);
    void InitialUpdateFrame(BOOL makeVisible);

protected:
    BOOL PreCreateWindow(CREATESTRUCTA &cs) override;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result) override;
    void PostNcDestroy() override;
    // WM_CLOSE: closes the (never modified) document and destroys the frame.
    virtual void OnClose();

private:
    CDocument *m_pDocument = nullptr;
    CView *m_pView = nullptr;
    CString m_strTitle;
};

class CDialog : public CWnd {
public:
    MIRTEL_DECLARE_DYNAMIC(CDialog)
    explicit CDialog(UINT templateId) : m_nTemplateId(templateId) {}
    virtual std::intptr_t DoModal();
    virtual BOOL OnInitDialog() { return TRUE; }

private:
    friend std::intptr_t MIRTEL_STDCALL AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
    UINT m_nTemplateId;
};

// The document template: resource set, and factories for the three classes.
class CSingleDocTemplate : public CCmdTarget {
public:
    MIRTEL_DECLARE_DYNAMIC(CSingleDocTemplate)
    typedef CDocument *(*DocumentFactory)();
    typedef CFrameWnd *(*FrameFactory)();
    typedef CView *(*ViewFactory)();
    CSingleDocTemplate(UINT resourceId, DocumentFactory document, FrameFactory frame,
                       ViewFactory view)
        : m_nResourceId(resourceId), m_makeDocument(document), m_makeFrame(frame),
          m_makeView(view) {}
    // The new-document command: document, frame (through LoadFrame), view,
    // initial update. FALSE when any of them cannot be made.
    BOOL OpenNewDocument();

private:
    UINT m_nResourceId;
    DocumentFactory m_makeDocument;
    FrameFactory m_makeFrame;
    ViewFactory m_makeView;
    std::unique_ptr<CDocument> m_document;
};

// Dynamic creation: a factory that makes a T and hands it out as its base.
template <class T, class Base>
Base *AfxCreateObject() {
    return new T();
}

class CWinApp : public CCmdTarget {
public:
    MIRTEL_DECLARE_DYNAMIC(CWinApp)
    explicit CWinApp(const char *appName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance() { return FALSE; }
    virtual int ExitInstance() { return 0; }
    // The framework's message loop; returns when the main window is gone.
    virtual int Run();

    void AddDocTemplate(CSingleDocTemplate *documentTemplate);
    // The standard New command: the template's new document.
    BOOL OnFileNew();
    // The framework's message box: caption is the application title, owner
    // the main window when it exists; OK-type boxes without an icon get the
    // exclamation icon.
    int DoMessageBox(const char *text, UINT type);
    const char *AppTitle() const { return m_strAppName.c_str(); }

    CFrameWnd *m_pMainWnd = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;

private:
    CString m_strAppName;
    std::unique_ptr<CSingleDocTemplate> m_pDocTemplate;
};

CWinApp *AfxGetApp();
int AfxMessageBox(const char *text, UINT type = MB_OK);
// Loads a string of the program's own string table.
CString AfxLoadString(UINT id);
