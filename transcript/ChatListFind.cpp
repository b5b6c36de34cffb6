// Finding in the transcript: the search runs on the control's own text, in
// place, and a found match is shown a few lines from the pane's edge. While
// the view rests there, the search's other matches in the rows painted are
// framed: only they are searched, so a paint costs the same on any transcript.
#include "transcript/ChatListFind.h"

#include "base/ScopedHandles.h"
#include "transcript/ChatList.h"
#include "transcript/ChatListEvents.h"
#include "transcript/ChatListView.h"
#include "transcript/FindModel.h"
#include "transcript/TextUnits.h"

#include <algorithm>
#include <cstring>

namespace chatlist {
namespace {

// Lines kept between a shown match and the pane's edge, where the pane has room.
constexpr size_t kShowMargin = 3;
// Matches asked for at once while framing; the rows shown may hold more.
constexpr size_t kFrameBatch = 64;

void FrameMatch(HDC dc, const ChatState& s, HBRUSH brush, size_t from, size_t to) {
    RECT rects[kKeptPatternMost]; // a row shows at least a byte of it
    const size_t n = SpanRects(s, from, to, rects, sizeof rects / sizeof rects[0]);
    for (size_t i = 0; i < n; ++i) {
        rects[i].right = std::min<LONG>(rects[i].right, s.clientWidth);
        FrameRect(dc, &rects[i], brush);
    }
}

// The found match is new: it is told, and the pane drawn again with the frames
// of its search. Anything else held keeps no search and draws no frames.
void ShowFound(HWND hwnd, ChatState& s) {
    const size_t from = SelectionFrom(s.sel);
    const bool found = s.foundUntold && s.found.length != 0 && from == s.foundFrom &&
                       SelectionTo(s.sel) == s.foundTo;
    s.foundUntold = false;
    if (!found) {
        s.found.length = 0;
        return;
    }
    InvalidateRect(hwnd, nullptr, FALSE);
    AutomationFound(hwnd, s, QueryOf(s.found), from);
}

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
    ShowFound(hwnd, s);
    return 0;
}

// The user's own line is shown wherever the view was, as a click on the marker would.
LRESULT OnEndHold(HWND hwnd, ChatState& s) {
    LetGoOfMatch(hwnd, s);
    ScrollTo(hwnd, s, MaxTop(s));
    return 0;
}

LRESULT OnFind(ChatState& s, ChatListSearch* search) {
    if (search == nullptr || !FromOwnThread(s)) {
        return FALSE;
    }
    const size_t start = std::min(search->start, s.layout.length);
    search->match = FindInText(s.layout.text, s.layout.length, search->query, start);
    if (search->match.found) {
        // The frames and the count need the search after the caller's copy has gone.
        KeepQuery(s.found, search->query);
        s.foundFrom = search->match.from;
        s.foundTo = search->match.to;
        s.foundUntold = true;
    }
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

void LetGoOfMatch(HWND hwnd, ChatState& s) {
    if (s.held && s.found.length != 0) {
        InvalidateRect(hwnd, nullptr, FALSE);
    }
    s.held = false;
}

// From the start of the chat line the first row belongs to, so that a match
// that begins above the rows and runs into them is framed too, and matches
// are met as F3 meets them.
void DrawMatchFrames(HDC dc, const ChatState& s, COLORREF color, const RECT& area) {
    const size_t firstRow = static_cast<size_t>(std::max<LONG>(area.top, 0) / s.lineHeight);
    const size_t lastRow = static_cast<size_t>(std::max<LONG>(area.bottom - 1, 0) / s.lineHeight);
    if (!s.held || s.found.length == 0 || s.top + firstRow >= s.layout.lineCount) {
        return;
    }
    const size_t lastLine = std::min(s.top + lastRow, s.layout.lineCount - 1);
    size_t from = 0, lineEnd = 0;
    ChatLineAt(s.layout, LayoutLineStart(s.layout, s.top + firstRow), from, lineEnd);
    const size_t before = LayoutLineEnd(s.layout, lastLine);
    const FindQuery query = QueryOf(s.found);
    const ScopedGdiObject<HBRUSH> brush(CreateSolidBrush(color));
    size_t starts[kFrameBatch];
    size_t n = kFrameBatch;
    while (n == kFrameBatch) {
        n = MatchesStartingIn(s.layout.text, s.layout.length, query, from, before, starts,
                              kFrameBatch);
        for (size_t i = 0; i < n; ++i) {
            const size_t to = starts[i] + query.length;
            // The selected match keeps the selection's look alone.
            if (starts[i] != SelectionFrom(s.sel) || to != SelectionTo(s.sel)) {
                FrameMatch(dc, s, brush, starts[i], to);
            }
            from = to;
        }
    }
}

} // namespace chatlist
