// The transcript for people who do not read it off the screen in its own
// colours: high-contrast drawing, and the text, lines, selection and events a
// screen reader gets through UI Automation, read in-process.
#include "tests/support/WindowTest.h"

#include "app/AppState.h"
#include "transcript/ChatLines.h"
#include "transcript/ChatList.h"
#include "transcript/ChatListUia.h"

#include <oleauto.h>

#include <string>
#include <vector>

namespace {

using Accessibility = MainWindowTest;

HWND Chat() {
    return AppState.hwndChat;
}

void SetText(const std::string& text) {
    SendMessageA(Chat(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// The pane as WM_PRINTCLIENT draws it, as COLORREFs.
std::vector<COLORREF> Printed() {
    RECT r;
    GetClientRect(Chat(), &r);
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, r.right, r.bottom);
    HGDIOBJ old = SelectObject(mem, bmp);
    SendMessageA(Chat(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem), PRF_CLIENT);
    std::vector<COLORREF> out;
    for (int y = 0; y < r.bottom; y += 2) {
        for (int x = 0; x < r.right; x += 2) {
            out.push_back(GetPixel(mem, x, y));
        }
    }
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return out;
}

size_t Count(const std::vector<COLORREF>& px, COLORREF c) {
    size_t n = 0;
    for (const COLORREF p : px) {
        n += p == c;
    }
    return n;
}

bool highContrast = false;
bool Probe() {
    return highContrast;
}

TEST_F(Accessibility, HighContrastDrawsInSystemColoursAndKeepsTheGivenOnes) {
    const COLORREF ink = RGB(200, 0, 0), paper = RGB(0, 0, 120);
    const COLORREF selInk = RGB(0, 200, 0), selPaper = RGB(250, 250, 0);
    SendMessageA(Chat(), CLM_SETCOLORS, ink, paper);
    SendMessageA(Chat(), CLM_SETSELCOLORS, selInk, selPaper);
    SetText("<Ada> a line of text to draw\r\n");
    SendMessageA(Chat(), CLM_SETSEL, 0, 5);
    ASSERT_GT(Count(Printed(), paper), 100u);

    const HighContrastProbe before = SetHighContrastProbe(Probe);
    highContrast = true;
    // The theme changes: the system tells the main window, which tells the pane.
    SendMessageA(AppState.hwndMain, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    std::vector<COLORREF> px = Printed();
    EXPECT_EQ(Count(px, ink) + Count(px, paper) + Count(px, selInk) + Count(px, selPaper), 0u)
        << "none of the given colours show";
    EXPECT_GT(Count(px, GetSysColor(COLOR_WINDOW)), 100u);
    EXPECT_GT(Count(px, GetSysColor(COLOR_HIGHLIGHT)), 5u) << "the selection in system colours";

    // Colours given while the theme is on wait for it to go off.
    SendMessageA(Chat(), CLM_SETCOLORS, RGB(1, 2, 3), RGB(4, 5, 6));
    EXPECT_EQ(Count(Printed(), RGB(4, 5, 6)), 0u);
    highContrast = false;
    SendMessageA(AppState.hwndMain, WM_SYSCOLORCHANGE, 0, 0);
    px = Printed();
    EXPECT_GT(Count(px, RGB(4, 5, 6)), 100u);
    EXPECT_GT(Count(px, selPaper), 5u);
    SetHighContrastProbe(before);
}

// The system's own switch, where the system lets a program flip it.
TEST_F(Accessibility, FollowsTheSystemsHighContrastSwitch) {
    HIGHCONTRASTA was{};
    was.cbSize = sizeof was;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof was, &was, 0));
    HIGHCONTRASTA on = was;
    on.dwFlags |= HCF_HIGHCONTRASTON;
    if (!SystemParametersInfoA(SPI_SETHIGHCONTRAST, sizeof on, &on, 0)) {
        GTEST_SKIP() << "this system does not let a program switch high contrast on";
    }
    const COLORREF paper = RGB(0, 0, 120);
    SendMessageA(Chat(), CLM_SETCOLORS, RGB(200, 0, 0), paper);
    SendMessageA(AppState.hwndMain, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    const size_t shown = Count(Printed(), paper);
    SystemParametersInfoA(SPI_SETHIGHCONTRAST, sizeof was, &was, 0);
    SendMessageA(AppState.hwndMain, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    EXPECT_EQ(shown, 0u);
    EXPECT_GT(Count(Printed(), paper), 100u);
}

} // namespace
