// The toolbar in the test's own process: its items, its images, the background
// replacement of the strip and the GDI objects all of this takes.
#include "tests/support/Pixels.h"
#include "tests/support/WindowTest.h"

#include "app/AppState.h"
#include "commands/Toolbar.h"
#include "resources/resource.h"

#include <commctrl.h>

#include <vector>

namespace {

constexpr COLORREF kStripGrey = RGB(199, 197, 200);
constexpr COLORREF kRed = RGB(220, 32, 32);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// GDI objects the process holds. Wine answers GetGuiResources with 0; there the
// count is told by how many more brushes the process can still create.
long GdiObjectsInUse() {
    const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (reported != 0) {
        return static_cast<long>(reported);
    }
    std::vector<HBRUSH> brushes;
    brushes.reserve(70000);
    while (brushes.size() < 1000000) {
        const HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
        if (brush == nullptr) {
            break;
        }
        brushes.push_back(brush);
    }
    for (const HBRUSH brush : brushes) {
        DeleteObject(brush);
    }
    return -static_cast<long>(brushes.size());
}

// A screen-compatible bitmap, as LoadBitmapA gives, filled with one colour.
HBITMAP MakeStrip(int width, int height, COLORREF fill) {
    const HDC screen = GetDC(nullptr);
    const HBITMAP strip = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    Canvas(strip).Fill(fill);
    return strip;
}

// The outline of a square.
void Square(Canvas& c, int left, int top, int size, COLORREF colour) {
    for (int i = 0; i < size; ++i) {
        c.Set(left + i, top, colour);
        c.Set(left + i, top + size - 1, colour);
        c.Set(left, top + i, colour);
        c.Set(left + size - 1, top + i, colour);
    }
}

bool IsRed(COLORREF c) {
    return GetRValue(c) > 180 && GetGValue(c) < 80 && GetBValue(c) < 80;
}
bool IsGreen(COLORREF c) {
    return GetGValue(c) > 130 && GetRValue(c) < 80 && GetBValue(c) < 100;
}

class ToolbarTest : public MainWindowTest {};

struct Item {
    BYTE style;
    int image;
    int command;
};
constexpr Item kExpectedItems[] = {
    {BTNS_SEP, 0, 0},
    {BTNS_BUTTON, 0, IDM_CONNECT},
    {BTNS_BUTTON, 1, IDM_DISCONNECT},
    {BTNS_SEP, 0, 0},
    {BTNS_BUTTON, 2, IDM_OPTIONS},
    {BTNS_BUTTON, 3, IDM_SAVELOG},
    {BTNS_BUTTON, 4, IDM_SENDFILE},
    {BTNS_SEP, 0, 0},
    {BTNS_BUTTON, 5, IDM_ABOUT},
};

TEST(ReplaceBitmapBackground, PaintsTheAreaConnectedToTheKeyPixelOnly) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    ASSERT_NE(face, kStripGrey) << "the test needs a button face unlike the strip's grey";
    const HBITMAP strip = MakeStrip(48, 16, kStripGrey);
    {
        Canvas c(strip);
        for (int x = 0; x < 16; ++x) {
            c.Set(x, 0, kRed); // a coloured line along the top, as on the Connect image
        }
        Square(c, 20, 3, 9, kBlack);  // a closed ring: the grey inside is cut off
        c.Set(40, 8, kBlack);         // a lone dark pixel in the background
        Square(c, 32, 12, 4, kBlack); // touches the bottom edge; its inside is cut off too
    }
    EXPECT_EQ(ReplaceBitmapBackground(strip), strip);
    {
        const Image p = Canvas(strip).Picture();
        for (const POINT at : {POINT{1, 1}, POINT{0, 15}, POINT{47, 15}, POINT{47, 0}, POINT{19, 3},
                               POINT{24, 2}, POINT{41, 8}, POINT{31, 14}}) {
            EXPECT_EQ(p.At(at.x, at.y), face) << "background at " << at.x << "," << at.y;
        }
        for (const POINT at :
             {POINT{21, 4}, POINT{24, 7}, POINT{27, 10}, POINT{33, 13}, POINT{34, 14}}) {
            EXPECT_EQ(p.At(at.x, at.y), kStripGrey) << "cut-off grey at " << at.x << "," << at.y;
        }
        EXPECT_EQ(p.At(0, 0), kRed);
        EXPECT_EQ(p.At(15, 0), kRed);
        EXPECT_EQ(p.At(20, 3), kBlack);
        EXPECT_EQ(p.At(40, 8), kBlack);
    }
    DeleteObject(strip);
}

TEST(ReplaceBitmapBackground, TakesTheKeyFromPixelOneOne) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF key = RGB(10, 120, 30);
    const HBITMAP strip = MakeStrip(32, 16, key);
    {
        Canvas c(strip);
        for (int x = 20; x < 26; ++x) {
            for (int y = 5; y < 11; ++y) {
                c.Set(x, y, kStripGrey); // grey, but not the colour at (1, 1)
            }
        }
    }
    ReplaceBitmapBackground(strip);
    const Image p = Canvas(strip).Picture();
    EXPECT_EQ(p.At(1, 1), face);
    EXPECT_EQ(p.At(31, 15), face);
    EXPECT_EQ(p.At(22, 7), kStripGrey);
    DeleteObject(strip);
}

TEST(ReplaceBitmapBackground, LeavesNoGdiObjectBehind) {
    const HBITMAP strip = MakeStrip(96, 16, kStripGrey);
    ReplaceBitmapBackground(strip); // the first use may set up GDI's own caches
    const long before = GdiObjectsInUse();
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(ReplaceBitmapBackground(strip), strip);
    }
    EXPECT_EQ(ReplaceBitmapBackground(nullptr), nullptr);
    EXPECT_EQ(GdiObjectsInUse(), before);
    // The strip is still a whole bitmap: nothing deleted it or kept it selected.
    BITMAP info{};
    EXPECT_EQ(GetObjectA(strip, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidth, 96);
    EXPECT_TRUE(DeleteObject(strip));
}

TEST(BuildToolbar, LeaksNoGdiObject) {
    AppState = ApplicationState{};
    AppState.hInstance = GetModuleHandleA(nullptr);
    const HWND parent = CreateWindowExA(0, "STATIC", "parent", WS_OVERLAPPEDWINDOW, 0, 0, 300, 100,
                                        nullptr, nullptr, AppState.hInstance, nullptr);
    ASSERT_NE(parent, nullptr);
    auto buildAndTearDown = [&] {
        BuildToolbar(parent);
        EXPECT_EQ(SendMessageA(AppState.hwndToolbar, TB_BUTTONCOUNT, 0, 0), 9);
        EXPECT_TRUE(DestroyWindow(AppState.hwndToolbar));
        // The program keeps the strip for its whole life; here it must be a live
        // bitmap that the toolbar did not take away.
        EXPECT_TRUE(DeleteObject(reinterpret_cast<HBITMAP>(AppState.toolbarBitmap.nID)));
    };
    buildAndTearDown(); // the common controls set up their shared objects once
    const long before = GdiObjectsInUse();
    buildAndTearDown();
    buildAndTearDown();
    EXPECT_EQ(GdiObjectsInUse(), before);
    DestroyWindow(parent);
    AppState = ApplicationState{};
}

TEST_F(ToolbarTest, IsAChildOfTheMainWindowWithItsIdentifierAndStyle) {
    const HWND toolbar = AppState.hwndToolbar;
    ASSERT_NE(toolbar, nullptr);
    char name[64] = "";
    GetClassNameA(toolbar, name, sizeof name);
    EXPECT_STREQ(name, TOOLBARCLASSNAMEA);
    EXPECT_EQ(GetParent(toolbar), AppState.hwndMain);
    EXPECT_EQ(GetDlgCtrlID(toolbar), IDC_TOOLBAR);
    const LONG style = GetWindowLongA(toolbar, GWL_STYLE);
    EXPECT_EQ(style & (WS_CHILD | WS_CLIPSIBLINGS | WS_VISIBLE),
              WS_CHILD | WS_CLIPSIBLINGS | WS_VISIBLE);
    EXPECT_EQ(style & (TBSTYLE_FLAT | TBSTYLE_LIST | TBSTYLE_TOOLTIPS | TBSTYLE_WRAPABLE |
                       TBSTYLE_TRANSPARENT | TBSTYLE_ALTDRAG),
              0);
    // It lies across the top of the client area, inside the band kept for it.
    const RECT r = ChildRect(toolbar);
    RECT client;
    GetClientRect(AppState.hwndMain, &client);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, client.right);
    EXPECT_LE(r.bottom, 28);
}

TEST_F(ToolbarTest, HoldsNineItemsInOrderWithTheirCommandsAndImages) {
    const HWND toolbar = AppState.hwndToolbar;
    ASSERT_EQ(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0), 9);
    for (int i = 0; i < 9; ++i) {
        SCOPED_TRACE(i);
        TBBUTTON b{};
        ASSERT_TRUE(SendMessageA(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b)));
        const Item& want = kExpectedItems[i];
        EXPECT_EQ(b.fsStyle, want.style);
        EXPECT_EQ(b.fsState & TBSTATE_ENABLED, TBSTATE_ENABLED);
        EXPECT_EQ(b.fsState & (TBSTATE_HIDDEN | TBSTATE_CHECKED | TBSTATE_PRESSED), 0);
        if (want.style == BTNS_BUTTON) {
            EXPECT_EQ(b.idCommand, want.command);
            EXPECT_EQ(b.iBitmap, want.image);
            EXPECT_EQ(b.dwData, 0u);
            EXPECT_EQ(SendMessageA(toolbar, TB_COMMANDTOINDEX, want.command, 0), i);
        }
    }
    // The record the toolbar was built from is the system's own size for this
    // width: 20 bytes in the 32-bit program, 32 in the 64-bit one.
    EXPECT_EQ(sizeof AppState.toolbarButton, sizeof(void*) == 4 ? 20u : 32u);
    // The last refill of the shared record is the About button.
    EXPECT_EQ(AppState.toolbarButton.idCommand, IDM_ABOUT);
    EXPECT_EQ(AppState.toolbarBitmap.hInst, nullptr);
    EXPECT_NE(AppState.toolbarBitmap.nID, 0u);
}

TEST_F(ToolbarTest, ShowsTheSixImagesOfTheStripWithoutItsGrey) {
    const HIMAGELIST images =
        reinterpret_cast<HIMAGELIST>(SendMessageA(AppState.hwndToolbar, TB_GETIMAGELIST, 0, 0));
    ASSERT_NE(images, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(images), 6);
    int width = 0;
    int height = 0;
    ImageList_GetIconSize(images, &width, &height);
    EXPECT_EQ(width, 16);

    // Draw each image over magenta: no pixel may keep the strip's grey.
    const COLORREF magenta = RGB(255, 0, 255);
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        Canvas canvas(16, 16, magenta);
        ASSERT_TRUE(ImageList_Draw(images, i, canvas.Dc(), 0, 0, ILD_NORMAL));
        const Image drawn = canvas.Picture();
        const RECT image{0, 0, width, height};
        const RECT topRow{0, 0, width, 1};
        const size_t grey = drawn.Count(kStripGrey, image);
        const size_t red = drawn.CountWhere(topRow, IsRed);
        const size_t green = drawn.CountWhere(topRow, IsGreen);
        EXPECT_EQ(grey, 0u);
        EXPECT_EQ(red, i == 0 ? 16u : 0u) << "only Connect has the red line";
        EXPECT_EQ(green, i == 1 ? 16u : 0u) << "only Disconnect has the green line";
    }
}

TEST_F(ToolbarTest, OnScreenTheButtonsShowTheirImagesOnTheButtonFace) {
    const HWND toolbar = AppState.hwndToolbar;
    RedrawWindow(toolbar, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    PumpMessages(100);
    const Image shown = ShownClient(toolbar);
    ASSERT_GT(shown.Width(), 0);
    const size_t grey = shown.Count(kStripGrey);
    const size_t red = shown.CountWhere(shown.All(), IsRed);
    const size_t green = shown.CountWhere(shown.All(), IsGreen);
    EXPECT_EQ(grey, 0u) << "the strip's grey shows on screen";
    EXPECT_GE(red, 16u) << "the Connect image's line (and the red swatch)";
    EXPECT_GE(green, 16u) << "the Disconnect image's line (and the Send file arrow)";
}

TEST_F(ToolbarTest, FollowsTheWindowWidth) {
    SetWindowPos(AppState.hwndMain, nullptr, 0, 0, 600, 300, SWP_NOZORDER | SWP_NOMOVE);
    PumpMessages(20);
    RECT client;
    GetClientRect(AppState.hwndMain, &client);
    EXPECT_EQ(ChildRect(AppState.hwndToolbar).right, client.right);
}

} // namespace
