// libFuzzer target for the transcript layout: arbitrary bytes, any width and
// glyph widths, appends, replacements and resizes interleaved. After every step
// the lines must equal a fresh layout of the whole text by the plain model, and
// measuring must agree with shaping.
#include "tests/transcript/LayoutFuzz.h"
#include "transcript/TextUnits.h"

namespace {

ChatMetrics MetricsFrom(FuzzInput& in) {
    ChatMetrics m{};
    const int mul = in.Byte() | 1;
    const int add = in.Byte();
    const int mod = in.Byte() % 40 + 1;
    for (int c = 0; c < 256; ++c) {
        m.advance[c] = (c * mul + add) % mod;
    }
    m.tabWidth = in.Byte() % 64 + 1;
    m.controlGlyph = '?';
    return m;
}

int32_t WidthFrom(FuzzInput& in) {
    return static_cast<int32_t>(in.Byte()) * 3 - 20;
}

void Check(const ChatLayout& layout, const std::string& shadow) {
    CheckTextAndLines(layout, shadow);
    if (shadow.size() > 4096) {
        return;
    }
    char glyphs[64];
    int advances[64];
    for (size_t line = 0; line < layout.lineCount; ++line) {
        const size_t start = LayoutLineStart(layout, line);
        const size_t end = LayoutLineTextEnd(layout, line);
        if (LayoutLineOf(layout, start) != line || end < start) {
            std::abort();
        }
        int64_t x = 0;
        for (size_t from = start; from < end;) {
            from += LayoutShape(layout, from, end, x, glyphs, advances, sizeof glyphs);
        }
        if (x != LayoutOffsetX(layout, line, end)) {
            std::abort();
        }
        const size_t hit = LayoutHitTest(layout, line, x / 2);
        const size_t under = LayoutCharAt(layout, line, x / 2);
        if (hit < start || hit > end || under < start || under > end) {
            std::abort();
        }
        size_t b = 0, e = 0;
        WordAt(layout, hit, b, e);
        if (b > e || e > layout.length) {
            std::abort();
        }
        ChatLineAt(layout, hit, b, e);
        if (b > start || e < end || e > layout.length) {
            std::abort();
        }
    }
}

// Appends, replacements and resizes, each text set as a whole.
void Step(FuzzInput& in, ChatLayout& layout, std::string& shadow) {
    const uint8_t op = in.Byte();
    switch (op % 8) {
    case 6: // a replacement: a shorter prefix, or other bytes altogether
        if (op & 0x80) {
            shadow.resize(shadow.size() / 2);
        } else {
            shadow = in.Bytes(in.Byte() % 64);
        }
        break;
    case 7:
        if (op & 0x80) {
            LayoutSetMetrics(layout, MetricsFrom(in));
        } else {
            LayoutSetWidth(layout, WidthFrom(in));
        }
        break;
    default: shadow += in.Bytes(in.Byte() % 64); break;
    }
    if (!LayoutSetText(layout, shadow.data(), shadow.size()).ok) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RunLayoutFuzz(data, size, MetricsFrom, WidthFrom, Step, Check);
    return 0;
}
