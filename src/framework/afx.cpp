#include "framework/afx.h"

#include <cstdio>

#include "platform/entry.h"

namespace {

// The application object of this process: there is one, made statically.
CWinApp *g_pApp = nullptr;

constexpr const char *kWindowClass = "MirtelFrameworkWindow";
constexpr UINT kMainIcon = 128;

void RegisterWindowClass() {
    static const bool registered = [] {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = AfxWndProc;
        // The program's own icon: a null module would find only the
        // system's icons.
        windowClass.hIcon = LoadIconA(GetModuleHandleA(nullptr), MakeIntResource(kMainIcon));
        windowClass.lpszClassName = kWindowClass;
        return RegisterClassA(&windowClass) != 0;
    }();
    (void)registered;
}

// The n-th "\n"-separated part of a document template string.
CString TemplatePart(const CString &templateString, int index) {
    std::size_t begin = 0;
    for (int i = 0; i < index; ++i) {
        begin = templateString.find('\n', begin);
        if (begin == CString::npos) return CString();
        ++begin;
    }
    return templateString.substr(begin, templateString.find('\n', begin) - begin);
}

}  // namespace

CString FormatStringV(const char *format, std::va_list args) {
    std::va_list copy;
    va_copy(copy, args);
    int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length <= 0) return CString();
    CString text(static_cast<std::size_t>(length) + 1, '\0');
    std::vsnprintf(&text[0], text.size(), format, args);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

CString FormatString(const char *format, ...) {
    std::va_list args;
    va_start(args, format);
    CString text = FormatStringV(format, args);
    va_end(args);
    return text;
}

CString AfxLoadString(UINT id) {
    char buffer[1024] = {};
    int length = LoadStringA(nullptr, id, buffer, sizeof buffer);
    return CString(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

BOOL CCmdTarget::OnCmdMsg(UINT) { return FALSE; }

// ---------------------------------------------------------------- windows

LRESULT MIRTEL_STDCALL AfxWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd *object = reinterpret_cast<CWnd *>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        const CREATESTRUCTA *cs = reinterpret_cast<const CREATESTRUCTA *>(lParam);
        object = static_cast<CWnd *>(cs->lpCreateParams);
        if (object) {
            object->m_hWnd = window;
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<std::intptr_t>(object));
        }
    }
    if (!object) return DefWindowProcA(window, message, wParam, lParam);
    LRESULT result = object->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        object->m_hWnd = nullptr;
        object->PostNcDestroy();
    }
    return result;
}

CWnd::~CWnd() {
    if (m_hWnd) DestroyWindow();
}

BOOL CWnd::PreCreateWindow(CREATESTRUCTA &) { return TRUE; }

BOOL CWnd::CreateEx(DWORD exStyle, const char *windowName, DWORD style, int x, int y, int width,
                    int height, HWND parent, HMENU menu) {
    RegisterWindowClass();
    CREATESTRUCTA cs = {};
    cs.dwExStyle = exStyle;
    cs.lpszClass = kWindowClass;
    cs.lpszName = windowName;
    cs.style = static_cast<LONG>(style);
    cs.x = x;
    cs.y = y;
    cs.cx = width;
    cs.cy = height;
    cs.hwndParent = parent;
    cs.hMenu = menu;
    if (!PreCreateWindow(cs)) return FALSE;
    HWND window = CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName,
                                  static_cast<DWORD>(cs.style), cs.x, cs.y, cs.cx, cs.cy,
                                  cs.hwndParent, cs.hMenu, nullptr, this);
    return window != nullptr;
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd) return FALSE;
    return win::DestroyWindow(m_hWnd);
}

BOOL CWnd::OnWndMsg(UINT, WPARAM, LPARAM, LRESULT *) { return FALSE; }

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (OnWndMsg(message, wParam, lParam, &result)) return result;
    return DefWindowProcA(m_hWnd, message, wParam, lParam);
}

// ------------------------------------------------------- document and view

BOOL CDocument::OnNewDocument() {
    m_strTitle.clear();
    return TRUE;
}

BOOL CView::PreCreateWindow(CREATESTRUCTA &cs) {
    cs.style |= static_cast<LONG>(WS_CHILD | WS_VISIBLE);
    return TRUE;
}

// ------------------------------------------------------------------ frame

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCTA &cs) {
    // Windows 4.0 and later: the document title comes first in the caption,
    // and the client area has a sunken edge.
    cs.dwExStyle |= WS_EX_CLIENTEDGE;
    return TRUE;
}

BOOL CFrameWnd::LoadFrame(UINT resourceId, CDocument *document) {
    m_pDocument = document;
    m_strTitle = TemplatePart(AfxLoadString(resourceId), 0);
    HMENU menu = LoadMenuA(nullptr, MakeIntResource(resourceId));
    return CreateEx(0, m_strTitle.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, nullptr, menu);
}

BOOL CFrameWnd::CreateView(CView *view) {
    m_pView = view;
    if (view->CreateEx(0, "", 0, 0, 0, 0, 0, m_hWnd, nullptr)) return TRUE;
    m_pView = nullptr;
    delete view;
    return FALSE;
}

void CFrameWnd::InitialUpdateFrame(BOOL makeVisible) {
    if (m_pView) m_pView->OnInitialUpdate();
    CString caption = m_strTitle;
    if (m_pDocument && !m_pDocument->GetTitle().empty())
        caption = m_pDocument->GetTitle() + " - " + m_strTitle;
    SetWindowTextA(m_hWnd, caption.c_str());
    if (makeVisible) {
        ShowWindow(AfxGetApp() ? AfxGetApp()->m_nCmdShow : SW_SHOWNORMAL);
        UpdateWindow();
    }
}

void CFrameWnd::OnClose() {
    if (m_pDocument) m_pDocument->OnCloseDocument();
    DestroyWindow();
}

BOOL CFrameWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM, LRESULT *result) {
    switch (message) {
    case WM_CLOSE:
        OnClose();
        *result = 0;
        return TRUE;
    case WM_COMMAND:
        if (AfxGetApp() && AfxGetApp()->OnCmdMsg(static_cast<UINT>(wParam & 0xFFFF))) {
            *result = 0;
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

void CFrameWnd::PostNcDestroy() {
    // The main frame's end is the end of the program's message loop.
    CWinApp *app = AfxGetApp();
    if (app && app->m_pMainWnd == this) {
        app->m_pMainWnd = nullptr;
        PostQuitMessage(0);
    }
    delete this;
}

// ----------------------------------------------------------------- dialog

std::intptr_t MIRTEL_STDCALL AfxDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        CDialog *object = reinterpret_cast<CDialog *>(lParam);
        object->m_hWnd = dialog;
        SetWindowLongPtrA(dialog, GWLP_USERDATA, lParam);
        return object->OnInitDialog();
    }
    if (message == WM_COMMAND) {
        UINT id = static_cast<UINT>(wParam & 0xFFFF);
        if (id == IDOK || id == IDCANCEL) {
            EndDialog(dialog, id);
            return TRUE;
        }
    }
    return FALSE;
}

std::intptr_t CDialog::DoModal() {
    CWinApp *app = AfxGetApp();
    HWND owner = app && app->m_pMainWnd ? app->m_pMainWnd->m_hWnd : nullptr;
    std::intptr_t result = DialogBoxParamA(nullptr, MakeIntResource(m_nTemplateId), owner,
                                           AfxDlgProc, reinterpret_cast<LPARAM>(this));
    m_hWnd = nullptr;
    return result;
}

// ---------------------------------------------------------------- template

BOOL CSingleDocTemplate::OpenNewDocument() {
    m_document.reset(m_makeDocument());
    CFrameWnd *frame = m_makeFrame();
    if (!frame->LoadFrame(m_nResourceId, m_document.get())) {
        delete frame;
        m_document.reset();
        return FALSE;
    }
    CWinApp *app = AfxGetApp();
    if (app && !app->m_pMainWnd) app->m_pMainWnd = frame;
    if (!frame->CreateView(m_makeView()) || !m_document->OnNewDocument()) {
        frame->DestroyWindow();
        return FALSE;
    }
    frame->InitialUpdateFrame(TRUE);
    return TRUE;
}

// ------------------------------------------------------------- application

CWinApp::CWinApp(const char *appName) {
    g_pApp = this;
    m_strAppName = appName ? CString(appName) : AfxLoadString(AFX_IDS_APP_TITLE);
}

CWinApp::~CWinApp() {
    if (g_pApp == this) g_pApp = nullptr;
}

CWinApp *AfxGetApp() { return g_pApp; }

void CWinApp::AddDocTemplate(CSingleDocTemplate *documentTemplate) {
    m_pDocTemplate.reset(documentTemplate);
}

BOOL CWinApp::OnFileNew() { return m_pDocTemplate && m_pDocTemplate->OpenNewDocument(); }

int CWinApp::Run() {
    MSG msg = {};
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

int CWinApp::DoMessageBox(const char *text, UINT type) {
    UINT buttons = type & MB_TYPEMASK;
    bool okType = buttons == MB_OK || buttons == MB_OKCANCEL || buttons == MB_YESNO ||
                  buttons == MB_YESNOCANCEL;
    if ((type & MB_ICONMASK) == 0 && okType) type |= MB_ICONEXCLAMATION;
    HWND owner = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    return MessageBoxA(owner, text, m_strAppName.c_str(), type);
}

int AfxMessageBox(const char *text, UINT type) {
    CWinApp *app = AfxGetApp();
    if (app) return app->DoMessageBox(text, type);
    return MessageBoxA(nullptr, text, AfxLoadString(AFX_IDS_APP_TITLE).c_str(),
                       type | MB_ICONEXCLAMATION);
}

// The framework's start: the application's start-up hook, then its message
// loop, then its exit hook, which runs in every case.
int ProgramMain() {
    CWinApp *app = AfxGetApp();
    if (!app) return 1;
    if (!app->InitInstance()) {
        if (app->m_pMainWnd) app->m_pMainWnd->DestroyWindow();
        return app->ExitInstance();
    }
    app->Run();
    return app->ExitInstance();
}
