// The input line under real key presses: the history of sent lines, scrolling
// and copying the transcript without leaving the line, taking back Esc and F5,
// and the keys that stay commands.
#include "tests/support/AppDriver.h"
#include "tests/support/TestText.h"
#include "transcript/ChatList.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string ChatLines(int count) {
    std::string all;
    char line[64];
    for (int i = 0; i < count; ++i) {
        std::snprintf(line, sizeof line, "<User> L%05d\r\n", i);
        all += line;
    }
    return all;
}

class InputLine : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(app.Start()); }
    void TearDown() override { EXPECT_EQ(app.Close(), 0u); }

    void SetChatText(const std::string& text) {
        DWORD_PTR ignored;
        SendMessageTimeoutA(app.Chat(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                            SMTO_ABORTIFHUNG, 5000, &ignored);
        app.Settle();
    }
    // The number of the transcript's first shown line, read by double-clicking
    // its word and copying it; the focus then goes back to the input field.
    int Top() {
        const SIZE cell = FixedFontCell();
        POINT p{2 + 9 * cell.cx, cell.cy / 2};
        ClientToScreen(app.Chat(), &p);
        // An emptied clipboard tells a fresh copy from a stale one.
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
        app.ClickAt(p, 2);
        app.Press('C', true);
        std::string word;
        WaitFor([&] { return !(word = ClipboardText()).empty(); }, 3000);
        RECT input;
        GetWindowRect(app.Input(), &input);
        app.ClickAt(POINT{input.right - 4, (input.top + input.bottom) / 2});
        return word.size() == 6 && word[0] == 'L' ? std::atoi(word.c_str() + 1) : -1;
    }
    int Rows() const {
        RECT r;
        GetClientRect(app.Chat(), &r);
        return r.bottom / FixedFontCell().cy;
    }
    HWND Focus() const {
        GUITHREADINFO gui{};
        gui.cbSize = sizeof gui;
        GetGUIThreadInfo(GetWindowThreadProcessId(app.Main(), nullptr), &gui);
        return gui.hwndFocus;
    }
    void WheelOver(HWND hwnd, int delta) {
        RECT r;
        GetWindowRect(hwnd, &r);
        SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dwFlags = MOUSEEVENTF_MOVE;
        SendInput(1, &in, sizeof in);
        app.Settle();
        in.mi.dwFlags = MOUSEEVENTF_WHEEL;
        in.mi.mouseData = static_cast<DWORD>(delta);
        SendInput(1, &in, sizeof in);
        app.Settle();
    }
    void PutOnClipboard(const char* text) {
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, lstrlenA(text) + 1);
        lstrcpyA(static_cast<char*>(GlobalLock(memory)), text);
        GlobalUnlock(memory);
        SetClipboardData(CF_TEXT, memory);
        CloseClipboard();
    }

    // The pixels of the transcript's client area as the screen shows them.
    struct Shot {
        HDC dc;
        HBITMAP bitmap;
        HGDIOBJ old;
        RECT client;
        ~Shot() {
            SelectObject(dc, old);
            DeleteObject(bitmap);
            DeleteDC(dc);
        }
    };
    void Capture(Shot& shot) {
        GetClientRect(app.Chat(), &shot.client);
        POINT origin{0, 0};
        ClientToScreen(app.Chat(), &origin);
        HDC screen = GetDC(nullptr);
        shot.dc = CreateCompatibleDC(screen);
        shot.bitmap = CreateCompatibleBitmap(screen, shot.client.right, shot.client.bottom);
        shot.old = SelectObject(shot.dc, shot.bitmap);
        BitBlt(shot.dc, 0, 0, shot.client.right, shot.client.bottom, screen, origin.x, origin.y,
               SRCCOPY);
        ReleaseDC(nullptr, screen);
    }
    // Whether the pane's bottom edge shows the marker of `count` new lines,
    // compared pixel for pixel with the marker drawn here in the same font.
    bool ShowsMarker(unsigned count, RECT* where = nullptr) {
        Shot shot;
        Capture(shot);
        Shot drawn;
        Capture(drawn);
        HGDIOBJ font = SelectObject(drawn.dc, GetStockObject(SYSTEM_FIXED_FONT));
        const RECT r =
            DrawNewLinesMarker(drawn.dc, drawn.client, count, GetSysColor(COLOR_HIGHLIGHTTEXT),
                               GetSysColor(COLOR_HIGHLIGHT));
        SelectObject(drawn.dc, font);
        if (where != nullptr) {
            *where = r;
        }
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                if (GetPixel(shot.dc, x, y) != GetPixel(drawn.dc, x, y)) {
                    return false;
                }
            }
        }
        return true;
    }
    // Pixels in the selection's background colour along the bottom edge: none
    // when no marker shows (and nothing is selected).
    int MarkerPixels() {
        Shot shot;
        Capture(shot);
        const COLORREF marker = GetSysColor(COLOR_HIGHLIGHT);
        int found = 0;
        for (int y = shot.client.bottom - 30; y < shot.client.bottom; ++y) {
            for (int x = 0; x < shot.client.right; ++x) {
                found += GetPixel(shot.dc, x, y) == marker ? 1 : 0;
            }
        }
        return found;
    }

    RunningApp app;
};

TEST_F(InputLine, UpAndDownStepThroughTheSentLinesAndBackToTheDraft) {
    app.SendTyped("one");
    app.SendTyped("two");
    app.SendTyped("three");
    app.Press(VK_UP);
    EXPECT_EQ(app.InputText(), "three");
    app.Press(VK_UP);
    EXPECT_EQ(app.InputText(), "two");
    app.Press(VK_DOWN);
    EXPECT_EQ(app.InputText(), "three");
    app.Press(VK_DOWN);
    EXPECT_EQ(app.InputText(), "") << "past the newest: the empty draft";
    app.Press(VK_DOWN);
    EXPECT_EQ(app.InputText(), "");

    // A half-typed draft survives a round trip, and the oldest line is the end.
    app.Type("half");
    for (int i = 0; i < 5; ++i) {
        app.Press(VK_UP);
    }
    EXPECT_EQ(app.InputText(), "one");
    for (int i = 0; i < 3; ++i) {
        app.Press(VK_DOWN);
    }
    EXPECT_EQ(app.InputText(), "half");
    EXPECT_EQ(app.ChatText(), "<User> one\r\n<User> two\r\n<User> three\r\n");

    // A recalled line is sent like a typed one; a repeat is kept once.
    app.Press(VK_ESCAPE);
    app.Press(VK_UP);
    app.Press(VK_UP);
    app.Press(VK_RETURN);
    app.SendTyped("two");
    EXPECT_EQ(app.ChatText(),
              "<User> one\r\n<User> two\r\n<User> three\r\n<User> two\r\n<User> two\r\n");
    app.Press(VK_UP);
    app.Press(VK_UP);
    EXPECT_EQ(app.InputText(), "three") << "two, sent twice in a row, is in the history once";

    // Esc ends browsing: Down then brings nothing back.
    app.Press(VK_ESCAPE);
    EXPECT_EQ(app.InputText(), "");
    app.Press(VK_DOWN);
    EXPECT_EQ(app.InputText(), "");
}

TEST_F(InputLine, HomeEndAndTheArrowsKeepTheirMeaningInTheField) {
    app.SendTyped("sent");
    app.Type("bc");
    app.Press(VK_HOME);
    app.Type("a");
    app.Press(VK_END);
    app.Type("d");
    app.Press(VK_LEFT);
    app.Type("_");
    app.Press(VK_RIGHT);
    app.Type("!");
    EXPECT_EQ(app.InputText(), "abc_d!");
    // Shift+Home selects in the field as always: typing replaces the selection.
    app.Press(VK_HOME, false, true);
    app.Type("x");
    EXPECT_EQ(app.InputText(), "x");
}

TEST_F(InputLine, PageKeysAndTheWheelScrollTheTranscriptWhileTheFocusStays) {
    SetChatText(ChatLines(300));
    const int page = Rows();
    ASSERT_GT(page, 3);
    const int bottom = 300 - page;
    ASSERT_EQ(Top(), bottom) << "the end in view";

    app.Type("draft");
    app.Press(VK_PRIOR);
    EXPECT_EQ(Focus(), app.Input());
    EXPECT_EQ(Top(), bottom - page);
    app.Press(VK_PRIOR);
    app.Press(VK_PRIOR);
    app.Press(VK_NEXT);
    EXPECT_EQ(Top(), bottom - 2 * page);
    app.Press(VK_UP, true);
    EXPECT_EQ(Top(), bottom - 2 * page - 1) << "Ctrl+Up: one line";
    app.Press(VK_HOME, true);
    EXPECT_EQ(Focus(), app.Input());
    EXPECT_EQ(Top(), 0);

    UINT perNotch = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &perNotch, 0);
    WheelOver(app.Input(), -WHEEL_DELTA);
    EXPECT_EQ(Focus(), app.Input());
    EXPECT_EQ(Top(), static_cast<int>(perNotch)) << "the wheel over the input field";
    EXPECT_EQ(app.InputText(), "draft") << "none of it touched the field";

    // A line that arrives while reading leaves the view where it is ...
    app.SendTyped(" while reading");
    EXPECT_EQ(Top(), static_cast<int>(perNotch));
    // ... Ctrl+End goes back to the end, which then keeps following.
    app.Press(VK_END, true);
    EXPECT_EQ(Top(), bottom + 1);
    app.SendTyped("next");
    app.SendTyped("and next");
    EXPECT_EQ(Top(), bottom + 3);
    EXPECT_EQ(app.InputText(), "");
}

TEST_F(InputLine, EnterEscAndTheFunctionKeysStayCommands) {
    app.SendTyped("one");
    app.SendTyped("two");
    app.Press(VK_UP);
    app.Press(VK_RETURN);
    EXPECT_EQ(app.ChatText(), "<User> one\r\n<User> two\r\n<User> two\r\n");
    app.Type("gone");
    app.Press(VK_ESCAPE);
    EXPECT_EQ(app.InputText(), "");
    app.Press(VK_F5);
    EXPECT_EQ(app.ChatText(), "");

    app.Press(VK_F9);
    HWND options = app.WaitForDialog();
    ASSERT_NE(options, nullptr) << "F9 opens the options";
    app.Press(VK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(options); }));
    app.Activate();
    app.Press(VK_F2);
    HWND save = app.WaitForDialog();
    ASSERT_NE(save, nullptr) << "F2 opens the save dialog";
    app.Press(VK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(save); }));
    app.Activate();
    app.Press(VK_F6);
    EXPECT_EQ(GetForegroundWindow(), app.Main());
    EXPECT_EQ(Focus(), app.Input());
}

TEST_F(InputLine, CtrlCCopiesTheTranscriptsSelectionWhenTheFieldHasNone) {
    app.SendTyped("alpha beta gamma");
    DWORD_PTR ignored;
    SendMessageTimeoutA(app.Chat(), CLM_SETSEL, 7, 17, SMTO_ABORTIFHUNG, 5000, &ignored);
    PutOnClipboard("before");
    app.Press('C', true);
    EXPECT_EQ(ClipboardText(), "alpha beta");
    EXPECT_EQ(Focus(), app.Input());

    // A selection of the field's own wins.
    app.Type("mine");
    app.Press(VK_HOME, false, true);
    app.Press('C', true);
    EXPECT_EQ(ClipboardText(), "mine");
    // Ctrl+Insert does the same as Ctrl+C.
    app.Press(VK_END);
    PutOnClipboard("before");
    app.Press(VK_INSERT, true);
    EXPECT_EQ(ClipboardText(), "alpha beta");

    // Nothing selected anywhere: the clipboard keeps what it had.
    SendMessageTimeoutA(app.Chat(), CLM_SETSEL, 3, 3, SMTO_ABORTIFHUNG, 5000, &ignored);
    PutOnClipboard("before");
    app.Press('C', true);
    EXPECT_EQ(ClipboardText(), "before");
    EXPECT_EQ(app.InputText(), "mine");
}

TEST_F(InputLine, CtrlZRightAfterEscOrF5TakesTheClearBack) {
    app.Type("a long draft");
    app.Press(VK_ESCAPE);
    ASSERT_EQ(app.InputText(), "");
    DWORD_PTR canUndo = 0;
    SendMessageTimeoutA(app.Input(), EM_CANUNDO, 0, 0, SMTO_ABORTIFHUNG, 5000, &canUndo);
    EXPECT_TRUE(canUndo) << "the field's menu offers Undo";
    app.Press('Z', true);
    EXPECT_EQ(app.InputText(), "a long draft");

    // Once something else was typed, Ctrl+Z is the field's own again.
    app.Press(VK_ESCAPE);
    app.Type("x");
    app.Press('Z', true);
    EXPECT_NE(app.InputText(), "a long draft");

    app.Press(VK_ESCAPE);
    app.SendTyped("one");
    app.SendTyped("two");
    app.Type("kept");
    app.Press(VK_F5);
    ASSERT_EQ(app.ChatText(), "");
    app.Press('Z', true);
    EXPECT_EQ(app.ChatText(), "<User> one\r\n<User> two\r\n");
    EXPECT_EQ(app.InputText(), "kept");

    // F5 then Esc: the draft comes back first, then the transcript.
    app.Press(VK_F5);
    app.Press(VK_ESCAPE);
    app.Press('Z', true);
    EXPECT_EQ(app.InputText(), "kept");
    EXPECT_EQ(app.ChatText(), "");
    app.Press('Z', true);
    EXPECT_EQ(app.ChatText(), "<User> one\r\n<User> two\r\n");

    // A line sent after F5 ends the chance to take it back.
    app.Press(VK_F5);
    app.Press(VK_ESCAPE);
    app.SendTyped("three");
    app.Press('Z', true);
    app.Press('Z', true);
    EXPECT_EQ(app.ChatText(), "<User> three\r\n");
}

TEST_F(InputLine, CtrlBackspaceDeletesTheWordBeforeTheCaretAndCtrlASelectsAll) {
    app.Type("hello big  world");
    app.Press(VK_BACK, true);
    EXPECT_EQ(app.InputText(), "hello big  ");
    app.Press(VK_BACK, true);
    EXPECT_EQ(app.InputText(), "hello ");
    app.Press(VK_LEFT);
    app.Press(VK_LEFT);
    app.Press(VK_BACK, true);
    EXPECT_EQ(app.InputText(), "o ");
    app.Press(VK_END);
    app.Press(VK_BACK); // a plain Backspace still deletes one character
    EXPECT_EQ(app.InputText(), "o");

    app.Type("ther words");
    app.Press('A', true);
    app.Type("new");
    EXPECT_EQ(app.InputText(), "new");
    app.Press('A', true);
    app.Press(VK_BACK, true);
    EXPECT_EQ(app.InputText(), "") << "Ctrl+Backspace deletes a selection";
}

} // namespace

namespace {

TEST_F(InputLine, NewLinesWhileReadingShowAMarkerUntilTheEnd) {
    SetChatText(ChatLines(300));
    const int bottom = 300 - Rows();
    EXPECT_EQ(MarkerPixels(), 0) << "following the end: no marker";
    app.SendTyped("while following");
    EXPECT_EQ(MarkerPixels(), 0);

    app.Press(VK_PRIOR);
    EXPECT_EQ(MarkerPixels(), 0) << "scrolled up, nothing new yet";
    app.SendTyped("one");
    app.SendTyped("two");
    app.SendTyped("three");
    EXPECT_TRUE(ShowsMarker(3));
    EXPECT_FALSE(ShowsMarker(2));
    app.Press(VK_END, true);
    EXPECT_EQ(MarkerPixels(), 0) << "gone at the end";

    // Paging down to the end removes it too.
    app.Press(VK_PRIOR);
    app.SendTyped("four");
    EXPECT_TRUE(ShowsMarker(1));
    app.Press(VK_NEXT);
    EXPECT_TRUE(ShowsMarker(1)) << "a page down, the new line is still one below";
    app.Press(VK_NEXT);
    EXPECT_EQ(MarkerPixels(), 0);

    // A click on it goes to the end, and the focus stays in the input field.
    app.Press(VK_PRIOR);
    app.Press(VK_PRIOR);
    app.SendTyped("five");
    app.SendTyped("six");
    RECT marker;
    ASSERT_TRUE(ShowsMarker(2, &marker));
    POINT p{(marker.left + marker.right) / 2, (marker.top + marker.bottom) / 2};
    ClientToScreen(app.Chat(), &p);
    app.ClickAt(p);
    EXPECT_EQ(MarkerPixels(), 0);
    EXPECT_EQ(Focus(), app.Input());
    EXPECT_EQ(Top(), bottom + 7);
}

} // namespace
