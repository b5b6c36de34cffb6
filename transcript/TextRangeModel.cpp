#include "transcript/TextRangeModel.h"

#include <algorithm>

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
    const bool before = r.lineEnd && r.start == r.end && IsWrapPoint(l, r.start);
    r.start = UnitStart(l, unit, before ? r.start - 1 : r.start);
    r.end = UnitNext(l, unit, r.start);
    r.lineEnd = false;
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
        r = TextRange{p, empty ? p : UnitNext(l, unit, p)};
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
    r.lineEnd = false;
    if (end) {
        r.end = p;
        r.start = std::min(r.start, p);
    } else {
        r.start = p;
        r.end = std::max(r.end, p);
    }
}
