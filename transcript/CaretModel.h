// The transcript's caret, free of any Windows header: the keys of a text box
// move the selection's caret end over the layout's visual lines, by
// character, word, line, page and to the text's ends; with Shift the anchor
// stays, else nothing stays selected. The window shows the caret where
// CaretLine and CaretX say and scrolls to keep it in sight.
#pragma once

#include "transcript/ChatLayout.h"
#include "transcript/Selection.h"

#include <cstddef>
#include <cstdint>

enum class CaretKey {
    Left,
    Right,
    WordLeft,
    WordRight,
    Up,
    Down,
    PageUp,
    PageDown,
    LineStart,
    LineEnd,
    TextStart,
    TextEnd
};

// What the caret needs beyond its offset.
struct CaretPlace {
    // At a wrap point the offset is both the end of one visual line and the
    // start of the next: set, the caret shows at the end of the first.
    bool lineEnd;
    // Up, Down and the page keys go on at x, as an edit box keeps its column
    // across short lines.
    bool keepX;
    int64_t x;
};

// The visual line the caret at `caret` shows on (0 for an empty text), and its
// x from that line's left edge. A caret at the end of a text that ends with a
// line break shows at the end of the last line.
size_t CaretLine(const ChatLayout& layout, size_t caret, const CaretPlace& place);
int64_t CaretX(const ChatLayout& layout, size_t caret, const CaretPlace& place);

// The place of a caret put at `offset` on visual line `line`, as a click there
// puts it: a wrap point reached from its line's end stays on that line.
CaretPlace CaretPlaceOn(const ChatLayout& layout, size_t line, size_t offset);

// One key. `extend` (Shift) keeps the anchor; otherwise the selection becomes
// empty at the new caret, and Left and Right first go to the selection's
// start or end. `page` is the number of visual lines a page key moves.
void CaretMove(const ChatLayout& layout, Selection& sel, CaretPlace& place, CaretKey key,
               bool extend, size_t page);
