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

#include <algorithm>
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

// Whether the rectangle's four edges are wholly in the text's colour.
bool Framed(const Image& shown, const RECT& r) {
    const LONG w = r.right - r.left, h = r.bottom - r.top;
    return shown.Count(kInk, RECT{r.left, r.top, r.right, r.top + 1}) == static_cast<size_t>(w) &&
           shown.Count(kInk, RECT{r.left, r.bottom - 1, r.right, r.bottom}) ==
               static_cast<size_t>(w) &&
           shown.Count(kInk, RECT{r.left, r.top, r.left + 1, r.bottom}) == static_cast<size_t>(h) &&
           shown.Count(kInk, RECT{r.right - 1, r.top, r.right, r.bottom}) == static_cast<size_t>(h);
}

// The cells selected in the pane's first row.
RECT SelectedCells(const Image& shown, int rowHeight) {
    RECT cells{shown.Width(), 0, 0, rowHeight};
    for (int x = 0; x < shown.Width(); ++x) {
        if (shown.Count(kSelPaper, RECT{x, 0, x + 1, rowHeight}) != 0) {
            cells.left = std::min<LONG>(cells.left, x);
            cells.right = x + 1;
        }
    }
    return cells;
}

TEST_F(FindInPane, TheOtherMatchesShownAreFramedInTheTextColourUntilASend) {
    MakePaneRows(8);
    const std::string text = NumberedChatLines(0, 6); // each line ends in "fox"
    SetText(text);
    SendMessageA(Chat(), CLM_SETCOLORS, kInk, RGB(255, 255, 255));
    SendMessageA(Chat(), CLM_SETSELCOLORS, RGB(0, 0, 0), kSelPaper);
    const HWND dialog = OpenFindDialog();
    ASSERT_NE(dialog, nullptr);
    FindNext(dialog, "FOX");
    DestroyWindow(dialog); // the frames stay while the view rests at the match
    PumpMessages();

    const int h = FixedFontCell().cy;
    const LONG quick =
        static_cast<LONG>(text.find("fox") - text.find("quick")) * FixedFontCell().cx;
    Image shown = PaintedClient(Chat());
    const RECT found = SelectedCells(shown, h);
    ASSERT_EQ(found.right - found.left, 3 * FixedFontCell().cx) << "the first fox is selected";
    EXPECT_FALSE(Framed(shown, found)) << "the selected match keeps the selection's look";
    for (int row = 1; row < 6; ++row) {
        const RECT fox{found.left, row * h, found.right, (row + 1) * h};
        EXPECT_TRUE(Framed(shown, fox)) << "the fox of row " << row;
        const RECT other{fox.left - quick, fox.top, fox.right - quick + 2 * FixedFontCell().cx,
                         fox.bottom};
        EXPECT_FALSE(Framed(shown, other)) << "no frame around \"quick\" in row " << row;
    }

    SendMessageA(Chat(), CLM_ENDHOLD, 0, 0); // a line was sent
    UpdateWindow(Chat());
    shown = ShownClient(Chat());
    for (int row = 1; row < 6; ++row) {
        EXPECT_FALSE(Framed(shown, RECT{found.left, row * h, found.right, (row + 1) * h}))
            << "the frames went with the hold, row " << row;
    }
}

} // namespace
