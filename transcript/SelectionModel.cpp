#include "transcript/SelectionModel.h"

#include <algorithm>

namespace {

bool IsTerminator(unsigned char c) {
    return c == '\r' || c == '\n';
}

enum WordClass { kWord, kSpace, kSign, kEnd };

// Blanks and line ends are never part of a word, whatever the table says.
WordClass WordClassOf(const unsigned char* wordBytes, unsigned char c) {
    if (IsTerminator(c)) {
        return kEnd;
    }
    if (c == ' ' || c == '\t') {
        return kSpace;
    }
    return wordBytes != nullptr && wordBytes[c] != 0 ? kWord : kSign;
}

} // namespace

void LayoutWordAt(const ChatLayout& layout, size_t offset, size_t& begin, size_t& end) {
    const unsigned char* t = reinterpret_cast<const unsigned char*>(layout.text);
    size_t p = std::min(offset, layout.length);
    begin = end = p;
    if (p == layout.length || IsTerminator(t[p])) {
        if (p == 0 || IsTerminator(t[p - 1])) {
            return;
        }
        --p;
    }
    const unsigned char* words = layout.wordBytes;
    const WordClass kind = WordClassOf(words, t[p]);
    begin = p;
    while (begin > 0 && WordClassOf(words, t[begin - 1]) == kind) {
        --begin;
    }
    end = p + 1;
    while (end < layout.length && WordClassOf(words, t[end]) == kind) {
        ++end;
    }
}

void LayoutLogicalLineAt(const ChatLayout& layout, size_t offset, size_t& begin, size_t& end) {
    const unsigned char* t = reinterpret_cast<const unsigned char*>(layout.text);
    begin = end = 0;
    if (layout.length == 0) {
        return;
    }
    // At the text's end or inside a CR LF, the line is the one that ends there.
    size_t p = std::min(offset, layout.length - 1);
    if (p > 0 && t[p] == '\n' && t[p - 1] == '\r') {
        --p;
    }
    begin = p;
    while (begin > 0 && !IsTerminator(t[begin - 1])) {
        --begin;
    }
    end = p;
    while (end < layout.length && !IsTerminator(t[end])) {
        ++end;
    }
    if (end < layout.length) {
        end += (t[end] == '\r' && end + 1 < layout.length && t[end + 1] == '\n') ? 2 : 1;
    }
}

namespace {

void UnitAt(const ChatLayout& layout, SelectionUnit unit, size_t under, size_t& begin,
            size_t& end) {
    if (unit == SelectionUnit::Line) {
        LayoutLogicalLineAt(layout, under, begin, end);
    } else {
        LayoutWordAt(layout, under, begin, end);
    }
}

} // namespace

size_t SelectionFrom(const Selection& s) {
    return std::min(s.anchor, s.caret);
}

size_t SelectionTo(const Selection& s) {
    return std::max(s.anchor, s.caret);
}

bool SelectionEmpty(const Selection& s) {
    return s.anchor == s.caret;
}

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
