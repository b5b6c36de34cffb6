// The transcript of the real program under real mouse and keyboard input: what
// it shows, the wheel and the scroll bar, following the chat, copying a
// dragged selection, and another program's selection queries.
#include "tests/support/AppDriver.h"
#include "tests/support/TestText.h"

#include "transcript/ChatList.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Mouse input that carries its own screen position, so that no event can
// arrive at the place of an earlier one.
void MouseAt(POINT p, DWORD flags, DWORD data = 0) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(p.x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
    in.mi.dy = MulDiv(p.y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
    in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    in.mi.mouseData = data;
    SendInput(1, &in, sizeof in);
}

class Transcript : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(app.Start());
        cell = FixedFontCell();
    }
    void TearDown() override { EXPECT_EQ(app.Close(), 0u); }

    void SetText(const std::string& text) {
        SendMessageA(app.Chat(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        app.Settle();
    }
    // The screen point of a text column and row of the pane.
    POINT Cell(int column, int row) const {
        POINT p{2 + column * cell.cx + cell.cx / 2, row * cell.cy + cell.cy / 2};
        ClientToScreen(app.Chat(), &p);
        return p;
    }
    void ClickAt(POINT p) {
        MouseAt(p, 0);
        app.Settle();
        MouseAt(p, MOUSEEVENTF_LEFTDOWN);
        MouseAt(p, MOUSEEVENTF_LEFTUP);
        app.Settle();
    }
    void DoubleClickAt(POINT p) {
        MouseAt(p, 0);
        app.Settle();
        for (int i = 0; i < 2; ++i) {
            MouseAt(p, MOUSEEVENTF_LEFTDOWN);
            MouseAt(p, MOUSEEVENTF_LEFTUP);
        }
        app.Settle();
    }
    std::string Copied() {
        OpenClipboard(nullptr);
        EmptyClipboard();
        CloseClipboard();
        app.Press('C', true);
        return ClipboardText();
    }
    // The number of the chat line in the top row: its "L00042" word, double
    // clicked and copied as a user would.
    int TopLine() {
        DoubleClickAt(Cell(9, 0));
        const std::string word = Copied();
        return word.size() == 6 && word[0] == 'L' ? std::atoi(word.c_str() + 1) : -1;
    }
    int Rows() const {
        RECT r;
        GetClientRect(app.Chat(), &r);
        return r.bottom / cell.cy;
    }
    // A point on the transcript's scroll bar, `fromBottom` pixels above its lower end
    // (negative: below its upper end).
    POINT ScrollBarAt(int fromBottom) const {
        RECT r;
        GetClientRect(app.Chat(), &r);
        POINT p{r.right + GetSystemMetrics(SM_CXVSCROLL) / 2,
                fromBottom >= 0 ? r.bottom - fromBottom : -fromBottom};
        ClientToScreen(app.Chat(), &p);
        return p;
    }

    RunningApp app;
    SIZE cell{};
};

// Counts the pixels in the pane's top rows that differ from its background:
// the drawn text, read back from the screen.
int InkInRows(HWND chat, int rows, int rowHeight) {
    RECT r;
    GetClientRect(chat, &r);
    POINT origin{0, 0};
    ClientToScreen(chat, &origin);
    HDC screen = GetDC(nullptr);
    const COLORREF paper = GetPixel(screen, origin.x + r.right - 3, origin.y + r.bottom - 3);
    int ink = 0;
    for (int y = 0; y < rows * rowHeight && y < r.bottom; ++y) {
        for (int x = 0; x < r.right; x += 1) {
            ink += GetPixel(screen, origin.x + x, origin.y + y) != paper;
        }
    }
    ReleaseDC(nullptr, screen);
    return ink;
}

TEST_F(Transcript, ShowsTheLinesSentAndHandsTypedKeysToTheInput) {
    EXPECT_EQ(InkInRows(app.Chat(), 3, cell.cy), 0) << "an empty pane";
    app.SendTyped("first line");
    app.SendTyped("second line");
    EXPECT_EQ(app.ChatText(), "<User> first line\r\n<User> second line\r\n");
    EXPECT_GT(InkInRows(app.Chat(), 2, cell.cy), 100) << "the lines are drawn";

    // A click in the pane gives it the focus; typing goes on in the input field.
    ClickAt(Cell(3, 0));
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    GetGUIThreadInfo(GetWindowThreadProcessId(app.Main(), nullptr), &gui);
    EXPECT_EQ(gui.hwndFocus, app.Chat());
    app.Type("abc");
    EXPECT_EQ(app.InputText(), "abc");
    GetGUIThreadInfo(GetWindowThreadProcessId(app.Main(), nullptr), &gui);
    EXPECT_EQ(gui.hwndFocus, app.Input());
    app.Press(VK_RETURN);
    EXPECT_EQ(app.ChatText(), "<User> first line\r\n<User> second line\r\n<User> abc\r\n");
}

TEST_F(Transcript, TheWheelAndTheScrollBarMoveTheView) {
    SetText(NumberedChatLines(0, 200));
    const int rows = Rows();
    ASSERT_GT(rows, 5);
    EXPECT_EQ(TopLine(), 200 - rows) << "the end in view";

    UINT perNotch = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &perNotch, 0);
    MouseAt(Cell(5, 2), 0);
    app.Settle();
    MouseAt(Cell(5, 2), MOUSEEVENTF_WHEEL, static_cast<DWORD>(WHEEL_DELTA));
    app.Settle();
    EXPECT_EQ(TopLine(), 200 - rows - static_cast<int>(perNotch));
    MouseAt(Cell(5, 2), MOUSEEVENTF_WHEEL, static_cast<DWORD>(-2 * WHEEL_DELTA));
    app.Settle();
    EXPECT_EQ(TopLine(), 200 - rows);

    // The scroll bar: its upper arrow, then the page area above the thumb.
    ClickAt(ScrollBarAt(-GetSystemMetrics(SM_CYVSCROLL) / 2));
    EXPECT_EQ(TopLine(), 199 - rows);
    ClickAt(ScrollBarAt(-(GetSystemMetrics(SM_CYVSCROLL) + 4)));
    EXPECT_EQ(TopLine(), 199 - 2 * rows);
    // And the keys, now that the pane has the focus.
    app.Press(VK_HOME, true);
    EXPECT_EQ(TopLine(), 0);
    app.Press(VK_NEXT);
    EXPECT_EQ(TopLine(), rows);
}

TEST_F(Transcript, AViewScrolledUpStaysPutWhileLinesArrive) {
    SetText(NumberedChatLines(0, 100));
    const int rows = Rows();
    ClickAt(Cell(3, 1));
    app.Press(VK_PRIOR);
    const int reading = TopLine();
    EXPECT_EQ(reading, 100 - 2 * rows);
    // Typing goes to the input field; Enter sends; the view does not move.
    app.SendTyped("a new line");
    app.SendTyped("and another");
    EXPECT_EQ(app.ChatText(),
              NumberedChatLines(0, 100) + "<User> a new line\r\n<User> and another\r\n");
    EXPECT_EQ(TopLine(), reading);
    // Back at the end, the view follows again.
    ClickAt(Cell(3, 0));
    app.Press(VK_END, true);
    EXPECT_EQ(TopLine(), 102 - rows);
    for (int i = 0; i < rows; ++i) {
        app.SendTyped("x");
    }
    EXPECT_EQ(TopLine(), -1) << "only the lines sent last are in view";
}

TEST_F(Transcript, ADraggedSelectionIsCopiedByteForByte) {
    SetText(NumberedChatLines(0, 5));
    // From the start of line 1 to the end of line 2's text, dragged by hand.
    const POINT from = Cell(0, 1);
    const POINT to = Cell(60, 2);
    const POINT start{from.x - cell.cx / 2, from.y};
    MouseAt(start, 0);
    app.Settle();
    MouseAt(start, MOUSEEVENTF_LEFTDOWN);
    app.Settle();
    for (int step = 1; step <= 4; ++step) {
        MouseAt(POINT{start.x + (to.x - start.x) * step / 4, start.y + (to.y - start.y) * step / 4},
                0);
        app.Settle();
    }
    MouseAt(to, MOUSEEVENTF_LEFTUP);
    app.Settle();
    const std::string lines = NumberedChatLines(1, 2);
    EXPECT_EQ(Copied(), lines.substr(0, lines.size() - 2));

    // Ctrl+A takes everything, every CR LF with it.
    app.Press('A', true);
    EXPECT_EQ(Copied(), NumberedChatLines(0, 5));

    // Unicode programs paste the characters shown, though a Cyrillic keyboard
    // layout marked the copy.
    std::string high = "<User> ";
    for (int c = 0x80; c <= 0xFF; ++c) {
        high += static_cast<char>(c);
    }
    high += "\r\n";
    SetText(high);
    app.Press('A', true);
    EXPECT_EQ(Copied(), high);
    MarkClipboardLocale(MAKELCID(MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT), SORT_DEFAULT));
    EXPECT_TRUE(ClipboardUnicode() == AnsiToWide(high));
}

// Another program may send or post the transcript's selection query with any
// pointers: nothing is written through them, the program answers the length
// and goes on with its text intact.
TEST_F(Transcript, ASelectionQueryFromAnotherProgramWritesNowhere) {
    const std::string text = NumberedChatLines(0, 3);
    SetText(text);
    SendMessageA(app.Chat(), CLM_SETSEL, 7, 13);
    constexpr DWORD kUntouched = 0xA5A5A5A5;
    DWORD here = kUntouched;
    const WPARAM pointers[] = {0x10, 0x7FFF0000, reinterpret_cast<WPARAM>(&here)};
    // Answers in time, while it runs: a crashed program may linger in the debugger.
    const auto answers = [&](WPARAM w, LPARAM l, DWORD_PTR& length) {
        return SendMessageTimeoutA(app.Chat(), CLM_GETSEL, w, l, SMTO_ABORTIFHUNG, 5000, &length) !=
                   0 &&
               app.Running();
    };
    for (const WPARAM w : pointers) {
        for (const WPARAM l : pointers) {
            DWORD_PTR length = 0;
            ASSERT_TRUE(answers(w, static_cast<LPARAM>(l), length))
                << "sent pointers " << w << ", " << l;
            EXPECT_EQ(length, 6u);
            PostMessageA(app.Chat(), CLM_GETSEL, w, static_cast<LPARAM>(l));
            app.Settle();
            ASSERT_TRUE(answers(0, 0, length)) << "posted pointers " << w << ", " << l;
            EXPECT_EQ(length, 6u);
        }
    }
    EXPECT_EQ(here, kUntouched);
    EXPECT_EQ(app.ChatText(), text);
    app.SendTyped("still here");
    EXPECT_EQ(app.ChatText(), text + "<User> still here\r\n");
}

} // namespace
