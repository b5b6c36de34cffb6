#include "transcript/FindModel.h"

#include "transcript/TextUnits.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

constexpr size_t kNone = static_cast<size_t>(-1);

// The query in folded form, with the skip tables of both directions: a
// window of the text moves on by the distance from the byte it was judged by
// to the nearest equal byte of the pattern (Horspool), so a miss usually
// skips the pattern's length.
struct Prepared {
    unsigned char fold[256];
    const unsigned char* text;
    size_t length;
    const unsigned char* pattern;
    size_t m;
    bool wholeWord;
    const unsigned char* word;
    size_t ahead[256]; // going down, judged by the window's last byte
    size_t back[256];  // going up, judged by the window's first byte
};

void Prepare(Prepared& p, const char* text, size_t length, const FindQuery& q) {
    for (int c = 0; c < 256; ++c) {
        p.fold[c] = q.matchCase || q.fold == nullptr ? static_cast<unsigned char>(c) : q.fold[c];
    }
    p.text = reinterpret_cast<const unsigned char*>(text);
    p.length = length;
    p.pattern = reinterpret_cast<const unsigned char*>(q.pattern);
    p.m = q.length;
    p.wholeWord = q.wholeWord && q.word != nullptr;
    p.word = q.word;
    std::fill(std::begin(p.ahead), std::end(p.ahead), p.m);
    std::fill(std::begin(p.back), std::end(p.back), p.m);
    for (size_t i = 0; i + 1 < p.m; ++i) {
        p.ahead[p.fold[p.pattern[i]]] = p.m - 1 - i;
    }
    for (size_t i = p.m - 1; i >= 1; --i) {
        p.back[p.fold[p.pattern[i]]] = i;
    }
}

bool MatchesAt(const Prepared& p, size_t at) {
    for (size_t i = 0; i < p.m; ++i) {
        if (p.fold[p.text[at + i]] != p.fold[p.pattern[i]]) {
            return false;
        }
    }
    if (!p.wholeWord) {
        return true;
    }
    const bool wordBefore = at > 0 && IsWordByte(p.word, p.text[at - 1]);
    const bool wordAfter = at + p.m < p.length && IsWordByte(p.word, p.text[at + p.m]);
    return !wordBefore && !wordAfter;
}

// The first match lying wholly within [lo, hi).
size_t Forward(const Prepared& p, size_t lo, size_t hi) {
    if (hi < lo || hi - lo < p.m) {
        return kNone;
    }
    const size_t last = p.m - 1;
    const unsigned char key = p.fold[p.pattern[last]];
    for (size_t at = lo; at + p.m <= hi;) {
        const unsigned char c = p.fold[p.text[at + last]];
        if (c == key && MatchesAt(p, at)) {
            return at;
        }
        at += p.ahead[c];
    }
    return kNone;
}

// The last match lying wholly within [lo, hi).
size_t Backward(const Prepared& p, size_t lo, size_t hi) {
    if (hi < lo || hi - lo < p.m) {
        return kNone;
    }
    const unsigned char key = p.fold[p.pattern[0]];
    for (size_t at = hi - p.m;;) {
        const unsigned char c = p.fold[p.text[at]];
        if (c == key && MatchesAt(p, at)) {
            return at;
        }
        const size_t step = p.back[c];
        if (at - lo < step) {
            return kNone;
        }
        at -= step;
    }
}

} // namespace

FindMatch FindInText(const char* text, size_t length, const FindQuery& query, size_t start) {
    FindMatch none{false, false, 0, 0};
    if (query.pattern == nullptr || query.length == 0 || query.length > length) {
        return none;
    }
    Prepared p;
    Prepare(p, text, length, query);
    start = std::min(start, length);
    size_t at = query.down ? Forward(p, start, length) : Backward(p, 0, start);
    bool wrapped = false;
    if (at == kNone) {
        // Once round: from the other end over the whole text.
        if (query.down ? start == 0 : start == length) {
            return none;
        }
        at = query.down ? Forward(p, 0, length) : Backward(p, 0, length);
        wrapped = true;
    }
    if (at == kNone) {
        return none;
    }
    return FindMatch{true, wrapped, at, at + query.length};
}

FindCount CountMatches(const char* text, size_t length, const FindQuery& query, size_t at) {
    FindCount counted{0, 0};
    if (query.pattern == nullptr || query.length == 0 || query.length > length) {
        return counted;
    }
    Prepared p;
    Prepare(p, text, length, query);
    for (size_t next = Forward(p, 0, length); next != kNone;
         next = Forward(p, next + p.m, length)) {
        ++counted.count;
        if (next <= at) {
            counted.place = counted.count;
        }
    }
    return counted;
}

size_t MatchesStartingIn(const char* text, size_t length, const FindQuery& query, size_t from,
                         size_t before, size_t* starts, size_t capacity) {
    if (query.pattern == nullptr || query.length == 0 || query.length > length) {
        return 0;
    }
    Prepared p;
    Prepare(p, text, length, query);
    // A match that begins before `before` ends before `before` + m - 1.
    const size_t hi = std::min(length, std::min(before, length) + p.m - 1);
    size_t n = 0;
    for (size_t next = Forward(p, std::min(from, length), hi); next != kNone && n < capacity;
         next = Forward(p, next + p.m, hi)) {
        starts[n++] = next;
    }
    return n;
}

void KeepQuery(KeptQuery& kept, const FindQuery& query) {
    kept.length = 0;
    if (query.pattern == nullptr || query.length > sizeof kept.pattern) {
        return;
    }
    std::memcpy(kept.pattern, query.pattern, query.length);
    kept.length = query.length;
    kept.matchCase = query.matchCase;
    kept.wholeWord = query.wholeWord;
    kept.folds = query.fold != nullptr;
    kept.words = query.word != nullptr;
    if (kept.folds) {
        std::memcpy(kept.fold, query.fold, sizeof kept.fold);
    }
    if (kept.words) {
        std::memcpy(kept.word, query.word, sizeof kept.word);
    }
}

FindQuery QueryOf(const KeptQuery& kept) {
    return FindQuery{kept.pattern,
                     kept.length,
                     kept.matchCase,
                     kept.wholeWord,
                     true,
                     kept.folds ? kept.fold : nullptr,
                     kept.words ? kept.word : nullptr};
}
