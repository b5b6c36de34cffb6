#include "commands/Toolbar.h"

#include "app/AppState.h"
#include "app/ScopedHandles.h"
#include "resources/resource.h"

namespace {

constexpr int kImageCount = 6;
constexpr int kButtonSize = 16;
// The point the background fill starts from; the artwork keeps it grey.
constexpr int kKeyX = 1;
constexpr int kKeyY = 1;

struct ToolbarItem {
    int image;
    int command;
    BYTE style;
};

// Everything after the leading separator, which CreateToolbarEx adds itself.
constexpr ToolbarItem kItems[] = {
    {0, IDM_CONNECT, TBSTYLE_BUTTON},
    {1, IDM_DISCONNECT, TBSTYLE_BUTTON},
    {0, 0, TBSTYLE_SEP},
    {2, IDM_OPTIONS, TBSTYLE_BUTTON},
    {3, IDM_SAVELOG, TBSTYLE_BUTTON},
    {4, IDM_SENDFILE, TBSTYLE_BUTTON},
    {0, 0, TBSTYLE_SEP},
    {5, IDM_ABOUT, TBSTYLE_BUTTON},
};

void FillButton(const ToolbarItem& item) {
    TBBUTTON& button = AppState.toolbarButton;
    button.iBitmap = item.image;
    button.idCommand = item.command;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = item.style;
    button.dwData = 0;
    button.iString = 0;
}

} // namespace

HBITMAP ReplaceBitmapBackground(HBITMAP strip) {
    if (strip == nullptr) {
        return strip;
    }
    const ScopedMemoryDC dc(nullptr);
    const ScopedSelect bitmap(dc, strip);
    const ScopedGdiObject<HBRUSH> face(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
    const ScopedSelect brush(dc, face);

    const COLORREF key = GetPixel(dc, kKeyX, kKeyY);
    ExtFloodFill(dc, kKeyX, kKeyY, key, FLOODFILLSURFACE);
    return strip;
}

void BuildToolbar(HWND parent) {
    FillButton({0, 0, TBSTYLE_SEP});
    // One bitmap "of identifier 0 from no instance" names nothing, so the
    // toolbar starts without images; the strip is added below.
    AppState.hwndToolbar = CreateToolbarEx(parent, WS_CHILD | WS_CLIPSIBLINGS, IDC_TOOLBAR, 1,
                                           nullptr, 0, &AppState.toolbarButton, 1, kButtonSize,
                                           kButtonSize, 0, 0, sizeof(TBBUTTON));
    ShowWindow(AppState.hwndToolbar, SW_SHOW);

    const HBITMAP strip =
        ReplaceBitmapBackground(LoadBitmapA(AppState.hInstance, MAKEINTRESOURCEA(IDB_TOOLBAR)));
    AppState.toolbarBitmap.hInst = nullptr;
    AppState.toolbarBitmap.nID = reinterpret_cast<UINT_PTR>(strip);
    SendMessageA(AppState.hwndToolbar, TB_ADDBITMAP, kImageCount,
                 reinterpret_cast<LPARAM>(&AppState.toolbarBitmap));

    for (const ToolbarItem& item : kItems) {
        FillButton(item);
        SendMessageA(AppState.hwndToolbar, TB_ADDBUTTONSA, 1,
                     reinterpret_cast<LPARAM>(&AppState.toolbarButton));
    }
}
