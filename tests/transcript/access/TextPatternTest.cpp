// The transcript's text pattern held to the provider contract: moves by none,
// chat lines as paragraphs, points outside the pane, finding with the
// program's own search, text lengths, the caret as the selection, the lines
// shown, scrolling a range into view, and ranges held while the text changes.
#include "tests/transcript/access/TextPatternClient.h"

#include "tests/support/Input.h"
#include "tests/support/TestText.h"
#include "tests/support/Transcript.h"

#include "resources/resource.h"
#include "transcript/ChatList.h"

#include <algorithm>
#include <climits>
#include <string>
#include <utility>

namespace {

int Rows() {
    RECT r;
    GetClientRect(Chat(), &r);
    return r.bottom / FixedFontCell().cy;
}

std::wstring Wide(const std::string& s) {
    return std::wstring(s.begin(), s.end());
}

// The line of NumberedChatLines numbered n, as a range answers it.
std::wstring ChatLine(int n) {
    return Wide(NumberedChatLines(n, 1));
}

// Where a range lies in the text: selected, as the transcript reports it.
std::pair<DWORD, DWORD> Ends(uia::ITextRangeProvider* r) {
    EXPECT_EQ(r->Select(), S_OK);
    return Selection();
}

// A pane 16 cells wide, whose first chat line wraps after "two ".
void SetWrappedText() {
    const SIZE cell = FixedFontCell();
    RECT window, client;
    GetWindowRect(Chat(), &window);
    GetClientRect(Chat(), &client);
    const int frame = (window.right - window.left) - client.right;
    SetWindowPos(Chat(), nullptr, 0, 0, frame + 4 + 16 * cell.cx, window.bottom - window.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    SetText("<Ada> one two three four five\r\n<Bob> six\r\n");
}

using TextPattern = TextPatternTest;

TEST_F(TextPattern, AMoveByNoneLeavesTheRangeAndParagraphsAreChatLines) {
    SetWrappedText();
    SendMessageA(Chat(), CLM_SETSEL, 8, 13); // "e two"
    uia::ITextRangeProvider* r = Selected();
    ASSERT_NE(r, nullptr);
    // Each unit's moves by none or to nowhere are the model's (text_range_model_tests).
    int moved = 9;
    ASSERT_EQ(r->Move(uia::TextUnit_Word, 0, &moved), S_OK);
    EXPECT_EQ(moved, 0);
    EXPECT_EQ(RangeText(r), L"e two") << "a count of 0 moves nothing";

    ASSERT_EQ(r->ExpandToEnclosingUnit(uia::TextUnit_Line), S_OK);
    EXPECT_EQ(RangeText(r), L"<Ada> one two ") << "a line as the pane shows it";
    ASSERT_EQ(r->ExpandToEnclosingUnit(uia::TextUnit_Paragraph), S_OK);
    EXPECT_EQ(RangeText(r), L"<Ada> one two three four five\r\n") << "the whole chat line";
    ASSERT_EQ(r->Move(uia::TextUnit_Paragraph, 1, &moved), S_OK);
    EXPECT_EQ(moved, 1);
    EXPECT_EQ(RangeText(r), L"<Bob> six\r\n");
    r->Release();
}

TEST_F(TextPattern, APointAboveOrBelowThePaneAnswersTheNearestTextShown) {
    SetText(NumberedChatLines(0, 200));
    SendMessageA(Chat(), WM_VSCROLL, SB_TOP, 0);
    SendMessageA(Chat(), WM_VSCROLL, SB_PAGEDOWN, 0);
    const int top = Top();
    ASSERT_GT(top, 0);
    RECT client;
    GetClientRect(Chat(), &client);
    POINT corner{0, 0};
    ClientToScreen(Chat(), &corner);
    const double x = corner.x + 2 + 3.5 * FixedFontCell().cx;
    const int lastShown = top + (client.bottom - 1) / FixedFontCell().cy;
    for (const auto& [y, line] :
         {std::pair<double, int>{corner.y - 40.0, top},
          std::pair<double, int>{corner.y + client.bottom + 40.0, lastShown}}) {
        uia::ITextRangeProvider* at = nullptr;
        ASSERT_EQ(text->RangeFromPoint(uia::UiaPoint{x, y}, &at), S_OK);
        ASSERT_NE(at, nullptr);
        EXPECT_EQ(RangeText(at), L"") << "a point is an empty range";
        ASSERT_EQ(at->ExpandToEnclosingUnit(uia::TextUnit_Line), S_OK);
        EXPECT_EQ(RangeText(at), ChatLine(line));
        at->Release();
    }
}

TEST_F(TextPattern, FindTextSearchesTheRangeAsTheProgramSearches) {
    SetText("<Ada> Hello hello HELLO\r\n<Bob> hi\r\n");
    uia::ITextRangeProvider* doc = Document();
    ASSERT_NE(doc, nullptr);
    struct Case {
        const wchar_t* what;
        BOOL backward;
        BOOL ignoreCase;
        DWORD from;
    };
    for (const Case c : {Case{L"hello", FALSE, TRUE, 6}, Case{L"hello", FALSE, FALSE, 12},
                         Case{L"hello", TRUE, TRUE, 18}, Case{L"HELLO", TRUE, FALSE, 18},
                         Case{L"LO\r\n<B", FALSE, TRUE, 21}}) {
        BSTR what = SysAllocString(c.what);
        uia::ITextRangeProvider* found = nullptr;
        ASSERT_EQ(doc->FindText(what, c.backward, c.ignoreCase, &found), S_OK);
        SysFreeString(what);
        ASSERT_NE(found, nullptr) << "looking for " << std::string(c.what, c.what + 5);
        const DWORD length = static_cast<DWORD>(lstrlenW(c.what));
        EXPECT_EQ(Ends(found), std::make_pair(c.from, c.from + length));
        found->Release();
    }
    // Only within the range: "Hello hel" holds one match, not the one it cuts.
    SendMessageA(Chat(), CLM_SETSEL, 6, 15);
    uia::ITextRangeProvider* part = Selected();
    ASSERT_NE(part, nullptr);
    for (const BOOL backward : {FALSE, TRUE}) {
        BSTR what = SysAllocString(L"hello");
        uia::ITextRangeProvider* found = nullptr;
        ASSERT_EQ(part->FindText(what, backward, TRUE, &found), S_OK);
        SysFreeString(what);
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(Ends(found), std::make_pair(DWORD{6}, DWORD{11}));
        found->Release();
    }
    // Not there, or not in the code page at all: found is null, and that is no error.
    for (const wchar_t* absent : {L"xyz", L"hello hello hello", L"\x4E2D", L""}) {
        BSTR what = SysAllocString(absent);
        uia::ITextRangeProvider* found = doc;
        EXPECT_EQ(part->FindText(what, FALSE, TRUE, &found), S_OK);
        EXPECT_EQ(found, nullptr);
        SysFreeString(what);
    }
    uia::ITextRangeProvider* found = nullptr;
    EXPECT_EQ(doc->FindText(nullptr, FALSE, TRUE, &found), E_INVALIDARG);
    part->Release();

    // The code page's own letters fold as the Find dialog folds them.
    char upper = 0, lower = 0;
    BOOL lossy = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, L"\xC9", 1, &upper, 1, nullptr, &lossy);
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, L"\xE9", 1, &lower, 1, nullptr, &lossy);
    if (!lossy) {
        SetText(std::string("<Ada> CAF") + upper + " caf" + lower + "\r\n");
        BSTR what = SysAllocString(L"caf\xE9");
        ASSERT_EQ(doc->FindText(what, FALSE, TRUE, &found), S_OK);
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(Ends(found), std::make_pair(DWORD{6}, DWORD{10}));
        found->Release();
        SysFreeString(what);
    }
    doc->Release();
}

TEST_F(TextPattern, GetTextTakesMinusOneForAllAndRefusesLengthsBelowIt) {
    SetText("<Ada> hello\r\n");
    uia::ITextRangeProvider* doc = Document();
    ASSERT_NE(doc, nullptr);
    for (const int length : {-2, -100, INT_MIN}) {
        BSTR b = reinterpret_cast<BSTR>(doc); // anything but null
        EXPECT_EQ(doc->GetText(length, &b), E_INVALIDARG);
        EXPECT_EQ(b, nullptr);
    }
    BSTR b = nullptr;
    ASSERT_EQ(doc->GetText(0, &b), S_OK);
    EXPECT_EQ(TakeText(b), L"");
    EXPECT_EQ(RangeText(doc), L"<Ada> hello\r\n");
    doc->Release();
}

TEST_F(TextPattern, WithNothingSelectedTheSelectionIsTheCaret) {
    SetText("<Ada> hello\r\n<Bob> hi\r\n");
    SetFocus(Chat());
    {
        HeldKeys ctrl{VK_CONTROL};
        SendMessageA(Chat(), WM_KEYDOWN, VK_HOME, 1);
    }
    SendMessageA(Chat(), WM_KEYDOWN, VK_DOWN, 1);
    SendMessageA(Chat(), WM_KEYDOWN, VK_RIGHT, 1);
    uia::ITextRangeProvider* sel = Selected();
    ASSERT_NE(sel, nullptr);
    EXPECT_EQ(RangeText(sel), L"") << "an empty range";
    int moved = 0;
    ASSERT_EQ(sel->MoveEndpointByUnit(uia::TextPatternRangeEndpoint_End, uia::TextUnit_Character, 3,
                                      &moved),
              S_OK);
    EXPECT_EQ(RangeText(sel), L"Bob") << "where the caret is: after \"<\" on the second line";
    ASSERT_EQ(sel->ExpandToEnclosingUnit(uia::TextUnit_Line), S_OK);
    EXPECT_EQ(RangeText(sel), L"<Bob> hi\r\n");
    sel->Release();
}

TEST_F(TextPattern, TheCaretsLineIsTheRowTheCaretIsDrawnOnAtAWrapPoint) {
    SetWrappedText();
    SetFocus(Chat());
    {
        HeldKeys ctrl{VK_CONTROL};
        SendMessageA(Chat(), WM_KEYDOWN, VK_HOME, 1);
    }
    SendMessageA(Chat(), WM_KEYDOWN, VK_END, 1); // to the wrap point, drawn after "two "
    GUITHREADINFO shown{}; // the system's record of the caret, which magnifiers follow
    shown.cbSize = sizeof shown;
    GetGUIThreadInfo(GetCurrentThreadId(), &shown);
    EXPECT_EQ(shown.hwndCaret, Chat());
    EXPECT_EQ(shown.rcCaret.top, 0);
    uia::ITextRangeProvider* caret = Selected();
    ASSERT_NE(caret, nullptr);
    ASSERT_EQ(caret->ExpandToEnclosingUnit(uia::TextUnit_Line), S_OK);
    EXPECT_EQ(RangeText(caret), L"<Ada> one two ") << "the first row, where the caret is";
    caret->Release();
}

TEST_F(TextPattern, VisibleRangesAreTheLinesShownAndScrollIntoViewShowsARange) {
    SetText("");
    uia::ITextRangeProvider* shown = Visible();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(RangeText(shown), L"") << "an empty text shows one empty range";
    shown->Release();

    SetText(NumberedChatLines(0, 200));
    RECT client;
    GetClientRect(Chat(), &client);
    const int cell = FixedFontCell().cy;
    const int shownRows = (client.bottom + cell - 1) / cell; // a row cut by the edge counts
    const int rows = Rows();
    shown = Visible();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(RangeText(shown), Wide(NumberedChatLines(200 - rows, rows))) << "at the end";
    shown->Release();
    SendMessageA(Chat(), WM_VSCROLL, SB_TOP, 0);
    shown = Visible();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(RangeText(shown), Wide(NumberedChatLines(0, shownRows)));

    // The first line shown, brought to the top from elsewhere and to the bottom.
    shown->ExpandToEnclosingUnit(uia::TextUnit_Line);
    int moved = 0;
    shown->Move(uia::TextUnit_Line, 150, &moved);
    ASSERT_EQ(RangeText(shown), ChatLine(150));
    ASSERT_EQ(shown->ScrollIntoView(TRUE), S_OK);
    EXPECT_EQ(Top(), std::min(150, 200 - rows));
    shown->Move(uia::TextUnit_Line, -90, &moved);
    ASSERT_EQ(RangeText(shown), ChatLine(60));
    ASSERT_EQ(shown->ScrollIntoView(FALSE), S_OK);
    EXPECT_EQ(Top(), 61 - rows) << "its line in the bottom row";
    ASSERT_EQ(shown->ScrollIntoView(FALSE), S_OK);
    EXPECT_EQ(Top(), 61 - rows) << "in view already: nothing moves";
    shown->Move(uia::TextUnit_Line, 139, &moved);
    ASSERT_EQ(shown->ScrollIntoView(TRUE), S_OK);
    EXPECT_EQ(Top(), 200 - rows) << "the last line: as far as the view goes";
    shown->Release();
}

// The rectangles a screen reader's magnifier follows are the zoomed text's.
TEST_F(TextPattern, TheBoundingRectangleOfALineGrowsWithTheZoom) {
    SetText("<Ada> one\r\n<Bob> two\r\n");
    SendMessageA(Chat(), CLM_SETSEL, 0, 9);
    uia::ITextRangeProvider* r = Selected();
    ASSERT_NE(r, nullptr);
    const auto height = [r] { // of the first rectangle: left, top, width, height
        SAFEARRAY* rects = nullptr;
        EXPECT_EQ(r->GetBoundingRectangles(&rects), S_OK);
        const double h =
            rects->rgsabound[0].cElements >= 4 ? static_cast<const double*>(rects->pvData)[3] : 0.0;
        SafeArrayDestroy(rects);
        return h;
    };
    const double normal = height();
    EXPECT_GT(normal, 0.0);
    for (const int level : {125, 150, 200}) {
        EXPECT_EQ(SendMessageA(Chat(), CLM_ZOOM, CLZ_IN, 0), level);
    }
    EXPECT_GE(height(), 2 * normal);
    r->Release();
}

TEST_F(TextPattern, RangesHeldWhileTheTextChangesAnswerTheTextAsItIsNow) {
    SetText(NumberedChatLines(0, 200));
    uia::ITextRangeProvider* doc = Document();
    ASSERT_NE(doc, nullptr);
    const DWORD line100 = static_cast<DWORD>(NumberedChatLines(0, 100).size());
    SendMessageA(Chat(), CLM_SETSEL, line100, NumberedChatLines(0, 200).size());
    uia::ITextRangeProvider* tail = Selected();
    ASSERT_NE(tail, nullptr);
    SendMessageA(Chat(), CLM_SETSEL, 0, 0);

    // A shrink: the part past the new end is gone.
    SetText(NumberedChatLines(0, 50));
    EXPECT_EQ(RangeText(tail), L"");
    SAFEARRAY* rects = nullptr;
    ASSERT_EQ(tail->GetBoundingRectangles(&rects), S_OK);
    ASSERT_NE(rects, nullptr);
    EXPECT_EQ(rects->rgsabound[0].cElements, 0u);
    SafeArrayDestroy(rects);
    int moved = 0;
    ASSERT_EQ(tail->MoveEndpointByUnit(uia::TextPatternRangeEndpoint_Start, uia::TextUnit_Line, -1,
                                       &moved),
              S_OK);
    EXPECT_EQ(moved, -1);
    EXPECT_EQ(RangeText(tail), ChatLine(49));
    EXPECT_EQ(RangeText(doc), Wide(NumberedChatLines(0, 50)));

    // A replacement of the same length: the new bytes, where the range lies.
    std::string other = NumberedChatLines(0, 50);
    for (char& c : other) {
        c = c == 'L' ? 'M' : c;
    }
    SetText(other);
    EXPECT_EQ(RangeText(tail), Wide(other.substr(other.size() - ChatLine(49).size())));

    // F5: every range is an empty one at the start, and answers soundly.
    SendMessageA(AppState.hwndMain, WM_COMMAND, IDM_CLEAROUTPUT, 0);
    ASSERT_EQ(GetWindowTextLengthA(Chat()), 0);
    for (uia::ITextRangeProvider* r : {doc, tail}) {
        EXPECT_EQ(RangeText(r), L"");
        ASSERT_EQ(r->ExpandToEnclosingUnit(uia::TextUnit_Paragraph), S_OK);
        EXPECT_EQ(RangeText(r), L"");
        EXPECT_EQ(r->Move(uia::TextUnit_Word, 1, &moved), S_OK);
        EXPECT_EQ(moved, 0);
        EXPECT_EQ(r->ScrollIntoView(TRUE), S_OK);
        rects = nullptr;
        ASSERT_EQ(r->GetBoundingRectangles(&rects), S_OK);
        EXPECT_EQ(rects->rgsabound[0].cElements, 0u);
        SafeArrayDestroy(rects);
        EXPECT_EQ(Ends(r), std::make_pair(DWORD{0}, DWORD{0}));
    }
    // Text again: the held ranges read it from the start they were left at.
    SetText("<Ada> back\r\n");
    EXPECT_EQ(RangeText(doc), L"");
    ASSERT_EQ(doc->ExpandToEnclosingUnit(uia::TextUnit_Word), S_OK);
    EXPECT_EQ(RangeText(doc), L"<");
    doc->Release();
    tail->Release();
}

} // namespace
