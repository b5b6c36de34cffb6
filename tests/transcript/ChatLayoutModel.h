// A plain, slow model of the transcript's line breaking: one byte at a time,
// no shortcuts and no incremental work. The tests and the fuzzer hold the real
// layout against it.
#pragma once

#include "transcript/ChatLayout.h"

#include <cstdint>
#include <string>
#include <vector>

// Every byte one pixel wide, so widths read as character counts.
inline ChatMetrics Monospace(int32_t tabWidth = 8) {
    ChatMetrics m{};
    for (int32_t& a : m.advance) {
        a = 1;
    }
    m.tabWidth = tabWidth;
    m.controlGlyph = '~';
    return m;
}

// Word bytes as a code page might have them: ASCII letters, digits and _, and
// the Latin-1 letters from 0xC0 up (not the signs 0xD7 and 0xF7); the quotes,
// dashes and the no-break space below 0xC0 are not.
inline const unsigned char* TestWordBytes() {
    static const struct Table {
        unsigned char word[256];
        Table() : word{} {
            for (int c = 0; c < 256; ++c) {
                word[c] = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
                          (c >= 'a' && c <= 'z') || c == '_' ||
                          (c >= 0xC0 && c != 0xD7 && c != 0xF7);
            }
        }
    } table;
    return table.word;
}

// The layout in 1-pixel glyphs and the test word bytes, wrapped at `width`
// pixels and holding `text`; what it held before goes. Answers whether every
// step took.
inline bool LoadMonospace(ChatLayout& layout, const std::string& text, int32_t width) {
    LayoutInit(layout);
    layout.wordBytes = TestWordBytes();
    return LayoutSetMetrics(layout, Monospace()) && LayoutSetWidth(layout, width) &&
           LayoutSetText(layout, text.data(), text.size()).ok;
}

inline std::vector<size_t> ModelLineStarts(const std::string& text, const ChatMetrics& m,
                                           int64_t width) {
    std::vector<size_t> starts;
    const size_t n = text.size();
    if (width < 0) {
        width = 0;
    }
    size_t p = 0;
    while (p < n) {
        starts.push_back(p);
        int64_t x = 0;
        size_t breakAt = 0;
        size_t next = n;
        for (size_t i = p; i < n; ++i) {
            const unsigned char c = static_cast<unsigned char>(text[i]);
            if (c == '\r') {
                next = (i + 1 < n && text[i + 1] == '\n') ? i + 2 : i + 1;
                break;
            }
            if (c == '\n') {
                next = i + 1;
                break;
            }
            if (c == ' ') {
                x += m.advance[c];
                breakAt = i + 1;
            } else if (c == '\t') {
                x += m.tabWidth - x % m.tabWidth;
                breakAt = i + 1;
            } else {
                x += m.advance[c];
                if (x > width && i > p) {
                    next = breakAt != 0 ? breakAt : i;
                    break;
                }
            }
        }
        p = next;
    }
    return starts;
}

inline std::vector<size_t> LayoutLineStarts(const ChatLayout& layout) {
    return std::vector<size_t>(layout.lines, layout.lines + layout.lineCount);
}
