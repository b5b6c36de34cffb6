// A paste into the one-line input field, free of any Windows header: the
// chat lines a pasted text makes, so that no line of it is lost.
#pragma once

#include <cstddef>

// Whether the text holds a line break (CR or LF).
bool HasLineBreak(const char* text, size_t length);

// One chat line of a text: `length` bytes from `from`.
struct PastedLine {
    size_t from;
    size_t length;
};

// The next chat line of the text from `*at` on, with at most `limit` bytes
// (`limit` > 0): lines end at CR LF, LF or CR, and empty lines are skipped. A
// longer line is cut at its last blank within the limit (the blank goes), or
// at the limit when it has none there. Moves `*at` past the line; answers
// false when no line is left.
bool NextPastedLine(const char* text, size_t length, size_t limit, size_t* at, PastedLine* line);
// How many chat lines the text makes.
size_t CountPastedLines(const char* text, size_t length, size_t limit);
