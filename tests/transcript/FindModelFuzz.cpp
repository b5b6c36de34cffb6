// libFuzzer target for finding, held against a naive search that tries every
// position in turn: all four combinations of match case and whole words, both
// directions, starts all over the text, fold and word tables drawn from the
// input, and texts of a small alphabet with CR LF, so that matches, near
// matches and word edges are frequent.
#include "tests/transcript/LayoutFuzz.h"
#include "transcript/FindModel.h"

#include <algorithm>

namespace {

constexpr char kAlphabet[] = {'a', 'A', 'b',  'B',  '\xE9', '\xC9',
                              '_', ' ', '\r', '\n', '\x93', '.'};
constexpr size_t kLetters = sizeof kAlphabet;
constexpr size_t kMaxText = 200;

struct Tables {
    unsigned char fold[256];
    unsigned char word[256];
};

// Each letter of the alphabet folds onto one of them and is a word byte or not.
void TablesFrom(FuzzInput& in, Tables& t) {
    for (int c = 0; c < 256; ++c) {
        t.fold[c] = static_cast<unsigned char>(c);
        t.word[c] = 0;
    }
    for (const char letter : kAlphabet) {
        const unsigned char c = static_cast<unsigned char>(letter);
        const uint8_t b = in.Byte();
        t.fold[c] = static_cast<unsigned char>(kAlphabet[b % kLetters]);
        t.word[c] = (b & 0x80) != 0;
    }
}

std::string TextFrom(FuzzInput& in, size_t n) {
    std::string s;
    while (s.size() < n && !in.Done()) {
        const uint8_t b = in.Byte();
        // Now and then a CR LF pair, as chat lines end.
        if (b >= 0xF0) {
            s += "\r\n";
        } else {
            s += kAlphabet[b % kLetters];
        }
    }
    return s;
}

unsigned char Folded(const FindQuery& q, unsigned char c) {
    return q.matchCase || q.fold == nullptr ? c : q.fold[c];
}

bool IsWord(const FindQuery& q, unsigned char c) {
    return q.word != nullptr && q.word[c] != 0;
}

bool NaiveAt(const std::string& text, const FindQuery& q, size_t at) {
    for (size_t i = 0; i < q.length; ++i) {
        if (Folded(q, static_cast<unsigned char>(text[at + i])) !=
            Folded(q, static_cast<unsigned char>(q.pattern[i]))) {
            return false;
        }
    }
    if (!q.wholeWord) {
        return true;
    }
    const size_t end = at + q.length;
    return !(at > 0 && IsWord(q, static_cast<unsigned char>(text[at - 1]))) &&
           !(end < text.size() && IsWord(q, static_cast<unsigned char>(text[end])));
}

// Matches wholly within [lo, hi): the first (down) or the last (up).
bool NaiveIn(const std::string& text, const FindQuery& q, size_t lo, size_t hi, size_t& found) {
    if (hi < lo || hi - lo < q.length) {
        return false;
    }
    for (size_t i = 0; i + q.length <= hi - lo; ++i) {
        const size_t at = q.down ? lo + i : hi - q.length - i;
        if (NaiveAt(text, q, at)) {
            found = at;
            return true;
        }
    }
    return false;
}

FindMatch Naive(const std::string& text, const FindQuery& q, size_t start) {
    if (q.length == 0 || q.length > text.size()) {
        return FindMatch{false, false, 0, 0};
    }
    start = std::min(start, text.size());
    size_t at = 0;
    if (q.down ? NaiveIn(text, q, start, text.size(), at) : NaiveIn(text, q, 0, start, at)) {
        return FindMatch{true, false, at, at + q.length};
    }
    if ((q.down ? start != 0 : start != text.size()) && NaiveIn(text, q, 0, text.size(), at)) {
        return FindMatch{true, true, at, at + q.length};
    }
    return FindMatch{false, false, 0, 0};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in{data, size};
    Tables tables;
    TablesFrom(in, tables);
    const uint8_t shape = in.Byte();
    const size_t patternLength = shape % 7; // 0 finds nothing
    const bool fromText = (shape & 0x80) != 0;
    const uint8_t patternAt = in.Byte();
    std::string pattern = fromText ? std::string() : TextFrom(in, patternLength);
    const std::string text = TextFrom(in, kMaxText);
    if (fromText && !text.empty()) {
        pattern = text.substr(patternAt % text.size(), patternLength);
    }
    const size_t step = std::max<size_t>(1, text.size() / 16);
    for (int options = 0; options < 8; ++options) {
        const FindQuery q{pattern.data(),     pattern.size(),     (options & 1) != 0,
                          (options & 2) != 0, (options & 4) != 0, tables.fold,
                          tables.word};
        for (size_t start = 0; start <= text.size() + step; start += step) {
            const FindMatch got = FindInText(text.data(), text.size(), q, start);
            const FindMatch want = Naive(text, q, start);
            if (got.found != want.found ||
                (want.found &&
                 (got.from != want.from || got.to != want.to || got.wrapped != want.wrapped))) {
                std::abort();
            }
        }
    }
    return 0;
}
