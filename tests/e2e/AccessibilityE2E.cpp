// The keyboard conventions of the real program under real input: the Menu key
// and Shift+F10 open the transcript's menu where the selection starts, Tab and
// Shift+Tab move the focus between the input line and the transcript, Alt+1
// ... Alt+0 read a recent line and move nothing, menus opened from the
// transcript give it the focus back, and the toolbar's buttons name
// their commands in tooltips; and the transcript as a screen reader in another
// process finds it through the system's UI Automation client.
#include "tests/support/AppDriver.h"
#include "tests/support/Input.h"
#include "tests/support/TestText.h"
#include "tests/support/UiaClient.h"

#include "transcript/ChatList.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <objbase.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// UI Automation's event ids: text changed, text selection changed, notification.
constexpr int kTextChanged = 20015;
constexpr int kSelectionChanged = 20014;
constexpr int kNotification = 20035;
constexpr char kNoEvents[] =
    "this Wine's UI Automation hands no events to a client in another process (UiaAddEvent)";

// COM for the calling thread, as a client of UI Automation needs it.
struct Com {
    Com() { CoInitializeEx(nullptr, COINIT_MULTITHREADED); }
    ~Com() { CoUninitialize(); }
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
};

// How often the text occurs in the haystack.
int Occurrences(const std::string& haystack, const std::string& text) {
    int n = 0;
    for (size_t at = haystack.find(text); at != std::string::npos;
         at = haystack.find(text, at + 1)) {
        ++n;
    }
    return n;
}

class Accessibility : public StartedApp {
protected:
    HWND Focus() const { return app.Focus(); }
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
};

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
    app.SetChatText(text);
    app.Press(VK_TAB);
    ASSERT_EQ(Focus(), app.Chat());

    // No selection: the pane's top-left corner.
    POINT corner{0, 0};
    ClientToScreen(app.Chat(), &corner);
    app.Press(VK_APPS);
    HWND menu = app.WaitForMenu(3000);
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
    menu = app.WaitForMenu(3000);
    ASSERT_NE(menu, nullptr) << "Shift+F10 opens a menu";
    EXPECT_LE(std::abs(MenuCorner(menu).x - start.x), 2);
    EXPECT_LE(std::abs(MenuCorner(menu).y - start.y), 2);
    // The menu is the transcript's: Copy takes the selection.
    app.Press('C'); // &Copy
    EXPECT_TRUE(WaitFor([] { return ClipboardText() == "line"; }));
    EXPECT_EQ(FindProcessWindow(app.ProcessId(), "#32768"), nullptr) << "one menu, not two";

    // A context menu asked for from the keyboard by anyone else.
    PostMessageA(app.Chat(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(app.Chat()), -1);
    menu = app.WaitForMenu(3000);
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
    ASSERT_NE(app.WaitForMenu(), nullptr);
    CloseMenu();
    app.Settle();
    EXPECT_FALSE(WaitFor(menuShown, 1000)) << "a second menu followed the first";

    SendKey(VK_APPS, false);
    ASSERT_NE(app.WaitForMenu(), nullptr);
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
        const RECT r = ToolbarItemRect(app.Toolbar(), indexes[i]);
        ASSERT_GT(r.right, r.left);
        MouseAt(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        app.Settle();
        MouseAt(POINT{(r.left + r.right) / 2 + 1, (r.top + r.bottom) / 2});
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
    MouseAt(POINT{away.x + 40, away.y + 40});
    EXPECT_TRUE(
        WaitFor([&] { return FindProcessWindow(app.ProcessId(), "tooltips_class32") == nullptr; }));
}

TEST_F(Accessibility, AScreenReaderInAnotherProcessFindsTheTranscript) {
    UiaProperties p;
    {
        Com com;
        p = UiaPropertiesOf(app.Chat());
    }
    ASSERT_TRUE(p.found) << "the system's client gave no node for the transcript";
    EXPECT_EQ(p.name, L"Output window");
    EXPECT_EQ(p.controlType, 50030) << "a document";
    EXPECT_TRUE(p.focusable);
}

TEST_F(Accessibility, AltDigitsMoveNeitherFocusNorSelectionNorViewAndOpenNoMenu) {
    const std::string text = NumberedChatLines(1, 60);
    app.SetChatText(text);
    SendMessageA(app.Chat(), WM_VSCROLL, SB_TOP, 0);
    SendMessageA(app.Chat(), CLM_SETSEL, 7, 13);
    ASSERT_TRUE(WaitFor([&] { return Focus() == app.Input(); }, 5000));
    app.Type("draft");
    const int top = GetScrollPos(app.Chat(), SB_VERT);
    for (const WORD digit : {'1', '3', '9', '0'}) {
        app.Press(digit, false, false, true);
        EXPECT_FALSE(InMenuMode(app.Main())) << "Alt+" << static_cast<char>(digit);
        EXPECT_EQ(Focus(), app.Input());
    }
    EXPECT_EQ(app.InputText(), "draft") << "nothing typed";
    EXPECT_EQ(SendMessageA(app.Chat(), CLM_GETSEL, 0, 0), 6) << "the selection stays";
    EXPECT_EQ(GetScrollPos(app.Chat(), SB_VERT), top) << "the view stays";
    // From the transcript too.
    app.Press(VK_TAB);
    ASSERT_EQ(Focus(), app.Chat());
    app.Press('2', false, false, true);
    EXPECT_FALSE(InMenuMode(app.Main()));
    EXPECT_EQ(Focus(), app.Chat());
    EXPECT_EQ(GetScrollPos(app.Chat(), SB_VERT), top);
    // Alt alone still opens the menu bar, as everywhere.
    app.Press(VK_MENU);
    EXPECT_TRUE(WaitFor([&] { return InMenuMode(app.Main()); }, 3000));
    app.Press(VK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return !InMenuMode(app.Main()); }, 3000));
}

// By Windows convention a menu closed gives the focus back to where it was.
TEST_F(Accessibility, MenusOpenedFromTheTranscriptGiveItTheFocusBack) {
    ASSERT_TRUE(WaitFor([&] { return Focus() == app.Input(); }, 5000));
    app.Press(VK_TAB);
    ASSERT_EQ(Focus(), app.Chat());
    app.Press(VK_F10);
    EXPECT_TRUE(WaitFor([&] { return InMenuMode(app.Main()); }, 3000)) << "F10: the menu bar";
    app.Press(VK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return !InMenuMode(app.Main()); }, 3000));
    EXPECT_EQ(Focus(), app.Chat()) << "after F10";
    app.Press(VK_SPACE, false, false, true);
    EXPECT_NE(app.WaitForMenu(3000), nullptr) << "Alt+Space: the window's menu";
    CloseMenu();
    // Wine leaves the menu bar up with the window's menu closed; Esc ends it.
    if (InMenuMode(app.Main())) {
        app.Press(VK_ESCAPE);
    }
    EXPECT_TRUE(WaitFor([&] { return !InMenuMode(app.Main()); }, 3000));
    EXPECT_EQ(Focus(), app.Chat()) << "after Alt+Space";
    app.Press(VK_F4, false, false, true);
    EXPECT_EQ(app.WaitForExit(10000), 0u) << "Alt+F4 from the transcript";
}

// A client in the test's own process (not bALDRIX's) listens on the
// transcript's node: a line sent with
// the focus in the input line changes its text, a caret moved in it changes
// its selection, and nothing else is heard.
TEST_F(Accessibility, AClientInAnotherProcessHearsNewLinesAndCaretMoves) {
    Com com;
    UiaListener text(app.Chat(), kTextChanged);
    UiaListener selection(app.Chat(), kSelectionChanged);
    if (!text.Listening() || !selection.Listening()) {
        GTEST_SKIP() << kNoEvents;
    }
    ASSERT_TRUE(WaitFor([&] { return Focus() == app.Input(); }, 5000));
    for (long line = 1; line <= 2; ++line) {
        app.SendTyped("hello " + std::to_string(line));
        EXPECT_TRUE(WaitFor([&] { return text.Heard() >= line; }, 5000))
            << "line " << line << ": " << text.Heard() << " text changes heard";
        EXPECT_EQ(Focus(), app.Input());
    }
    WaitFor([] { return false; }, 1000);
    EXPECT_EQ(text.Heard(), 2) << "one text change a line";
    const long moves = selection.Heard();

    app.Press(VK_TAB);
    ASSERT_EQ(Focus(), app.Chat());
    WaitFor([] { return false; }, 1000); // what the focus brought is heard first
    const long tabbed = selection.Heard();
    app.Press(VK_HOME, true); // to the start of the transcript
    app.Press(VK_RIGHT);
    app.Press(VK_RIGHT);
    EXPECT_TRUE(WaitFor([&] { return selection.Heard() >= tabbed + 3; }, 5000))
        << selection.Heard() - tabbed << " selection changes heard for 3 caret moves (" << moves
        << " before)";
    WaitFor([] { return false; }, 1000);
    EXPECT_EQ(selection.Heard(), tabbed + 3) << "one selection change a move";
    EXPECT_EQ(text.Heard(), 2) << "moving the caret changed no text";
}

// A screen reader listens from the desktop's root only, so nothing asks the
// transcript for its element: each burst of new lines is still announced with
// its text, Alt+digit reads a line with most-recent processing, and
// Ctrl+Shift+R goes through the reading modes, each change said, each mode
// reading the lines it allows, as Wine's own trace of the system function
// shows. Before any client listens, nothing is announced.
TEST(ScreenReader, ListeningFromTheDesktopHearsEachBurstAltDigitsAndReadingModes) {
    const char* const trace = std::getenv("BALDRIX_WINE_TRACE");
    if (trace == nullptr) {
        GTEST_SKIP() << "run by screen_reader_e2e_tests, which gives it Wine's trace";
    }
    RunningApp app;
    app.TraceWine("+uiautomation");
    ASSERT_TRUE(app.Start());
    const auto announced = [&](const std::string& call) {
        return Occurrences(ReadFileBytes(trace), call);
    };
    const std::string notify = "UiaRaiseNotificationEvent (";
    ASSERT_TRUE(WaitFor([&] { return app.Focus() == app.Input(); }, 5000));
    app.SendTyped("nobody listens");
    WaitFor([] { return false; }, 1000);
    if (UiaSaysClientsListen()) {
        std::printf("not checked: this Wine says clients listen when none does\n");
    } else {
        EXPECT_EQ(announced(notify), 0) << "announced with no client listening";
    }
    const int before = announced(notify);
    {
        Com com;
        UiaListener reader(GetDesktopWindow(), kNotification);
        if (!reader.Listening()) {
            EXPECT_EQ(app.Close(), 0u);
            GTEST_SKIP() << kNoEvents;
        }
        const std::string one = R"(, 0, 2, L"<User> hello one", L"bALDRIX.NewLines"))";
        app.SendTyped("hello one");
        EXPECT_TRUE(WaitFor([&] { return announced(one) == 1; }, 5000)) << ReadFileBytes(trace);
        const std::string two = R"(, 0, 2, L"<User> hello two", L"bALDRIX.NewLines"))";
        app.SendTyped("hello two");
        EXPECT_TRUE(WaitFor([&] { return announced(two) == 1; }, 5000));
        app.Press('1', false, false, true);
        const std::string read = R"(, 0, 3, L"<User> hello two", L"bALDRIX.ReadLine"))";
        EXPECT_TRUE(WaitFor([&] { return announced(read) == 1; }, 5000));
        WaitFor([] { return false; }, 1000);
        EXPECT_EQ(announced(notify) - before, 3) << "one announcement a burst and one for Alt+1";

        // Ctrl+Shift+R: all but mine, none, all; the user's line is read in the last alone.
        for (const std::string mode : {"all but mine", "none", "all"}) {
            app.Press('R', true, true);
            const std::string change =
                R"(L"Reading new lines: )" + mode + R"(", L"bALDRIX.Reading"))";
            EXPECT_TRUE(WaitFor([&] { return announced(", 0, 3, " + change) == 1; }, 5000)) << mode;
            app.SendTyped("sent in " + mode);
        }
        const std::string all = R"(, 0, 2, L"<User> sent in all", L"bALDRIX.NewLines"))";
        EXPECT_TRUE(WaitFor([&] { return announced(all) == 1; }, 5000));
        WaitFor([] { return false; }, 1000);
        EXPECT_EQ(announced(notify) - before, 3 + 3 + 1);
    }
    EXPECT_EQ(app.Close(), 0u);
}

} // namespace
