// The transcript's selection, free of any Windows header: an anchor where it
// began and a caret where it ends, in byte offsets, and the unit a drag
// extends it by (bytes after a click, words after a double click, logical
// lines after a triple click). The window turns points into offsets; the rules
// of what a click, a Shift+click and a drag select live here.
#pragma once

#include "transcript/ChatLayout.h"

#include <cstddef>

// Selection units around the byte at an offset (the one before it at a line's
// end): a run of word bytes (as the layout's table has them), of blanks or of
// other signs; and a logical line with its terminator.
void LayoutWordAt(const ChatLayout& layout, size_t offset, size_t& begin, size_t& end);
void LayoutLogicalLineAt(const ChatLayout& layout, size_t offset, size_t& begin, size_t& end);

enum class SelectionUnit { Byte, Word, Line };

struct Selection {
    size_t anchor;
    size_t caret;
    SelectionUnit unit;
    size_t unitBegin; // the word or line the double or triple click selected
    size_t unitEnd;
};

// The selected bytes [From, To), in text order.
size_t SelectionFrom(const Selection& s);
size_t SelectionTo(const Selection& s);
bool SelectionEmpty(const Selection& s);

// Both ends clamped to a text of `length` bytes.
void SelectRange(Selection& s, size_t anchor, size_t caret, size_t length);
// A click: nothing selected, the anchor at `at`; a drag goes on by bytes.
void SelectionClick(Selection& s, size_t at);
// A Shift+click or a drag by bytes: the caret moves, the anchor stays.
void SelectionExtend(Selection& s, size_t at);
// A double (Word) or triple (Line) click on the byte `under`: selects that unit,
// and a drag goes on by it.
void SelectionClickUnit(Selection& s, const ChatLayout& layout, SelectionUnit unit, size_t under);
// A drag to the point between bytes `edge`, over the byte `under`: extends by
// the current unit, always keeping the unit first clicked.
void SelectionDrag(Selection& s, const ChatLayout& layout, size_t edge, size_t under);

// What must be drawn again when the selection [oldFrom, oldTo) becomes
// [newFrom, newTo): up to two spans, only the ends that moved. Answers the count.
struct ByteSpan {
    size_t from;
    size_t to;
};
int SelectionChangedSpans(size_t oldFrom, size_t oldTo, size_t newFrom, size_t newTo,
                          ByteSpan (&spans)[2]);
