// Find in-process, where the selection's offsets and the pane's pixels can be
// read: a match that runs over the point where its line wraps is one
// selection, and the view shows both of its visual lines; while the view rests
// at a match, the other matches shown are framed, until a send.
#include "tests/support/Input.h"
#include "tests/support/Pixels.h"
#include "tests/support/TestText.h"
#include "tests/support/Transcript.h"
#include "tests/support/WindowTest.h"

#include "app/AppState.h"
#include "transcript/ChatList.h"

#include <dlgs.h>

#include <string>
#include <utility>

namespace {

using FindInPane = MainWindowTest;

constexpr COLORREF kSelPaper = RGB(250, 250, 0);
constexpr COLORREF kInk = RGB(0, 0, 160);

// Ctrl+F on the input line, through the program's own key translation.
HWND OpenFindDialog() {
    SetFocus(AppState.hwndInput);
    {
        HeldKeys ctrl{VK_CONTROL};
        PostMessageA(AppState.hwndInput, WM_KEYDOWN, 'F', 1);
        PumpMessages();
    }
    for (const HWND dialog : ThreadDialogs()) {
        if (GetDlgItem(dialog, edt1) != nullptr) {
            return dialog;
        }
    }
    return nullptr;
}

// The text in "Find what", then the dialog's Find Next button.
void FindNext(HWND dialog, const char* text) {
    SetDlgItemTextA(dialog, edt1, text);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    PumpMessages();
}

// The pane made `rows` lines of the fixed font high.
void MakePaneRows(int rows) {
    RECT window, client;
    GetWindowRect(Chat(), &window);
    GetClientRect(Chat(), &client);
    const int frame = (window.bottom - window.top) - client.bottom;
    SetWindowPos(Chat(), nullptr, 0, 0, window.right - window.left,
                 rows * FixedFontCell().cy + frame, SWP_NOMOVE | SWP_NOZORDER);
}

TEST_F(FindInPane, AMatchAcrossAWrappedVisualLineIsSelectedAndShownWhole) {
    // Two rows: no room for margins, so showing a match needs both of its lines.
    MakePaneRows(2);
    RECT client;
    GetClientRect(Chat(), &client);
    const int columns = (client.right - 4) / FixedFontCell().cx;
    ASSERT_GT(columns, 10);
    // A line without blanks wraps inside its word, here in the middle of NEEDLE.
    const std::string wrapped =
        std::string(static_cast<size_t>(columns - 3), 'a') + "NEEDLE" + std::string(12, 'b');
    const std::string text =
        NumberedChatLines(0, 20) + wrapped + "\r\n" + NumberedChatLines(20, 20);
    SetText(text);
    SendMessageA(Chat(), CLM_SETSELCOLORS, RGB(0, 0, 0), kSelPaper);
    SendMessageA(Chat(), WM_VSCROLL, SB_TOP, 0); // the match lies below the view

    const HWND dialog = OpenFindDialog();
    ASSERT_NE(dialog, nullptr) << "Ctrl+F opens the Find dialog";
    FindNext(dialog, "needle");
    const size_t at = text.find("NEEDLE");
    EXPECT_EQ(Selection(), std::make_pair(static_cast<DWORD>(at), static_cast<DWORD>(at + 6)))
        << "one selection over the wrap";

    // Both rows of the pane show selected cells: the end of the first visual
    // line and the start of the next.
    UpdateWindow(Chat());
    const Image shown = ShownClient(Chat());
    const int h = FixedFontCell().cy;
    const size_t top = shown.Count(kSelPaper, RECT{0, 0, client.right, h});
    const size_t bottom = shown.Count(kSelPaper, RECT{0, h, client.right, 2 * h});
    EXPECT_GT(top, 0u) << "the match's first visual line is in view";
    EXPECT_GT(bottom, 0u) << "and so is its second";
    EXPECT_TRUE(shown == PaintedClient(Chat())) << "drawn afresh, not left stale";
    DestroyWindow(dialog);
}

// Whether the cells' outline is wholly in the text's colour.
bool Framed(const Image& shown, RECT r) {
    const size_t all = shown.Count(kInk, r);
    InflateRect(&r, -1, -1);
    return all - shown.Count(kInk, r) ==
           static_cast<size_t>(2 * (r.right - r.left) + 2 * (r.bottom - r.top) + 4);
}

TEST_F(FindInPane, TheOtherMatchesShownAreFramedInTheTextColourUntilASend) {
    MakePaneRows(8);
    const std::string line = NumberedChatLines(0, 1); // "... the quick brown fox"
    SetText(NumberedChatLines(0, 6));
    SendMessageA(Chat(), CLM_SETCOLORS, kInk, RGB(255, 255, 255));
    SendMessageA(Chat(), CLM_SETSELCOLORS, RGB(0, 0, 0), kSelPaper);
    const HWND dialog = OpenFindDialog();
    ASSERT_NE(dialog, nullptr);
    FindNext(dialog, "FOX");
    DestroyWindow(dialog); // the frames stay while the view rests at the match
    const SIZE cell = FixedFontCell();
    const auto cells = [&](int row, const std::string& word) { // the text begins 2 pixels in
        const LONG x = 2 + static_cast<LONG>(line.find(word)) * cell.cx;
        return RECT{x, row * cell.cy, x + static_cast<LONG>(word.size()) * cell.cx,
                    (row + 1) * cell.cy};
    };
    // Painted afresh while held; after a send, as the pane repainted itself.
    for (const bool held : {true, false}) {
        const Image shown = held ? PaintedClient(Chat()) : ShownClient(Chat());
        EXPECT_FALSE(Framed(shown, cells(0, "fox"))) << "the selected match keeps its look";
        for (int row = 1; row < 6; ++row) {
            EXPECT_EQ(Framed(shown, cells(row, "fox")), held) << "row " << row;
            EXPECT_FALSE(Framed(shown, cells(row, "quick"))) << "row " << row;
        }
        SendMessageA(Chat(), CLM_ENDHOLD, 0, 0); // a line was sent
        UpdateWindow(Chat());
    }
}

} // namespace
