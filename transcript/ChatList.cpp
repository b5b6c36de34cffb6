#include "transcript/ChatList.h"

#include "app/AppState.h"
#include "transcript/ChatLayout.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kMargin = 2; // pixels between the pane's edges and the text
constexpr UINT_PTR kDragTimer = 1;
constexpr UINT kDragInterval = 50;
constexpr size_t kShapeChunk = 256;
constexpr UINT kMenuCopy = 1;
constexpr UINT kMenuSelectAll = 2;
constexpr char kMenuCopyText[] = "&Copy\tCtrl+C";
constexpr char kMenuSelectAllText[] = "Select &All\tCtrl+A";

// What a drag extends the selection by: bytes, or the words or lines that a
// double or triple click started with.
enum class Unit { Byte, Word, Line };

// One per window, zeroed at creation, so every member starts as 0/false/null.
struct ChatState {
    ChatLayout layout;
    COLORREF textColor;
    COLORREF backColor;
    COLORREF selTextColor;
    COLORREF selBackColor;
    HFONT font;
    int lineHeight;
    int clientWidth;
    int clientHeight;
    size_t top; // the first visual line shown
    size_t anchor;
    size_t caret;
    bool dragging;
    bool dragTimer;
    Unit unit;
    size_t unitBegin;
    size_t unitEnd;
    int wheel;             // wheel travel not yet scrolled, in (delta x lines per notch)
    DWORD doubleClickTime; // when the last double click came, to tell a third click
    POINT doubleClickPoint;
    SCROLLINFO shownBar;      // what the scroll bar was given, to skip needless updates
    SCROLLBARINFO shownThumb; // and how it was drawn
    unsigned unseenLines;     // chat lines that came while the view was scrolled up
    RECT markerRect;          // where their marker was drawn last
    HHOOK postedGuard;        // takes the pointers off posted selection queries
};

ChatState* StateOf(HWND hwnd) {
    return reinterpret_cast<ChatState*>(GetWindowLongPtrA(hwnd, 0));
}

HFONT FontOf(const ChatState& s) {
    return s.font != nullptr ? s.font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

// ---- geometry ------------------------------------------------------------

size_t FullRows(const ChatState& s) {
    const int rows = s.clientHeight / s.lineHeight;
    return rows > 1 ? static_cast<size_t>(rows) : 1;
}

// Rows that show at least a part of a line.
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

size_t TopOffset(const ChatState& s) {
    return s.top < s.layout.lineCount ? LayoutLineStart(s.layout, s.top) : s.layout.length;
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

// Marks the rows of visual lines first..last (inclusive) for repainting, where shown.
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

// The new-lines marker (below).
void ForgetNewLinesAtBottom(HWND hwnd, ChatState& s);
void NoteNewLines(HWND hwnd, ChatState& s, const char* added, size_t length);

// Shows the view from another top line, moving the pixels that stay visible.
void ScrollTo(HWND hwnd, ChatState& s, size_t top) {
    top = std::min(top, MaxTop(s));
    if (top != s.top) {
        const size_t distance = top > s.top ? top - s.top : s.top - top;
        RECT pending;
        // Pixels can only be moved when all of them are up to date.
        // The new-lines marker stays at the bottom edge: with it shown, nothing moves pixels.
        if (distance < ShownRows(s) && s.unseenLines == 0 &&
            !GetUpdateRect(hwnd, &pending, FALSE)) {
            const int dy = static_cast<int>(distance) * s.lineHeight;
            ScrollWindowEx(hwnd, 0, top > s.top ? -dy : dy, nullptr, nullptr, nullptr, nullptr,
                           SW_INVALIDATE);
        } else {
            InvalidateRect(hwnd, nullptr, FALSE);
        }
        s.top = top;
    }
    UpdateScrollBar(hwnd, s);
    ForgetNewLinesAtBottom(hwnd, s);
}

void ScrollBy(HWND hwnd, ChatState& s, long long lines) {
    const long long wanted = static_cast<long long>(s.top) + lines;
    ScrollTo(hwnd, s, wanted > 0 ? static_cast<size_t>(wanted) : 0);
}

// After a rewrap: the line that holds the old top byte goes on top, unless the
// view followed the chat's end, which it keeps following.
void KeepPlace(HWND hwnd, ChatState& s, bool following, size_t topOffset) {
    s.top = following ? MaxTop(s) : std::min(LayoutLineOf(s.layout, topOffset), MaxTop(s));
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateScrollBar(hwnd, s);
    ForgetNewLinesAtBottom(hwnd, s);
}

int32_t WrapWidth(const ChatState& s) {
    return s.clientWidth - 2 * kMargin;
}

// ---- text and font -------------------------------------------------------

// The glyph that stands for control bytes: a middle dot where the code page
// has one, else a question mark.
unsigned char ControlGlyph() {
    WCHAR wide = 0;
    const char dot = static_cast<char>(0xB7);
    if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, &dot, 1, &wide, 1) == 1 &&
        wide == 0x00B7) {
        return 0xB7;
    }
    return '?';
}

void Measure(HWND hwnd, ChatState& s) {
    HDC dc = GetDC(hwnd);
    if (dc == nullptr) {
        return;
    }
    HGDIOBJ old = SelectObject(dc, FontOf(s));
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    INT widths[256];
    const bool measured = GetCharWidth32A(dc, 0, 255, widths) != FALSE;
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);

    ChatMetrics m{};
    const int average = tm.tmAveCharWidth > 0 ? tm.tmAveCharWidth : 8;
    for (int c = 0; c < 256; ++c) {
        m.advance[c] = measured ? widths[c] : average;
    }
    m.controlGlyph = ControlGlyph();
    for (int c = 0; c < 0x20; ++c) {
        m.advance[c] = m.advance[m.controlGlyph];
    }
    m.advance[0x7F] = m.advance[m.controlGlyph];
    m.tabWidth = 8 * average;
    s.lineHeight = tm.tmHeight > 0 ? tm.tmHeight : 16;
    LayoutSetMetrics(s.layout, m);
}

// Whether `text` starts with the n bytes of `old`, and then the length of the
// rest: one pass over both, as every append brings the whole transcript. The
// old text has no NUL, so words of `text` that equal it hold none either, and
// the next aligned word of `text` lies on a page that is there.
bool Extends(const char* old, size_t n, const char* text, size_t& tail) {
    size_t i = 0;
    while (i < n && reinterpret_cast<uintptr_t>(text + i) % sizeof(uint64_t) != 0) {
        if (text[i] != old[i]) {
            return false;
        }
        ++i;
    }
    for (; i + sizeof(uint64_t) <= n; i += sizeof(uint64_t)) {
        uint64_t a, b;
        std::memcpy(&a, old + i, sizeof a);
        std::memcpy(&b, text + i, sizeof b);
        if (a != b) {
            return false;
        }
    }
    for (; i < n; ++i) {
        if (text[i] != old[i]) {
            return false;
        }
    }
    tail = ChatTextLength(text + n);
    return true;
}

LRESULT OnSetText(HWND hwnd, ChatState& s, const char* text) {
    if (text == nullptr) {
        text = Str::Empty;
    }
    const bool following = AtBottom(s);
    const size_t topOffset = TopOffset(s);
    const size_t before = s.layout.length;
    size_t tail = 0;
    const ChatChange change = Extends(s.layout.text, s.layout.length, text, tail)
                                  ? LayoutAppend(s.layout, text + s.layout.length, tail)
                                  : LayoutSetText(s.layout, text, ChatTextLength(text));
    if (!change.ok) {
        return FALSE;
    }
    if (!change.appended) {
        s.anchor = s.caret = 0;
        s.unseenLines = 0;
        KeepPlace(hwnd, s, following || s.layout.length == 0, topOffset);
        return TRUE;
    }
    // Lines before firstChanged kept their bytes and their places in the index,
    // so a view scrolled up still shows the same text; only new rows are drawn.
    ScrollTo(hwnd, s, following ? MaxTop(s) : s.top);
    if (!following) {
        NoteNewLines(hwnd, s, s.layout.text + before, s.layout.length - before);
    }
    if (change.firstChanged < s.layout.lineCount) {
        InvalidateLines(hwnd, s, change.firstChanged, s.layout.lineCount - 1);
    }
    return TRUE;
}

LRESULT OnGetText(const ChatState& s, WPARAM capacity, char* out) {
    if (capacity == 0 || out == nullptr) {
        return 0;
    }
    const size_t n = std::min<size_t>(s.layout.length, capacity - 1);
    if (n != 0) {
        std::memcpy(out, s.layout.text, n);
    }
    out[n] = '\0';
    return static_cast<LRESULT>(n);
}

LRESULT OnSetFont(HWND hwnd, ChatState& s, HFONT font) {
    const bool following = AtBottom(s);
    const size_t topOffset = TopOffset(s);
    s.font = font;
    Measure(hwnd, s);
    KeepPlace(hwnd, s, following, topOffset);
    return 0;
}

LRESULT OnSize(HWND hwnd, ChatState& s) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    // A pane with no area (the window minimised) shows nothing: keep the layout
    // rather than wrap everything a byte a line.
    if (rc.right <= 0 || rc.bottom <= 0) {
        return 0;
    }
    const bool following = AtBottom(s);
    const size_t topOffset = TopOffset(s);
    const bool widthChanged = rc.right != s.clientWidth;
    if (s.unseenLines != 0) {
        InvalidateRect(hwnd, nullptr, FALSE); // the marker's place moves with the bottom edge
    }
    s.clientWidth = rc.right;
    s.clientHeight = rc.bottom;
    if (widthChanged) {
        LayoutSetWidth(s.layout, WrapWidth(s));
        KeepPlace(hwnd, s, following, topOffset);
        return 0;
    }
    ScrollTo(hwnd, s, following ? MaxTop(s) : s.top);
    return 0;
}

// ---- new lines while reading ---------------------------------------------

// The band at the bottom edge that the marker may cover.
void InvalidateMarker(HWND hwnd, const ChatState& s) {
    RECT band{0, s.clientHeight - 2 * s.lineHeight, s.clientWidth, s.clientHeight};
    InvalidateRect(hwnd, &band, FALSE);
}

// Chat lines appended while the view is scrolled up are counted for the marker.
void NoteNewLines(HWND hwnd, ChatState& s, const char* added, size_t length) {
    unsigned lines = 0;
    for (const char* p = added;
         (p = static_cast<const char*>(std::memchr(p, '\n', length - (p - added)))) != nullptr;
         ++p) {
        ++lines;
    }
    if (lines != 0) {
        s.unseenLines = s.unseenLines + lines < s.unseenLines ? UINT_MAX : s.unseenLines + lines;
        InvalidateMarker(hwnd, s);
    }
}

// Reaching the end shows the new lines: the marker goes.
void ForgetNewLinesAtBottom(HWND hwnd, ChatState& s) {
    if (s.unseenLines != 0 && AtBottom(s)) {
        s.unseenLines = 0;
        InvalidateMarker(hwnd, s);
    }
}

// A click on the marker goes to the end, and leaves the focus where it was.
bool ClickedNewLinesMarker(HWND hwnd, ChatState& s, POINT p) {
    if (s.unseenLines == 0 || !PtInRect(&s.markerRect, p)) {
        return false;
    }
    ScrollTo(hwnd, s, MaxTop(s));
    return true;
}

// ---- painting ------------------------------------------------------------

// Draws bytes [from, to) of a visual line in one pair of colours. Each call
// paints its own cells opaquely, starting at `left` (the first one at the pane's
// left edge), so no pixel is painted twice.
void DrawPiece(HDC dc, const ChatState& s, size_t from, size_t to, bool selected, int64_t& x,
               int& left, int y) {
    SetTextColor(dc, selected ? s.selTextColor : s.textColor);
    SetBkColor(dc, selected ? s.selBackColor : s.backColor);
    char glyphs[kShapeChunk];
    int advances[kShapeChunk];
    while (from < to && kMargin + x < s.clientWidth) {
        const int64_t pen = kMargin + x;
        const size_t n = LayoutShape(s.layout, from, to, x, glyphs, advances, kShapeChunk);
        from += n;
        RECT r{left, y, static_cast<LONG>(std::min<int64_t>(kMargin + x, s.clientWidth)),
               y + s.lineHeight};
        ExtTextOutA(dc, static_cast<int>(pen), y, ETO_OPAQUE | ETO_CLIPPED, &r, glyphs,
                    static_cast<UINT>(n), advances);
        left = r.right;
    }
}

void FillCells(HDC dc, COLORREF color, int left, int right, int y, int height) {
    if (left < right) {
        SetBkColor(dc, color);
        RECT r{left, y, right, y + height};
        ExtTextOutA(dc, left, y, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    }
}

void DrawLine(HDC dc, const ChatState& s, size_t line, int y) {
    const ChatLayout& l = s.layout;
    const size_t start = LayoutLineStart(l, line);
    const size_t textEnd = LayoutLineTextEnd(l, line);
    const size_t selFrom = std::min(s.anchor, s.caret);
    const size_t selTo = std::max(s.anchor, s.caret);
    const size_t a = std::clamp(selFrom, start, textEnd);
    const size_t b = std::clamp(selTo, start, textEnd);
    int64_t x = 0;
    int left = 0;
    DrawPiece(dc, s, start, a, false, x, left, y);
    DrawPiece(dc, s, a, b, true, x, left, y);
    DrawPiece(dc, s, b, textEnd, false, x, left, y);
    // A selected line end shows as one selected blank after the text.
    if (selFrom <= textEnd && selTo > textEnd && LayoutLineEnd(l, line) > textEnd &&
        kMargin + x < s.clientWidth) {
        const int64_t right = kMargin + x + std::max(l.metrics.advance[' '], 1);
        const int cell = static_cast<int>(std::min<int64_t>(right, s.clientWidth));
        FillCells(dc, s.selBackColor, left, cell, y, s.lineHeight);
        left = std::max(left, cell);
    }
    FillCells(dc, s.backColor, left, s.clientWidth, y, s.lineHeight);
}

LRESULT OnPaint(HWND hwnd, ChatState& s) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (dc == nullptr) {
        return 0;
    }
    HGDIOBJ oldFont = SelectObject(dc, FontOf(s));
    SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    SetBkMode(dc, OPAQUE);
    const int firstRow = std::max<LONG>(ps.rcPaint.top, 0) / s.lineHeight;
    const int lastRow = std::max<LONG>(ps.rcPaint.bottom - 1, 0) / s.lineHeight;
    for (int row = firstRow; row <= lastRow; ++row) {
        const size_t line = s.top + static_cast<size_t>(row);
        const int y = row * s.lineHeight;
        if (line < s.layout.lineCount) {
            DrawLine(dc, s, line, y);
        } else {
            FillCells(dc, s.backColor, 0, s.clientWidth, y, s.lineHeight);
        }
    }
    if (s.unseenLines != 0) {
        const RECT client{0, 0, s.clientWidth, s.clientHeight};
        s.markerRect =
            DrawNewLinesMarker(dc, client, s.unseenLines, s.selTextColor, s.selBackColor);
    }
    SelectObject(dc, oldFont);
    EndPaint(hwnd, &ps);
    return 0;
}

// ---- selection -------------------------------------------------------------

void SetSelection(HWND hwnd, ChatState& s, size_t anchor, size_t caret) {
    anchor = std::min(anchor, s.layout.length);
    caret = std::min(caret, s.layout.length);
    const size_t oldFrom = std::min(s.anchor, s.caret), oldTo = std::max(s.anchor, s.caret);
    const size_t newFrom = std::min(anchor, caret), newTo = std::max(anchor, caret);
    s.anchor = anchor;
    s.caret = caret;
    if (oldFrom == oldTo) {
        InvalidateSpan(hwnd, s, newFrom, newTo);
        return;
    }
    if (newFrom == newTo) {
        InvalidateSpan(hwnd, s, oldFrom, oldTo);
        return;
    }
    // Only the ends that moved need drawing again.
    InvalidateSpan(hwnd, s, std::min(oldFrom, newFrom), std::max(oldFrom, newFrom));
    InvalidateSpan(hwnd, s, std::min(oldTo, newTo), std::max(oldTo, newTo));
}

// The byte offset under a point of the client area: the nearest edge between
// bytes, or the byte whose cell holds the point. Below the last line: the end.
size_t OffsetAt(const ChatState& s, POINT p, bool nearestEdge) {
    if (s.layout.lineCount == 0) {
        return 0;
    }
    const long long row =
        p.y >= 0 ? p.y / s.lineHeight : -((s.lineHeight - 1 - p.y) / s.lineHeight);
    const long long line = static_cast<long long>(s.top) + row;
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

void ExtendTo(HWND hwnd, ChatState& s, POINT p) {
    p.y = std::clamp<LONG>(p.y, 0, std::max(s.clientHeight - 1, 0));
    if (s.unit == Unit::Byte) {
        SetSelection(hwnd, s, s.anchor, OffsetAt(s, p, true));
        return;
    }
    size_t begin = 0, end = 0;
    const size_t under = OffsetAt(s, p, false);
    if (s.unit == Unit::Word) {
        LayoutWordAt(s.layout, under, begin, end);
    } else {
        LayoutLogicalLineAt(s.layout, under, begin, end);
    }
    if (begin < s.unitBegin) {
        SetSelection(hwnd, s, s.unitEnd, begin);
    } else {
        SetSelection(hwnd, s, s.unitBegin, std::max(end, s.unitEnd));
    }
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
    if (third) {
        s.unit = Unit::Line;
        LayoutLogicalLineAt(s.layout, OffsetAt(s, p, false), s.unitBegin, s.unitEnd);
        SetSelection(hwnd, s, s.unitBegin, s.unitEnd);
    } else if (wParam & MK_SHIFT) {
        s.unit = Unit::Byte;
        SetSelection(hwnd, s, s.anchor, OffsetAt(s, p, true));
    } else {
        s.unit = Unit::Byte;
        const size_t at = OffsetAt(s, p, true);
        SetSelection(hwnd, s, at, at);
    }
    StartDrag(hwnd, s);
    return 0;
}

LRESULT OnLButtonDblClk(HWND hwnd, ChatState& s, LPARAM lParam) {
    const POINT p = PointOf(lParam);
    s.unit = Unit::Word;
    LayoutWordAt(s.layout, OffsetAt(s, p, false), s.unitBegin, s.unitEnd);
    SetSelection(hwnd, s, s.unitBegin, s.unitEnd);
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

// The clipboard, open for as long as this lives.
class OpenClipboardScope {
public:
    explicit OpenClipboardScope(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
    ~OpenClipboardScope() {
        if (open_) {
            CloseClipboard();
        }
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    bool IsOpen() const { return open_; }

private:
    bool open_;
};

// A movable global block, freed unless the clipboard took it.
class ClipboardBlock {
public:
    explicit ClipboardBlock(SIZE_T bytes)
        : memory_(bytes != 0 ? GlobalAlloc(GMEM_MOVEABLE, bytes) : nullptr) {}
    ~ClipboardBlock() {
        if (memory_ != nullptr) {
            GlobalFree(memory_);
        }
    }
    ClipboardBlock(const ClipboardBlock&) = delete;
    ClipboardBlock& operator=(const ClipboardBlock&) = delete;
    HGLOBAL Handle() const { return memory_; }
    // Once the clipboard holds the block, the system frees it.
    void PutOnClipboard(UINT format) {
        if (memory_ != nullptr && SetClipboardData(format, memory_) != nullptr) {
            memory_ = nullptr;
        }
    }

private:
    HGLOBAL memory_;
};

// A global block's bytes, locked for as long as this lives.
class LockedBlock {
public:
    explicit LockedBlock(HGLOBAL memory)
        : memory_(memory), bytes_(memory != nullptr ? GlobalLock(memory) : nullptr) {}
    ~LockedBlock() {
        if (bytes_ != nullptr) {
            GlobalUnlock(memory_);
        }
    }
    LockedBlock(const LockedBlock&) = delete;
    LockedBlock& operator=(const LockedBlock&) = delete;
    template <typename T> T* As() const { return static_cast<T*>(bytes_); }

private:
    HGLOBAL memory_;
    void* bytes_;
};

// The text's bytes and a terminating NUL, as they are.
bool FillAnsi(const ClipboardBlock& block, const char* text, size_t length) {
    LockedBlock locked(block.Handle());
    char* out = locked.As<char>();
    if (out == nullptr) {
        return false;
    }
    std::memcpy(out, text, length);
    out[length] = '\0';
    return true;
}

// The same text in UTF-16, read in the program's own code page: left to the
// system, Unicode programs would get it read in the keyboard layout's.
bool FillUnicode(const ClipboardBlock& block, const char* text, int length, int wideLength) {
    LockedBlock locked(block.Handle());
    WCHAR* out = locked.As<WCHAR>();
    if (out == nullptr) {
        return false;
    }
    const int n = MultiByteToWideChar(CP_ACP, 0, text, length, out, wideLength);
    out[n] = L'\0';
    return n == wideLength;
}

void CopySelection(HWND hwnd, const ChatState& s) {
    const size_t from = std::min(s.anchor, s.caret);
    const size_t to = std::max(s.anchor, s.caret);
    if (from == to) {
        return;
    }
    const char* text = s.layout.text + from;
    const size_t length = to - from;
    ClipboardBlock ansi(length + 1);
    if (!FillAnsi(ansi, text, length)) {
        return;
    }
    // A selection beyond what the conversion takes goes as bytes alone.
    const int narrow = length <= INT_MAX ? static_cast<int>(length) : 0;
    const int wide = narrow > 0 ? MultiByteToWideChar(CP_ACP, 0, text, narrow, nullptr, 0) : 0;
    ClipboardBlock unicode(wide > 0 ? (static_cast<SIZE_T>(wide) + 1) * sizeof(WCHAR) : 0);
    const bool hasUnicode = wide > 0 && FillUnicode(unicode, text, narrow, wide);
    OpenClipboardScope clipboard(hwnd);
    if (!clipboard.IsOpen()) {
        return;
    }
    EmptyClipboard();
    ansi.PutOnClipboard(CF_TEXT);
    if (hasUnicode) {
        unicode.PutOnClipboard(CF_UNICODETEXT);
    }
}

void SelectAll(HWND hwnd, ChatState& s) {
    SetSelection(hwnd, s, 0, s.layout.length);
}

LRESULT OnRButtonDown(HWND hwnd, ChatState& s, LPARAM lParam) {
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr) {
        return 0;
    }
    const bool selected = s.anchor != s.caret;
    AppendMenuA(menu, MF_STRING | (selected ? MF_ENABLED : MF_GRAYED), kMenuCopy, kMenuCopyText);
    AppendMenuA(menu, MF_STRING, kMenuSelectAll, kMenuSelectAllText);
    POINT p = PointOf(lParam);
    ClientToScreen(hwnd, &p);
    const UINT chosen = static_cast<UINT>(TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, p.x, p.y, 0, hwnd, nullptr));
    DestroyMenu(menu);
    // The menu ran its own message loop: the window may be gone by now.
    ChatState* still = StateOf(hwnd);
    if (still == nullptr) {
        return 0;
    }
    if (chosen == kMenuCopy) {
        CopySelection(hwnd, *still);
    } else if (chosen == kMenuSelectAll) {
        SelectAll(hwnd, *still);
    }
    return 0;
}

// ---- keyboard and wheel ------------------------------------------------------

// The input field: the first EDIT among the pane's siblings.
HWND InputField(HWND hwnd) {
    HWND parent = GetParent(hwnd);
    return parent != nullptr ? FindWindowExA(parent, nullptr, Str::EditClass, nullptr) : nullptr;
}

// A key the transcript has no use for goes to the input field, and the focus
// with it, together with the character the key already made, so that nothing
// typed is lost in a read-only pane.
void HandOver(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND input = InputField(hwnd);
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

LRESULT OnKeyDown(HWND hwnd, ChatState& s, WPARAM key, LPARAM lParam) {
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const long long page = static_cast<long long>(FullRows(s));
    switch (key) {
    case VK_UP: ScrollBy(hwnd, s, -1); return 0;
    case VK_DOWN: ScrollBy(hwnd, s, 1); return 0;
    case VK_PRIOR: ScrollBy(hwnd, s, -page); return 0;
    case VK_NEXT: ScrollBy(hwnd, s, page); return 0;
    case VK_HOME: ScrollTo(hwnd, s, 0); return 0;
    case VK_END: ScrollTo(hwnd, s, MaxTop(s)); return 0;
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
    HandOver(hwnd, WM_KEYDOWN, key, lParam);
    return 0;
}

LRESULT OnMouseWheel(HWND hwnd, ChatState& s, WPARAM wParam) {
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

LRESULT OnGetSel(const ChatState& s, DWORD* from, DWORD* to) {
    const size_t a = std::min(s.anchor, s.caret), b = std::max(s.anchor, s.caret);
    // Any program may send or post this with pointers that lead anywhere in
    // ours: only a send from the window's own thread has the ends written, and
    // none at all without the guard that takes them off posted ones.
    if (s.postedGuard == nullptr || InSendMessageEx(nullptr) != ISMEX_NOSEND) {
        return static_cast<LRESULT>(b - a);
    }
    if (from != nullptr) {
        *from = static_cast<DWORD>(a);
    }
    if (to != nullptr) {
        *to = static_cast<DWORD>(b);
    }
    return static_cast<LRESULT>(b - a);
}

// ---- life ------------------------------------------------------------------

// A posted message reaches the procedure just as the thread's own send does,
// though any program may have put it in the queue: the selection query loses
// its pointers on its way out of the queue, in every message loop of the thread.
LRESULT CALLBACK DropPostedPointers(int code, WPARAM removal, LPARAM lParam) {
    auto* msg = reinterpret_cast<MSG*>(lParam);
    char className[sizeof Str::ChatListClass + 1];
    if (code == HC_ACTION && msg->message == CLM_GETSEL && msg->hwnd != nullptr &&
        GetClassNameA(msg->hwnd, className, sizeof className) > 0 &&
        std::strcmp(className, Str::ChatListClass) == 0) {
        msg->wParam = 0;
        msg->lParam = 0;
    }
    return CallNextHookEx(nullptr, code, removal, lParam);
}

LRESULT OnCreate(HWND hwnd) {
    auto* s =
        static_cast<ChatState*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(ChatState)));
    if (s == nullptr) {
        return -1;
    }
    LayoutInit(s->layout);
    s->textColor = GetSysColor(COLOR_WINDOWTEXT);
    s->backColor = GetSysColor(COLOR_WINDOW);
    s->selTextColor = GetSysColor(COLOR_HIGHLIGHTTEXT);
    s->selBackColor = GetSysColor(COLOR_HIGHLIGHT);
    s->lineHeight = 16;
    RECT rc;
    GetClientRect(hwnd, &rc);
    s->clientWidth = rc.right;
    s->clientHeight = rc.bottom;
    s->postedGuard =
        SetWindowsHookExA(WH_GETMESSAGE, DropPostedPointers, nullptr, GetCurrentThreadId());
    SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(s));
    Measure(hwnd, *s);
    LayoutSetWidth(s->layout, WrapWidth(*s));
    UpdateScrollBar(hwnd, *s);
    return 0;
}

LRESULT OnDestroy(HWND hwnd, ChatState* s) {
    StopDrag(hwnd, *s);
    if (s->postedGuard != nullptr) {
        UnhookWindowsHookEx(s->postedGuard);
    }
    SetWindowLongPtrA(hwnd, 0, 0);
    LayoutFree(s->layout);
    HeapFree(GetProcessHeap(), 0, s);
    return 0;
}

LRESULT Recolor(HWND hwnd, COLORREF& text, COLORREF& back, WPARAM wParam, LPARAM lParam) {
    text = static_cast<COLORREF>(wParam);
    back = static_cast<COLORREF>(lParam);
    InvalidateRect(hwnd, nullptr, FALSE);
    return 0;
}

} // namespace

RECT DrawNewLinesMarker(HDC dc, const RECT& client, unsigned count, COLORREF text, COLORREF back) {
    char label[40];
    wsprintfA(label, count == 1 ? "%u new line" : "%u new lines", count);
    const int n = lstrlenA(label);
    SIZE extent{};
    GetTextExtentPoint32A(dc, label, n, &extent);
    const int pad = 6;
    const int arrow = std::max<int>(extent.cy / 2, 4); // width of the arrow pointing down
    const int width = pad + extent.cx + pad / 2 + arrow + pad;
    const int height = extent.cy + 2;
    RECT r;
    r.left = client.left + (client.right - client.left - width) / 2;
    r.right = r.left + width;
    r.bottom = client.bottom - 2;
    r.top = r.bottom - height;
    SetBkColor(dc, back);
    SetTextColor(dc, text);
    ExtTextOutA(dc, r.left + pad, r.top + 1, ETO_OPAQUE | ETO_CLIPPED, &r, label,
                static_cast<UINT>(n), nullptr);
    const int x = r.left + pad + extent.cx + pad / 2;
    const int y = r.top + (height - arrow / 2) / 2;
    const POINT tip[3] = {{x, y}, {x + arrow, y}, {x + arrow / 2, y + arrow / 2}};
    HBRUSH brush = CreateSolidBrush(text);
    HPEN pen = CreatePen(PS_SOLID, 1, text);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    Polygon(dc, tip, 3);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
    return r;
}

size_t ChatTextLength(const char* text) {
    const char* p = text;
    while (reinterpret_cast<uintptr_t>(p) % sizeof(uint64_t) != 0) {
        if (*p == '\0') {
            return static_cast<size_t>(p - text);
        }
        ++p;
    }
    constexpr uint64_t kOnes = 0x0101010101010101ULL;
    constexpr uint64_t kHighs = 0x8080808080808080ULL;
    for (;;) {
        uint64_t word;
        std::memcpy(&word, p, sizeof word);
        if (((word - kOnes) & ~word & kHighs) != 0) {
            break;
        }
        p += sizeof word;
    }
    while (*p != '\0') {
        ++p;
    }
    return static_cast<size_t>(p - text);
}

ATOM RegisterChatListClass(HINSTANCE instance) {
    WNDCLASSA wc{};
    // No class background: painting covers every pixel once, so nothing flickers.
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = ChatListProc;
    wc.cbWndExtra = sizeof(LONG_PTR);
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32513)); // IDC_IBEAM
    wc.hbrBackground = nullptr;
    wc.lpszClassName = Str::ChatListClass;
    return RegisterClassA(&wc);
}

LRESULT CALLBACK ChatListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        return OnCreate(hwnd);
    }
    if (message == WM_GETDLGCODE) {
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    }
    ChatState* s = StateOf(hwnd);
    if (s == nullptr) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    switch (message) {
    case WM_DESTROY: return OnDestroy(hwnd, s);
    case WM_PAINT: return OnPaint(hwnd, *s);
    case WM_VSCROLL: return OnVScroll(hwnd, *s, wParam);
    case WM_SIZE: return OnSize(hwnd, *s);
    case WM_KEYDOWN: return OnKeyDown(hwnd, *s, wParam, lParam);
    case WM_SYSKEYDOWN: HandOver(hwnd, WM_SYSKEYDOWN, wParam, lParam); return 0;
    case WM_LBUTTONDOWN: return OnLButtonDown(hwnd, *s, wParam, lParam);
    case WM_LBUTTONUP: StopDrag(hwnd, *s); return 0;
    case WM_MOUSEMOVE: return OnMouseMove(hwnd, *s, lParam);
    case WM_LBUTTONDBLCLK: return OnLButtonDblClk(hwnd, *s, lParam);
    case WM_MOUSEWHEEL: return OnMouseWheel(hwnd, *s, wParam);
    case WM_RBUTTONDOWN: return OnRButtonDown(hwnd, *s, lParam);
    case WM_SETTEXT: return OnSetText(hwnd, *s, reinterpret_cast<const char*>(lParam));
    case WM_GETTEXT: return OnGetText(*s, wParam, reinterpret_cast<char*>(lParam));
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(s->layout.length);
    case WM_SETFONT: return OnSetFont(hwnd, *s, reinterpret_cast<HFONT>(wParam));
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s->font);
    case CLM_GETSEL:
        return OnGetSel(*s, reinterpret_cast<DWORD*>(wParam), reinterpret_cast<DWORD*>(lParam));
    case CLM_SETSEL:
        SetSelection(hwnd, *s, static_cast<size_t>(wParam), static_cast<size_t>(lParam));
        return 0;
    case CLM_SETCOLORS: return Recolor(hwnd, s->textColor, s->backColor, wParam, lParam);
    case CLM_SETSELCOLORS: return Recolor(hwnd, s->selTextColor, s->selBackColor, wParam, lParam);
    case WM_COPY: CopySelection(hwnd, *s); return 0;
    default: break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}
