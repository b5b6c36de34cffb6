// The transcript's caret: a blinking system caret at the selection's caret
// end while the pane has the focus, where magnifiers and screen readers
// follow it, moved by the keys of a text box (CaretModel) with the view kept
// on it. A key goes to the model, then to the selection, then the view
// scrolls to the caret.
#include "transcript/ChatListCaret.h"

#include "transcript/ChatListSelection.h"
#include "transcript/ChatListView.h"
#include "transcript/TextUnits.h"

#include <algorithm>

namespace chatlist {
namespace {

bool MakeCaret(HWND hwnd, const ChatState& s) {
    return CreateCaret(hwnd, nullptr, CaretWidth(), s.lineHeight) != FALSE;
}

// Where the focus puts the caret of a pane that has none yet: the start of the
// last chat line shown, or of the top row when that line began above it.
size_t LastShownLineStart(const ChatState& s) {
    if (s.layout.lineCount == 0) {
        return 0;
    }
    const size_t last = std::min(s.top + FullRows(s) - 1, s.layout.lineCount - 1);
    size_t begin = 0, end = 0;
    ChatLineAt(s.layout, LayoutLineStart(s.layout, last), begin, end);
    return std::max(begin, TopOffset(s));
}

void KeepCaretInSight(HWND hwnd, ChatState& s) {
    if (s.layout.lineCount == 0) {
        return;
    }
    const size_t line = CaretLine(s.layout, s.sel.caret, s.caretPlace);
    const size_t rows = FullRows(s);
    if (line < s.top) {
        ScrollTo(hwnd, s, line);
    } else if (line >= s.top + rows) {
        ScrollTo(hwnd, s, line + 1 - rows);
    }
}

CaretKey KeyOf(WPARAM key, bool ctrl) {
    switch (key) {
    case VK_LEFT: return ctrl ? CaretKey::WordLeft : CaretKey::Left;
    case VK_RIGHT: return ctrl ? CaretKey::WordRight : CaretKey::Right;
    case VK_UP: return CaretKey::Up;
    case VK_DOWN: return CaretKey::Down;
    case VK_PRIOR: return CaretKey::PageUp;
    case VK_NEXT: return CaretKey::PageDown;
    case VK_HOME: return ctrl ? CaretKey::TextStart : CaretKey::LineStart;
    default: return ctrl ? CaretKey::TextEnd : CaretKey::LineEnd;
    }
}

} // namespace

LRESULT OnSetFocus(HWND hwnd, ChatState& s) {
    s.caretShown = MakeCaret(hwnd, s);
    // A caret placed before (keys, a click, CLM_SETSEL, a screen reader's
    // Select) stays where it is, for a reader who went to answer and came back.
    if (!s.caretPlaced) {
        Selection next = s.sel;
        next.unit = SelectionUnit::Byte;
        next.anchor = next.caret = LastShownLineStart(s);
        Select(hwnd, s, next, CaretPlace{});
    }
    PlaceCaret(s);
    if (s.caretShown) {
        ShowCaret(hwnd);
    }
    return 0;
}

LRESULT OnKillFocus(HWND hwnd, ChatState& s) {
    if (s.caretShown) {
        s.caretShown = false;
        HideCaret(hwnd);
        DestroyCaret();
    }
    return 0;
}

void RemakeCaret(HWND hwnd, ChatState& s) {
    if (s.caretShown) {
        DestroyCaret();
        s.caretShown = MakeCaret(hwnd, s);
        PlaceCaret(s);
        if (s.caretShown) {
            ShowCaret(hwnd);
        }
    }
}

LRESULT OnCaretKey(HWND hwnd, ChatState& s, WPARAM key) {
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    // Ctrl+Up and Ctrl+Down scroll the view and leave the caret, as they do
    // from the input line.
    if (ctrl && (key == VK_UP || key == VK_DOWN)) {
        ScrollBy(hwnd, s, key == VK_UP ? -1 : 1);
        return 0;
    }
    const size_t page = FullRows(s);
    // A page key turns the view a page, and the caret goes with it.
    if (key == VK_PRIOR || key == VK_NEXT) {
        const long long rows = static_cast<long long>(page);
        ScrollBy(hwnd, s, key == VK_PRIOR ? -rows : rows);
    }
    Selection next = s.sel;
    CaretPlace place = s.caretPlace;
    CaretMove(s.layout, next, place, KeyOf(key, ctrl), shift, page);
    Select(hwnd, s, next, place);
    KeepCaretInSight(hwnd, s);
    return 0;
}

} // namespace chatlist
