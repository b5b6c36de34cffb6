// The real program under real input: its window, focus and the ways to close it.
#include "tests/support/AppDriver.h"

#include <gtest/gtest.h>

namespace {

// A point on the main window's close box, found by asking the window itself.
bool FindCloseBox(HWND hwnd, POINT* where) {
    RECT r;
    GetWindowRect(hwnd, &r);
    for (int y = r.top + 2; y < r.top + 40; y += 2) {
        for (int x = r.right - 2; x > r.right - 80; x -= 2) {
            DWORD_PTR hit = 0;
            SendMessageTimeoutA(hwnd, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 2000,
                                &hit);
            if (hit == HTCLOSE) {
                *where = POINT{x, y};
                return true;
            }
        }
    }
    return false;
}

TEST(Frame, StartsTitledAtItsRectangleWithTheFocusInTheInputField) {
    RunningApp app;
    ASSERT_TRUE(app.Start());
    char name[64];
    GetClassNameA(app.Main(), name, sizeof name);
    EXPECT_STREQ(name, "bALDRIX");
    EXPECT_EQ(app.Text(app.Main()), "bALDRIX - [Status: OFFLINE]");
    RECT r;
    GetWindowRect(app.Main(), &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right - r.left, 400);
    EXPECT_EQ(r.bottom - r.top, 350);

    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(app.Main(), nullptr), &gui));
    EXPECT_EQ(gui.hwndFocus, app.Input());

    app.Type("hello");
    EXPECT_EQ(app.InputText(), "hello") << "typing reaches the input field";
    EXPECT_EQ(app.Text(app.Main()), "bALDRIX - [Status: OFFLINE]");
    EXPECT_EQ(app.Close(), 0u);
}

TEST(Frame, ActivationFromAnotherWindowPutsTheFocusInTheInputField) {
    RunningApp app;
    ASSERT_TRUE(app.Start());
    // Another top-level window takes the foreground, then the program gets it back.
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 500, 400,
                                 200, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(other, nullptr);
    SetForegroundWindow(other);
    WaitFor([&] { return GetForegroundWindow() == other; }, 3000);
    ASSERT_TRUE(app.Activate());
    app.Settle();
    DestroyWindow(other);
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(app.Main(), nullptr), &gui));
    EXPECT_EQ(gui.hwndFocus, app.Input());
    app.Type("x");
    EXPECT_EQ(app.InputText(), "x");
    EXPECT_EQ(app.Close(), 0u);
}

TEST(Frame, AltF4EndsTheProcessWithCodeZero) {
    RunningApp app;
    ASSERT_TRUE(app.Start());
    app.Press(VK_F4, false, false, true);
    EXPECT_EQ(app.WaitForExit(10000), 0u);
}

TEST(Frame, TheCloseBoxEndsTheProcessWithCodeZero) {
    RunningApp app;
    ASSERT_TRUE(app.Start());
    POINT box;
    ASSERT_TRUE(FindCloseBox(app.Main(), &box));
    app.ClickAt(box);
    EXPECT_EQ(app.WaitForExit(10000), 0u);
}

} // namespace
