// The framework's window class, which the main frame uses, carries the
// program's own icon 128: the window and its taskbar button show it.
// (The framework's names come first: <windows.h> defines macros such as
// PostMessage that would rename its members.)
#include "framework/afx.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "res/resource.h"

namespace {

TEST(MainWindowIcon, ClassIconIsTheProgramsIcon128) {
    CWnd window;
    ASSERT_TRUE(window.CreateEx(0, "icon test", 0, 0, 0, 100, 100, nullptr, nullptr));
    const ::HWND handle = reinterpret_cast<::HWND>(window.m_hWnd);
    const ::HICON programIcon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
    ASSERT_NE(programIcon, nullptr);
    EXPECT_EQ(reinterpret_cast<::HICON>(::GetClassLongPtrA(handle, GCLP_HICON)), programIcon);
    window.DestroyWindow();
}

}  // namespace
