#include "app/PasteModel.h"

#include "transcript/TextUnits.h"

namespace {

// Lines end and blanks are what they are in the transcript.
bool IsBreak(char c) {
    return IsTerminator(c);
}

bool IsBlank(char c) {
    return ClassOf(nullptr, c) == CharClass::Blank;
}

} // namespace

bool HasLineBreak(const char* text, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        if (IsBreak(text[i])) {
            return true;
        }
    }
    return false;
}

bool NextPastedLine(const char* text, size_t length, size_t limit, size_t* at, PastedLine* line) {
    size_t from = *at;
    while (from < length && IsBreak(text[from])) {
        ++from; // a break, or an empty line between two
    }
    size_t end = from;
    while (end < length && !IsBreak(text[end]) && end - from <= limit) {
        ++end;
    }
    if (end == from) {
        *at = from;
        return false;
    }
    size_t next = end;
    if (end - from > limit) {
        // One byte past the limit: a blank there or before ends the line.
        size_t blank = from + limit;
        while (blank > from && !IsBlank(text[blank])) {
            --blank;
        }
        end = blank > from ? blank : from + limit;
        next = blank > from ? blank + 1 : end;
    }
    *line = PastedLine{from, end - from};
    *at = next;
    return true;
}

size_t CountPastedLines(const char* text, size_t length, size_t limit) {
    size_t count = 0;
    size_t at = 0;
    PastedLine line{};
    while (NextPastedLine(text, length, limit, &at, &line)) {
        ++count;
    }
    return count;
}
