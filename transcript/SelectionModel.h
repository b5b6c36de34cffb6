// The transcript's selection by the mouse, free of any Windows header: a drag
// extends it by bytes after a click, by words (TextUnits' WordAt) after a
// double click, by chat lines (ChatLineAt) after a triple click. The window
// turns points into offsets; the rules of what a click, a Shift+click and a
// drag select live here.
#pragma once

#include "transcript/ChatLayout.h"
#include "transcript/Selection.h"

#include <cstddef>

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
