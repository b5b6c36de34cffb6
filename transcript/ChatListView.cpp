// The view (see ChatListView.h): the line height, the top line shown and the
// margin turn bytes into pixels here and pixels back into bytes, and nowhere else.
#include "transcript/ChatListView.h"
#include "transcript/ChatListFind.h"
#include "transcript/ChatListZoom.h"
#include "transcript/TextUnits.h"

#include <algorithm>
#include <climits>

namespace chatlist {
namespace {

constexpr int kMargin = 2; // pixels between the pane's edges and the text

// The visual line under a point of the client area; negative above the first.
long long LineAt(const ChatState& s, POINT p) {
    const long long row =
        p.y >= 0 ? p.y / s.lineHeight : -((s.lineHeight - 1 - p.y) / s.lineHeight);
    return static_cast<long long>(s.top) + row;
}

// Keeps the system caret off the screen while pixels move under it.
class HiddenCaret {
public:
    HiddenCaret(HWND hwnd, const ChatState& s) : hwnd_(s.caretShown ? hwnd : nullptr) {
        if (hwnd_ != nullptr) {
            HideCaret(hwnd_);
        }
    }
    ~HiddenCaret() {
        if (hwnd_ != nullptr) {
            ShowCaret(hwnd_);
        }
    }
    HiddenCaret(const HiddenCaret&) = delete;
    HiddenCaret& operator=(const HiddenCaret&) = delete;

private:
    HWND hwnd_;
};

// The band at the bottom edge that the new-lines marker may cover.
void InvalidateMarker(HWND hwnd, const ChatState& s) {
    RECT band{0, s.clientHeight - 2 * s.lineHeight, s.clientWidth, s.clientHeight};
    InvalidateRect(hwnd, &band, FALSE);
}

// Reaching the end shows the new lines: the marker goes.
void ForgetNewLinesAtBottom(HWND hwnd, ChatState& s) {
    if (s.unseenLines != 0 && AtBottom(s)) {
        s.unseenLines = 0;
        InvalidateMarker(hwnd, s);
    }
}

} // namespace

// ---- bytes and pixels -------------------------------------------------------

int64_t ClientX(int64_t x) {
    return kMargin + x;
}

LONG LineTop(const ChatState& s, size_t line) {
    if (line < s.top) {
        return -s.lineHeight;
    }
    const size_t row = line - s.top;
    return row < ShownRows(s) ? static_cast<LONG>(row) * s.lineHeight : s.clientHeight;
}

POINT PointOfOffset(const ChatState& s, size_t offset) {
    if (s.layout.lineCount == 0) {
        return POINT{kMargin, 0};
    }
    const size_t line = LayoutLineOf(s.layout, offset);
    const int64_t x = ClientX(LayoutOffsetX(s.layout, line, offset));
    return POINT{static_cast<LONG>(std::min<int64_t>(x, LONG_MAX)), LineTop(s, line)};
}

size_t OffsetAtPoint(const ChatState& s, POINT p, bool nearestEdge) {
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

size_t NearestShownOffset(const ChatState& s, POINT p) {
    if (s.layout.lineCount == 0) {
        return 0;
    }
    p.y = std::clamp<LONG>(p.y, 0, std::max(s.clientHeight - 1, 0));
    const size_t line = std::min(static_cast<size_t>(LineAt(s, p)), s.layout.lineCount - 1);
    return LayoutHitTest(s.layout, line, p.x - kMargin);
}

CaretPlace PlaceAtPoint(const ChatState& s, POINT p, size_t offset) {
    const long long line = LineAt(s, p);
    return line >= 0 && static_cast<size_t>(line) < s.layout.lineCount
               ? CaretPlaceOn(s.layout, static_cast<size_t>(line), offset)
               : CaretPlace{};
}

LineSpan SpanOnLine(const ChatLayout& layout, size_t line, size_t from, size_t to) {
    const size_t start = LayoutLineStart(layout, line);
    const size_t textEnd = LayoutLineTextEnd(layout, line);
    const size_t end = LayoutLineEnd(layout, line);
    return LineSpan{std::clamp(from, start, textEnd), std::clamp(to, start, textEnd),
                    from < to && from < end && to > textEnd && end > textEnd};
}

int64_t LineEndWidth(const ChatState& s) {
    return std::max(s.layout.metrics.advance[' '], 1);
}

size_t SpanRects(const ChatState& s, size_t from, size_t to, RECT* rects, size_t capacity) {
    if (from >= to || s.layout.lineCount == 0) {
        return 0;
    }
    const size_t first = std::max(LayoutLineOf(s.layout, from), s.top);
    const size_t last = std::min(LayoutLineOf(s.layout, to - 1), s.top + ShownRows(s) - 1);
    size_t n = 0;
    for (size_t line = first; line <= last && line < s.layout.lineCount && n < capacity; ++line) {
        const LineSpan span = SpanOnLine(s.layout, line, from, to);
        const int64_t left = ClientX(LayoutOffsetX(s.layout, line, span.from));
        const int64_t right =
            ClientX(LayoutOffsetX(s.layout, line, span.to)) + (span.lineEnd ? LineEndWidth(s) : 0);
        const LONG top = LineTop(s, line);
        rects[n++] =
            RECT{static_cast<LONG>(left), top, static_cast<LONG>(right), top + s.lineHeight};
    }
    return n;
}

int CaretWidth() {
    DWORD width = 1;
    if (!SystemParametersInfoA(SPI_GETCARETWIDTH, 0, &width, 0) || width == 0) {
        width = 1;
    }
    return static_cast<int>(std::min<DWORD>(width, 16));
}

void PlaceCaret(const ChatState& s) {
    if (!s.caretShown) {
        return;
    }
    // A caret scrolled out of the view waits above or below the pane.
    const LONG y = LineTop(s, CaretLine(s.layout, s.sel.caret, s.caretPlace));
    // Blanks that hang past the pane's edge leave the caret at the edge.
    const int64_t right = std::max<int64_t>(s.clientWidth - CaretWidth(), 0);
    const int64_t x =
        std::min<int64_t>(ClientX(CaretX(s.layout, s.sel.caret, s.caretPlace)), right);
    SetCaretPos(static_cast<int>(x), static_cast<int>(y));
}

// ---- the rows shown and scrolling --------------------------------------------

size_t FullRows(const ChatState& s) {
    const int rows = s.clientHeight / s.lineHeight;
    return rows > 1 ? static_cast<size_t>(rows) : 1;
}

size_t ShownRows(const ChatState& s) {
    return static_cast<size_t>((std::max(s.clientHeight, 0) + s.lineHeight - 1) / s.lineHeight);
}

size_t MaxTop(const ChatState& s) {
    const size_t page = FullRows(s);
    return s.layout.lineCount > page ? s.layout.lineCount - page : 0;
}

bool AtBottom(const ChatState& s) {
    return s.top >= MaxTop(s);
}

bool Following(const ChatState& s) {
    return AtBottom(s) && !s.held;
}

size_t TopOffset(const ChatState& s) {
    return s.top < s.layout.lineCount ? LayoutLineStart(s.layout, s.top) : s.layout.length;
}

int32_t WrapWidth(const ChatState& s) {
    return s.clientWidth - 2 * kMargin;
}

// Drawing the scroll bar is costly on some systems (milliseconds), while on a
// long text most appends move its thumb by less than a pixel: the bar is only
// redrawn when its picture changes.
void UpdateScrollBar(HWND hwnd, ChatState& s) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    si.nMin = 0;
    si.nMax = s.layout.lineCount > 0 ? static_cast<int>(s.layout.lineCount - 1) : 0;
    si.nPage = static_cast<UINT>(FullRows(s));
    si.nPos = static_cast<int>(s.top);
    const SCROLLINFO old = s.shownBar;
    if (old.cbSize != 0 && si.nMax == old.nMax && si.nPage == old.nPage && si.nPos == old.nPos) {
        return;
    }
    s.shownBar = si;
    SetScrollInfo(hwnd, SB_VERT, &si, FALSE);
    SCROLLBARINFO bar{};
    bar.cbSize = sizeof bar;
    if (old.cbSize != 0 && GetScrollBarInfo(hwnd, OBJID_VSCROLL, &bar) &&
        bar.xyThumbTop == s.shownThumb.xyThumbTop &&
        bar.xyThumbBottom == s.shownThumb.xyThumbBottom &&
        bar.rgstate[0] == s.shownThumb.rgstate[0] &&
        EqualRect(&bar.rcScrollBar, &s.shownThumb.rcScrollBar)) {
        return;
    }
    s.shownThumb = bar;
    // Back and forth, so that the scroll bar sees a change and draws itself.
    if (old.cbSize != 0) {
        SetScrollInfo(hwnd, SB_VERT, &old, FALSE);
    }
    SetScrollInfo(hwnd, SB_VERT, &si, TRUE);
}

void InvalidateLines(HWND hwnd, const ChatState& s, size_t first, size_t last) {
    const size_t rows = ShownRows(s);
    if (last < s.top || first >= s.top + rows) {
        return;
    }
    first = std::max(first, s.top);
    last = std::min(last, s.top + rows - 1);
    RECT r{0, static_cast<LONG>((first - s.top) * s.lineHeight), s.clientWidth,
           static_cast<LONG>((last - s.top + 1) * s.lineHeight)};
    InvalidateRect(hwnd, &r, FALSE);
}

void InvalidateSpan(HWND hwnd, const ChatState& s, size_t from, size_t to) {
    if (from < to && s.layout.lineCount > 0) {
        InvalidateLines(hwnd, s, LayoutLineOf(s.layout, from), LayoutLineOf(s.layout, to));
    }
}

void ScrollTo(HWND hwnd, ChatState& s, size_t top) {
    top = std::min(top, MaxTop(s));
    if (top != s.top) {
        const size_t distance = top > s.top ? top - s.top : s.top - top;
        RECT pending;
        // Pixels can only be moved when all of them are up to date.
        // The new-lines marker stays at the bottom edge and the zoom level's label
        // in the corner: with either shown, nothing moves pixels.
        if (distance < ShownRows(s) && s.unseenLines == 0 && !s.zoomLabelShown &&
            !GetUpdateRect(hwnd, &pending, FALSE)) {
            const int dy = static_cast<int>(distance) * s.lineHeight;
            const HiddenCaret hidden(hwnd, s);
            ScrollWindowEx(hwnd, 0, top > s.top ? -dy : dy, nullptr, nullptr, nullptr, nullptr,
                           SW_INVALIDATE);
        } else {
            InvalidateRect(hwnd, nullptr, FALSE);
        }
        s.top = top;
    }
    PlaceCaret(s);
    UpdateScrollBar(hwnd, s);
    if (AtBottom(s)) {
        LetGoOfMatch(hwnd, s); // reaching the end lets go of a found match
    }
    ForgetNewLinesAtBottom(hwnd, s);
}

void ScrollBy(HWND hwnd, ChatState& s, long long lines) {
    const long long wanted = static_cast<long long>(s.top) + lines;
    ScrollTo(hwnd, s, wanted > 0 ? static_cast<size_t>(wanted) : 0);
}

void KeepPlace(HWND hwnd, ChatState& s, bool following, size_t topOffset) {
    s.top = following ? MaxTop(s) : std::min(LayoutLineOf(s.layout, topOffset), MaxTop(s));
    PlaceCaret(s);
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateScrollBar(hwnd, s);
    ForgetNewLinesAtBottom(hwnd, s);
}

// ---- new lines while reading ---------------------------------------------

void NoteNewLines(HWND hwnd, ChatState& s, const char* added, size_t length) {
    const unsigned lines = static_cast<unsigned>(CountLineEnds(added, length));
    if (lines != 0) {
        s.unseenLines = s.unseenLines + lines < s.unseenLines ? UINT_MAX : s.unseenLines + lines;
        InvalidateMarker(hwnd, s);
    }
}

bool ClickedNewLinesMarker(HWND hwnd, ChatState& s, POINT p) {
    if (s.unseenLines == 0 || !PtInRect(&s.markerRect, p)) {
        return false;
    }
    ScrollTo(hwnd, s, MaxTop(s));
    return true;
}

// ---- the scroll bar and the wheel -------------------------------------------

LRESULT OnVScroll(HWND hwnd, ChatState& s, WPARAM wParam) {
    const long long page = static_cast<long long>(FullRows(s));
    switch (LOWORD(wParam)) {
    case SB_LINEUP: ScrollBy(hwnd, s, -1); break;
    case SB_LINEDOWN: ScrollBy(hwnd, s, 1); break;
    case SB_PAGEUP: ScrollBy(hwnd, s, -page); break;
    case SB_PAGEDOWN: ScrollBy(hwnd, s, page); break;
    case SB_TOP: ScrollTo(hwnd, s, 0); break;
    case SB_BOTTOM: ScrollTo(hwnd, s, MaxTop(s)); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        // The message's own position has only 16 bits; the scroll bar has all 32.
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_TRACKPOS;
        const int position = GetScrollInfo(hwnd, SB_VERT, &si) ? si.nTrackPos : HIWORD(wParam);
        ScrollTo(hwnd, s, position > 0 ? static_cast<size_t>(position) : 0);
        UpdateWindow(hwnd);
        break;
    }
    default: break;
    }
    return 0;
}

LRESULT OnMouseWheel(HWND hwnd, ChatState& s, WPARAM wParam) {
    if (ZoomWheel(hwnd, s, wParam)) {
        return 0;
    }
    UINT perNotch = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &perNotch, 0);
    if (perNotch == 0) {
        return 0;
    }
    if (perNotch == WHEEL_PAGESCROLL || perNotch > FullRows(s)) {
        perNotch = static_cast<UINT>(FullRows(s));
    }
    const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
    // A turn the other way drops what is left of the last one.
    if ((delta > 0 && s.wheel < 0) || (delta < 0 && s.wheel > 0)) {
        s.wheel = 0;
    }
    s.wheel += delta * static_cast<int>(perNotch);
    const int lines = s.wheel / WHEEL_DELTA;
    s.wheel -= lines * WHEEL_DELTA;
    if (lines != 0) {
        ScrollBy(hwnd, s, -lines);
    }
    return 0;
}

} // namespace chatlist
