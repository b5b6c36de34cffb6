// Finding in the transcript: the search runs on the control's own text, in
// place, and a found match is shown a few lines from the pane's edge.
#include "transcript/ChatListFind.h"

#include "transcript/ChatList.h"
#include "transcript/ChatListView.h"
#include "transcript/FindModel.h"

#include <algorithm>
#include <cstring>

namespace chatlist {
namespace {

// Lines kept between a shown match and the pane's edge, where the pane has room.
constexpr size_t kShowMargin = 3;

} // namespace

LRESULT OnShowSelection(HWND hwnd, ChatState& s) {
    if (s.layout.lineCount == 0) {
        return 0;
    }
    const size_t first = LayoutLineOf(s.layout, SelectionFrom(s.sel));
    const size_t to = SelectionTo(s.sel);
    const size_t last = to > SelectionFrom(s.sel) ? LayoutLineOf(s.layout, to - 1) : first;
    const size_t rows = FullRows(s);
    // A pane too low for the margins shows the match's first line in its middle.
    const size_t margin = std::min(kShowMargin, (rows - 1) / 2);
    size_t top = s.top;
    if (first < s.top + margin) {
        top = first > margin ? first - margin : 0;
    } else if (last + margin >= s.top + rows) {
        top = last + margin + 1 - rows;
        top = std::min(top, first > margin ? first - margin : 0);
    }
    ScrollTo(hwnd, s, top);
    s.held = true;
    return 0;
}

// The user's own line is shown wherever the view was, as a click on the marker would.
LRESULT OnEndHold(HWND hwnd, ChatState& s) {
    s.held = false;
    ScrollTo(hwnd, s, MaxTop(s));
    return 0;
}

LRESULT OnFind(const ChatState& s, ChatListSearch* search) {
    if (search == nullptr || !FromOwnThread(s)) {
        return FALSE;
    }
    const size_t start = std::min(search->start, s.layout.length);
    search->match = FindInText(s.layout.text, s.layout.length, search->query, start);
    return TRUE;
}

LRESULT OnGetSelectionLine(const ChatState& s, WPARAM capacity, char* out) {
    if (out == nullptr || capacity == 0 || !FromOwnThread(s)) {
        return 0;
    }
    const size_t from = SelectionFrom(s.sel);
    size_t to = std::min(SelectionTo(s.sel), from + (static_cast<size_t>(capacity) - 1));
    const char* text = s.layout.text;
    for (size_t i = from; i < to; ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            to = i;
            break;
        }
    }
    const size_t n = to > from ? to - from : 0;
    if (n != 0) {
        std::memcpy(out, text + from, n);
    }
    out[n] = '\0';
    return static_cast<LRESULT>(n);
}

} // namespace chatlist
