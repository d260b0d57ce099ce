// The main window: created by the document template outside the screen,
// minimized, without menu, titled in the chosen language; the About box.
#include <gtest/gtest.h>

#include <fstream>

#include "app/main_frame.h"
#include "app/mirtel_app.h"
#include "app/mirtel_doc.h"
#include "platform/sim/ui/window_table.h"
#include "res/resource.h"
#include "support/machine_fixture.h"

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        machine.SetIni("System", "ScreenWidth", "800");
        machine.SetIni("System", "ScreenHeight", "600");
        machine.Use();
        std::ofstream(machine.HostPath("drive_c/PSDI_ENG.IRC"), std::ios::binary)
            << "[String]\r\nAFX_IDS_APP_TITLE=Druckertreiber installieren\r\n";
        app = std::make_unique<CMirtelApp>();
        ASSERT_TRUE(app->m_resFile.Load("C:\\PSDI_ENG.IRC"));
    }
    // The main frame's end posts the quit message; take it out of this
    // process's queue so that later tests start with an empty one.
    void TearDown() override {
        if (!app->m_pMainWnd) return;
        app->m_pMainWnd->DestroyWindow();
        MSG msg = {};
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        }
    }

    void Open(const char *parentWindow) {
        app->m_strParentWnd = parentWindow;
        app->AddDocTemplate(new CSingleDocTemplate(
            128, AfxCreateObject<CMirtelDoc, CDocument>, AfxCreateObject<CMainFrame, CFrameWnd>,
            AfxCreateObject<CMirtelView, CView>));
        ASSERT_TRUE(app->OnFileNew());
        ASSERT_NE(app->m_pMainWnd, nullptr);
        window = app->m_pMainWnd->m_hWnd;
    }

    testing_machine::MachineFolder machine;
    std::unique_ptr<CMirtelApp> app;
    HWND window = nullptr;
};

TEST_F(MainWindowTest, LiesBeyondTheScreenMinimizedWithTheLanguagesTitle) {
    Open("");
    RECT rect = {};
    ASSERT_TRUE(GetWindowRect(window, &rect));
    EXPECT_EQ(rect.left, 801);
    EXPECT_EQ(rect.top, 601);
    EXPECT_TRUE(IsIconic(window));
    EXPECT_TRUE(IsWindowEnabled(window));
    char caption[128] = {};
    GetWindowTextA(window, caption, sizeof caption);
    EXPECT_STREQ(caption, "Druckertreiber installieren - SETUP");
    EXPECT_EQ(app->m_nCmdShow, SW_SHOWMINIMIZED);
}

// The window and its taskbar button show the program's own icon.
TEST_F(MainWindowTest, ItsClassHasTheProgramsIcon) {
    Open("");
    sim::Window state;
    ASSERT_TRUE(sim::GetWindow(window, &state));
    sim::WindowClass windowClass;
    ASSERT_TRUE(sim::FindWindowClass(state.className.c_str(), &windowClass));
    EXPECT_NE(windowClass.icon, nullptr);
    EXPECT_EQ(windowClass.icon, LoadIconA(GetModuleHandleA(nullptr), MakeIntResource(IDR_MAINFRAME)));
}

TEST_F(MainWindowTest, StartedByAParentItDoesNotTakeTheActivation) {
    Open("1a2b");
    EXPECT_EQ(app->m_nCmdShow, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(window));
}

TEST_F(MainWindowTest, ClosingTheFrameEndsTheMessageLoop) {
    Open("");
    app->m_pMainWnd->PostMessage(WM_CLOSE);
    app->Run();
    EXPECT_EQ(app->m_pMainWnd, nullptr);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(MainWindowTest, AboutCommandOpensTheVersionDialog) {
    Open("");
    EXPECT_TRUE(app->OnCmdMsg(ID_APP_ABOUT));
    auto events = machine.Transcript();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().at("event"), "dialog");
    EXPECT_EQ(events.back().at("id"), "0x64");
}

}  // namespace
