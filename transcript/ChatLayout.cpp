#include "transcript/ChatLayout.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

enum ByteClass : unsigned char { kPlain, kBlank, kTab, kCr, kLf, kControl };

struct ClassTable {
    unsigned char of[256];
    constexpr ClassTable() : of() {
        for (int c = 0; c < 256; ++c) {
            of[c] = (c < 0x20 || c == 0x7F) ? kControl : kPlain;
        }
        of[static_cast<unsigned char>(' ')] = kBlank;
        of[static_cast<unsigned char>('\t')] = kTab;
        of[static_cast<unsigned char>('\r')] = kCr;
        of[static_cast<unsigned char>('\n')] = kLf;
    }
};
constexpr ClassTable kClass;

// Bytes that end the quick scan of a line that cannot reach the edge.
struct StopTable {
    bool of[256];
    constexpr StopTable() : of() {
        of[static_cast<unsigned char>('\t')] = true;
        of[static_cast<unsigned char>('\r')] = true;
        of[static_cast<unsigned char>('\n')] = true;
    }
};
constexpr StopTable kStop;

// Widths beyond this are clamped, so that sums of a whole text fit in 64 bits
// and a single advance fits in an int.
constexpr int32_t kMaxAdvance = 1 << 20;

// A growable list of visual line starts.
struct LineList {
    uint32_t* data;
    size_t count;
    size_t capacity;
};

// A line list made aside, released unless a layout takes it over.
struct FreshLines {
    LineList list{nullptr, 0, 0};

    FreshLines() = default;
    FreshLines(const FreshLines&) = delete;
    FreshLines& operator=(const FreshLines&) = delete;
    ~FreshLines() { std::free(list.data); }

    void MoveInto(ChatLayout& layout) {
        std::free(layout.lines);
        layout.lines = list.data;
        layout.lineCount = list.count;
        layout.lineCapacity = list.capacity;
        list = LineList{nullptr, 0, 0};
    }
};

bool Reserve(LineList& list, size_t wanted) {
    if (wanted <= list.capacity) {
        return true;
    }
    size_t grown = list.capacity + list.capacity / 4 + 1024;
    if (grown < wanted) {
        grown = wanted;
    }
    void* moved = std::realloc(list.data, grown * sizeof(uint32_t));
    if (moved == nullptr) {
        return false;
    }
    list.data = static_cast<uint32_t*>(moved);
    list.capacity = grown;
    return true;
}

// What the wrapping loop reads, gathered once per layout run.
struct Wrapper {
    const unsigned char* text;
    size_t length;
    const int32_t* advance;
    int64_t width;
    int64_t tab;
    size_t fit; // this many bytes without tabs cannot reach the edge
};

Wrapper MakeWrapper(const ChatLayout& layout) {
    Wrapper w;
    w.text = reinterpret_cast<const unsigned char*>(layout.text);
    w.length = layout.length;
    w.advance = layout.metrics.advance;
    w.width = layout.width > 0 ? layout.width : 0;
    w.tab = layout.metrics.tabWidth;
    w.fit = layout.widestAdvance > 0 ? static_cast<size_t>(w.width / layout.widestAdvance)
                                     : static_cast<size_t>(-1);
    return w;
}

size_t AfterTerminator(const Wrapper& w, size_t i) {
    if (w.text[i] == '\r' && i + 1 < w.length && w.text[i + 1] == '\n') {
        return i + 2;
    }
    return i + 1;
}

// The start of the visual line after the one starting at p (the text's end
// when this is the last one).
size_t NextVisualLine(const Wrapper& w, size_t p) {
    const unsigned char* t = w.text;
    const size_t end = w.length;
    const size_t limit = w.fit < end - p ? p + w.fit : end;
    size_t i = p;
    while (i < limit && !kStop.of[t[i]]) {
        ++i;
    }
    if (i == end) {
        return end;
    }
    if (i < limit && t[i] != '\t') {
        return AfterTerminator(w, i);
    }
    // A tab, or a line long enough to reach the edge: measure it.
    int64_t x = 0;
    size_t breakAt = 0; // after the latest run of blanks; 0 while there is none
    for (i = p; i < end; ++i) {
        const unsigned char c = t[i];
        switch (kClass.of[c]) {
        case kPlain:
        case kControl:
            x += w.advance[c];
            if (x > w.width && i > p) {
                return breakAt != 0 ? breakAt : i;
            }
            break;
        case kBlank:
            x += w.advance[c];
            breakAt = i + 1;
            break;
        case kTab:
            x += w.tab - x % w.tab;
            breakAt = i + 1;
            break;
        default: return AfterTerminator(w, i);
        }
    }
    return end;
}

// Appends the starts of the visual lines from p (a visual line start) to the text's end.
bool WrapFrom(const ChatLayout& layout, LineList& list, size_t p) {
    const Wrapper w = MakeWrapper(layout);
    while (p < w.length) {
        if (list.count == list.capacity && !Reserve(list, list.count + 1)) {
            return false;
        }
        list.data[list.count++] = static_cast<uint32_t>(p);
        p = NextVisualLine(w, p);
    }
    return true;
}

// Lays the whole text out into a fresh list; the old one stays on failure.
bool Rewrap(ChatLayout& layout) {
    FreshLines fresh;
    LineList& list = fresh.list;
    if (!Reserve(list, layout.lineCount > 0 ? layout.lineCount : 1) || !WrapFrom(layout, list, 0)) {
        return false;
    }
    // Sized by the old line count, the list may be far too big after a widening.
    if (list.capacity > list.count + list.count / 4 + 1024) {
        const size_t fitted = list.count + list.count / 8 + 1024;
        if (void* smaller = std::realloc(list.data, fitted * sizeof(uint32_t))) {
            list.data = static_cast<uint32_t*>(smaller);
            list.capacity = fitted;
        }
    }
    fresh.MoveInto(layout);
    return true;
}

int32_t WidestAdvance(const ChatMetrics& metrics) {
    int32_t widest = 0;
    for (int c = 0; c < 256; ++c) {
        if (!kStop.of[c]) {
            widest = std::max(widest, metrics.advance[c]);
        }
    }
    return widest;
}

// The advance of byte c drawn at pen position x.
int64_t CellAdvance(const ChatLayout& layout, unsigned char c, int64_t x) {
    switch (kClass.of[c]) {
    case kTab: return layout.metrics.tabWidth - x % layout.metrics.tabWidth;
    case kCr:
    case kLf: return 0;
    default: return layout.metrics.advance[c];
    }
}

// The byte of a visual line at x: the one whose cell holds x, or, for the
// nearest edge, the one whose cell's middle lies beyond x. Past the last: the line's text end.
size_t ByteAt(const ChatLayout& layout, size_t line, int64_t x, bool nearestEdge) {
    const size_t end = LayoutLineTextEnd(layout, line);
    int64_t left = 0;
    for (size_t i = layout.lines[line]; i < end; ++i) {
        const int64_t w = CellAdvance(layout, static_cast<unsigned char>(layout.text[i]), left);
        if (nearestEdge ? 2 * (x - left) < w : x < left + w) {
            return i;
        }
        left += w;
    }
    return end;
}

} // namespace

void LayoutInit(ChatLayout& layout) {
    LayoutFree(layout);
    layout.metrics = ChatMetrics{};
    layout.width = 0;
    for (int32_t& a : layout.metrics.advance) {
        a = 1;
    }
    layout.metrics.tabWidth = 8;
    layout.metrics.controlGlyph = '?';
    layout.widestAdvance = 1;
}

ChatLayout::~ChatLayout() {
    LayoutFree(*this);
}

void LayoutFree(ChatLayout& layout) {
    std::free(layout.text);
    std::free(layout.lines);
    layout.text = nullptr;
    layout.lines = nullptr;
    layout.length = layout.capacity = layout.lineCount = layout.lineCapacity = 0;
}

bool LayoutSetMetrics(ChatLayout& layout, const ChatMetrics& metrics) {
    const ChatMetrics oldMetrics = layout.metrics;
    const int32_t oldWidest = layout.widestAdvance;
    layout.metrics = metrics;
    for (int32_t& a : layout.metrics.advance) {
        a = std::clamp(a, 0, kMaxAdvance);
    }
    layout.metrics.tabWidth = std::clamp(metrics.tabWidth, 1, kMaxAdvance);
    layout.widestAdvance = WidestAdvance(layout.metrics);
    if (!Rewrap(layout)) {
        layout.metrics = oldMetrics;
        layout.widestAdvance = oldWidest;
        return false;
    }
    return true;
}

bool LayoutSetWidth(ChatLayout& layout, int32_t width) {
    if (width == layout.width) {
        return true;
    }
    const int32_t oldWidth = layout.width;
    layout.width = width;
    if (!Rewrap(layout)) {
        layout.width = oldWidth;
        return false;
    }
    return true;
}

ChatChange LayoutSetText(ChatLayout& layout, const char* text, size_t length) {
    ChatChange change{false, false, 0};
    if (length > kChatMaxText || (text == nullptr && length != 0)) {
        return change;
    }
    const size_t oldLength = layout.length;
    const bool extends =
        length >= oldLength && (oldLength == 0 || std::memcmp(layout.text, text, oldLength) == 0);

    if (!extends) {
        // A new text altogether: build it aside so that a failure keeps the old one.
        ChatLayout fresh;
        fresh.metrics = layout.metrics;
        fresh.width = layout.width;
        fresh.widestAdvance = layout.widestAdvance;
        fresh.capacity = length + 1;
        fresh.text = static_cast<char*>(std::malloc(fresh.capacity));
        if (fresh.text == nullptr) {
            return change;
        }
        if (length != 0) {
            std::memcpy(fresh.text, text, length);
        }
        fresh.text[length] = '\0';
        fresh.length = length;
        FreshLines lines;
        if (!WrapFrom(fresh, lines.list, 0)) {
            return change; // both go with their owners; the old text stays
        }
        LayoutFree(layout);
        std::swap(layout.text, fresh.text);
        std::swap(layout.length, fresh.length);
        std::swap(layout.capacity, fresh.capacity);
        lines.MoveInto(layout);
        change.ok = true;
        return change;
    }

    return LayoutAppend(layout, text + oldLength, length - oldLength);
}

ChatChange LayoutAppend(ChatLayout& layout, const char* tail, size_t count) {
    ChatChange change{false, false, 0};
    const size_t oldLength = layout.length;
    if (count > kChatMaxText - oldLength || (tail == nullptr && count != 0)) {
        return change;
    }
    const size_t length = oldLength + count;
    if (length + 1 > layout.capacity) {
        size_t grown = layout.capacity + layout.capacity / 8 + 4096;
        if (grown < length + 1) {
            grown = length + 1;
        }
        void* moved = std::realloc(layout.text, grown);
        if (moved == nullptr) {
            return change;
        }
        layout.text = static_cast<char*>(moved);
        layout.capacity = grown;
    }
    if (count != 0) {
        std::memcpy(layout.text + oldLength, tail, count);
    }
    layout.text[length] = '\0';
    layout.length = length;

    // Only the last visual line can take more bytes: every line before it was
    // ended by a terminator or by a byte that did not fit, both already there.
    const size_t oldCount = layout.lineCount;
    const size_t last = oldCount > 0 ? oldCount - 1 : 0;
    const uint32_t lastStart = oldCount > 0 ? layout.lines[last] : 0;
    LineList list{layout.lines, last, layout.lineCapacity};
    const bool laid = WrapFrom(layout, list, lastStart);
    layout.lines = list.data;
    layout.lineCapacity = list.capacity;
    if (!laid) {
        layout.length = oldLength;
        layout.text[oldLength] = '\0';
        if (oldCount > 0) {
            layout.lines[last] = lastStart;
        }
        layout.lineCount = oldCount;
        return change;
    }
    layout.lineCount = list.count;
    change.ok = true;
    change.appended = true;
    change.firstChanged = last;
    if (oldCount > 0 && LayoutLineEnd(layout, last) == oldLength) {
        change.firstChanged = oldCount;
    }
    return change;
}

size_t LayoutLineStart(const ChatLayout& layout, size_t line) {
    return layout.lines[line];
}

size_t LayoutLineEnd(const ChatLayout& layout, size_t line) {
    return line + 1 < layout.lineCount ? layout.lines[line + 1] : layout.length;
}

size_t LayoutLineTextEnd(const ChatLayout& layout, size_t line) {
    const size_t start = layout.lines[line];
    size_t end = LayoutLineEnd(layout, line);
    if (end > start && layout.text[end - 1] == '\n') {
        --end;
    }
    if (end > start && layout.text[end - 1] == '\r') {
        --end;
    }
    return end;
}

size_t LayoutLineOf(const ChatLayout& layout, size_t offset) {
    if (layout.lineCount == 0) {
        return 0;
    }
    const uint32_t* first = layout.lines;
    const uint32_t* past = layout.lines + layout.lineCount;
    const uint32_t key = static_cast<uint32_t>(std::min(offset, layout.length));
    const uint32_t* above = std::upper_bound(first, past, key);
    return above == first ? 0 : static_cast<size_t>(above - first) - 1;
}

int64_t LayoutOffsetX(const ChatLayout& layout, size_t line, size_t offset) {
    const size_t start = layout.lines[line];
    const size_t stop = std::min(std::max(offset, start), LayoutLineTextEnd(layout, line));
    int64_t x = 0;
    for (size_t i = start; i < stop; ++i) {
        x += CellAdvance(layout, static_cast<unsigned char>(layout.text[i]), x);
    }
    return x;
}

size_t LayoutHitTest(const ChatLayout& layout, size_t line, int64_t x) {
    return ByteAt(layout, line, x, true);
}

size_t LayoutCharAt(const ChatLayout& layout, size_t line, int64_t x) {
    return ByteAt(layout, line, x, false);
}

size_t LayoutShape(const ChatLayout& layout, size_t from, size_t to, int64_t& x, char* glyphs,
                   int* advances, size_t capacity) {
    const size_t stop = std::min(to, layout.length);
    size_t n = 0;
    for (size_t i = from; i < stop && n < capacity; ++i, ++n) {
        const unsigned char c = static_cast<unsigned char>(layout.text[i]);
        const int64_t w = CellAdvance(layout, c, x);
        switch (kClass.of[c]) {
        case kPlain: glyphs[n] = static_cast<char>(c); break;
        case kControl: glyphs[n] = static_cast<char>(layout.metrics.controlGlyph); break;
        default: glyphs[n] = ' '; break;
        }
        advances[n] = static_cast<int>(w);
        x += w;
    }
    return n;
}

size_t LayoutIndexBytes(const ChatLayout& layout) {
    return layout.lineCapacity * sizeof(uint32_t);
}
