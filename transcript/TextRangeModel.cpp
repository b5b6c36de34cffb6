#include "transcript/TextRangeModel.h"

#include "transcript/SelectionModel.h"

#include <algorithm>

namespace {

bool IsTerminator(char c) {
    return c == '\r' || c == '\n';
}

bool CrLfAt(const ChatLayout& l, size_t o) {
    return o + 1 < l.length && l.text[o] == '\r' && l.text[o + 1] == '\n';
}

// One character on: a CR LF pair counts as one.
size_t CharNext(const ChatLayout& l, size_t o) {
    return CrLfAt(l, o) ? o + 2 : o + 1;
}

size_t CharPrev(const ChatLayout& l, size_t o) {
    return o >= 2 && CrLfAt(l, o - 2) ? o - 2 : o - 1;
}

} // namespace

size_t UnitNext(const ChatLayout& l, RangeUnit unit, size_t o) {
    if (o >= l.length) {
        return l.length;
    }
    switch (unit) {
    case RangeUnit::Character: return CharNext(l, o);
    case RangeUnit::Word: {
        if (IsTerminator(l.text[o])) {
            return CharNext(l, o);
        }
        size_t begin, end;
        LayoutWordAt(l, o, begin, end);
        return end;
    }
    case RangeUnit::Line: return LayoutLineEnd(l, LayoutLineOf(l, o));
    case RangeUnit::Paragraph: {
        size_t begin, end;
        LayoutLogicalLineAt(l, o, begin, end);
        return end;
    }
    case RangeUnit::Document: break;
    }
    return l.length;
}

size_t UnitPrev(const ChatLayout& l, RangeUnit unit, size_t o) {
    o = std::min(o, l.length);
    if (o == 0) {
        return 0;
    }
    switch (unit) {
    case RangeUnit::Character: return CharPrev(l, o);
    case RangeUnit::Word: {
        if (IsTerminator(l.text[o - 1])) {
            return CharPrev(l, o);
        }
        size_t begin, end;
        LayoutWordAt(l, o - 1, begin, end);
        return begin;
    }
    case RangeUnit::Line: return LayoutLineStart(l, LayoutLineOf(l, o - 1));
    case RangeUnit::Paragraph: {
        size_t begin, end;
        LayoutLogicalLineAt(l, o - 1, begin, end);
        return begin;
    }
    case RangeUnit::Document: break;
    }
    return 0;
}

namespace {

// The start of the unit that holds the byte at `o` (at the end: the last unit).
size_t UnitStart(const ChatLayout& l, RangeUnit unit, size_t o) {
    if (o >= l.length) {
        return UnitPrev(l, unit, l.length);
    }
    const size_t after = UnitNext(l, unit, o);
    return UnitPrev(l, unit, after);
}

} // namespace

void RangeExpand(const ChatLayout& l, TextRange& r, RangeUnit unit) {
    r.start = UnitStart(l, unit, r.start);
    r.end = UnitNext(l, unit, r.start);
}

int RangeMove(const ChatLayout& l, TextRange& r, RangeUnit unit, int count) {
    if (count == 0) {
        return 0;
    }
    const bool empty = r.start == r.end;
    size_t p = empty ? std::min(r.start, l.length) : UnitStart(l, unit, r.start);
    int moved = 0;
    while (moved < count) {
        const size_t next = UnitNext(l, unit, p);
        // A whole unit needs a unit after it; an empty range may rest at the end.
        if (next == p || (!empty && next >= l.length)) {
            break;
        }
        p = next;
        ++moved;
    }
    while (moved > count && p > 0) {
        p = UnitPrev(l, unit, p);
        --moved;
    }
    if (moved != 0) {
        r.start = p;
        r.end = empty ? p : UnitNext(l, unit, p);
    }
    return moved;
}

int RangeMoveEndpoint(const ChatLayout& l, TextRange& r, bool end, RangeUnit unit, int count) {
    size_t p = std::min(end ? r.end : r.start, l.length);
    int moved = 0;
    while (moved < count && p < l.length) {
        p = UnitNext(l, unit, p);
        ++moved;
    }
    while (moved > count && p > 0) {
        p = UnitPrev(l, unit, p);
        --moved;
    }
    if (moved != 0) {
        RangeSetEndpoint(r, end, p);
    }
    return moved;
}

void RangeSetEndpoint(TextRange& r, bool end, size_t p) {
    if (end) {
        r.end = p;
        r.start = std::min(r.start, p);
    } else {
        r.start = p;
        r.end = std::max(r.end, p);
    }
}
