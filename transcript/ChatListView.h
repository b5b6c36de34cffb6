// The transcript's view: where each byte of the text shows in the pane and
// which byte a point of the pane shows, written once, so that every mouse
// point, painted row, caret and rectangle for screen readers agrees; and which
// visual lines the pane shows: the scroll queries and moves, the scroll bar,
// the wheel and the new-lines marker.
#pragma once

#include "transcript/ChatListState.h"

#include <cstddef>
#include <cstdint>

namespace chatlist {

// ---- bytes and pixels ----
// x pixels from a visual line's left edge, as client x: the text keeps a
// margin from the pane's edges.
int64_t ClientX(int64_t x);
// The client y of visual line `line`'s top; a line out of view answers just
// above (-lineHeight) or just below (clientHeight) the pane.
LONG LineTop(const ChatState& s, size_t line);
// Where byte `offset` shows: the top-left corner of its cell on its visual line.
POINT PointOfOffset(const ChatState& s, size_t offset);
// The byte under a client point: the nearest edge between bytes, or the byte
// whose cell holds the point. Above the first line: 0; below the last: the end.
size_t OffsetAtPoint(const ChatState& s, POINT p, bool nearestEdge);
// The nearest edge between bytes of the text shown: a point above or below
// the pane, or below the text, takes the nearest row that shows text.
size_t NearestShownOffset(const ChatState& s, POINT p);
// A caret put at `offset` from a client point shows on the point's own line,
// also where that line wraps.
CaretPlace PlaceAtPoint(const ChatState& s, POINT p, size_t offset);

// A span's part of one visual line: bytes [from, to) of the line's text, and
// whether the span takes in the line's end, which shows as one blank after
// the text (selected, and to screen readers).
struct LineSpan {
    size_t from;
    size_t to;
    bool lineEnd;
};
LineSpan SpanOnLine(const ChatLayout& layout, size_t line, size_t from, size_t to);
// The width of that blank.
int64_t LineEndWidth(const ChatState& s);
// Where the span [from, to) shows, a rectangle a row shown (at most
// `capacity`), in client pixels; a right edge may lie past the pane's.
// Answers the count.
size_t SpanRects(const ChatState& s, size_t from, size_t to, RECT* rects, size_t capacity);

// The width the user asked carets to have (Ease of Access), at least a pixel.
int CaretWidth();
// Puts the system caret, where the pane has it, at the selection's caret end.
void PlaceCaret(const ChatState& s);

// ---- the rows shown and scrolling ----
size_t FullRows(const ChatState& s);
// Rows that show at least a part of a line.
size_t ShownRows(const ChatState& s);
size_t MaxTop(const ChatState& s);
bool AtBottom(const ChatState& s);
// Whether new lines move the view: at the end, unless held at a found match.
bool Following(const ChatState& s);
size_t TopOffset(const ChatState& s);
int32_t WrapWidth(const ChatState& s);
void UpdateScrollBar(HWND hwnd, ChatState& s);
// Marks the rows of visual lines first..last (inclusive) for repainting, where shown.
void InvalidateLines(HWND hwnd, const ChatState& s, size_t first, size_t last);
void InvalidateSpan(HWND hwnd, const ChatState& s, size_t from, size_t to);
// Shows the view from another top line, moving the pixels that stay visible.
void ScrollTo(HWND hwnd, ChatState& s, size_t top);
void ScrollBy(HWND hwnd, ChatState& s, long long lines);
// After a rewrap: the line that holds the old top byte goes on top, unless the
// view followed the chat's end, which it keeps following.
void KeepPlace(HWND hwnd, ChatState& s, bool following, size_t topOffset);
// Chat lines appended while the view is scrolled up are counted for the marker.
void NoteNewLines(HWND hwnd, ChatState& s, const char* added, size_t length);
// A click on the marker goes to the end, and leaves the focus where it was.
bool ClickedNewLinesMarker(HWND hwnd, ChatState& s, POINT p);
LRESULT OnVScroll(HWND hwnd, ChatState& s, WPARAM wParam);
LRESULT OnMouseWheel(HWND hwnd, ChatState& s, WPARAM wParam);

} // namespace chatlist
