#include "transcript/ChatListState.h"

#include "base/ScopedHandles.h"

#include <algorithm>
#include <cstdlib>

namespace chatlist {
namespace {

constexpr UINT_PTR kDragTimer = 1;
constexpr UINT kDragInterval = 50;
constexpr UINT kMenuCopy = 1;
constexpr UINT kMenuSelectAll = 2;
constexpr char kMenuCopyText[] = "&Copy\tCtrl+C";
constexpr char kMenuSelectAllText[] = "Select &All\tCtrl+A";

// The visual line under a point of the client area; negative above the first.
long long LineAt(const ChatState& s, POINT p) {
    const long long row =
        p.y >= 0 ? p.y / s.lineHeight : -((s.lineHeight - 1 - p.y) / s.lineHeight);
    return static_cast<long long>(s.top) + row;
}

// The byte offset under a point of the client area: the nearest edge between
// bytes, or the byte whose cell holds the point. Below the last line: the end.
size_t OffsetAt(const ChatState& s, POINT p, bool nearestEdge) {
    if (s.layout.lineCount == 0) {
        return 0;
    }
    const long long line = LineAt(s, p);
    if (line < 0) {
        return 0;
    }
    if (static_cast<size_t>(line) >= s.layout.lineCount) {
        return s.layout.length;
    }
    const int64_t x = p.x - kMargin;
    return nearestEdge ? LayoutHitTest(s.layout, static_cast<size_t>(line), x)
                       : LayoutCharAt(s.layout, static_cast<size_t>(line), x);
}

// A caret put at `offset` from a point shows on the point's own line, also
// where that line wraps.
CaretPlace PlaceAt(const ChatState& s, POINT p, size_t offset) {
    const long long line = LineAt(s, p);
    return line >= 0 && static_cast<size_t>(line) < s.layout.lineCount
               ? CaretPlaceOn(s.layout, static_cast<size_t>(line), offset)
               : CaretPlace{};
}

void ExtendTo(HWND hwnd, ChatState& s, POINT p) {
    p.y = std::clamp<LONG>(p.y, 0, std::max(s.clientHeight - 1, 0));
    Selection next = s.sel;
    SelectionDrag(next, s.layout, OffsetAt(s, p, true), OffsetAt(s, p, false));
    Select(hwnd, s, next, PlaceAt(s, p, next.caret));
}

// While the mouse is held outside the pane, the view scrolls towards it, faster
// the further away it is, and the selection follows.
void CALLBACK DragTimerProc(HWND hwnd, UINT, UINT_PTR, DWORD) {
    ChatState* s = StateOf(hwnd);
    if (s == nullptr) {
        KillTimer(hwnd, kDragTimer);
        return;
    }
    if (!s->dragging || GetCapture() != hwnd) {
        StopDrag(hwnd, *s);
        return;
    }
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(hwnd, &p);
    if (p.y < 0) {
        ScrollBy(hwnd, *s, -(1 + (-p.y) / s->lineHeight));
    } else if (p.y >= s->clientHeight) {
        ScrollBy(hwnd, *s, 1 + (p.y - s->clientHeight) / s->lineHeight);
    }
    ExtendTo(hwnd, *s, p);
    UpdateWindow(hwnd);
}

void StartDrag(HWND hwnd, ChatState& s) {
    s.dragging = true;
    SetCapture(hwnd);
}

POINT PointOf(LPARAM lParam) {
    // Signed: with the mouse captured, points left of or above the pane are negative.
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

} // namespace

HWND KeyTarget(const ChatState& s) {
    const HWND target = s.keyTarget;
    return target != nullptr && IsWindow(target) &&
                   GetWindowThreadProcessId(target, nullptr) == GetCurrentThreadId()
               ? target
               : nullptr;
}

void Select(HWND hwnd, ChatState& s, const Selection& next, const CaretPlace& place) {
    ByteSpan spans[2];
    const int n = SelectionChangedSpans(SelectionFrom(s.sel), SelectionTo(s.sel),
                                        SelectionFrom(next), SelectionTo(next), spans);
    const bool moved = next.caret != s.sel.caret || next.anchor != s.sel.anchor;
    s.sel = next;
    s.caretPlace = place;
    for (int i = 0; i < n; ++i) {
        InvalidateSpan(hwnd, s, spans[i].from, spans[i].to);
    }
    PlaceCaret(s);
    // A caret that moves with nothing selected is news too: screen readers
    // read the line it comes to.
    if (n != 0 || moved) {
        AutomationSelectionChanged(hwnd, s);
    }
}

void SetSelection(HWND hwnd, ChatState& s, size_t anchor, size_t caret) {
    Selection next = s.sel;
    SelectRange(next, anchor, caret, s.layout.length);
    Select(hwnd, s, next, CaretPlace{});
}

void SelectAll(HWND hwnd, ChatState& s) {
    SetSelection(hwnd, s, 0, s.layout.length);
}

void StopDrag(HWND hwnd, ChatState& s) {
    if (s.dragTimer) {
        KillTimer(hwnd, kDragTimer);
        s.dragTimer = false;
    }
    if (s.dragging) {
        s.dragging = false;
        if (GetCapture() == hwnd) {
            ReleaseCapture();
        }
    }
}

// A key the transcript has no use for goes to the key target (the input line),
// and the focus with it, together with the character the key already made, so
// that nothing typed is lost in a read-only pane.
void HandOver(HWND hwnd, const ChatState& s, UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND input = KeyTarget(s);
    if (input == nullptr) {
        return;
    }
    SetFocus(input);
    SendMessageA(input, message, wParam, lParam);
    MSG typed;
    while (PeekMessageA(&typed, hwnd, WM_CHAR, WM_CHAR, PM_REMOVE)) {
        SendMessageA(input, typed.message, typed.wParam, typed.lParam);
    }
}

LRESULT OnLButtonDown(HWND hwnd, ChatState& s, WPARAM wParam, LPARAM lParam) {
    const POINT p = PointOf(lParam);
    if (ClickedNewLinesMarker(hwnd, s, p)) {
        return 0;
    }
    SetFocus(hwnd);
    const bool third =
        s.doubleClickTime != 0 &&
        static_cast<DWORD>(GetMessageTime()) - s.doubleClickTime <= GetDoubleClickTime() &&
        std::abs(p.x - s.doubleClickPoint.x) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
        std::abs(p.y - s.doubleClickPoint.y) <= GetSystemMetrics(SM_CYDOUBLECLK);
    s.doubleClickTime = 0;
    Selection next = s.sel;
    if (third) {
        SelectionClickUnit(next, s.layout, SelectionUnit::Line, OffsetAt(s, p, false));
    } else if (wParam & MK_SHIFT) {
        SelectionExtend(next, OffsetAt(s, p, true));
    } else {
        SelectionClick(next, OffsetAt(s, p, true));
    }
    Select(hwnd, s, next, third ? CaretPlace{} : PlaceAt(s, p, next.caret));
    StartDrag(hwnd, s);
    return 0;
}

LRESULT OnLButtonDblClk(HWND hwnd, ChatState& s, LPARAM lParam) {
    const POINT p = PointOf(lParam);
    Selection next = s.sel;
    SelectionClickUnit(next, s.layout, SelectionUnit::Word, OffsetAt(s, p, false));
    Select(hwnd, s, next, CaretPlace{});
    s.doubleClickTime = static_cast<DWORD>(GetMessageTime());
    if (s.doubleClickTime == 0) {
        s.doubleClickTime = 1;
    }
    s.doubleClickPoint = p;
    StartDrag(hwnd, s);
    return 0;
}

LRESULT OnMouseMove(HWND hwnd, ChatState& s, LPARAM lParam) {
    if (!s.dragging) {
        return 0;
    }
    if (GetCapture() != hwnd) {
        StopDrag(hwnd, s);
        return 0;
    }
    const POINT p = PointOf(lParam);
    ExtendTo(hwnd, s, p);
    const bool outside = p.y < 0 || p.y >= s.clientHeight;
    if (outside && !s.dragTimer) {
        s.dragTimer = SetTimer(hwnd, kDragTimer, kDragInterval, DragTimerProc) != 0;
    } else if (!outside && s.dragTimer) {
        KillTimer(hwnd, kDragTimer);
        s.dragTimer = false;
    }
    return 0;
}

LRESULT OnRButtonDown(HWND hwnd, ChatState& s, LPARAM lParam) {
    POINT p = PointOf(lParam);
    ClientToScreen(hwnd, &p);
    ShowContextMenu(hwnd, s, p);
    return 0;
}

void ShowContextMenu(HWND hwnd, const ChatState& s, POINT screen) {
    const ScopedPopupMenu popup;
    const HMENU menu = popup.Handle();
    if (menu == nullptr) {
        return;
    }
    const bool selected = !SelectionEmpty(s.sel);
    AppendMenuA(menu, MF_STRING | (selected ? MF_ENABLED : MF_GRAYED), kMenuCopy, kMenuCopyText);
    AppendMenuA(menu, MF_STRING, kMenuSelectAll, kMenuSelectAllText);
    const UINT chosen =
        static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                         screen.x, screen.y, 0, hwnd, nullptr));
    // The menu ran its own message loop: the window may be gone by now.
    ChatState* still = StateOf(hwnd);
    if (still == nullptr) {
        return;
    }
    if (chosen == kMenuCopy) {
        CopySelection(hwnd, *still);
    } else if (chosen == kMenuSelectAll) {
        SelectAll(hwnd, *still);
    }
}

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
    HandOver(hwnd, s, WM_KEYDOWN, key, lParam);
    return 0;
}

} // namespace chatlist
