// The transcript control in the real main window, driven through its messages:
// the text interface, drawing, scrolling, following, selection, copy and the
// hand-over of typed keys to the input field.
#include "tests/support/Clipboard.h"
#include "tests/support/Input.h"
#include "tests/support/Pixels.h"
#include "tests/support/TestText.h"
#include "tests/support/Transcript.h"
#include "tests/support/WindowTest.h"

#include "app/AppState.h"
#include "transcript/ChatLines.h"
#include "transcript/ChatList.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using ChatList = MainWindowTest;

SCROLLINFO Bar() {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(Chat(), SB_VERT, &si);
    return si;
}

RECT Client() {
    RECT r;
    GetClientRect(Chat(), &r);
    return r;
}

LPARAM At(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
}

std::string Selected() {
    const auto [from, to] = Selection();
    return WindowText(Chat()).substr(from, to - from);
}

// A plain click; answers where it put the (empty) selection.
DWORD ClickOffset(int x, int y) {
    SendMessageA(Chat(), WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
    SendMessageA(Chat(), WM_LBUTTONUP, 0, At(x, y));
    return Selection().first;
}

// The number in "L00042" of the chat line shown in the top row.
int TopLineNumber() {
    const DWORD at = ClickOffset(4, 1);
    const std::string text = WindowText(Chat());
    const size_t l = text.find('L', text.rfind('\n', at == 0 ? 0 : at - 1) + 1);
    return l == std::string::npos ? -1 : std::atoi(text.c_str() + l + 1);
}

// How many pixels of a colour the picture has in rows `fromRow` to `toRow` - 1.
size_t CountOf(const Image& pixels, COLORREF color, int fromRow, int toRow) {
    return pixels.Count(color, RECT{0, fromRow, pixels.Width(), toRow});
}

// What the pane shows after its own partial repaints must equal a full repaint.
// The system caret, blinking over what the pane painted, is hidden meanwhile.
void ExpectSameAsFullRepaint() {
    UpdateWindow(Chat());
    const bool hidden = HideCaret(Chat()) != FALSE;
    const Image partial = ShownClient(Chat());
    if (hidden) {
        ShowCaret(Chat());
    }
    EXPECT_TRUE(partial == PaintedClient(Chat())) << "partial repaints left stale pixels";
}

void Wheel(int delta) {
    const WORD high = static_cast<WORD>(static_cast<short>(delta));
    SendMessageA(Chat(), WM_MOUSEWHEEL, MAKEWPARAM(0, high), 0);
}

void Key(WPARAM vk) {
    SendMessageA(Chat(), WM_KEYDOWN, vk, 1);
}

TEST_F(ChatList, AnswersTheTextMessages) {
    EXPECT_EQ(SendMessageA(Chat(), WM_GETTEXTLENGTH, 0, 0), 0);
    char buffer[16] = "xxxxxxxxxxxxxxx";
    EXPECT_EQ(SendMessageA(Chat(), WM_GETTEXT, 1, reinterpret_cast<LPARAM>(buffer)), 0);
    EXPECT_EQ(buffer[0], '\0');

    EXPECT_TRUE(SetText("nine char\r\n"));
    EXPECT_EQ(SendMessageA(Chat(), WM_GETTEXTLENGTH, 0, 0), 11);
    EXPECT_EQ(Bar().nMax, 0); // one line, and no empty one after it

    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(SendMessageA(Chat(), WM_GETTEXT, 5, reinterpret_cast<LPARAM>(buffer)), 4);
    EXPECT_EQ(std::string(buffer, 6), std::string("nine\0x", 6));
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(SendMessageA(Chat(), WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buffer)), 0);
    EXPECT_EQ(buffer[0], 'x');
    EXPECT_EQ(SendMessageA(Chat(), WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer)),
              11);
    EXPECT_STREQ(buffer, "nine char\r\n");

    EXPECT_TRUE(SendMessageA(Chat(), WM_SETTEXT, 0, 0)); // null is the empty text
    EXPECT_EQ(SendMessageA(Chat(), WM_GETTEXTLENGTH, 0, 0), 0);
}

TEST_F(ChatList, GivesBackEveryTextByteForByte) {
    std::string high;
    for (int c = 1; c < 256; ++c) {
        high += static_cast<char>(c);
    }
    const std::string base = NumberedChatLines(0, 50);
    std::string first = base, middle = base, last = base;
    first[0] = '#';
    middle[base.size() / 2] = '#';
    last[base.size() - 1] = '#';
    for (const std::string& text :
         {base, base + NumberedChatLines(50, 3), base + "\r", base + "\r\nx", base.substr(0, 100),
          base.substr(0, 100), std::string(), first, middle, last, high, high + high,
          std::string("tab\there\rlone\nends\x01\x7f\xff")}) {
        EXPECT_TRUE(SetText(text));
        EXPECT_EQ(WindowText(Chat()), text);
        EXPECT_EQ(SendMessageA(Chat(), WM_GETTEXTLENGTH, 0, 0), static_cast<LRESULT>(text.size()));
    }
    // Texts at every alignment in memory, extending the old one or differing
    // from it in each of the last bytes, or ending one byte short.
    const std::string old = NumberedChatLines(0, 3);
    char buffer[512];
    for (size_t shift = 0; shift < 8; ++shift) {
        for (size_t cut = 0; cut < 12; ++cut) {
            std::string text = old + "tail";
            if (cut < 10) {
                text[old.size() - 1 - cut] ^= 0x01;
            } else if (cut == 10) {
                text = old.substr(0, old.size() - 1);
            }
            SetText(old);
            std::memcpy(buffer + shift, text.c_str(), text.size() + 1);
            SendMessageA(Chat(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(buffer + shift));
            ASSERT_EQ(WindowText(Chat()), text) << shift << " " << cut;
        }
    }
    // The program's own append path.
    SetText("");
    std::string expected;
    for (int i = 0; i < 20; ++i) {
        const std::string line = NumberedChatLines(i, 1);
        ASSERT_EQ(AppendText(Chat(), line.c_str()), 1);
        expected += line;
    }
    EXPECT_EQ(WindowText(Chat()), expected);
}

TEST_F(ChatList, DrawsInItsFontAndColours) {
    EXPECT_EQ(SendMessageA(Chat(), WM_GETFONT, 0, 0),
              reinterpret_cast<LRESULT>(GetStockObject(SYSTEM_FIXED_FONT)));
    const COLORREF ink = RGB(200, 0, 0), paper = RGB(0, 0, 120);
    SendMessageA(Chat(), CLM_SETCOLORS, ink, paper);
    SetText("nine char\r\n");
    const int h = LineHeight();
    Image px = ShownClient(Chat());
    EXPECT_GT(CountOf(px, ink, 0, h), 20u) << "the line's text";
    EXPECT_EQ(CountOf(px, ink, h, Client().bottom), 0u) << "one line only";
    EXPECT_EQ(CountOf(px, paper, h, Client().bottom),
              static_cast<size_t>(Client().right) * (Client().bottom - h));

    // The selection in its own colours; selecting nothing shows none of them.
    const COLORREF selInk = RGB(0, 200, 0), selPaper = RGB(250, 250, 0);
    SendMessageA(Chat(), CLM_SETSELCOLORS, selInk, selPaper);
    SendMessageA(Chat(), CLM_SETSEL, 0, 4);
    px = ShownClient(Chat());
    EXPECT_GT(CountOf(px, selPaper, 0, h), 20u);
    EXPECT_GT(CountOf(px, selInk, 0, h), 10u);
    EXPECT_GT(CountOf(px, ink, 0, h), 10u) << "the rest of the line stays as it was";
    SendMessageA(Chat(), CLM_SETSEL, 2, 2);
    EXPECT_EQ(CountOf(ShownClient(Chat()), selPaper, 0, Client().bottom), 0u);

    // Another font: the text is measured and drawn in it.
    HFONT other = static_cast<HFONT>(GetStockObject(ANSI_VAR_FONT));
    SendMessageA(Chat(), WM_SETFONT, reinterpret_cast<WPARAM>(other), 0);
    EXPECT_EQ(SendMessageA(Chat(), WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(other));
    EXPECT_GT(CountOf(ShownClient(Chat()), ink, 0, LineHeight()), 20u);
}

// Printing (a snapshot, a magnifier, a print preview) shows what the screen shows.
TEST_F(ChatList, PrintsTheSamePixelsItPaints) {
    SendMessageA(Chat(), CLM_SETCOLORS, RGB(200, 0, 0), RGB(0, 0, 120));
    std::string text;
    for (int i = 0; i < 60; ++i) {
        text += "<Ada> line " + std::to_string(i) + " of the chat\r\n";
    }
    SetText(text);
    SendMessageA(Chat(), WM_VSCROLL, SB_TOP, 0);
    SendMessageA(Chat(), CLM_SETSEL, 3, 40);
    AppendText(Chat(), "<Bob> while scrolled up\r\n"); // the new-lines marker shows too
    const Image screen = ShownClient(Chat());
    EXPECT_TRUE(PaintedClient(Chat()) == screen) << "the printed pane differs from the painted one";
}

TEST_F(ChatList, WrapsAtThePaneWidthAndShowsControlBytesPlainly) {
    const std::string word(300, 'w');
    SetText(word + "\r\n");
    const int lines = Bar().nMax + 1;
    EXPECT_GT(lines, 2);
    // Narrower pane, more lines; the same text all the same.
    const RECT r = ChildRect(Chat());
    MoveWindow(Chat(), r.left, r.top, (r.right - r.left) / 2, r.bottom - r.top, TRUE);
    EXPECT_GE(Bar().nMax + 1, 2 * lines - 1);
    EXPECT_EQ(WindowText(Chat()), word + "\r\n");
    // Control bytes and tabs draw in the text colour like any glyph.
    const COLORREF ink = RGB(200, 0, 0), paper = RGB(255, 255, 255);
    SendMessageA(Chat(), CLM_SETCOLORS, ink, paper);
    SetText(std::string(8, '\x01') + "\r\n\t\t\r\n");
    const Image px = ShownClient(Chat());
    EXPECT_GT(CountOf(px, ink, 0, LineHeight()), 4u);
    EXPECT_EQ(CountOf(px, ink, LineHeight(), 2 * LineHeight()), 0u) << "tabs show as blanks";
}

TEST_F(ChatList, ScrollsByLinePageThumbKeysAndWheel) {
    SetText(NumberedChatLines(0, 200));
    const int page = static_cast<int>(Bar().nPage);
    ASSERT_GT(page, 3);
    EXPECT_EQ(Top(), 200 - page); // the end in view
    EXPECT_EQ(TopLineNumber(), 200 - page);

    SendMessageA(Chat(), WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(Top(), 199 - page);
    SendMessageA(Chat(), WM_VSCROLL, SB_PAGEUP, 0);
    EXPECT_EQ(Top(), 199 - 2 * page);
    SendMessageA(Chat(), WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(Top(), 0);
    SendMessageA(Chat(), WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(Top(), 0);
    SendMessageA(Chat(), WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(Top(), page);
    EXPECT_EQ(TopLineNumber(), page);
    SendMessageA(Chat(), WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(Top(), 200 - page);

    // The keys that scroll: Ctrl+Up and Ctrl+Down by a line, the page keys by
    // a page, Ctrl+Home and Ctrl+End to the ends (the arrows move the caret).
    SetFocus(Chat());
    {
        HeldKeys ctrl{VK_CONTROL};
        Key(VK_HOME);
        EXPECT_EQ(Top(), 0);
        Key(VK_DOWN);
        Key(VK_DOWN);
        EXPECT_EQ(Top(), 2);
        Key(VK_UP);
        EXPECT_EQ(Top(), 1);
        Key(VK_END);
        EXPECT_EQ(Top(), 200 - page);
        Key(VK_HOME);
    }
    Key(VK_NEXT);
    EXPECT_EQ(Top(), page);
    Key(VK_PRIOR);
    EXPECT_EQ(Top(), 0);
    EXPECT_EQ(GetFocus(), Chat()) << "scroll keys keep the focus";

    // The wheel: the system's lines per notch, partial notches add up, and a
    // turn the other way starts afresh.
    UINT perNotch = 0;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &perNotch, 0);
    const int n = static_cast<int>(perNotch);
    ASSERT_GT(n, 0);
    SendMessageA(Chat(), WM_VSCROLL, SB_TOP, 0);
    Wheel(-WHEEL_DELTA);
    EXPECT_EQ(Top(), n);
    Wheel(-WHEEL_DELTA / 3);
    Wheel(-WHEEL_DELTA / 3);
    EXPECT_EQ(Top(), n + (2 * n) / 3);
    Wheel(-WHEEL_DELTA / 3);
    EXPECT_EQ(Top(), 2 * n);
    Wheel(-WHEEL_DELTA / 2);
    Wheel(WHEEL_DELTA);
    EXPECT_EQ(Top(), 2 * n + n / 2 - n)
        << "what was left of the half notch down is dropped, not taken from the turn up";
    ExpectSameAsFullRepaint();
}

// 100 % draws in the owner's font exactly as before any zoom; a larger level
// draws larger rows from the same top line.
TEST_F(ChatList, ZoomKeepsTheTopLineAndComesBackToTheSamePixels) {
    SendMessageA(Chat(), CLM_SETCOLORS, RGB(200, 0, 0), RGB(0, 0, 120));
    std::string text;
    for (int i = 0; i < 100; ++i) {
        text += "line " + std::to_string(i) + "\r\n"; // no row wraps at 200 %
    }
    SetText(text);
    SendMessageA(Chat(), WM_VSCROLL, SB_TOP, 0);
    SendMessageA(Chat(), WM_VSCROLL, SB_PAGEDOWN, 0);
    const int top = Top();
    const int height = LineHeight();
    const Image before = PaintedClient(Chat());
    EXPECT_EQ(SendMessageA(Chat(), CLM_ZOOM, 0, 0), 100) << "any other value asks";
    for (const int level : {125, 150, 200}) {
        EXPECT_EQ(SendMessageA(Chat(), CLM_ZOOM, CLZ_IN, 0), level);
    }
    EXPECT_GE(LineHeight(), 2 * height);
    EXPECT_EQ(Top(), top);
    EXPECT_TRUE(PaintedClient(Chat()) != before);
    EXPECT_EQ(SendMessageA(Chat(), CLM_ZOOM, CLZ_NORMAL, 0), 100);
    EXPECT_EQ(Top(), top);
    PumpMessages(1500); // the level shown in the corner goes
    EXPECT_TRUE(PaintedClient(Chat()) == before);
}

// Ctrl+wheel zooms, but a wheel still spinning from a plain turn as Ctrl goes
// down scrolls on (by the turns' message times).
TEST_F(ChatList, CtrlWheelZoomsUnlessAPlainTurnCameJustBefore) {
    SetText(NumberedChatLines(0, 200));
    const int top = Top();
    UINT perNotch = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &perNotch, 0);
    const auto turn = [](WORD keys) {
        PostMessageA(Chat(), WM_MOUSEWHEEL, MAKEWPARAM(keys, WHEEL_DELTA), 0);
    };
    turn(0);
    turn(MK_CONTROL);
    PumpMessages();
    EXPECT_EQ(Top(), top - 2 * static_cast<int>(perNotch)) << "both turns scrolled";
    EXPECT_EQ(SendMessageA(Chat(), CLM_ZOOM, 0, 0), 100);
    PumpMessages(400);
    turn(MK_CONTROL);
    PumpMessages();
    EXPECT_EQ(SendMessageA(Chat(), CLM_ZOOM, 0, 0), 125);
}

TEST_F(ChatList, ThumbPositionsWorkPast65535Lines) {
    SetText(NumberedChatLines(0, 70000));
    EXPECT_EQ(Bar().nMax, 69999);
    // Where the scroll bar's thumb is dragged to, with all 32 bits.
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_POS;
    si.nPos = 68000;
    SetScrollInfo(Chat(), SB_VERT, &si, FALSE);
    SendMessageA(Chat(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 68000 & 0xFFFF), 0);
    SendMessageA(Chat(), WM_VSCROLL, SB_LINEDOWN, 0); // on from where the thumb put the view
    EXPECT_EQ(Top(), 68001);
    EXPECT_EQ(TopLineNumber(), 68001);
    ExpectSameAsFullRepaint();
}

TEST_F(ChatList, FollowsTheChatUnlessScrolledUp) {
    SetText(NumberedChatLines(0, 100));
    const int page = static_cast<int>(Bar().nPage);
    for (int i = 100; i < 110; ++i) {
        AppendText(Chat(), NumberedChatLines(i, 1).c_str());
        UpdateWindow(Chat());
    }
    EXPECT_EQ(Top(), 110 - page);
    ExpectSameAsFullRepaint();

    SendMessageA(Chat(), WM_VSCROLL, SB_LINEUP, 0);
    SendMessageA(Chat(), WM_VSCROLL, SB_LINEUP, 0);
    const int reading = Top();
    for (int i = 110; i < 120; ++i) {
        AppendText(Chat(), NumberedChatLines(i, 1).c_str());
    }
    EXPECT_EQ(Top(), reading);
    EXPECT_EQ(TopLineNumber(), reading);
    EXPECT_EQ(Bar().nMax, 119);
    ExpectSameAsFullRepaint();

    // A line that comes in pieces, its CR LF split between two appends.
    SendMessageA(Chat(), WM_VSCROLL, SB_BOTTOM, 0);
    AppendText(Chat(), "<User> half a line\r");
    AppendText(Chat(), "\n<User> the next\r\n");
    EXPECT_EQ(Bar().nMax, 121);
    EXPECT_EQ(Top(), 122 - page);
    ExpectSameAsFullRepaint();

    SetText("");
    EXPECT_EQ(Top(), 0);
    EXPECT_EQ(Bar().nMax, 0);
    SetText(NumberedChatLines(0, 5));
    EXPECT_EQ(Top(), 0);
}

TEST_F(ChatList, ResizeKeepsTheTopLineInPlace) {
    SetText(NumberedChatLines(0, 300));
    SendMessageA(Chat(), WM_VSCROLL, SB_TOP, 0);
    for (int i = 0; i < 5; ++i) {
        SendMessageA(Chat(), WM_VSCROLL, SB_PAGEDOWN, 0);
    }
    const int reading = TopLineNumber();
    ASSERT_GT(reading, 50);
    const RECT r = ChildRect(Chat());
    MoveWindow(Chat(), r.left, r.top, 120, r.bottom - r.top, TRUE);
    EXPECT_EQ(TopLineNumber(), reading);
    MoveWindow(Chat(), r.left, r.top, r.right - r.left, (r.bottom - r.top) / 2, TRUE);
    EXPECT_EQ(TopLineNumber(), reading);
    ExpectSameAsFullRepaint();
    // A minimised pane keeps its lines; back at its size, it shows the same.
    MoveWindow(Chat(), r.left, r.top, 0, 0, TRUE);
    MoveWindow(Chat(), r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    EXPECT_EQ(TopLineNumber(), reading);
    // Following the end, a resize keeps following it.
    SendMessageA(Chat(), WM_VSCROLL, SB_BOTTOM, 0);
    MoveWindow(Chat(), r.left, r.top, 150, r.bottom - r.top, TRUE);
    EXPECT_EQ(Top(), Bar().nMax + 1 - static_cast<int>(Bar().nPage));
}

TEST_F(ChatList, SelectsByDragShiftClickWordLineAndAll) {
    SetText("<User> hello big world\r\n<User> second line\r\n<User> third\r\n");
    const int h = LineHeight();
    const int cw = FixedFontCell().cx;
    auto x = [&](int column) { return 2 + column * cw + 1; };

    // Drag from "hello" on the first line to "second" on the second.
    SendMessageA(Chat(), WM_LBUTTONDOWN, MK_LBUTTON, At(x(7), h / 2));
    EXPECT_EQ(GetCapture(), Chat());
    SendMessageA(Chat(), WM_MOUSEMOVE, MK_LBUTTON, At(x(13), h + h / 2));
    SendMessageA(Chat(), WM_LBUTTONUP, 0, At(x(13), h + h / 2));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Selected(), "hello big world\r\n<User> second");

    // Shift+click moves the selection's far end and keeps its anchor.
    SendMessageA(Chat(), WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, At(x(10), h / 2));
    SendMessageA(Chat(), WM_LBUTTONUP, 0, At(x(10), h / 2));
    EXPECT_EQ(Selected(), "hel");

    // Double click: the word; a third click soon after: the whole line.
    PostMessageA(Chat(), WM_LBUTTONDOWN, MK_LBUTTON, At(x(9), h / 2));
    PostMessageA(Chat(), WM_LBUTTONUP, 0, At(x(9), h / 2));
    PostMessageA(Chat(), WM_LBUTTONDBLCLK, MK_LBUTTON, At(x(9), h / 2));
    PostMessageA(Chat(), WM_LBUTTONUP, 0, At(x(9), h / 2));
    PumpMessages();
    EXPECT_EQ(Selected(), "hello");
    PostMessageA(Chat(), WM_LBUTTONDOWN, MK_LBUTTON, At(x(9), h / 2));
    PostMessageA(Chat(), WM_LBUTTONUP, 0, At(x(9), h / 2));
    PumpMessages();
    EXPECT_EQ(Selected(), "<User> hello big world\r\n");
    // Too late for a third click: a plain click.
    Sleep(GetDoubleClickTime() + 50);
    PostMessageA(Chat(), WM_LBUTTONDBLCLK, MK_LBUTTON, At(x(9), h / 2));
    PostMessageA(Chat(), WM_LBUTTONUP, 0, At(x(9), h / 2));
    PumpMessages();
    Sleep(GetDoubleClickTime() + 50);
    PostMessageA(Chat(), WM_LBUTTONDOWN, MK_LBUTTON, At(x(9), h / 2));
    PostMessageA(Chat(), WM_LBUTTONUP, 0, At(x(9), h / 2));
    PumpMessages();
    EXPECT_EQ(Selected(), "");

    // A double click then a drag grows by whole words.
    SendMessageA(Chat(), WM_LBUTTONDBLCLK, MK_LBUTTON, At(x(9), h / 2));
    SendMessageA(Chat(), WM_MOUSEMOVE, MK_LBUTTON, At(x(19), h / 2));
    SendMessageA(Chat(), WM_LBUTTONUP, 0, At(x(19), h / 2));
    EXPECT_EQ(Selected(), "hello big world");

    // Below the last line the drag reaches the text's end.
    SendMessageA(Chat(), WM_LBUTTONDOWN, MK_LBUTTON, At(x(7), 2 * h + h / 2));
    SendMessageA(Chat(), WM_MOUSEMOVE, MK_LBUTTON, At(x(1), Client().bottom - 2));
    SendMessageA(Chat(), WM_LBUTTONUP, 0, At(x(1), Client().bottom - 2));
    EXPECT_EQ(Selected(), "third\r\n");
    ExpectSameAsFullRepaint();

    SetFocus(Chat());
    {
        HeldKeys ctrl{VK_CONTROL};
        Key('A');
    }
    EXPECT_EQ(Selected(), WindowText(Chat()));
    ExpectSameAsFullRepaint();
}

// A double click takes a word as the code page has it: the letters of code
// page 1252 belong to it, its typographic quotes do not.
TEST_F(ChatList, ADoubleClickSelectsAWordOfTheCodePage) {
    if (GetACP() != 1252) {
        GTEST_SKIP() << "the ANSI code page here is " << GetACP() << ", not 1252";
    }
    SetText("<User> she said \x93"
            "caf\xE9\x94 twice\r\n");
    const int cw = FixedFontCell().cx;
    const int y = LineHeight() / 2;
    SendMessageA(Chat(), WM_LBUTTONDBLCLK, MK_LBUTTON, At(2 + 18 * cw + 1, y));
    SendMessageA(Chat(), WM_LBUTTONUP, 0, At(2 + 18 * cw + 1, y));
    EXPECT_EQ(Selected(), "caf\xE9");
}

TEST_F(ChatList, SelectionStaysOnItsTextAndCopiesAsItIs) {
    SetText(NumberedChatLines(0, 10));
    const std::string text = WindowText(Chat());
    SendMessageA(Chat(), CLM_SETSEL, 40, 120);
    const std::string chosen = text.substr(40, 80);
    EXPECT_EQ(Selected(), chosen);
    for (int i = 10; i < 40; ++i) {
        AppendText(Chat(), NumberedChatLines(i, 1).c_str());
    }
    EXPECT_EQ(Selected(), chosen);

    SetFocus(Chat());
    EmptyTheClipboard();
    {
        HeldKeys ctrl{VK_CONTROL};
        Key('C');
    }
    EXPECT_EQ(ClipboardText(), chosen);
    SendMessageA(Chat(), CLM_SETSEL, 0, 5);
    {
        HeldKeys ctrl{VK_CONTROL};
        Key(VK_INSERT);
    }
    EXPECT_EQ(ClipboardText(), "<User");

    // A text that is no append drops the selection.
    SetText("other\r\n");
    EXPECT_EQ(Selection(), (std::pair<DWORD, DWORD>(0, 0)));
    // Offsets past the end are clamped.
    SendMessageA(Chat(), CLM_SETSEL, 3, 999);
    EXPECT_EQ(Selected(), "er\r\n");
}

// Other programs paste the characters the transcript shows, whatever keyboard
// layout was active at the copy: the Unicode form comes from the program's own
// code page, not from the layout's (here a Cyrillic one marks the copy).
TEST_F(ChatList, CopiesTheUnicodeTextOfItsOwnCodePage) {
    std::string text = "plain ASCII, then every high byte: ";
    for (int c = 0x80; c <= 0xFF; ++c) {
        text += static_cast<char>(c);
    }
    text += "\r\n<User> end";
    SetText(text);
    SendMessageA(Chat(), CLM_SETSEL, 0, text.size());
    EmptyTheClipboard();
    SendMessageA(Chat(), WM_COPY, 0, 0);
    MarkClipboardLocale(MAKELCID(MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT), SORT_DEFAULT));
    EXPECT_TRUE(ClipboardUnicode() == AnsiToWide(text));
    EXPECT_EQ(ClipboardText(), text);
}

// Only the program's own thread may have the selection's ends written through
// pointers: another thread, or anyone posting the message, gets the length alone.
TEST_F(ChatList, WritesTheSelectionsEndsOnlyForItsOwnThread) {
    SetText(NumberedChatLines(0, 3));
    SendMessageA(Chat(), CLM_SETSEL, 7, 13);
    const HWND chat = Chat();
    constexpr DWORD kUntouched = 0xA5A5A5A5;
    DWORD from = kUntouched, to = kUntouched;
    std::atomic<bool> answered{false};
    DWORD_PTR length = 0;
    std::thread other([&] {
        SendMessageTimeoutA(chat, CLM_GETSEL, reinterpret_cast<WPARAM>(&from),
                            reinterpret_cast<LPARAM>(&to), SMTO_NORMAL, 5000, &length);
        answered = true;
    });
    EXPECT_TRUE(PumpUntil([&] { return answered.load(); }));
    other.join();
    EXPECT_EQ(length, 6u);
    EXPECT_EQ(from, kUntouched);
    EXPECT_EQ(to, kUntouched);

    PostMessageA(chat, CLM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    PumpMessages(50);
    EXPECT_EQ(from, kUntouched);
    EXPECT_EQ(to, kUntouched);

    EXPECT_EQ(Selection(), (std::pair<DWORD, DWORD>(7, 13)));
}

TEST_F(ChatList, DraggingPastTheEdgeScrollsAndSelects) {
    SetText(NumberedChatLines(0, 100));
    SendMessageA(Chat(), WM_VSCROLL, SB_TOP, 0);
    const int h = LineHeight();
    SendMessageA(Chat(), WM_LBUTTONDOWN, MK_LBUTTON, At(3, h / 2));
    POINT below{10, Client().bottom + 3 * h};
    ClientToScreen(Chat(), &below);
    PointerTo(below);
    POINT client{10, Client().bottom + 3 * h};
    SendMessageA(Chat(), WM_MOUSEMOVE, MK_LBUTTON, At(client.x, client.y));
    PumpUntil([] { return Top() >= 20; }, 5000);
    SendMessageA(Chat(), WM_LBUTTONUP, 0, At(client.x, client.y));
    const int top = Top();
    EXPECT_GE(top, 20);
    PumpMessages(200);
    EXPECT_EQ(Top(), top) << "the scrolling stops with the button";
    // The selection reaches the bottom row shown (a partly shown one counts).
    const auto [from, to] = Selection();
    EXPECT_EQ(from, 0u);
    const int lastFull = top + static_cast<int>(Bar().nPage) - 1;
    EXPECT_GE(to, NumberedChatLines(0, lastFull).size());
    EXPECT_LE(to, NumberedChatLines(0, lastFull + 2).size());
    ExpectSameAsFullRepaint();
}

TEST_F(ChatList, TypedKeysGoToTheInputField) {
    SetText(NumberedChatLines(0, 3));
    SetWindowTextA(AppState.hwndInput, "ab");
    SendMessageA(AppState.hwndInput, EM_SETSEL, 2, 2);
    SetFocus(Chat());
    ASSERT_EQ(GetFocus(), Chat());
    // The loop's translation makes the character; the key goes with it.
    PostMessageA(Chat(), WM_KEYDOWN, 'X', MAKELPARAM(1, MapVirtualKeyA('X', MAPVK_VK_TO_VSC)));
    PumpMessages(50);
    EXPECT_EQ(GetFocus(), AppState.hwndInput);
    EXPECT_EQ(WindowText(AppState.hwndInput), "abx");
    // Editing keys too: Delete acts in the field.
    SetFocus(Chat());
    SendMessageA(AppState.hwndInput, EM_SETSEL, 0, 0);
    Key(VK_DELETE);
    EXPECT_EQ(GetFocus(), AppState.hwndInput);
    EXPECT_EQ(WindowText(AppState.hwndInput), "bx");
    // Keys that make no character leave the focus here: F10 and Alt+letter
    // open the menu bar from here, and it gives the focus back when it closes.
    SetFocus(Chat());
    SendMessageA(Chat(), WM_SYSKEYDOWN, VK_F10, 0);
    SendMessageA(Chat(), WM_SYSKEYDOWN, 'C', 0x20000001);
    for (const WPARAM key : {VK_F1, VK_F4, VK_F12, VK_INSERT, VK_PAUSE}) {
        PostMessageA(Chat(), WM_KEYDOWN, key, MAKELPARAM(1, MapVirtualKeyA(key, MAPVK_VK_TO_VSC)));
    }
    PumpMessages(50);
    EXPECT_EQ(GetFocus(), Chat());
    EXPECT_EQ(WindowText(AppState.hwndInput), "bx");
    // Modifiers alone leave the focus where it is; Alt too, so that Alt+digit
    // reads a line from here.
    SetFocus(Chat());
    Key(VK_SHIFT);
    Key(VK_CONTROL);
    SendMessageA(Chat(), WM_SYSKEYDOWN, VK_MENU, 0x20000001);
    EXPECT_EQ(GetFocus(), Chat());
    EXPECT_EQ(WindowText(Chat()), NumberedChatLines(0, 3));
}

// The context menu, looked at and answered while it runs its own loop.
struct MenuVisit {
    bool seen = false;
    UINT copyState = 0;
    UINT allState = 0;
    UINT zoomOutState = 0;
    WPARAM answer = 0; // the mnemonic to type, or 0 to close the menu
};
MenuVisit* g_visit = nullptr;

void CALLBACK VisitMenu(HWND, UINT, UINT_PTR id, DWORD) {
    HWND popup = FindProcessWindow(GetCurrentProcessId(), "#32768");
    if (popup == nullptr || g_visit == nullptr) {
        return;
    }
    KillTimer(nullptr, id);
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
    g_visit->seen = menu != nullptr;
    g_visit->copyState = GetMenuState(menu, 0, MF_BYPOSITION);
    g_visit->allState = GetMenuState(menu, 1, MF_BYPOSITION);
    g_visit->zoomOutState = GetMenuState(menu, 4, MF_BYPOSITION);
    if (g_visit->answer != 0) {
        PostMessageA(popup, WM_CHAR, g_visit->answer, 0);
    } else {
        EndMenu();
    }
}

MenuVisit RightClick(WPARAM answer) {
    MenuVisit visit;
    visit.answer = answer;
    g_visit = &visit;
    SetTimer(nullptr, 0, 100, VisitMenu);
    SendMessageA(Chat(), WM_RBUTTONDOWN, MK_RBUTTON, At(20, 5));
    g_visit = nullptr;
    return visit;
}

TEST_F(ChatList, RightClickMenuCopiesSelectsAllAndZooms) {
    SetText(NumberedChatLines(0, 4));
    MenuVisit v = RightClick(0);
    ASSERT_TRUE(v.seen);
    EXPECT_TRUE(v.copyState & MF_GRAYED) << "nothing to copy";
    EXPECT_FALSE(v.allState & MF_GRAYED);
    EXPECT_TRUE(v.zoomOutState & MF_GRAYED) << "100 % is the smallest";

    v = RightClick('i');
    EXPECT_EQ(SendMessageA(Chat(), CLM_ZOOM, 0, 0), 125);
    v = RightClick(0);
    EXPECT_FALSE(v.zoomOutState & MF_GRAYED);

    v = RightClick('a');
    EXPECT_EQ(Selected(), NumberedChatLines(0, 4));

    EmptyTheClipboard();
    SendMessageA(Chat(), CLM_SETSEL, 7, 13);
    v = RightClick('c');
    EXPECT_FALSE(v.copyState & MF_GRAYED);
    EXPECT_EQ(ClipboardText(), "L00000");
}

} // namespace
