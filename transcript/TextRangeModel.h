// Ranges of the transcript's text as a screen reader walks them, free of any
// Windows header: the range arithmetic of moving, moving one end and
// normalising to a unit, over the units of TextUnits (characters, words,
// visual lines, paragraphs as chat lines, the whole document).
#pragma once

#include "transcript/ChatLayout.h"
#include "transcript/TextUnits.h"

#include <cstddef>

struct TextRange {
    size_t start;
    size_t end; // start <= end <= the text's length
    // An empty range at a wrap point that stands for a caret shown at the end
    // of the visual line before (CaretPlace::lineEnd); any change drops it.
    bool lineEnd = false;
};

// The range becomes the one unit that holds its start (at the very end of a
// text: the last unit); a range with lineEnd at a wrap point, the unit that
// holds the byte before, so that the caret's line is the row it shows on.
void RangeExpand(const ChatLayout& layout, TextRange& range, RangeUnit unit);
// Moves the range by `count` units (negative: back). An empty range stays
// empty and moves between boundaries; any other becomes one whole unit.
// Answers how many units it moved; a range that moves by none stays as it was.
int RangeMove(const ChatLayout& layout, TextRange& range, RangeUnit unit, int count);
// Puts one end at `offset`; passing the other end drags it along.
void RangeSetEndpoint(TextRange& range, bool end, size_t offset);
// Moves one end by `count` unit boundaries; passing the other end drags it
// along. Answers how many boundaries it moved; by none, nothing changes.
int RangeMoveEndpoint(const ChatLayout& layout, TextRange& range, bool end, RangeUnit unit,
                      int count);
