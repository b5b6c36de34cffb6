// The transcript and the mouse: a click, a Shift+click, a double and a triple
// click select; a drag extends the selection and, held outside the pane,
// scrolls towards the mouse; the right button opens the context menu.
#include "transcript/ChatListMouse.h"

#include "base/ScopedHandles.h"
#include "transcript/ChatListClipboard.h"
#include "transcript/ChatListSelection.h"
#include "transcript/ChatListView.h"
#include "transcript/ChatListZoom.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace chatlist {
namespace {

constexpr UINT_PTR kDragTimer = 1;
constexpr UINT kDragInterval = 50;
constexpr UINT kMenuCopy = 1;
constexpr UINT kMenuSelectAll = 2;
constexpr char kMenuCopyText[] = "&Copy\tCtrl+C";
constexpr char kMenuSelectAllText[] = "Select &All\tCtrl+A";
// The zoom, then the choice of what is read aloud: each item sends the pane
// one of its own messages.
struct MenuMessage {
    UINT id;
    const char* text;
    UINT message;
    WPARAM argument;
};
constexpr MenuMessage kViewItems[] = {
    {3, "Zoom &in\tCtrl+Plus", CLM_ZOOM, CLZ_IN},
    {4, "Zoom &out\tCtrl+Minus", CLM_ZOOM, CLZ_OUT},
    {5, "&Normal size\tCtrl+0", CLM_ZOOM, CLZ_NORMAL},
    {6, "&Read all new lines", CLM_SETREADING, CLREAD_ALL},
    {7, "Read all but &mine", CLM_SETREADING, CLREAD_ALLBUTMINE},
    {8, "Read no new &lines", CLM_SETREADING, CLREAD_NONE},
};
constexpr size_t kFirstReading = 3;

void AppendViewItems(HWND hwnd, HMENU menu, const ChatState& s) {
    const bool greyed[std::size(kViewItems)] = {ZoomAtLargest(s), ZoomAtSmallest(s)};
    for (size_t i = 0; i < std::size(kViewItems); ++i) {
        if (i == 0 || i == kFirstReading) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        }
        AppendMenuA(menu, MF_STRING | (greyed[i] ? MF_GRAYED : MF_ENABLED), kViewItems[i].id,
                    kViewItems[i].text);
    }
    // A value that is no mode asks for the one in effect.
    const WPARAM reading = static_cast<WPARAM>(SendMessageA(hwnd, CLM_SETREADING, ~WPARAM{0}, 0));
    if (reading < std::size(kViewItems) - kFirstReading) {
        CheckMenuRadioItem(menu, kViewItems[kFirstReading].id, std::end(kViewItems)[-1].id,
                           kViewItems[kFirstReading + reading].id, MF_BYCOMMAND);
    }
}

void ExtendTo(HWND hwnd, ChatState& s, POINT p) {
    p.y = std::clamp<LONG>(p.y, 0, std::max(s.clientHeight - 1, 0));
    Selection next = s.sel;
    SelectionDrag(next, s.layout, OffsetAtPoint(s, p, true), OffsetAtPoint(s, p, false));
    Select(hwnd, s, next, PlaceAtPoint(s, p, next.caret));
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

LRESULT OnLButtonDown(HWND hwnd, ChatState& s, WPARAM wParam, LPARAM lParam) {
    const POINT p = PointOf(lParam);
    if (ClickedNewLinesMarker(hwnd, s, p)) {
        return 0;
    }
    const bool third =
        s.doubleClickTime != 0 &&
        static_cast<DWORD>(GetMessageTime()) - s.doubleClickTime <= GetDoubleClickTime() &&
        std::abs(p.x - s.doubleClickPoint.x) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
        std::abs(p.y - s.doubleClickPoint.y) <= GetSystemMetrics(SM_CYDOUBLECLK);
    s.doubleClickTime = 0;
    Selection next = s.sel;
    if (third) {
        SelectionClickUnit(next, s.layout, SelectionUnit::Line, OffsetAtPoint(s, p, false));
    } else if (wParam & MK_SHIFT) {
        SelectionExtend(next, OffsetAtPoint(s, p, true));
    } else {
        SelectionClick(next, OffsetAtPoint(s, p, true));
    }
    Select(hwnd, s, next, third ? CaretPlace{} : PlaceAtPoint(s, p, next.caret));
    // Only now: a Shift+click into the pane extends from its caret, not from
    // where the focus would put a caret of a pane that had none.
    SetFocus(hwnd);
    StartDrag(hwnd, s);
    return 0;
}

LRESULT OnLButtonUp(HWND hwnd, ChatState& s) {
    StopDrag(hwnd, s);
    return 0;
}

LRESULT OnLButtonDblClk(HWND hwnd, ChatState& s, LPARAM lParam) {
    const POINT p = PointOf(lParam);
    Selection next = s.sel;
    SelectionClickUnit(next, s.layout, SelectionUnit::Word, OffsetAtPoint(s, p, false));
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
    AppendViewItems(hwnd, menu, s);
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
    for (const MenuMessage& item : kViewItems) {
        if (item.id == chosen) {
            SendMessageA(hwnd, item.message, item.argument, 0);
        }
    }
}

} // namespace chatlist
