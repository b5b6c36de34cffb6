#include "transcript/ChatListSelection.h"

#include "transcript/ChatListEvents.h"
#include "transcript/ChatListView.h"

namespace chatlist {

void Select(HWND hwnd, ChatState& s, const Selection& next, const CaretPlace& place) {
    ByteSpan spans[2];
    const int n = SelectionChangedSpans(SelectionFrom(s.sel), SelectionTo(s.sel),
                                        SelectionFrom(next), SelectionTo(next), spans);
    const bool moved = next.caret != s.sel.caret || next.anchor != s.sel.anchor;
    s.sel = next;
    s.caretPlace = place;
    s.caretPlaced = true;
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

} // namespace chatlist
