// The transcript of the real program under real mouse and keyboard input: what
// it shows, the wheel and the scroll bar, following the chat, copying a
// dragged selection, and another program's selection queries.
#include "tests/support/AppDriver.h"
#include "tests/support/Pixels.h"
#include "tests/support/TestText.h"

#include "transcript/ChatList.h"

#include <string>

namespace {

class Transcript : public StartedApp {
protected:
    int Rows() const {
        RECT r;
        GetClientRect(app.Chat(), &r);
        return r.bottom / FixedFontCell().cy;
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
};

// Counts the pixels in the pane's top rows that differ from its background:
// the drawn text, read back from the screen.
size_t InkInRows(HWND chat, int rows) {
    const Image shown = CaptureClientOnScreen(chat);
    const COLORREF paper = shown.At(shown.Width() - 3, shown.Height() - 3);
    return shown.CountWhere(RECT{0, 0, shown.Width(), rows * FixedFontCell().cy},
                            [paper](COLORREF c) { return c != paper; });
}

// Where the drawn text ends: the lowest row of the pane's left third (the
// zoom level shows in the right corner) that holds other than background.
int InkBottom(HWND chat) {
    const Image shown = CaptureClientOnScreen(chat);
    const COLORREF paper = shown.At(shown.Width() - 3, shown.Height() - 3);
    for (int y = shown.Height(); y > 0; --y) {
        if (shown.CountWhere(RECT{0, y - 1, shown.Width() / 3, y},
                             [paper](COLORREF c) { return c != paper; }) != 0) {
            return y;
        }
    }
    return 0;
}

TEST_F(Transcript, ShowsTheLinesSentAndHandsTypedKeysToTheInput) {
    EXPECT_EQ(InkInRows(app.Chat(), 3), 0u) << "an empty pane";
    app.SendTyped("first line");
    app.SendTyped("second line");
    EXPECT_EQ(app.ChatText(), "<User> first line\r\n<User> second line\r\n");
    EXPECT_GT(InkInRows(app.Chat(), 2), 100u) << "the lines are drawn";

    // A click in the pane gives it the focus; typing goes on in the input field.
    app.ClickAt(app.ChatCell(3, 0));
    EXPECT_EQ(app.Focus(), app.Chat());
    app.Type("abc");
    EXPECT_EQ(app.InputText(), "abc");
    EXPECT_EQ(app.Focus(), app.Input());
    app.Press(VK_RETURN);
    EXPECT_EQ(app.ChatText(), "<User> first line\r\n<User> second line\r\n<User> abc\r\n");
}

TEST_F(Transcript, TheWheelAndTheScrollBarMoveTheView) {
    app.SetChatText(NumberedChatLines(0, 200));
    const int rows = Rows();
    ASSERT_GT(rows, 5);
    EXPECT_EQ(app.TopChatLine(), 200 - rows) << "the end in view";

    UINT perNotch = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &perNotch, 0);
    app.WheelAt(app.ChatCell(5, 2), WHEEL_DELTA);
    EXPECT_EQ(app.TopChatLine(), 200 - rows - static_cast<int>(perNotch));
    app.WheelAt(app.ChatCell(5, 2), -2 * WHEEL_DELTA);
    EXPECT_EQ(app.TopChatLine(), 200 - rows);

    // The scroll bar: its upper arrow, then the page area above the thumb.
    app.TapAt(ScrollBarAt(-GetSystemMetrics(SM_CYVSCROLL) / 2));
    EXPECT_EQ(app.TopChatLine(), 199 - rows);
    app.TapAt(ScrollBarAt(-(GetSystemMetrics(SM_CYVSCROLL) + 4)));
    EXPECT_EQ(app.TopChatLine(), 199 - 2 * rows);
    // And the keys, now that the pane has the focus.
    app.Press(VK_HOME, true);
    EXPECT_EQ(app.TopChatLine(), 0);
    app.Press(VK_NEXT);
    EXPECT_EQ(app.TopChatLine(), rows);
}

TEST_F(Transcript, AViewScrolledUpStaysPutWhileLinesArrive) {
    app.SetChatText(NumberedChatLines(0, 100));
    const int rows = Rows();
    app.ClickAt(app.ChatCell(3, 1));
    app.Press(VK_PRIOR);
    const int reading = app.TopChatLine();
    EXPECT_EQ(reading, 100 - 2 * rows);
    // Lines that come do not move the view.
    app.SetChatText(NumberedChatLines(0, 102));
    EXPECT_EQ(app.TopChatLine(), reading);
    // A line the user sends (typing goes to the input field) brings the end into view.
    app.WheelAt(app.ChatCell(3, 1), WHEEL_DELTA);
    app.SendTyped("a new line");
    EXPECT_EQ(app.ChatText(), NumberedChatLines(0, 102) + "<User> a new line\r\n");
    EXPECT_EQ(app.TopChatLine(), 103 - rows) << "the line just sent is in view";
    for (int i = 0; i < rows; ++i) {
        app.SendTyped("x");
    }
    EXPECT_EQ(app.TopChatLine(), -1) << "only the lines sent last are in view";
}

TEST_F(Transcript, ADraggedSelectionIsCopiedByteForByte) {
    app.SetChatText(NumberedChatLines(0, 5));
    // From the start of line 1 to the end of line 2's text, dragged by hand.
    const POINT from = app.ChatCell(0, 1);
    app.Drag(POINT{from.x - FixedFontCell().cx / 2, from.y}, app.ChatCell(60, 2), 4);
    const std::string lines = NumberedChatLines(1, 2);
    EXPECT_EQ(app.CopyWithCtrlC(), lines.substr(0, lines.size() - 2));

    // Ctrl+A takes everything, every CR LF with it.
    app.Press('A', true);
    EXPECT_EQ(app.CopyWithCtrlC(), NumberedChatLines(0, 5));

    // Unicode programs paste the characters shown, though a Cyrillic keyboard
    // layout marked the copy.
    std::string high = "<User> ";
    for (int c = 0x80; c <= 0xFF; ++c) {
        high += static_cast<char>(c);
    }
    high += "\r\n";
    app.SetChatText(high);
    app.Press('A', true);
    EXPECT_EQ(app.CopyWithCtrlC(), high);
    MarkClipboardLocale(MAKELCID(MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT), SORT_DEFAULT));
    EXPECT_TRUE(ClipboardUnicode() == AnsiToWide(high));
}

// Another program may send or post the transcript's selection query with any
// pointers: nothing is written through them, the program answers the length
// and goes on with its text intact.
TEST_F(Transcript, ASelectionQueryFromAnotherProgramWritesNowhere) {
    const std::string text = NumberedChatLines(0, 3);
    app.SetChatText(text);
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

// The zoom keys through the program's loop, and Ctrl+wheel over the
// transcript and over the input line, which hands it on.
TEST_F(Transcript, ZoomKeysAndCtrlWheelResizeTheTextAndCtrl0RestoresIt) {
    app.SetChatText("<Ada> one\r\n<Bob> two\r\n");
    const int normal = InkBottom(app.Chat());
    ASSERT_GT(normal, 0);
    for (const WORD plus : {VK_OEM_PLUS, VK_ADD, VK_OEM_PLUS}) {
        app.Press(plus, true); // to 200 %
    }
    const int large = InkBottom(app.Chat());
    EXPECT_GT(large, normal * 3 / 2);
    app.Press(VK_SUBTRACT, true);
    EXPECT_LT(InkBottom(app.Chat()), large);
    app.Press('0', true);
    EXPECT_EQ(InkBottom(app.Chat()), normal);

    app.WheelAt(app.ChatCell(3, 1), WHEEL_DELTA, true);
    EXPECT_GT(InkBottom(app.Chat()), normal);
    const RECT input = ScreenRect(app.Input());
    app.WheelAt(POINT{input.left + 10, (input.top + input.bottom) / 2}, -WHEEL_DELTA, true);
    EXPECT_EQ(InkBottom(app.Chat()), normal);
}

} // namespace
