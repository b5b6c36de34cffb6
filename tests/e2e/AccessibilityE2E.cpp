// The keyboard conventions of the real program under real input: the Menu key
// and Shift+F10 open the transcript's menu where the selection starts, Tab and
// Shift+Tab move the focus between the input line and the transcript, and the
// toolbar's buttons name their commands in tooltips.
#include "tests/support/AppDriver.h"
#include "tests/support/Input.h"
#include "tests/support/TestText.h"

#include "transcript/ChatList.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

class Accessibility : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(app.Start()); }
    void TearDown() override { EXPECT_EQ(app.Close(), 0u); }

    HWND Focus() const { return FocusIn(app.Main()); }
    // The program's popup menu once one shows, else nullptr.
    HWND WaitForMenu() {
        HWND menu = nullptr;
        WaitFor([&] { return (menu = FindProcessWindow(app.ProcessId(), "#32768")) != nullptr; },
                3000);
        return menu;
    }
    void CloseMenu() {
        app.Press(VK_ESCAPE);
        EXPECT_TRUE(
            WaitFor([&] { return FindProcessWindow(app.ProcessId(), "#32768") == nullptr; }));
    }
    POINT MenuCorner(HWND menu) const {
        RECT r{};
        GetWindowRect(menu, &r);
        return POINT{r.left, r.top};
    }
    // The screen rectangle of a toolbar item, asked in the program's own memory.
    RECT ToolbarItemRect(int index) const {
        RECT r{};
        void* remote = VirtualAllocEx(app.Process(), nullptr, sizeof r, MEM_COMMIT, PAGE_READWRITE);
        if (remote == nullptr) {
            return r;
        }
        SendMessageA(app.Toolbar(), TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(remote));
        ReadProcessMemory(app.Process(), remote, &r, sizeof r, nullptr);
        VirtualFreeEx(app.Process(), remote, 0, MEM_RELEASE);
        MapWindowPoints(app.Toolbar(), nullptr, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    RunningApp app;
};

void MoveMouseTo(POINT p) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(p.x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
    in.mi.dy = MulDiv(p.y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
}

TEST_F(Accessibility, TabAndShiftTabMoveTheFocusBetweenInputAndTranscript) {
    // A program just started may not have settled its focus yet on a busy machine.
    ASSERT_TRUE(WaitFor([&] { return Focus() == app.Input(); }, 5000));
    app.Type("ab");
    app.Press(VK_TAB);
    EXPECT_EQ(Focus(), app.Chat());
    app.Press(VK_TAB);
    EXPECT_EQ(Focus(), app.Input());
    app.Press(VK_TAB, false, true);
    EXPECT_EQ(Focus(), app.Chat());
    app.Press(VK_TAB, false, true);
    EXPECT_EQ(Focus(), app.Input());
    EXPECT_EQ(app.InputText(), "ab") << "no tab character is typed on the way";
    // Other keys still send the focus back with what they type.
    app.Press(VK_TAB);
    app.Type("c");
    EXPECT_EQ(Focus(), app.Input());
    EXPECT_EQ(app.InputText(), "abc");
}

TEST_F(Accessibility, MenuKeyAndShiftF10OpenTheMenuAtTheSelectionOrTheCorner) {
    const SIZE cell = FixedFontCell();
    const std::string text = "first line\r\nsecond line\r\n";
    SendMessageA(app.Chat(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    app.Press(VK_TAB);
    ASSERT_EQ(Focus(), app.Chat());

    // No selection: the pane's top-left corner.
    POINT corner{0, 0};
    ClientToScreen(app.Chat(), &corner);
    app.Press(VK_APPS);
    HWND menu = WaitForMenu();
    ASSERT_NE(menu, nullptr) << "the Menu key opens a menu";
    EXPECT_LE(std::abs(MenuCorner(menu).x - corner.x), 2);
    EXPECT_LE(std::abs(MenuCorner(menu).y - corner.y), 2);
    CloseMenu();
    EXPECT_EQ(Focus(), app.Chat());

    // "line" on the second row: under the start of the selection.
    SendMessageA(app.Chat(), CLM_SETSEL, 19, 23);
    app.Settle();
    POINT start{2 + 7 * cell.cx, 2 * cell.cy};
    ClientToScreen(app.Chat(), &start);
    app.Press(VK_F10, false, true);
    menu = WaitForMenu();
    ASSERT_NE(menu, nullptr) << "Shift+F10 opens a menu";
    EXPECT_LE(std::abs(MenuCorner(menu).x - start.x), 2);
    EXPECT_LE(std::abs(MenuCorner(menu).y - start.y), 2);
    // The menu is the transcript's: Copy takes the selection.
    app.Press('C'); // &Copy
    EXPECT_TRUE(WaitFor([] { return ClipboardText() == "line"; }));
    EXPECT_EQ(FindProcessWindow(app.ProcessId(), "#32768"), nullptr) << "one menu, not two";

    // A context menu asked for from the keyboard by anyone else.
    PostMessageA(app.Chat(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(app.Chat()), -1);
    menu = WaitForMenu();
    ASSERT_NE(menu, nullptr) << "WM_CONTEXTMENU from the keyboard opens the menu";
    CloseMenu();
}

// The Menu key's release also asks for a menu (WM_CONTEXTMENU): one press
// shows one menu, whether the key goes up while the menu is open or after it
// was closed.
TEST_F(Accessibility, TheMenuKeyOpensOneMenuHoweverLongItIsHeld) {
    app.Press(VK_TAB);
    ASSERT_EQ(Focus(), app.Chat());
    auto menuShown = [&] { return FindProcessWindow(app.ProcessId(), "#32768") != nullptr; };

    app.Press(VK_APPS); // down and up at once: the release comes while the menu is open
    ASSERT_NE(WaitForMenu(), nullptr);
    CloseMenu();
    app.Settle();
    EXPECT_FALSE(WaitFor(menuShown, 1000)) << "a second menu followed the first";

    SendKey(VK_APPS, false);
    ASSERT_NE(WaitForMenu(), nullptr);
    CloseMenu();
    SendKey(VK_APPS, true); // released only after the menu was closed
    app.Settle();
    const bool second = WaitFor(menuShown, 1000);
    EXPECT_FALSE(second) << "the release opened a second menu";
    if (second) {
        CloseMenu();
    }
    EXPECT_EQ(Focus(), app.Chat());
}

TEST_F(Accessibility, ToolbarButtonsShowTheirCommandInATooltip) {
    const char* const tips[] = {"Connect",       "Disconnect", "Options",
                                "Save log file", "Send file",  "About"};
    const int indexes[] = {1, 2, 4, 5, 6, 8}; // after the separators
    for (int i = 0; i < 6; ++i) {
        const RECT r = ToolbarItemRect(indexes[i]);
        ASSERT_GT(r.right, r.left);
        MoveMouseTo(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        app.Settle();
        MoveMouseTo(POINT{(r.left + r.right) / 2 + 1, (r.top + r.bottom) / 2});
        std::string shown;
        const bool found = WaitFor(
            [&] {
                HWND tip = FindProcessWindow(app.ProcessId(), "tooltips_class32");
                shown = tip != nullptr ? WindowText(tip) : std::string();
                return shown == tips[i];
            },
            5000);
        EXPECT_TRUE(found) << "button " << indexes[i] << " shows \"" << shown << "\", not \""
                           << tips[i] << "\"";
    }
    // Away from the toolbar the tip goes.
    POINT away{0, 0};
    ClientToScreen(app.Chat(), &away);
    MoveMouseTo(POINT{away.x + 40, away.y + 40});
    EXPECT_TRUE(
        WaitFor([&] { return FindProcessWindow(app.ProcessId(), "tooltips_class32") == nullptr; }));
}

} // namespace
