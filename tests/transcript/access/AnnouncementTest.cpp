// What the transcript tells a listening screen reader without being asked, as
// handed to the system at the very call (the run-time table's entries stood
// in for): new lines by the burst and the reading mode, a changed text, a
// recent line on Alt+digit, a found match's line and place on F3, and the
// provider given back when the window goes.
#include "tests/support/Transcript.h"
#include "tests/support/WindowTest.h"
#include "tests/transcript/access/SystemStandIn.h"

#include "app/AppState.h"
#include "app/Startup.h"
#include "transcript/ChatLines.h"
#include "transcript/ChatList.h"

#include <string>
#include <utility>

namespace {

std::string Line(int n) {
    return "<Ada> line " + std::to_string(n) + "\r\n";
}

std::wstring Wide(const std::string& s) {
    return std::wstring(s.begin(), s.end());
}

// What a screen reader is told of the lines sent: no line end after the last.
std::wstring Read(const std::string& sent) {
    return Wide(sent.substr(0, sent.size() - 2));
}

std::wstring AllSaid() {
    std::wstring all;
    for (const standin::Notification& n : standin::notifications) {
        all += (all.empty() ? L"" : L"\r\n") + n.said;
    }
    return all;
}

// F3 pressed in the input line, for the next match of `text`.
void PressF3(const char* text) {
    lstrcpynA(AppState.findText, text, sizeof AppState.findText);
    SetFocus(AppState.hwndInput);
    PostMessageA(AppState.hwndInput, WM_KEYDOWN, VK_F3, 1);
    PumpMessages();
}

// No client has asked the transcript for its element: the focus is in the
// input line, as it always is after activation.
using Announcements = MainWindowTest;

TEST_F(Announcements, NewLinesAreAnnouncedThoughNobodyAskedTheTranscript) {
    const standin::System system(true);
    AppendText(Chat(), Line(1).c_str());
    AppendText(Chat(), Line(2).c_str());
    ASSERT_TRUE(PumpUntil([] { return !standin::notifications.empty(); }, 2000));
    ASSERT_EQ(standin::notifications.size(), 1u);
    EXPECT_EQ(standin::notifications[0].said, L"<Ada> line 1\r\n<Ada> line 2")
        << "a line break between lines, none after the last";
    EXPECT_NE(standin::notifications[0].provider, nullptr);
    EXPECT_EQ(standin::EventsOf(uia::kTextChangedEvent), 1u);
    SendMessageA(Chat(), CLM_SETSEL, 0, 5);
    EXPECT_EQ(standin::EventsOf(uia::kTextSelectionChangedEvent), 1u);
    for (const standin::Event& e : standin::events) {
        EXPECT_EQ(e.provider, standin::notifications[0].provider) << "one element throughout";
    }
}

TEST_F(Announcements, WithNoClientListeningALineCostsAQuestionAndNothingElse) {
    const standin::System system(false);
    for (int i = 1; i <= 5; ++i) {
        AppendText(Chat(), Line(i).c_str());
    }
    SendMessageA(Chat(), CLM_SETSEL, 0, 5);
    PressF3("line");
    PumpMessages(400);
    EXPECT_GT(standin::asked, 0) << "the system was asked";
    EXPECT_EQ(standin::strings, 0) << "no text converted";
    EXPECT_TRUE(standin::events.empty());
    EXPECT_TRUE(standin::notifications.empty());
    EXPECT_TRUE(standin::returned.empty());
}

TEST_F(Announcements, ASteadyStreamIsReadOutByTheBurstAtLeastEverySecond) {
    const standin::System system(true);
    // Lines 40 ms apart for half a second: one burst, one announcement.
    std::string sent;
    for (int i = 1; i <= 12; ++i) {
        AppendText(Chat(), Line(i).c_str());
        sent += Line(i);
        PumpMessages(40);
    }
    EXPECT_TRUE(standin::notifications.empty()) << "nothing while the burst goes on";
    PumpMessages(400);
    ASSERT_EQ(standin::notifications.size(), 1u);
    EXPECT_EQ(AllSaid(), Read(sent));

    // A stream that does not stop is still read out, about once a second,
    // every line once.
    standin::notifications.clear();
    sent.clear();
    for (int i = 13; i <= 72; ++i) {
        AppendText(Chat(), Line(i).c_str());
        sent += Line(i);
        PumpMessages(40);
    }
    PumpMessages(400);
    EXPECT_GE(standin::notifications.size(), 2u);
    EXPECT_LE(standin::notifications.size(), 4u);
    EXPECT_EQ(AllSaid(), Read(sent));
}

TEST_F(Announcements, TakingBackAClearIsAChangeOfTextNotNewLines) {
    const standin::System system(true);
    AppendText(Chat(), Line(1).c_str());
    AppendText(Chat(), Line(2).c_str());
    PumpMessages(400);
    ClearOutput(); // F5
    standin::events.clear();
    standin::notifications.clear();
    ASSERT_NE(SendMessageA(AppState.hwndInput, WM_UNDO, 0, 0), 0); // Ctrl+Z in the input line
    ASSERT_EQ(WindowText(Chat()), Line(1) + Line(2));
    PumpMessages(400);
    EXPECT_TRUE(standin::notifications.empty()) << "the old lines are no news";
    EXPECT_EQ(standin::EventsOf(uia::kTextChangedEvent), 1u);

    // After another clear, a line that comes is news again.
    ClearOutput();
    AppendText(Chat(), Line(3).c_str());
    PumpUntil([] { return !standin::notifications.empty(); }, 2000);
    ASSERT_EQ(standin::notifications.size(), 1u);
    EXPECT_EQ(standin::notifications[0].said, Read(Line(3)));
}

TEST_F(Announcements, F3SaysTheFoundLineAndItsPlaceAmongTheMatches) {
    const standin::System system(true);
    SetText("<Ada> an apple\r\n<Bob> no fruit\r\n<Cy> apple pie, apple tart\r\n");
    PumpMessages(400);
    standin::notifications.clear();
    PressF3("apple");
    PressF3("apple");
    ASSERT_EQ(standin::notifications.size(), 2u) << "each press says its match";
    EXPECT_EQ(standin::notifications[0].said, L"<Ada> an apple, 1 of 3");
    EXPECT_EQ(standin::notifications[1].said, L"<Cy> apple pie, apple tart, 2 of 3");
    EXPECT_EQ(standin::notifications[1].processing, uia::NotificationProcessing_MostRecent);
}

// Each mode, set by Ctrl+Shift+R's message, is said, and reads of a burst with
// the user's own line in its middle what it allows.
TEST_F(Announcements, EachReadingModeReadsTheLinesItAllowsAndSaysItsChange) {
    const standin::System system(true);
    EXPECT_EQ(SendMessageA(Chat(), CLM_SETREADING, ~WPARAM{0}, 0), LRESULT{CLREAD_ALL});
    const std::pair<WPARAM, std::wstring> modes[] = {
        {CLREAD_ALLBUTMINE, L"Reading new lines: all but mine\r\n<Ada> line 1\r\n<Ada> line 2"},
        {CLREAD_NONE, L"Reading new lines: none"},
        {CLREAD_ALL, L"Reading new lines: all\r\n<Ada> line 1\r\n<User> mine\r\n<Ada> line 2"}};
    for (const auto& [mode, said] : modes) {
        EXPECT_EQ(SendMessageA(Chat(), CLM_SETREADING, CLREAD_NEXT, 0), LRESULT(mode));
        AppendText(Chat(), Line(1).c_str());
        SendMessageA(Chat(), CLM_OWNLINE, 0, 0);
        AppendText(Chat(), "<User> mine\r\n");
        AppendText(Chat(), Line(2).c_str());
        PumpMessages(400);
        EXPECT_EQ(AllSaid(), said);
        EXPECT_GE(standin::EventsOf(uia::kTextChangedEvent), 1u) << "the text changed, in any mode";
        standin::notifications.clear();
        standin::events.clear();
    }
    SendMessageA(Chat(), CLM_SETREADING, CLREAD_ALL, 0);
    EXPECT_EQ(AllSaid(), L"Reading new lines: all") << "the mode in effect is said again";
}

MSG AltDigit(HWND to, char digit, bool held = false) {
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(digit, MAPVK_VK_TO_VSC)) << 16;
    return MSG{to,
               WM_SYSKEYDOWN,
               static_cast<WPARAM>(digit),
               1 | scan | (1L << 29) | (held ? (1L << 30) : 0),
               0,
               POINT{}};
}

TEST_F(Announcements, AltDigitReadsARecentLineAndMovesNothing) {
    const standin::System system(true);
    std::string text;
    for (int i = 1; i <= 12; ++i) {
        text += Line(i);
    }
    SetText(text);
    SendMessageA(Chat(), CLM_SETSEL, 3, 8);
    SendMessageA(Chat(), WM_VSCROLL, SB_TOP, 0);
    PumpMessages(50);
    const HWND focus = GetFocus();
    ASSERT_EQ(focus, AppState.hwndInput);
    const int top = GetScrollPos(Chat(), SB_VERT);
    standin::notifications.clear();

    MSG msg = AltDigit(AppState.hwndInput, '3');
    EXPECT_TRUE(TranslateReadLineKey(AppState.hwndMain, &msg));
    msg = AltDigit(Chat(), '0');
    EXPECT_TRUE(TranslateReadLineKey(AppState.hwndMain, &msg));
    msg = AltDigit(AppState.hwndMain, '1');
    EXPECT_TRUE(TranslateReadLineKey(AppState.hwndMain, &msg));
    msg = AltDigit(AppState.hwndMain, '1', true);
    EXPECT_TRUE(TranslateReadLineKey(AppState.hwndMain, &msg)) << "a held key is taken";
    ASSERT_EQ(standin::notifications.size(), 3u) << "and read once";
    EXPECT_EQ(standin::notifications[0].said, L"<Ada> line 10");
    EXPECT_EQ(standin::notifications[1].said, L"<Ada> line 3");
    EXPECT_EQ(standin::notifications[2].said, L"<Ada> line 12");
    for (const standin::Notification& n : standin::notifications) {
        EXPECT_EQ(n.processing, uia::NotificationProcessing_MostRecent);
    }
    PumpMessages(50);
    EXPECT_EQ(GetFocus(), focus);
    DWORD from = 0, to = 0;
    SendMessageA(Chat(), CLM_GETSEL, reinterpret_cast<WPARAM>(&from),
                 reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(from, 3u);
    EXPECT_EQ(to, 8u);
    EXPECT_EQ(GetScrollPos(Chat(), SB_VERT), top);

    // Keys that are not Alt+digit for the main window go their usual way.
    msg = AltDigit(AppState.hwndInput, 'A');
    EXPECT_FALSE(TranslateReadLineKey(AppState.hwndMain, &msg));
    msg = AltDigit(GetDesktopWindow(), '2');
    EXPECT_FALSE(TranslateReadLineKey(AppState.hwndMain, &msg));
    msg = AltDigit(AppState.hwndInput, '2');
    msg.message = WM_KEYDOWN;
    EXPECT_FALSE(TranslateReadLineKey(AppState.hwndMain, &msg));
    // A number out of range says nothing (a line that is not there: TextUnitsTest).
    standin::notifications.clear();
    EXPECT_EQ(SendMessageA(Chat(), CLM_READLINE, 11, 0), FALSE);
    EXPECT_EQ(SendMessageA(Chat(), CLM_READLINE, 0, 0), FALSE);
    EXPECT_TRUE(standin::notifications.empty());
}

TEST_F(Announcements, TheGoingWindowGivesBackWhatUIAutomationHolds) {
    const standin::System system(true);
    SendMessageA(Chat(), WM_GETOBJECT, 0, uia::kRootObjectId);
    ASSERT_EQ(standin::returned.size(), 1u);
    const HWND chat = Chat();
    DestroyWindow(AppState.hwndMain);
    ASSERT_EQ(standin::returned.size(), 2u);
    EXPECT_EQ(standin::returned[1].hwnd, chat);
    EXPECT_EQ(standin::returned[1].wParam, 0u);
    EXPECT_EQ(standin::returned[1].lParam, 0);
    EXPECT_EQ(standin::returned[1].provider, nullptr);
}

} // namespace
