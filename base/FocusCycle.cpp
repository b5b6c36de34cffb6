#include "base/FocusCycle.h"

bool TabFocusTo(HWND from, HWND to) {
    if (to == nullptr || !IsWindowVisible(to)) {
        return true; // nowhere to go: the focus stays, and no tab is typed
    }
    SetFocus(to);
    MSG typed;
    while (PeekMessageA(&typed, from, WM_CHAR, WM_CHAR, PM_NOREMOVE) && typed.wParam == '\t') {
        PeekMessageA(&typed, from, WM_CHAR, WM_CHAR, PM_REMOVE);
    }
    return true;
}
