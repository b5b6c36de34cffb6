// libFuzzer target for the transcript layout at the extremes the pane can
// bring: any 32-bit width (negative, zero, up to INT32_MAX), glyph widths and
// tab widths of any 32-bit value (the layout clamps them), and the control's
// own way of adding text (LayoutAppend after it compared the texts itself)
// interleaved with replacements and truncations. After every step the lines
// must equal the plain model's, each byte must lie on the line LayoutLineOf
// names, and hit tests must stay on their line.
#include "transcript/ChatLayout.h"
#include "tests/transcript/ChatLayoutModel.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Input {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    uint8_t Byte() { return at < size ? data[at++] : 0; }
    int32_t Int() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            v = (v << 8) | Byte();
        }
        return static_cast<int32_t>(v);
    }
    bool Done() const { return at >= size; }
    std::string Bytes(size_t n) {
        n = n < size - at ? n : size - at;
        std::string s(reinterpret_cast<const char*>(data + at), n);
        at += n;
        return s;
    }
};

// Widths the pane meets, or any 32-bit value.
int32_t WidthFrom(Input& in) {
    static const int32_t kSpecial[] = {INT32_MIN, -1, 0, 1, 2, 7, 640, 8000, 65535, INT32_MAX};
    const uint8_t pick = in.Byte();
    if (pick < 160) {
        return kSpecial[pick % (sizeof kSpecial / sizeof kSpecial[0])];
    }
    return in.Int();
}

ChatMetrics MetricsFrom(Input& in) {
    ChatMetrics m{};
    const int32_t scale = in.Int();
    const int mul = in.Byte() | 1;
    const int mod = in.Byte() % 16 + 1;
    for (int c = 0; c < 256; ++c) {
        // Small widths times any scale: zero, negative and past the clamp included.
        const int64_t a = static_cast<int64_t>((c * mul) % mod) * scale;
        m.advance[c] = static_cast<int32_t>(a < INT32_MIN   ? INT32_MIN
                                            : a > INT32_MAX ? INT32_MAX
                                                            : a);
    }
    if (in.Byte() & 1) {
        m.advance[in.Byte()] = in.Int();
    }
    m.tabWidth = in.Byte() & 1 ? in.Int() : in.Byte() % 64;
    m.controlGlyph = in.Byte();
    return m;
}

void Check(const ChatLayout& layout, const std::string& shadow) {
    if (layout.length != shadow.size() ||
        (!shadow.empty() && (std::memcmp(layout.text, shadow.data(), shadow.size()) != 0 ||
                             layout.text[layout.length] != '\0'))) {
        std::abort();
    }
    if (LayoutLineStarts(layout) != ModelLineStarts(shadow, layout.metrics, layout.width)) {
        std::abort();
    }
    for (size_t line = 0; line < layout.lineCount; ++line) {
        const size_t start = LayoutLineStart(layout, line);
        const size_t end = LayoutLineEnd(layout, line);
        if (start >= end || LayoutLineOf(layout, start) != line ||
            LayoutLineOf(layout, end - 1) != line) {
            std::abort();
        }
        for (const int64_t x :
             {INT64_MIN / 4, int64_t{-1}, int64_t{0}, int64_t{layout.width}, INT64_MAX / 4}) {
            const size_t hit = LayoutHitTest(layout, line, x);
            const size_t under = LayoutCharAt(layout, line, x);
            const size_t textEnd = LayoutLineTextEnd(layout, line);
            if (hit < start || hit > textEnd || under < start || under > textEnd) {
                std::abort();
            }
        }
    }
    if (LayoutLineOf(layout, SIZE_MAX) != (layout.lineCount > 0 ? layout.lineCount - 1 : 0)) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in{data, size};
    ChatLayout layout;
    LayoutInit(layout);
    std::string shadow;
    if (!LayoutSetMetrics(layout, MetricsFrom(in)) || !LayoutSetWidth(layout, WidthFrom(in))) {
        std::abort();
    }
    while (!in.Done()) {
        const uint8_t op = in.Byte();
        ChatChange change{true, false, 0};
        switch (op % 8) {
        case 0:
        case 1:
        case 2: { // the control's append: the tail alone
            const std::string tail = in.Bytes(in.Byte() % 48);
            shadow += tail;
            change = LayoutAppend(layout, tail.data(), tail.size());
            break;
        }
        case 3: // a replacement with other bytes
            shadow = in.Bytes(in.Byte() % 48);
            change = LayoutSetText(layout, shadow.data(), shadow.size());
            break;
        case 4: // cut short: a prefix of the old text
            shadow.resize(shadow.size() * in.Byte() / 256);
            change = LayoutSetText(layout, shadow.data(), shadow.size());
            break;
        case 5: // cleared
            shadow.clear();
            change = LayoutSetText(layout, nullptr, 0);
            break;
        case 6:
            if (!LayoutSetWidth(layout, WidthFrom(in))) {
                std::abort();
            }
            break;
        default:
            if (!LayoutSetMetrics(layout, MetricsFrom(in))) {
                std::abort();
            }
            break;
        }
        if (!change.ok) {
            std::abort();
        }
        Check(layout, shadow);
    }
    LayoutFree(layout);
    return 0;
}
