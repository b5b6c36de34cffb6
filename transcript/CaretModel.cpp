#include "transcript/CaretModel.h"

#include "transcript/TextUnits.h"

#include <algorithm>

namespace {

// Where a move back starts: the end of a text that ends with a line break
// shows where that break begins, so a step back starts from there and moves.
size_t BackFrom(const ChatLayout& l, size_t c) {
    if (c == l.length && FollowsLineEnd(l, c)) {
        return UnitPrev(l, RangeUnit::Character, c);
    }
    return c;
}

// Up or down by `lines` visual lines at the kept x; at the first or last line
// the caret stays.
size_t Vertical(const ChatLayout& l, size_t c, CaretPlace& place, bool up, size_t lines) {
    if (l.lineCount == 0) {
        return c;
    }
    const size_t line = CaretLine(l, c, place);
    const int64_t x = place.keepX ? place.x : CaretX(l, c, place);
    lines = std::max<size_t>(lines, 1);
    const size_t target = up ? (line > lines ? line - lines : 0)
                             : std::min(line + std::min(lines, l.lineCount), l.lineCount - 1);
    if (target != line) {
        c = LayoutHitTest(l, target, x);
        place = CaretPlaceOn(l, target, c);
    }
    place.keepX = true;
    place.x = x;
    return c;
}

} // namespace

size_t CaretLine(const ChatLayout& l, size_t caret, const CaretPlace& place) {
    if (l.lineCount == 0) {
        return 0;
    }
    const size_t line = LayoutLineOf(l, caret);
    return place.lineEnd && line > 0 && IsWrapPoint(l, caret) ? line - 1 : line;
}

int64_t CaretX(const ChatLayout& l, size_t caret, const CaretPlace& place) {
    if (l.lineCount == 0) {
        return 0;
    }
    return LayoutOffsetX(l, CaretLine(l, caret, place), std::min(caret, l.length));
}

CaretPlace CaretPlaceOn(const ChatLayout& l, size_t line, size_t offset) {
    CaretPlace place{};
    place.lineEnd =
        line < l.lineCount && IsWrapPoint(l, offset) && LayoutLineOf(l, offset) == line + 1;
    return place;
}

void CaretMove(const ChatLayout& l, Selection& sel, CaretPlace& place, CaretKey key, bool extend,
               size_t page) {
    size_t c = std::min(sel.caret, l.length);
    const bool collapse = !extend && !SelectionEmpty(sel);
    const CaretPlace was = place;
    place = CaretPlace{};
    switch (key) {
    case CaretKey::Left:
        c = collapse ? SelectionFrom(sel) : UnitPrev(l, RangeUnit::Character, BackFrom(l, c));
        break;
    case CaretKey::Right:
        c = collapse ? SelectionTo(sel) : UnitNext(l, RangeUnit::Character, c);
        break;
    // By the text's word units: a word with its blanks, each line end a stop.
    case CaretKey::WordLeft: c = UnitPrev(l, RangeUnit::Word, BackFrom(l, c)); break;
    case CaretKey::WordRight: c = UnitNext(l, RangeUnit::Word, c); break;
    case CaretKey::Up:
    case CaretKey::Down:
    case CaretKey::PageUp:
    case CaretKey::PageDown: {
        const bool up = key == CaretKey::Up || key == CaretKey::PageUp;
        const bool byPage = key == CaretKey::PageUp || key == CaretKey::PageDown;
        place = was;
        c = Vertical(l, c, place, up, byPage ? page : 1);
        break;
    }
    case CaretKey::LineStart:
        c = l.lineCount != 0 ? LayoutLineStart(l, CaretLine(l, c, was)) : 0;
        break;
    case CaretKey::LineEnd:
        if (l.lineCount != 0) {
            const size_t line = CaretLine(l, c, was);
            c = LayoutLineTextEnd(l, line);
            place = CaretPlaceOn(l, line, c);
        }
        break;
    case CaretKey::TextStart: c = 0; break;
    case CaretKey::TextEnd: c = l.length; break;
    }
    sel.unit = SelectionUnit::Byte;
    sel.caret = c;
    if (!extend) {
        sel.anchor = c;
    }
}
