#include "transcript/TextUnits.h"

#include <algorithm>
#include <cstring>

CharClass ClassOf(const unsigned char* wordBytes, char c) {
    if (IsTerminator(c)) {
        return CharClass::LineEnd;
    }
    if (c == ' ' || c == '\t') {
        return CharClass::Blank;
    }
    return IsWordByte(wordBytes, static_cast<unsigned char>(c)) ? CharClass::Word : CharClass::Sign;
}

bool FollowsLineEnd(const ChatLayout& l, size_t offset) {
    return offset > 0 && offset <= l.length && IsTerminator(l.text[offset - 1]);
}

bool IsWrapPoint(const ChatLayout& l, size_t offset) {
    if (offset == 0 || offset >= l.length || l.lineCount == 0 || FollowsLineEnd(l, offset)) {
        return false;
    }
    return LayoutLineStart(l, LayoutLineOf(l, offset)) == offset;
}

namespace {

bool CrLfAt(const ChatLayout& l, size_t o) {
    return o + 1 < l.length && l.text[o] == '\r' && l.text[o + 1] == '\n';
}

// One character on or back: a CR LF pair counts as one.
size_t NextCharacter(const ChatLayout& l, size_t o) {
    return CrLfAt(l, o) ? o + 2 : o + 1;
}

size_t PrevCharacter(const ChatLayout& l, size_t o) {
    return o >= 2 && CrLfAt(l, o - 2) ? o - 2 : o - 1;
}

bool BlankAt(const ChatLayout& l, size_t o) {
    return o < l.length && ClassOf(l.wordBytes, l.text[o]) == CharClass::Blank;
}

// The end of the word unit at `o` (not a line end): its run, then the blanks after it.
size_t WordUnitEnd(const ChatLayout& l, size_t o) {
    size_t begin = 0, end = 0;
    WordAt(l, o, begin, end);
    if (!BlankAt(l, o)) {
        while (BlankAt(l, end)) {
            ++end;
        }
    }
    return end;
}

// The start of the word unit that ends at `o` (after no line end): blanks
// back to a line's start are a unit alone, else they go with the run before.
size_t WordUnitStart(const ChatLayout& l, size_t o) {
    size_t p = o;
    while (p > 0 && BlankAt(l, p - 1)) {
        --p;
    }
    if (p < o && (p == 0 || FollowsLineEnd(l, p))) {
        return p;
    }
    size_t begin = 0, end = 0;
    WordAt(l, p - 1, begin, end);
    return begin;
}

} // namespace

void WordAt(const ChatLayout& l, size_t offset, size_t& begin, size_t& end) {
    size_t p = std::min(offset, l.length);
    begin = end = p;
    if (p == l.length || IsTerminator(l.text[p])) {
        if (p == 0 || IsTerminator(l.text[p - 1])) {
            return;
        }
        --p;
    }
    const CharClass kind = ClassOf(l.wordBytes, l.text[p]);
    begin = p;
    while (begin > 0 && ClassOf(l.wordBytes, l.text[begin - 1]) == kind) {
        --begin;
    }
    end = p + 1;
    while (end < l.length && ClassOf(l.wordBytes, l.text[end]) == kind) {
        ++end;
    }
}

void ChatLineAt(const ChatLayout& l, size_t offset, size_t& begin, size_t& end) {
    begin = end = 0;
    if (l.length == 0) {
        return;
    }
    size_t p = std::min(offset, l.length - 1);
    if (p > 0 && CrLfAt(l, p - 1)) {
        --p;
    }
    begin = p;
    while (begin > 0 && !IsTerminator(l.text[begin - 1])) {
        --begin;
    }
    end = p;
    while (end < l.length && !IsTerminator(l.text[end])) {
        ++end;
    }
    if (end < l.length) {
        end = NextCharacter(l, end);
    }
}

size_t UnitNext(const ChatLayout& l, RangeUnit unit, size_t o) {
    if (o >= l.length) {
        return l.length;
    }
    size_t begin = 0, end = l.length;
    switch (unit) {
    case RangeUnit::Character: return NextCharacter(l, o);
    case RangeUnit::Word: return IsTerminator(l.text[o]) ? NextCharacter(l, o) : WordUnitEnd(l, o);
    case RangeUnit::Line: return LayoutLineEnd(l, LayoutLineOf(l, o));
    case RangeUnit::Paragraph: ChatLineAt(l, o, begin, end); break;
    case RangeUnit::Document: break;
    }
    return end;
}

size_t UnitPrev(const ChatLayout& l, RangeUnit unit, size_t o) {
    o = std::min(o, l.length);
    if (o == 0) {
        return 0;
    }
    size_t begin = 0, end = 0;
    switch (unit) {
    case RangeUnit::Character: return PrevCharacter(l, o);
    case RangeUnit::Word:
        return IsTerminator(l.text[o - 1]) ? PrevCharacter(l, o) : WordUnitStart(l, o);
    case RangeUnit::Line: return LayoutLineStart(l, LayoutLineOf(l, o - 1));
    case RangeUnit::Paragraph: ChatLineAt(l, o - 1, begin, end); break;
    case RangeUnit::Document: break;
    }
    return begin;
}

size_t CountLineEnds(const char* text, size_t length) {
    size_t lines = 0;
    for (const char* p = text;
         (p = static_cast<const char*>(std::memchr(p, '\n', length - (p - text)))) != nullptr;
         ++p) {
        ++lines;
    }
    return lines;
}

bool ChatLineFromEnd(const char* text, size_t length, size_t nth, size_t& begin, size_t& end) {
    // Back from the end, a line at a time.
    end = length;
    for (size_t k = 1; end != 0 && k <= nth; ++k) {
        begin = end - 1;
        while (begin > 0 && text[begin - 1] != '\n') {
            --begin;
        }
        if (k == nth) {
            while (end > begin && IsTerminator(text[end - 1])) {
                --end;
            }
            return true;
        }
        end = begin;
    }
    return false;
}

size_t TailFromLineStart(const char* text, size_t length, size_t most) {
    if (length <= most) {
        return 0;
    }
    // A line starts at the cut when the byte before it is an LF.
    const size_t cut = length - most;
    const void* lf = std::memchr(text + cut - 1, '\n', most);
    return lf != nullptr ? static_cast<size_t>(static_cast<const char*>(lf) - text) + 1 : cut;
}
