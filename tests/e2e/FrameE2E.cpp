// The real program under real input: its window, focus and the ways to close it.
#include "tests/support/AppDriver.h"

namespace {

using Frame = StartedApp;

TEST_F(Frame, StartsTitledAtItsRectangleWithTheFocusInTheInputField) {
    char name[64];
    GetClassNameA(app.Main(), name, sizeof name);
    EXPECT_STREQ(name, "bALDRIX");
    EXPECT_EQ(WindowText(app.Main()), "bALDRIX - [Status: OFFLINE]");
    RECT r;
    GetWindowRect(app.Main(), &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right - r.left, 400);
    EXPECT_EQ(r.bottom - r.top, 350);

    EXPECT_EQ(app.Focus(), app.Input());

    app.Type("hello");
    EXPECT_EQ(app.InputText(), "hello") << "typing reaches the input field";
    EXPECT_EQ(WindowText(app.Main()), "bALDRIX - [Status: OFFLINE]");
}

TEST_F(Frame, ActivationFromAnotherWindowPutsTheFocusInTheInputField) {
    // Another top-level window takes the foreground, then the program gets it back.
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 500, 400,
                                 200, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(other, nullptr);
    SetForegroundWindow(other);
    WaitFor([&] { return GetForegroundWindow() == other; }, 3000);
    ASSERT_TRUE(app.Activate());
    app.Settle();
    DestroyWindow(other);
    EXPECT_EQ(app.Focus(), app.Input());
    app.Type("x");
    EXPECT_EQ(app.InputText(), "x");
}

TEST_F(Frame, AltF4EndsTheProcessWithCodeZero) {
    app.Press(VK_F4, false, false, true);
    EXPECT_EQ(app.WaitForExit(10000), 0u);
}

TEST_F(Frame, TheCloseBoxEndsTheProcessWithCodeZero) {
    POINT box;
    ASSERT_TRUE(FindCloseBox(app.Main(), &box));
    app.ClickAt(box);
    EXPECT_EQ(app.WaitForExit(10000), 0u);
}

} // namespace
