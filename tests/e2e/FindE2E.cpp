// Find in the transcript under real key presses: Ctrl+F and the system's Find
// dialog, Enter, F3 and Shift+F3, going round the end, a text that is not
// there, the view held at a match while new lines come, and a clear.
#include "tests/support/AppDriver.h"
#include "tests/support/TestText.h"

#include "transcript/ChatList.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// 300 chat lines "<User> L00042"; a few carry a fruit after their number.
std::string Transcript() {
    std::string all;
    char line[64];
    for (int i = 0; i < 300; ++i) {
        const char* extra = i == 20    ? " red Apple"
                            : i == 150 ? " green APPLE"
                            : i == 280 ? " blue apple"
                            : i == 298 ? " kiwi"
                                       : "";
        std::snprintf(line, sizeof line, "<User> L%05d%s\r\n", i, extra);
        all += line;
    }
    return all;
}

class Find : public StartedApp {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(StartedApp::SetUp());
        app.SetChatText(Transcript());
    }
    // From another process the selection query answers its length alone.
    LRESULT Selected() const { return SendMessageA(app.Chat(), CLM_GETSEL, 0, 0); }
    HWND Focus() const { return FocusIn(app.Main()); }
    // Ctrl+F, the text typed into the dialog, Enter; answers the dialog (nullptr: none showed).
    HWND SearchFor(const char* text) {
        app.Press('F', true);
        const HWND dialog = app.WaitForDialog();
        if (dialog != nullptr) {
            app.Type(text);
            app.Press(VK_RETURN);
        }
        return dialog;
    }
    // The number of the transcript's first shown line; the focus then goes
    // back to the input field.
    int Top() {
        const int top = app.TopChatLine();
        ClickInput();
        return top;
    }
    void ClickInput() {
        RECT input;
        GetWindowRect(app.Input(), &input);
        app.ClickAt(POINT{input.right - 4, (input.top + input.bottom) / 2});
    }
    // The program's message box over `over`: its text, after Enter closed it.
    std::string NoteClosed(HWND over) {
        HWND note = app.WaitForDialog(over);
        if (note == nullptr) {
            return std::string();
        }
        const std::string text = DialogStatics(note);
        app.Press(VK_RETURN);
        WaitFor([&] { return !IsWindow(note); }, 3000);
        return text;
    }
    HWND FindWhat(HWND dialog) const { return FindWindowExA(dialog, nullptr, "Edit", nullptr); }
    void CloseDialog(HWND dialog) {
        app.Press(VK_ESCAPE);
        WaitFor([&] { return !IsWindow(dialog); }, 3000);
    }
};

TEST_F(Find, TheDialogFindsAndF3GoesOnRoundTheEnd) {
    app.Type("draft");
    app.Press(VK_F3); // no search yet: F3 asks for one
    HWND dialog = app.WaitForDialog();
    ASSERT_NE(dialog, nullptr) << "F3 with no search yet opens the Find dialog";
    app.Type("apple");
    app.Press(VK_RETURN);
    EXPECT_EQ(Selected(), 5) << "Enter in the dialog finds";
    EXPECT_TRUE(IsWindow(dialog)) << "and the dialog stays";
    EXPECT_EQ(app.InputText(), "draft") << "Enter in the dialog sends nothing";
    EXPECT_EQ(app.ChatText(), Transcript());

    CloseDialog(dialog);
    EXPECT_FALSE(IsWindow(dialog)) << "Esc closes the dialog";
    EXPECT_EQ(Focus(), app.Input()) << "and the input line has the focus again";
    app.Type("!");
    EXPECT_EQ(app.InputText(), "draft!");
    EXPECT_EQ(app.CopyWithCtrlC(), "Apple") << "case folded: the first match from the top";

    app.Press(VK_F3);
    EXPECT_EQ(app.CopyWithCtrlC(), "APPLE");
    app.Press(VK_F3, false, true);
    EXPECT_EQ(app.CopyWithCtrlC(), "Apple") << "Shift+F3 goes back";
    app.Press(VK_F3);
    app.Press(VK_F3);
    EXPECT_EQ(app.CopyWithCtrlC(), "apple");
    EXPECT_EQ(Top(), 280 + 4 - app.ChatRows()) << "shown three lines above the bottom edge";
    app.Press(VK_F3); // from the word Top() selected, to the same match again
    ASSERT_EQ(app.CopyWithCtrlC(), "apple");

    app.Press(VK_F3);
    EXPECT_NE(NoteClosed(nullptr).find("Passed the end of the chat"), std::string::npos);
    EXPECT_EQ(app.CopyWithCtrlC(), "Apple") << "round the end to the top";
    app.Press(VK_F3, false, true);
    EXPECT_NE(NoteClosed(nullptr).find("Passed the top of the chat"), std::string::npos);
    EXPECT_EQ(app.CopyWithCtrlC(), "apple");
    app.Press(VK_F3, false, true);
    EXPECT_EQ(app.CopyWithCtrlC(), "APPLE");
    EXPECT_EQ(Top(), 147) << "shown three lines below the top edge";
}

TEST_F(Find, ATextThatIsNotThereIsNamedAndChangesNothing) {
    const HWND dialog = SearchFor("apple");
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(Selected(), 5);

    SendMessageA(FindWhat(dialog), EM_SETSEL, 0, -1);
    app.Type("zebra");
    app.Press(VK_RETURN);
    EXPECT_NE(NoteClosed(dialog).find("Cannot find \"zebra\""), std::string::npos);
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_EQ(Selected(), 5) << "the selection stays";

    // Match case: "APPLE" is one match only, and going round to it is said.
    SendMessageA(FindWhat(dialog), EM_SETSEL, 0, -1);
    app.Type("APPLE");
    app.Press('C', false, false, true); // Alt+C: Match case
    app.Press(VK_RETURN);
    EXPECT_EQ(Selected(), 5);
    app.Press(VK_RETURN);
    EXPECT_NE(NoteClosed(dialog).find("Passed the end"), std::string::npos);
    CloseDialog(dialog);
    EXPECT_EQ(app.CopyWithCtrlC(), "APPLE");
    EXPECT_EQ(app.ChatText(), Transcript());
    EXPECT_EQ(app.InputText(), "") << "Ctrl+F typed nothing into the input line";
}

TEST_F(Find, CtrlFTakesTheSelectionAndBringsTheOneDialogForward) {
    // A double click in the transcript selects a word; Ctrl+F there fills the dialog with it.
    const SIZE cell = FixedFontCell();
    POINT p{2 + 9 * cell.cx, cell.cy / 2};
    ClientToScreen(app.Chat(), &p);
    app.ClickAt(p, 2);
    ASSERT_EQ(Selected(), 6);
    app.Press('F', true);
    HWND dialog = app.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    const std::string word = WindowText(FindWhat(dialog));
    EXPECT_EQ(word.size(), 6u);
    EXPECT_EQ(word[0], 'L');

    ASSERT_TRUE(app.Activate());
    ClickInput();
    app.Press('F', true);
    EXPECT_EQ(app.WaitForDialog(), dialog) << "the same dialog, brought forward";
    EXPECT_EQ(FindProcessWindow(app.ProcessId(), "#32770"), dialog);
    EXPECT_EQ(WindowText(FindWhat(dialog)), word) << "no selection: the last text stays";
    CloseDialog(dialog);
}

TEST_F(Find, AViewHeldAtAMatchStaysUntilASend) {
    const HWND dialog = SearchFor("kiwi");
    ASSERT_NE(dialog, nullptr);
    CloseDialog(dialog);
    const int held = Top(); // the match is on the last page: the view is at the end
    ASSERT_GT(held, 250);
    app.Press(VK_F3); // the word clicked by Top() lies above the match: found again
    ASSERT_EQ(app.CopyWithCtrlC(), "kiwi");

    // Two lines come: the held view does not move.
    std::string more = Transcript() + "<Bob> one\r\n<Bob> two\r\n";
    app.SetChatText(more);
    EXPECT_EQ(Top(), held) << "new lines do not move a view held at a match";

    app.SendTyped("back to the end");
    const int end = Top();
    EXPECT_EQ(end, held + 3) << "a send goes back to the end";
    app.SetChatText(app.ChatText() + "<Bob> three\r\n");
    EXPECT_EQ(Top(), end + 1) << "and follows it again";
}

TEST_F(Find, AClearAndItsUndoLeaveNoMatchBehind) {
    const HWND dialog = SearchFor("apple");
    ASSERT_NE(dialog, nullptr);
    app.Press(VK_RETURN);
    CloseDialog(dialog);
    ASSERT_EQ(app.CopyWithCtrlC(), "APPLE");

    app.Press(VK_F5);
    EXPECT_EQ(Selected(), 0);
    app.Press(VK_F3);
    EXPECT_NE(NoteClosed(nullptr).find("Cannot find \"apple\""), std::string::npos);
    app.Press('Z', true);
    ASSERT_EQ(app.ChatText(), Transcript());
    EXPECT_EQ(Selected(), 0) << "the restored text has no selection";
    app.Press(VK_F3);
    EXPECT_EQ(app.CopyWithCtrlC(), "Apple") << "F3 starts from the top again";
}

// Each "cat" in a case of its own, so that a copy tells which one was found:
// in a longer word, in typographic quotes (0x93 and 0x94 in code page 1252),
// with an s, and alone.
const std::string kCats = "<User> a conCATenation\r\n"
                          "<User> she said \x93"
                          "cat\x94 twice\r\n"
                          "<User> un caf\xE9 and Cats\r\n"
                          "<User> the CaT sat\r\n";

TEST_F(Find, WholeWordsAndUpAreChosenInTheDialog) {
    if (GetACP() != 1252) {
        GTEST_SKIP() << "the ANSI code page here is " << GetACP() << ", not 1252";
    }
    app.SetChatText(kCats);
    app.Press('F', true);
    HWND dialog = app.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    app.Type("cat");
    app.Press('W', false, false, true); // Alt+W: Match whole word only
    app.Press(VK_RETURN);
    CloseDialog(dialog);
    EXPECT_EQ(app.CopyWithCtrlC(), "cat") << "the word in quotes; not the one inside conCATenation";
    app.Press(VK_F3);
    EXPECT_EQ(app.CopyWithCtrlC(), "CaT") << "F3 keeps to whole words: not Cats";

    // Up, chosen in the dialog: from "CaT" back to the quoted "cat".
    app.Press('F', true);
    dialog = app.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(WindowText(FindWhat(dialog)), "CaT") << "the selection fills the dialog";
    app.Press('U', false, false, true); // Alt+U: Up
    app.Press(VK_RETURN);
    EXPECT_EQ(Selected(), 3);
    app.Press(VK_RETURN);
    EXPECT_NE(NoteClosed(dialog).find("Passed the top"), std::string::npos)
        << "up again: no other whole word above, so round from the end";

    // The code page's capitals fold, and its letters are word bytes.
    SendMessageA(FindWhat(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("CAF\xC9"));
    app.Press(VK_RETURN);
    EXPECT_EQ(Selected(), 4) << "\"CAF\xC9\" finds \"caf\xE9\"";
    SendMessageA(FindWhat(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("caf"));
    app.Press(VK_RETURN);
    EXPECT_NE(NoteClosed(dialog).find("Cannot find \"caf\""), std::string::npos)
        << "\xE9 is a letter: \"caf\" is no whole word in \"caf\xE9\"";
    CloseDialog(dialog);
    EXPECT_EQ(app.CopyWithCtrlC(), "caf\xE9");
    EXPECT_EQ(app.ChatText(), kCats);
}

TEST_F(Find, TheProgramClosesWithTheDialogOpen) {
    const HWND dialog = SearchFor("apple");
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(Selected(), 5);
    ASSERT_TRUE(IsWindow(dialog));
    EXPECT_EQ(app.Close(), 0u) << "a clean exit, not a fault";
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_TRUE(FileExists(app.IniPath())) << "the close path ran to its end";
}

} // namespace
