// The transcript's text and its visual lines, free of any Windows header so that
// it builds and is tested natively too. The control measures its font once and
// hands the widths in; everything else here is arithmetic on bytes.
//
// Rules of the layout:
// - A logical line ends at CR LF, at a lone CR or at a lone LF. A terminator at
//   the very end of the text starts no further (empty) visual line.
// - A logical line wraps at `width` pixels after a run of blanks (space, tab)
//   where one lies on the line, else inside the word. Blanks never wrap: they
//   hang past the edge, and the next visual line starts after them. Every
//   visual line holds at least one byte, so a width of 0 cannot loop.
// - A tab advances to the next multiple of `tabWidth` from the visual line's left edge.
// - Any other byte advances by its entry in the width table; control bytes are
//   drawn as `controlGlyph`.
#pragma once

#include <cstddef>
#include <cstdint>

struct ChatMetrics {
    int32_t advance[256]; // pixels per byte as drawn (control bytes: the width of controlGlyph)
    int32_t tabWidth;     // distance between tab stops, at least 1
    unsigned char controlGlyph;
};

// The whole text and the start offset of every visual line (4 bytes a line).
// Texts are limited to kChatMaxText bytes so that offsets fit in 32 bits.
// The layout owns its two buffers: it is never copied, and they go with it.
struct ChatLayout {
    char* text = nullptr;
    size_t length = 0;
    size_t capacity = 0;
    uint32_t* lines = nullptr;
    size_t lineCount = 0;
    size_t lineCapacity = 0;
    ChatMetrics metrics{};
    int32_t width = 0;
    int32_t widestAdvance = 0; // of the bytes that are neither tab nor terminator
    // 256 entries, nonzero for a byte of a word, as the code page has it (set
    // by the window); null: no byte is one. Word units are runs of such bytes.
    const unsigned char* wordBytes = nullptr;

    ChatLayout() = default;
    ChatLayout(const ChatLayout&) = delete;
    ChatLayout& operator=(const ChatLayout&) = delete;
    ~ChatLayout();
};

inline constexpr size_t kChatMaxText = 0x7FFFFFFF;

// What a text change did, so that the control repaints only what changed.
struct ChatChange {
    bool ok;             // false: no memory or text too long; nothing was changed
    bool appended;       // the new text started with the old one
    size_t firstChanged; // visual lines before this one kept their bytes
};

// Empties the layout (what it held is released) with 1-pixel glyphs.
void LayoutInit(ChatLayout& layout);
void LayoutFree(ChatLayout& layout);

// Both re-wrap the whole text. On failure (no memory) the old lines stay, so
// the text is still drawn, at the old width.
bool LayoutSetMetrics(ChatLayout& layout, const ChatMetrics& metrics);
bool LayoutSetWidth(ChatLayout& layout, int32_t width);

// Replaces the text with `length` bytes. When they start with the current
// text, only the tail is laid out (from the last visual line on).
ChatChange LayoutSetText(ChatLayout& layout, const char* text, size_t length);
// Adds bytes at the end, for a caller that has already compared the texts.
ChatChange LayoutAppend(ChatLayout& layout, const char* tail, size_t length);

// Visual line access; `line` must be below lineCount.
size_t LayoutLineStart(const ChatLayout& layout, size_t line);
size_t LayoutLineEnd(const ChatLayout& layout, size_t line);     // with the terminator
size_t LayoutLineTextEnd(const ChatLayout& layout, size_t line); // without it
// The visual line holding an offset (a wrap point belongs to the later line);
// 0 for an empty layout.
size_t LayoutLineOf(const ChatLayout& layout, size_t offset);

// x of the left edge of `offset` on its visual line (offset within the line's text).
int64_t LayoutOffsetX(const ChatLayout& layout, size_t line, size_t offset);
// The offset nearest to x on a visual line: between its start and its text end.
size_t LayoutHitTest(const ChatLayout& layout, size_t line, int64_t x);
// The byte whose cell holds x, or the line's text end past its last byte.
size_t LayoutCharAt(const ChatLayout& layout, size_t line, int64_t x);

// Turns bytes [from, to) of a visual line into drawable glyphs and their
// advances; x is the pen position of `from` from the line's left edge and moves
// on. Answers the number of glyphs written (at most `capacity`, fewer when the
// range is longer: call again from from + count).
size_t LayoutShape(const ChatLayout& layout, size_t from, size_t to, int64_t& x, char* glyphs,
                   int* advances, size_t capacity);

// Bytes held beyond the text itself (the line index), for the benchmark.
size_t LayoutIndexBytes(const ChatLayout& layout);
