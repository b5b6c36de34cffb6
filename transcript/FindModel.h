// Finding a text in the transcript's bytes, free of any Windows header: one
// pass over the text from where the search starts, no copy of it. Case
// folding comes from a table of the 256 bytes that the window side builds from
// the code page, so that every letter of it folds, not only A-Z.
#pragma once

#include <cstddef>

struct FindQuery {
    const char* pattern;
    size_t length;
    bool matchCase;
    bool wholeWord; // the bytes around a match are no word bytes
    bool down;
    const unsigned char* fold; // 256 entries, each byte's folded form; null: bytes as they are
    const unsigned char* word; // 256 entries, nonzero for a word byte; null: no byte is one
};

struct FindMatch {
    bool found;
    bool wrapped; // found only after passing the end (down) or the top (up)
    size_t from;
    size_t to;
};

// Down: the first match that begins at or after `start`; failing that, the
// first from the top. Up: the last match that ends at or before `start`;
// failing that, the last before the end. An empty pattern finds nothing.
FindMatch FindInText(const char* text, size_t length, const FindQuery& query, size_t start);
