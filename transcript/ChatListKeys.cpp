// Every key message of the transcript: the caret keys go to the caret,
// Ctrl+A and Ctrl+C select and copy, the Menu key and Shift+F10 open the
// context menu, Tab and Shift+Tab go on to the key target, and so do the keys
// that type or edit; any other key gets the default handling here (F10 and
// Alt+letter open the menu bar, and the focus comes back when it closes).
#include "transcript/ChatListKeys.h"

#include "base/FocusCycle.h"
#include "transcript/ChatListCaret.h"
#include "transcript/ChatListClipboard.h"
#include "transcript/ChatListMouse.h"
#include "transcript/ChatListSelection.h"
#include "transcript/ChatListView.h"

#include <algorithm>

namespace chatlist {
namespace {

// The key target, where it is a window of this thread; else null.
HWND KeyTarget(const ChatState& s) {
    const HWND target = s.keyTarget;
    return target != nullptr && IsWindow(target) &&
                   GetWindowThreadProcessId(target, nullptr) == GetCurrentThreadId()
               ? target
               : nullptr;
}

// Whether the key being handled typed something: the loop's translation has
// already queued the character (or the dead key) it made.
bool MadeACharacter(HWND hwnd) {
    MSG typed;
    return PeekMessageA(&typed, hwnd, WM_CHAR, WM_DEADCHAR, PM_NOREMOVE) != FALSE;
}

// A key that types or edits goes to the key target (the input line), and the
// focus with it, together with the character the key already made, so that
// nothing typed is lost in a read-only pane.
void HandOver(HWND hwnd, const ChatState& s, UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND input = KeyTarget(s);
    if (input == nullptr) {
        return;
    }
    SetFocus(input);
    SendMessageA(input, message, wParam, lParam);
    MSG typed;
    while (PeekMessageA(&typed, hwnd, WM_CHAR, WM_DEADCHAR, PM_REMOVE)) {
        SendMessageA(input, typed.message, typed.wParam, typed.lParam);
    }
}

// Where a menu opened from the keyboard shows: under the start of the
// selection where that is in view, else at the pane's top-left corner.
POINT KeyboardMenuPoint(HWND hwnd, const ChatState& s) {
    POINT p{0, 0};
    if (!SelectionEmpty(s.sel) && s.layout.lineCount != 0) {
        const size_t from = SelectionFrom(s.sel);
        const size_t line = LayoutLineOf(s.layout, from);
        if (line >= s.top && line < s.top + FullRows(s)) {
            const POINT at = PointOfOffset(s, from);
            p.x = std::min<LONG>(at.x, s.clientWidth - 1);
            p.y = at.y + s.lineHeight;
        }
    }
    ClientToScreen(hwnd, &p);
    return p;
}

LRESULT OnMenuKey(HWND hwnd, const ChatState& s) {
    ShowContextMenu(hwnd, s, KeyboardMenuPoint(hwnd, s));
    return 0;
}

LRESULT OnTabKey(HWND hwnd, const ChatState& s) {
    TabFocusTo(hwnd, KeyTarget(s));
    return 0;
}

} // namespace

LRESULT OnKeyDown(HWND hwnd, ChatState& s, WPARAM key, LPARAM lParam) {
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    switch (key) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_HOME:
    case VK_END: return OnCaretKey(hwnd, s, key);
    case VK_APPS: return OnMenuKey(hwnd, s);
    case VK_TAB: return OnTabKey(hwnd, s);
    case VK_SHIFT:
    case VK_CONTROL:
    case VK_MENU:
    case VK_LWIN:
    case VK_RWIN:
    case VK_CAPITAL:
    case VK_NUMLOCK:
    case VK_SCROLL: return 0;
    case 'A':
        if (ctrl) {
            SelectAll(hwnd, s);
            return 0;
        }
        break;
    case 'C':
    case VK_INSERT:
        if (ctrl) {
            CopySelection(hwnd, s);
            return 0;
        }
        break;
    default: break;
    }
    // Delete and Shift+Insert edit the input line though they make no character.
    const bool edits = key == VK_DELETE || (key == VK_INSERT && GetKeyState(VK_SHIFT) < 0);
    if (!edits && !MadeACharacter(hwnd)) {
        return DefWindowProcA(hwnd, WM_KEYDOWN, key, lParam);
    }
    HandOver(hwnd, s, WM_KEYDOWN, key, lParam);
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
    // F10, Alt, Alt+letter and Alt+Space open menus from here, Alt+F4 closes
    // the program, and the focus stays: a menu closed gives it back to the
    // transcript, by Windows convention.
    return DefWindowProcA(hwnd, WM_SYSKEYDOWN, wParam, lParam);
}

} // namespace chatlist
