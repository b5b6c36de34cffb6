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

// The matches of a search, counted in one pass the way F3 steps through them
// from the top (each next search starts at the end of the match before, so
// matches do not overlap), and the place (1-based) among them of the match
// that begins at `at`. A match found going up that overlaps the one before it
// takes that one's place; with no match, both are 0.
struct FindCount {
    size_t count;
    size_t place;
};
FindCount CountMatches(const char* text, size_t length, const FindQuery& query, size_t at);

// The matches that begin in [from, before), stepped through as F3 steps from
// `from` (a match may run on past `before`): the first `capacity` of their
// starts into `starts`; answers how many.
size_t MatchesStartingIn(const char* text, size_t length, const FindQuery& query, size_t from,
                         size_t before, size_t* starts, size_t capacity);

// A search kept whole by whoever holds it after the caller has gone: the
// pattern and both tables copied. Patterns as long as the Find dialog takes fit.
constexpr size_t kKeptPatternMost = 128;
struct KeptQuery {
    char pattern[kKeptPatternMost];
    size_t length; // 0: nothing kept
    bool matchCase;
    bool wholeWord;
    bool folds; // a fold table was given
    bool words; // a word table was given
    unsigned char fold[256];
    unsigned char word[256];
};
// Keeps `query`; a longer pattern than the kept query holds keeps nothing.
void KeepQuery(KeptQuery& kept, const FindQuery& query);
// The kept search, searching down; it points into `kept`.
FindQuery QueryOf(const KeptQuery& kept);
