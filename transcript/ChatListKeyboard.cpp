// The keys people expect of any pane: the Menu key and Shift+F10 open the
// context menu, Tab and Shift+Tab go on to the input line.
#include "base/FocusCycle.h"
#include "transcript/ChatListState.h"

namespace chatlist {
namespace {

// Where a menu opened from the keyboard shows: under the start of the
// selection where that is in view, else at the pane's top-left corner.
POINT KeyboardMenuPoint(HWND hwnd, const ChatState& s) {
    POINT p{0, 0};
    if (!SelectionEmpty(s.sel) && s.layout.lineCount != 0) {
        const size_t from = SelectionFrom(s.sel);
        const size_t line = LayoutLineOf(s.layout, from);
        if (line >= s.top && line < s.top + FullRows(s)) {
            const int64_t x = kMargin + LayoutOffsetX(s.layout, line, from);
            p.x = static_cast<LONG>(x < s.clientWidth ? x : s.clientWidth - 1);
            p.y = static_cast<LONG>((line - s.top + 1) * static_cast<size_t>(s.lineHeight));
        }
    }
    ClientToScreen(hwnd, &p);
    return p;
}

} // namespace

LRESULT OnMenuKey(HWND hwnd, const ChatState& s) {
    ShowContextMenu(hwnd, s, KeyboardMenuPoint(hwnd, s));
    return 0;
}

LRESULT OnContextMenu(HWND hwnd, const ChatState& s, WPARAM wParam, LPARAM lParam) {
    // A right click already showed the menu on the button going down.
    if (lParam != -1) {
        return DefWindowProcA(hwnd, WM_CONTEXTMENU, wParam, lParam);
    }
    return OnMenuKey(hwnd, s);
}

LRESULT OnKeyUp(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    // The menu opened as the key went down. The system turns the release into
    // a WM_CONTEXTMENU as well (posted as the key-up is translated, or made by
    // DefWindowProc), which would open a second menu once the first is closed.
    if (wParam == VK_APPS) {
        MSG asked;
        PeekMessageA(&asked, hwnd, WM_CONTEXTMENU, WM_CONTEXTMENU, PM_REMOVE);
        return 0;
    }
    return DefWindowProcA(hwnd, WM_KEYUP, wParam, lParam);
}

LRESULT OnSysKeyDown(HWND hwnd, const ChatState& s, WPARAM wParam, LPARAM lParam) {
    if (wParam == VK_F10 && GetKeyState(VK_SHIFT) < 0) {
        return OnMenuKey(hwnd, s);
    }
    // Alt itself leaves the focus here, so that Alt+digit reads a line without
    // moving it; its release opens the menu bar from here as from anywhere.
    if (wParam == VK_MENU) {
        return DefWindowProcA(hwnd, WM_SYSKEYDOWN, wParam, lParam);
    }
    HandOver(hwnd, s, WM_SYSKEYDOWN, wParam, lParam); // F10, Alt+F4 belong to the main window
    return 0;
}

LRESULT OnTabKey(HWND hwnd, const ChatState& s) {
    TabFocusTo(hwnd, KeyTarget(s));
    return 0;
}

} // namespace chatlist
