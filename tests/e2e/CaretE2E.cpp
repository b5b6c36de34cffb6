// The transcript's caret as another program sees it: the system's record of
// the program's caret, which magnifiers and screen readers follow, read from
// this process while real keys move it.
#include "tests/support/AppDriver.h"
#include "tests/support/TestText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Caret = StartedApp;

GUITHREADINFO CaretOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info;
}

TEST_F(Caret, AnotherProgramSeesItInTheTranscriptMovingWithTheKeys) {
    ASSERT_TRUE(WaitFor([&] { return app.Focus() == app.Input(); }));
    for (const char* line : {"one", "two", "three"}) {
        app.SendTyped(line);
    }
    const int cell = FixedFontCell().cy;
    EXPECT_NE(CaretOf(app.Main()).hwndCaret, app.Chat()) << "the input line's, before the Tab";
    app.Press(VK_TAB);
    ASSERT_EQ(app.Focus(), app.Chat());
    GUITHREADINFO c = CaretOf(app.Main());
    EXPECT_EQ(c.hwndCaret, app.Chat());
    EXPECT_EQ(c.rcCaret.top, 2 * cell) << "at the start of the last line shown";
    EXPECT_EQ(c.rcCaret.bottom - c.rcCaret.top, cell);
    const LONG left = c.rcCaret.left;
    app.Press(VK_UP);
    app.Press(VK_UP);
    c = CaretOf(app.Main());
    EXPECT_EQ(c.rcCaret.top, 0);
    app.Press(VK_DOWN);
    c = CaretOf(app.Main());
    EXPECT_EQ(c.hwndCaret, app.Chat());
    EXPECT_EQ(c.rcCaret.top, cell) << "a line down";
    EXPECT_EQ(c.rcCaret.left, left);
    app.Press(VK_END);
    EXPECT_GT(CaretOf(app.Main()).rcCaret.left, left) << "the end of \"<User> two\"";
    // Shift+Home selects what the caret passes; Tab away takes the caret along.
    app.Press(VK_HOME, false, true);
    EXPECT_EQ(app.CopyWithCtrlC(), "<User> two");
    app.Press(VK_TAB);
    EXPECT_EQ(app.Focus(), app.Input());
    EXPECT_NE(CaretOf(app.Main()).hwndCaret, app.Chat());
}

} // namespace
