// The transcript's caret in the real main window: the system caret while the
// pane has the focus, the keys that move it and select, the view that follows
// it, and the selection events screen readers read it by.
#include "tests/support/Input.h"
#include "tests/support/Pixels.h"
#include "tests/support/TestText.h"
#include "tests/support/Transcript.h"
#include "tests/support/WindowTest.h"
#include "tests/transcript/access/SystemStandIn.h"

#include "app/AppState.h"
#include "transcript/ChatList.h"

#include <string>
#include <utility>

namespace {

using ChatCaret = MainWindowTest;

DWORD CaretOffset() {
    const auto [from, to] = Selection();
    EXPECT_EQ(from, to) << "nothing selected";
    return from;
}

int Page() {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_PAGE;
    GetScrollInfo(Chat(), SB_VERT, &si);
    return static_cast<int>(si.nPage);
}

// The system's own record of the caret: its window and rectangle.
GUITHREADINFO Caret() {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetCurrentThreadId(), &info);
    return info;
}

void Key(WPARAM vk) {
    SendMessageA(Chat(), WM_KEYDOWN, vk, 1);
}

void KeyWith(int modifier, WPARAM vk) {
    HeldKeys held{modifier};
    Key(vk);
}

TEST_F(ChatCaret, ShowsWhileThePaneHasTheFocusAtTheLastLineShownOrTheSelection) {
    SetText(NumberedChatLines(0, 5));
    const SIZE cell = FixedFontCell();
    SetFocus(Chat());
    GUITHREADINFO c = Caret();
    EXPECT_EQ(c.hwndCaret, Chat());
    EXPECT_EQ(CaretOffset(), NumberedChatLines(0, 4).size()) << "the start of the last line";
    EXPECT_EQ(c.rcCaret.top, 4 * cell.cy);
    EXPECT_EQ(c.rcCaret.bottom - c.rcCaret.top, cell.cy) << "a line high";
    EXPECT_EQ(c.rcCaret.left, 2) << "the pane's margin";
    // The focus goes: so does the caret. It comes back to a selection: that stays.
    SetFocus(AppState.hwndInput);
    EXPECT_NE(Caret().hwndCaret, Chat());
    SendMessageA(Chat(), CLM_SETSEL, 7, 13);
    SetFocus(Chat());
    EXPECT_EQ(Selection(), std::make_pair(DWORD{7}, DWORD{13}));
    c = Caret();
    EXPECT_EQ(c.rcCaret.left, 2 + 13 * cell.cx) << "at the selection's caret end";
    EXPECT_EQ(c.rcCaret.top, 0);
    // A caret placed with nothing selected stays too, by keys or by CLM_SETSEL,
    // and a Shift+click into the pane extends from it.
    Key(VK_RIGHT);
    SetFocus(AppState.hwndInput);
    SetFocus(Chat());
    EXPECT_EQ(CaretOffset(), 13u) << "the caret the keys placed";
    SendMessageA(Chat(), CLM_SETSEL, 7, 7);
    SetFocus(AppState.hwndInput);
    const LPARAM at = MAKELPARAM(2 + 3 * cell.cx, cell.cy + 1);
    SendMessageA(Chat(), WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, at);
    SendMessageA(Chat(), WM_LBUTTONUP, MK_SHIFT, at);
    EXPECT_EQ(GetFocus(), Chat());
    EXPECT_EQ(Selection(), std::make_pair(DWORD{7}, DWORD(NumberedChatLines(0, 1).size() + 3)));
    // A new font: a new caret of its height.
    LOGFONTA big{};
    big.lfHeight = 2 * cell.cy;
    big.lfPitchAndFamily = FIXED_PITCH;
    const HFONT font = CreateFontIndirectA(&big);
    SendMessageA(Chat(), WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
    TEXTMETRICA tm{};
    {
        HDC dc = GetDC(Chat());
        HGDIOBJ old = SelectObject(dc, font);
        GetTextMetricsA(dc, &tm);
        SelectObject(dc, old);
        ReleaseDC(Chat(), dc);
    }
    c = Caret();
    EXPECT_EQ(c.hwndCaret, Chat());
    EXPECT_EQ(c.rcCaret.bottom - c.rcCaret.top, tm.tmHeight);
    SetFocus(AppState.hwndInput);
    SendMessageA(Chat(), WM_SETFONT, 0, 0);
    DeleteObject(font);
}

TEST_F(ChatCaret, ArrowsHomeAndEndMoveItAndShiftSelectsFromTheAnchor) {
    SetText("<Ada> hello world\r\n<Bob> hi\r\n");
    const SIZE cell = FixedFontCell();
    SetFocus(Chat());
    KeyWith(VK_CONTROL, VK_HOME);
    EXPECT_EQ(CaretOffset(), 0u);
    Key(VK_RIGHT);
    EXPECT_EQ(CaretOffset(), 1u);
    KeyWith(VK_CONTROL, VK_RIGHT);
    KeyWith(VK_CONTROL, VK_RIGHT);
    EXPECT_EQ(CaretOffset(), 6u) << "at \"hello\"";
    Key(VK_DOWN);
    EXPECT_EQ(CaretOffset(), 19u + 6u) << "the same column a line down";
    EXPECT_EQ(Caret().rcCaret.top, cell.cy);
    EXPECT_EQ(Caret().rcCaret.left, 2 + 6 * cell.cx);
    Key(VK_END);
    EXPECT_EQ(CaretOffset(), 27u);
    Key(VK_UP);
    EXPECT_EQ(CaretOffset(), 8u) << "the column the End key gave";
    {
        HeldKeys shift{VK_SHIFT};
        Key(VK_END);
        Key(VK_LEFT);
        EXPECT_EQ(Selection(), std::make_pair(DWORD{8}, DWORD{16}));
        Key(VK_HOME);
        EXPECT_EQ(Selection(), std::make_pair(DWORD{0}, DWORD{8})) << "the anchor stays";
    }
    {
        HeldKeys shiftCtrl{VK_SHIFT, VK_CONTROL};
        Key(VK_END);
        EXPECT_EQ(Selection(), std::make_pair(DWORD{8}, DWORD{29}));
    }
    Key(VK_LEFT);
    EXPECT_EQ(CaretOffset(), 8u) << "Left ends the selection at its start";
    KeyWith(VK_CONTROL, 'A');
    EXPECT_EQ(Selection(), std::make_pair(DWORD{0}, DWORD{29}));
    // A click puts the caret where it lands.
    SendMessageA(Chat(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2 + 3 * cell.cx, cell.cy + 1));
    SendMessageA(Chat(), WM_LBUTTONUP, 0, MAKELPARAM(2 + 3 * cell.cx, cell.cy + 1));
    EXPECT_EQ(CaretOffset(), 22u);
    EXPECT_EQ(Caret().rcCaret.left, 2 + 3 * cell.cx);
    EXPECT_EQ(GetFocus(), Chat()) << "the caret keys keep the focus";
    EXPECT_EQ(WindowText(AppState.hwndInput), "");
}

TEST_F(ChatCaret, TheViewFollowsTheCaretAndThePageKeysTurnBoth) {
    SetText(NumberedChatLines(0, 200));
    const int page = Page();
    ASSERT_GT(page, 3);
    SetFocus(Chat());
    EXPECT_EQ(Top(), 200 - page) << "the focus alone scrolls nothing";
    KeyWith(VK_CONTROL, VK_HOME);
    EXPECT_EQ(Top(), 0);
    for (int i = 0; i < page - 1; ++i) {
        Key(VK_DOWN);
    }
    EXPECT_EQ(Top(), 0) << "the caret in the bottom row";
    Key(VK_DOWN);
    EXPECT_EQ(Top(), 1) << "one row on, to keep it in sight";
    Key(VK_NEXT);
    EXPECT_EQ(Top(), 1 + page);
    EXPECT_EQ(CaretOffset(), NumberedChatLines(0, 2 * page).size()) << "the same row";
    Key(VK_PRIOR);
    Key(VK_PRIOR);
    EXPECT_EQ(Top(), 0);
    EXPECT_EQ(CaretOffset(), 0u) << "the first page: the first line";
    // Ctrl+Up and Ctrl+Down scroll and leave the caret; the next move brings the view back.
    KeyWith(VK_CONTROL, VK_DOWN);
    KeyWith(VK_CONTROL, VK_DOWN);
    EXPECT_EQ(Top(), 2);
    EXPECT_EQ(CaretOffset(), 0u);
    EXPECT_LT(Caret().rcCaret.top, 0) << "out of sight above the pane";
    Key(VK_RIGHT);
    EXPECT_EQ(Top(), 0);
    KeyWith(VK_CONTROL, VK_END);
    EXPECT_EQ(Top(), 200 - page);
    EXPECT_EQ(CaretOffset(), NumberedChatLines(0, 200).size());
    // Scrolled with the caret shown, the pane holds what it painted: no caret
    // pixels carried along by a scroll, none left behind.
    KeyWith(VK_CONTROL, VK_HOME);
    for (int i = 0; i < page + 3; ++i) {
        Key(VK_DOWN);
    }
    Key(VK_NEXT);
    KeyWith(VK_CONTROL, VK_UP);
    UpdateWindow(Chat());
    HideCaret(Chat());
    EXPECT_TRUE(ShownClient(Chat()) == PaintedClient(Chat()));
    ShowCaret(Chat());
}

TEST_F(ChatCaret, EveryMoveOfTheCaretIsASelectionChange) {
    SetText(NumberedChatLines(0, 3));
    SetFocus(Chat());
    // What the program hands UI Automation, with a client listening.
    const standin::System system(true);
    auto told = [] { return standin::EventsOf(uia::kTextSelectionChangedEvent); };
    KeyWith(VK_CONTROL, VK_HOME);
    Key(VK_RIGHT);
    Key(VK_DOWN);
    EXPECT_EQ(told(), 3u) << "nothing selected, yet each move is told";
    Key(VK_UP);
    Key(VK_UP);
    Key(VK_LEFT);
    Key(VK_LEFT);
    EXPECT_EQ(told(), 5u) << "a key that cannot move tells nothing";
}

} // namespace
