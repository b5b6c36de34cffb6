#include "commands/Toolbar.h"

#include "app/AppState.h"
#include "base/ScopedHandles.h"
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
    const char* tip; // what the button's tooltip says
};

// Everything after the leading separator, which CreateToolbarEx adds itself.
constexpr ToolbarItem kItems[] = {
    {0, IDM_CONNECT, TBSTYLE_BUTTON, "Connect"},
    {1, IDM_DISCONNECT, TBSTYLE_BUTTON, "Disconnect"},
    {0, 0, TBSTYLE_SEP, nullptr},
    {2, IDM_OPTIONS, TBSTYLE_BUTTON, "Options"},
    {3, IDM_SAVELOG, TBSTYLE_BUTTON, "Save log file"},
    {4, IDM_SENDFILE, TBSTYLE_BUTTON, "Send file"},
    {0, 0, TBSTYLE_SEP, nullptr},
    {5, IDM_ABOUT, TBSTYLE_BUTTON, "About"},
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

// The toolbar keeps the style it is made with, which has no tooltip bit: the
// tooltip window is made here and handed to it, and it asks the main window
// for each button's text (ToolbarTipText).
void AttachTooltips(HWND toolbar, HWND parent) {
    HWND tips = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent,
                                nullptr, AppState.hInstance, nullptr);
    if (tips != nullptr) {
        SendMessageA(toolbar, TB_SETTOOLTIPS, reinterpret_cast<WPARAM>(tips), 0);
    }
}

const char* TipOf(UINT_PTR command) {
    for (const ToolbarItem& item : kItems) {
        if (item.tip != nullptr && static_cast<UINT_PTR>(item.command) == command) {
            return item.tip;
        }
    }
    return nullptr;
}

} // namespace

LRESULT ToolbarTipText(const NMHDR* header) {
    if (header == nullptr) {
        return 0;
    }
    const char* tip = nullptr;
    if (header->code == TTN_GETDISPINFOA || header->code == TTN_GETDISPINFOW) {
        tip = TipOf(header->idFrom);
    }
    if (tip == nullptr) {
        return 0;
    }
    if (header->code == TTN_GETDISPINFOA) {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(const_cast<NMHDR*>(header));
        info->lpszText = const_cast<char*>(tip);
        info->hinst = nullptr;
    } else {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(const_cast<NMHDR*>(header));
        MultiByteToWideChar(CP_ACP, 0, tip, -1, info->szText, ARRAYSIZE(info->szText));
        info->lpszText = info->szText;
        info->hinst = nullptr;
    }
    return 0;
}

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
    FillButton({0, 0, TBSTYLE_SEP, nullptr});
    // One bitmap "of identifier 0 from no instance" names nothing, so the
    // toolbar starts without images; the strip is added below.
    AppState.hwndToolbar = CreateToolbarEx(parent, WS_CHILD | WS_CLIPSIBLINGS, IDC_TOOLBAR, 1,
                                           nullptr, 0, &AppState.toolbarButton, 1, kButtonSize,
                                           kButtonSize, 0, 0, sizeof(TBBUTTON));
    ShowWindow(AppState.hwndToolbar, SW_SHOW);
    AttachTooltips(AppState.hwndToolbar, parent);

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
