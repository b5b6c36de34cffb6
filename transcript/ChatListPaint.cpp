// The transcript's painting: every row the paint asks for, drawn once, opaque,
// in the colours of the text and of the selection, and the new-lines marker.
#include "transcript/ChatListPaint.h"
#include "transcript/ChatListTesting.h"

#include "base/ScopedHandles.h"
#include "transcript/ChatListContrast.h"
#include "transcript/ChatListFind.h"
#include "transcript/ChatListView.h"
#include "transcript/ChatListZoom.h"

#include <algorithm>

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
    const ScopedGdiObject<HBRUSH> brush(CreateSolidBrush(text));
    const ScopedGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, text));
    const ScopedSelect withBrush(dc, brush);
    const ScopedSelect withPen(dc, pen);
    Polygon(dc, tip, 3);
    return r;
}

namespace chatlist {
namespace {

constexpr size_t kShapeChunk = 256;

// Draws bytes [from, to) of a visual line in one pair of colours. Each call
// paints its own cells opaquely, starting at `left` (the first one at the pane's
// left edge), so no pixel is painted twice.
void DrawPiece(HDC dc, const ChatState& s, const Palette& c, size_t from, size_t to, bool selected,
               int64_t& x, int& left, int y) {
    SetTextColor(dc, selected ? c.selText : c.text);
    SetBkColor(dc, selected ? c.selBack : c.back);
    char glyphs[kShapeChunk];
    int advances[kShapeChunk];
    while (from < to && ClientX(x) < s.clientWidth) {
        const int64_t pen = ClientX(x);
        const size_t n = LayoutShape(s.layout, from, to, x, glyphs, advances, kShapeChunk);
        from += n;
        RECT r{left, y, static_cast<LONG>(std::min<int64_t>(ClientX(x), s.clientWidth)),
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

void DrawLine(HDC dc, const ChatState& s, const Palette& c, size_t line, int y) {
    const LineSpan sel = SpanOnLine(s.layout, line, SelectionFrom(s.sel), SelectionTo(s.sel));
    int64_t x = 0;
    int left = 0;
    DrawPiece(dc, s, c, LayoutLineStart(s.layout, line), sel.from, false, x, left, y);
    DrawPiece(dc, s, c, sel.from, sel.to, true, x, left, y);
    DrawPiece(dc, s, c, sel.to, LayoutLineTextEnd(s.layout, line), false, x, left, y);
    if (sel.lineEnd && ClientX(x) < s.clientWidth) {
        const int64_t right = ClientX(x) + LineEndWidth(s);
        const int cell = static_cast<int>(std::min<int64_t>(right, s.clientWidth));
        FillCells(dc, c.selBack, left, cell, y, s.lineHeight);
        left = std::max(left, cell);
    }
    FillCells(dc, c.back, left, s.clientWidth, y, s.lineHeight);
}

// Everything the pane shows within `area`: the rows of text and the new-lines
// marker. WM_PAINT and WM_PRINTCLIENT both draw through here.
void PaintContent(HDC dc, ChatState& s, const RECT& area) {
    const ScopedSelect font(dc, FontOf(s));
    SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    SetBkMode(dc, OPAQUE);
    const Palette c = ShownColors(s);
    const int firstRow = std::max<LONG>(area.top, 0) / s.lineHeight;
    const int lastRow = std::max<LONG>(area.bottom - 1, 0) / s.lineHeight;
    for (int row = firstRow; row <= lastRow; ++row) {
        const size_t line = s.top + static_cast<size_t>(row);
        const int y = row * s.lineHeight;
        if (line < s.layout.lineCount) {
            DrawLine(dc, s, c, line, y);
        } else {
            FillCells(dc, c.back, 0, s.clientWidth, y, s.lineHeight);
        }
    }
    DrawMatchFrames(dc, s, c.text, area);
    if (s.unseenLines != 0) {
        const RECT client{0, 0, s.clientWidth, s.clientHeight};
        s.markerRect = DrawNewLinesMarker(dc, client, s.unseenLines, c.selText, c.selBack);
    }
    DrawZoomLevel(dc, s, c);
}

} // namespace

LRESULT OnPaint(HWND hwnd, ChatState& s) {
    const ScopedPaint dc(hwnd);
    if (dc != nullptr) {
        PaintContent(dc, s, dc.Area());
    }
    return 0;
}

LRESULT OnPrintClient(ChatState& s, HDC dc) {
    if (dc != nullptr) {
        const RECT client{0, 0, s.clientWidth, s.clientHeight};
        PaintContent(dc, s, client);
    }
    return 0;
}

} // namespace chatlist
