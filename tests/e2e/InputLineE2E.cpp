// The input line under real key presses: the history of sent lines, scrolling
// and copying the transcript without leaving the line, taking back Esc and F5,
// and the keys that stay commands.
#include "tests/support/AppDriver.h"
#include "tests/support/Pixels.h"
#include "tests/support/TestText.h"

#include "transcript/ChatList.h"
#include "transcript/ChatListTesting.h"

#include <string>

namespace {

class InputLine : public StartedApp {
protected:
    // The number of the transcript's first shown line; the focus then goes
    // back to the input field.
    int Top() {
        const int top = app.TopChatLine();
        const RECT input = ScreenRect(app.Input());
        app.ClickAt(POINT{input.right - 4, (input.top + input.bottom) / 2});
        return top;
    }
    // A chat line that comes while the user reads, not one the user sends.
    void Arrive(const std::string& text) {
        app.SetChatText(app.ChatText() + "<Bob> " + text + "\r\n");
    }
    int Rows() const {
        RECT r;
        GetClientRect(app.Chat(), &r);
        return r.bottom / FixedFontCell().cy;
    }
    // Whether the pane's bottom edge shows the marker of `count` new lines,
    // compared pixel for pixel with the marker drawn here in the same font
    // over what the screen shows.
    bool ShowsMarker(unsigned count, RECT* where = nullptr) {
        const Image shown = CaptureClientOnScreen(app.Chat());
        Canvas drawn(shown);
        const HGDIOBJ font = SelectObject(drawn.Dc(), GetStockObject(SYSTEM_FIXED_FONT));
        const RECT r =
            DrawNewLinesMarker(drawn.Dc(), shown.All(), count, GetSysColor(COLOR_HIGHLIGHTTEXT),
                               GetSysColor(COLOR_HIGHLIGHT));
        SelectObject(drawn.Dc(), font);
        if (where != nullptr) {
            *where = r;
        }
        return shown.Crop(r) == drawn.Picture().Crop(r);
    }
    // Pixels in the selection's background colour along the bottom edge: none
    // when no marker shows (and nothing is selected).
    size_t MarkerPixels() {
        const Image shown = CaptureClientOnScreen(app.Chat());
        return shown.Count(GetSysColor(COLOR_HIGHLIGHT),
                           RECT{0, shown.Height() - 30, shown.Width(), shown.Height()});
    }
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
    app.SetChatText(NumberedChatLines(0, 300));
    const int page = Rows();
    ASSERT_GT(page, 3);
    const int bottom = 300 - page;
    ASSERT_EQ(Top(), bottom) << "the end in view";

    app.Type("draft");
    app.Press(VK_PRIOR);
    EXPECT_EQ(app.Focus(), app.Input());
    EXPECT_EQ(Top(), bottom - page);
    app.Press(VK_PRIOR);
    app.Press(VK_PRIOR);
    app.Press(VK_NEXT);
    EXPECT_EQ(Top(), bottom - 2 * page);
    app.Press(VK_UP, true);
    EXPECT_EQ(Top(), bottom - 2 * page - 1) << "Ctrl+Up: one line";
    app.Press(VK_HOME, true);
    EXPECT_EQ(app.Focus(), app.Input());
    EXPECT_EQ(Top(), 0);

    UINT perNotch = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &perNotch, 0);
    app.WheelAt(Centre(ScreenRect(app.Input())), -WHEEL_DELTA);
    EXPECT_EQ(app.Focus(), app.Input());
    EXPECT_EQ(Top(), static_cast<int>(perNotch)) << "the wheel over the input field";
    EXPECT_EQ(app.InputText(), "draft") << "none of it touched the field";

    // A line that arrives while reading leaves the view where it is ...
    Arrive("while reading");
    EXPECT_EQ(Top(), static_cast<int>(perNotch));
    // ... Ctrl+End goes back to the end, which then keeps following.
    app.Press(VK_END, true);
    EXPECT_EQ(Top(), bottom + 1);
    app.SendTyped(" and next");
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

    const struct {
        WORD key;
        const char* opens;
    } openers[] = {{VK_F9, "F9 opens the options"}, {VK_F2, "F2 opens the save dialog"}};
    for (const auto& opener : openers) {
        app.Press(opener.key);
        const HWND dialog = app.WaitForDialog();
        ASSERT_NE(dialog, nullptr) << opener.opens;
        app.Press(VK_ESCAPE);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
        app.Activate();
    }
    app.Press(VK_F6);
    EXPECT_EQ(GetForegroundWindow(), app.Main());
    EXPECT_EQ(app.Focus(), app.Input());
}

TEST_F(InputLine, CtrlCCopiesTheTranscriptsSelectionWhenTheFieldHasNone) {
    app.SendTyped("alpha beta gamma");
    DWORD_PTR ignored;
    SendMessageTimeoutA(app.Chat(), CLM_SETSEL, 7, 17, SMTO_ABORTIFHUNG, 5000, &ignored);
    ASSERT_TRUE(PutOnClipboard("before"));
    app.Press('C', true);
    EXPECT_EQ(ClipboardText(), "alpha beta");
    EXPECT_EQ(app.Focus(), app.Input());

    // A selection of the field's own wins.
    app.Type("mine");
    app.Press(VK_HOME, false, true);
    app.Press('C', true);
    EXPECT_EQ(ClipboardText(), "mine");
    // Ctrl+Insert does the same as Ctrl+C.
    app.Press(VK_END);
    ASSERT_TRUE(PutOnClipboard("before"));
    app.Press(VK_INSERT, true);
    EXPECT_EQ(ClipboardText(), "alpha beta");

    // Nothing selected anywhere: the clipboard keeps what it had.
    SendMessageTimeoutA(app.Chat(), CLM_SETSEL, 3, 3, SMTO_ABORTIFHUNG, 5000, &ignored);
    ASSERT_TRUE(PutOnClipboard("before"));
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

TEST_F(InputLine, NewLinesWhileReadingShowAMarkerUntilTheEnd) {
    app.SetChatText(NumberedChatLines(0, 300));
    const int bottom = 300 - Rows();
    EXPECT_EQ(MarkerPixels(), 0u) << "following the end: no marker";
    app.SendTyped("while following");
    EXPECT_EQ(MarkerPixels(), 0u);

    app.Press(VK_PRIOR);
    EXPECT_EQ(MarkerPixels(), 0u) << "scrolled up, nothing new yet";
    Arrive("one");
    Arrive("two");
    Arrive("three");
    EXPECT_TRUE(ShowsMarker(3));
    EXPECT_FALSE(ShowsMarker(2));
    app.Press(VK_END, true);
    EXPECT_EQ(MarkerPixels(), 0u) << "gone at the end";

    // Paging down to the end removes it too.
    app.Press(VK_PRIOR);
    Arrive("four");
    EXPECT_TRUE(ShowsMarker(1));
    app.Press(VK_NEXT);
    EXPECT_TRUE(ShowsMarker(1)) << "a page down, the new line is still one below";
    app.Press(VK_NEXT);
    EXPECT_EQ(MarkerPixels(), 0u);

    // A click on it goes to the end, and the focus stays in the input field.
    app.Press(VK_PRIOR);
    app.Press(VK_PRIOR);
    Arrive("five");
    Arrive("six");
    RECT marker;
    ASSERT_TRUE(ShowsMarker(2, &marker));
    POINT p = Centre(marker);
    ClientToScreen(app.Chat(), &p);
    app.ClickAt(p);
    EXPECT_EQ(MarkerPixels(), 0u);
    EXPECT_EQ(app.Focus(), app.Input());
    EXPECT_EQ(Top(), bottom + 7);

    // A line the user sends does the same: the end comes into view with it.
    app.Press(VK_PRIOR);
    Arrive("seven");
    ASSERT_TRUE(ShowsMarker(1));
    app.SendTyped("mine");
    EXPECT_EQ(MarkerPixels(), 0u);
    EXPECT_EQ(app.Focus(), app.Input());
    EXPECT_EQ(Top(), bottom + 9);
}

// A paste of several lines, or of more than the field takes, asks whether to
// send them: Cancel leaves the field as it was, No pastes the first line as
// always, Yes sends every line in turn, each an ordinary sent line.
TEST_F(InputLine, APasteOfManyLinesSendsEveryLineWhenTheUserSaysYes) {
    auto paste = [&](const std::string& text, WORD answer) {
        EXPECT_TRUE(PutOnClipboard(text));
        app.Press('V', true);
        const HWND box = app.WaitForDialog();
        EXPECT_NE(box, nullptr) << "a question";
        const std::string asked = box != nullptr ? DialogStatics(box) : std::string();
        app.Press(answer);
        app.Settle();
        return asked;
    };
    app.Type("draft ");
    const std::string three = "first\r\nsecond\n\nthird";
    EXPECT_NE(paste(three, VK_ESCAPE).find("The pasted text makes 3 chat lines. Send them now?"),
              std::string::npos);
    EXPECT_EQ(app.InputText(), "draft ") << "Cancel";
    EXPECT_EQ(app.ChatText(), "");
    paste(three, 'N');
    EXPECT_EQ(app.InputText(), "draft first") << "No";
    EXPECT_EQ(app.ChatText(), "");
    app.Press(VK_ESCAPE);
    paste(three, 'Y');
    EXPECT_EQ(app.ChatText(), "<User> first\r\n<User> second\r\n<User> third\r\n");
    EXPECT_EQ(app.InputText(), "");
    app.Press(VK_UP);
    app.Press(VK_UP);
    EXPECT_EQ(app.InputText(), "second") << "each in the history";

    // A paragraph of 600 characters: three lines, cut between words.
    std::string paragraph;
    while (paragraph.size() < 600) {
        paragraph += "word" + std::to_string(paragraph.size()) + " ";
    }
    paragraph.resize(600);
    app.Press(VK_ESCAPE);
    app.SetChatText("");
    EXPECT_NE(paste(paragraph, 'Y').find("makes 3 chat lines"), std::string::npos);
    const std::vector<std::string> sent = TextLines(app.ChatText());
    ASSERT_EQ(sent.size(), 3u) << app.ChatText();
    std::string joined;
    for (const std::string& line : sent) {
        ASSERT_EQ(line.rfind("<User> ", 0), 0u);
        EXPECT_LE(line.size() - 7, 260u);
        joined += (joined.empty() ? "" : " ") + line.substr(7);
    }
    EXPECT_EQ(joined, paragraph);

    // A line copied with its line break asks nothing, and Ctrl+Z takes it back.
    app.Type("typed");
    EXPECT_TRUE(PutOnClipboard("one line\r\n"));
    app.Press('V', true);
    EXPECT_EQ(app.InputText(), "typedone line");
    EXPECT_EQ(app.ShownDialog(), nullptr) << "no question";
    app.Press('Z', true);
    EXPECT_EQ(app.InputText(), "typed");
}

} // namespace
