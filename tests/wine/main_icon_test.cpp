// The framework's window class, which the main frame uses, carries the
// program's own icon 128: the window and its taskbar button show it.
#include <gtest/gtest.h>
#include <windows.h>

#include "framework_window.h"
#include "res/resource.h"

namespace {

TEST(MainWindowIcon, ClassIconIsTheProgramsIcon128) {
    FrameworkWindow window;
    const HWND handle = static_cast<HWND>(window.Handle());
    ASSERT_NE(handle, nullptr);
    const HICON programIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
    ASSERT_NE(programIcon, nullptr);
    EXPECT_EQ(reinterpret_cast<HICON>(GetClassLongPtrA(handle, GCLP_HICON)), programIcon);
}

}  // namespace
