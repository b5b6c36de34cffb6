#include "transcript/SelectionModel.h"

#include "transcript/TextUnits.h"

#include <algorithm>

namespace {

void UnitAt(const ChatLayout& layout, SelectionUnit unit, size_t under, size_t& begin,
            size_t& end) {
    if (unit == SelectionUnit::Line) {
        ChatLineAt(layout, under, begin, end);
    } else {
        WordAt(layout, under, begin, end);
    }
}

} // namespace

void SelectRange(Selection& s, size_t anchor, size_t caret, size_t length) {
    s.anchor = std::min(anchor, length);
    s.caret = std::min(caret, length);
}

void SelectionClick(Selection& s, size_t at) {
    s.unit = SelectionUnit::Byte;
    s.anchor = s.caret = at;
}

void SelectionExtend(Selection& s, size_t at) {
    s.unit = SelectionUnit::Byte;
    s.caret = at;
}

void SelectionClickUnit(Selection& s, const ChatLayout& layout, SelectionUnit unit, size_t under) {
    s.unit = unit;
    UnitAt(layout, unit, under, s.unitBegin, s.unitEnd);
    s.anchor = s.unitBegin;
    s.caret = s.unitEnd;
}

void SelectionDrag(Selection& s, const ChatLayout& layout, size_t edge, size_t under) {
    if (s.unit == SelectionUnit::Byte) {
        s.caret = std::min(edge, layout.length);
        return;
    }
    size_t begin = 0, end = 0;
    UnitAt(layout, s.unit, under, begin, end);
    // Backwards the selection runs from the clicked unit's end; forwards from its start.
    if (begin < s.unitBegin) {
        s.anchor = s.unitEnd;
        s.caret = begin;
    } else {
        s.anchor = s.unitBegin;
        s.caret = std::max(end, s.unitEnd);
    }
}

int SelectionChangedSpans(size_t oldFrom, size_t oldTo, size_t newFrom, size_t newTo,
                          ByteSpan (&spans)[2]) {
    if (oldFrom == oldTo) {
        spans[0] = {newFrom, newTo};
        return newFrom < newTo ? 1 : 0;
    }
    if (newFrom == newTo) {
        spans[0] = {oldFrom, oldTo};
        return 1;
    }
    int n = 0;
    for (const ByteSpan moved : {ByteSpan{std::min(oldFrom, newFrom), std::max(oldFrom, newFrom)},
                                 ByteSpan{std::min(oldTo, newTo), std::max(oldTo, newTo)}}) {
        if (moved.from < moved.to) {
            spans[n++] = moved;
        }
    }
    return n;
}
