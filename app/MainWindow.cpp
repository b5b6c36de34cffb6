#include "app/MainWindow.h"

#include "app/AppState.h"
#include "app/InputField.h"
#include "commands/Commands.h"
#include "commands/Find.h"
#include "commands/Toolbar.h"
#include "settings/Settings.h"
#include "transcript/ChatList.h"

namespace {

constexpr int kToolbarBand = 28;
constexpr int kInputHeight = 24;
// Toolbar band, input field and the one-pixel gap between transcript and input.
constexpr int kChromeHeight = kToolbarBand + kInputHeight + 1;

void PrepareSaveDialog(HWND hwnd) {
    OPENFILENAMEA& ofn = AppState.saveDialog;
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    ofn.hwndOwner = hwnd;
    ofn.hInstance = AppState.hInstance;
    ofn.lpstrFilter = Str::SaveFilter;
    ofn.lpstrFile = AppState.logPath;
    ofn.nMaxFile = kPathCapacity;
    ofn.nMaxFileTitle = 0;
    ofn.lpstrInitialDir = nullptr;
    ofn.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT;
    ofn.lpstrDefExt = Str::LogExtension;
}

void SetDefaults() {
    AppState.colorText = GetSysColor(COLOR_WINDOWTEXT);
    AppState.colorBackground = GetSysColor(COLOR_WINDOW);
    AppState.colorSelectionText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    AppState.colorSelectionBackground = GetSysColor(COLOR_HIGHLIGHT);
    lstrcpyA(AppState.nickname, Str::DefaultNickname);
    lstrcpyA(AppState.logPath, Str::DefaultLogName);
    AppState.findFlags = FR_DOWN;
}

void CreateChildren(HWND hwnd) {
    AppState.hwndInput = CreateWindowExA(WS_EX_CLIENTEDGE, Str::EditClass, nullptr,
                                         WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 0, 0, 0, hwnd,
                                         nullptr, AppState.hInstance, nullptr);
    SendMessageA(AppState.hwndInput, EM_LIMITTEXT, kInputLimit, 0);

    AppState.hwndChat = CreateWindowExA(WS_EX_CLIENTEDGE, kChatListClassName, nullptr,
                                        WS_CHILD | WS_VISIBLE | WS_VSCROLL | CLS_PLAIN, 0, 0, 0, 0,
                                        hwnd, nullptr, AppState.hInstance, nullptr);

    const WPARAM font = reinterpret_cast<WPARAM>(GetStockObject(SYSTEM_FIXED_FONT));
    SendMessageA(AppState.hwndInput, WM_SETFONT, font, 0);
    SendMessageA(AppState.hwndChat, WM_SETFONT, font, 0);
    SendMessageA(AppState.hwndChat, CLM_SETCOLORS, AppState.colorText, AppState.colorBackground);
    // Keys the transcript cannot use, and Tab, go on to the input line.
    SendMessageA(AppState.hwndChat, CLM_SETKEYTARGET, reinterpret_cast<WPARAM>(AppState.hwndInput),
                 0);
    InstallInputField(AppState.hwndInput, AppState.hwndChat);
}

void LayOutChildren(int width, int height) {
    SendMessageA(AppState.hwndToolbar, TB_AUTOSIZE, 0, 0);
    MoveWindow(AppState.hwndInput, 0, height - kInputHeight, width, kInputHeight, TRUE);
    // A client area too low for all three (minimising brings 0 x 0) leaves the
    // transcript with no height rather than a negative one.
    const int chatHeight = height > kChromeHeight ? height - kChromeHeight : 0;
    MoveWindow(AppState.hwndChat, 0, kToolbarBand, width, chatHeight, TRUE);
}

LRESULT OnCreate(HWND hwnd) {
    PrepareSaveDialog(hwnd);
    wsprintfA(AppState.textBuffer, Str::TitleFormat, Str::ProgramName, Str::StatusOffline);
    SetWindowTextA(hwnd, AppState.textBuffer);
    SetDefaults();
    // The settings place this window before CreateWindowExA has handed back its handle.
    AppState.hwndMain = hwnd;
    LoadSettings();
    BuildToolbar(hwnd);
    CreateChildren(hwnd);
    // The settings may have placed (and so sized) this window before the
    // children existed, and no further size message need come.
    RECT client;
    GetClientRect(hwnd, &client);
    LayOutChildren(client.right, client.bottom);
    return 0;
}

LRESULT OnSize(LPARAM lParam) {
    LayOutChildren(LOWORD(lParam), HIWORD(lParam));
    return 0;
}

LRESULT FocusInput() {
    SetFocus(AppState.hwndInput);
    return 0;
}

// Only top-level windows hear of a new theme or new system colours: the
// transcript draws in them, so it is told.
LRESULT PassSystemChange(UINT message, WPARAM wParam, LPARAM lParam) {
    SendMessageA(AppState.hwndChat, message, wParam, lParam);
    return 0;
}

LRESULT OnDestroy() {
    ForgetFind();
    PostQuitMessage(0);
    return 0;
}

} // namespace

LRESULT ClosePath() {
    SaveSettings();
    return DestroyWindow(AppState.hwndMain);
}

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return OnCreate(hwnd);
    case WM_COMMAND: return DispatchCommand(wParam);
    case WM_SIZE: return OnSize(lParam);
    case WM_INITMENU: return 0; // no item changes state: nothing to prepare, nothing passed on
    case WM_NOTIFY: return ToolbarTipText(reinterpret_cast<const NMHDR*>(lParam));
    case WM_ACTIVATE:
    case WM_SETFOCUS: return FocusInput();
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE: return PassSystemChange(message, wParam, lParam);
    case WM_CLOSE: return ClosePath();
    case WM_DESTROY: return OnDestroy();
    default:
        return IsFindMessage(message) ? OnFindMessage(lParam)
                                      : DefWindowProcA(hwnd, message, wParam, lParam);
    }
}
