// libFuzzer target for the transcript layout at the extremes the pane can
// bring: any 32-bit width (negative, zero, up to INT32_MAX), glyph widths and
// tab widths of any 32-bit value (the layout clamps them), and the control's
// own way of adding text (LayoutAppend after it compared the texts itself)
// interleaved with replacements and truncations. After every step the lines
// must equal the plain model's, each byte must lie on the line LayoutLineOf
// names, and hit tests must stay on their line.
#include "tests/transcript/LayoutFuzz.h"

#include <climits>

namespace {

// Widths the pane meets, or any 32-bit value.
int32_t WidthFrom(FuzzInput& in) {
    static const int32_t kSpecial[] = {INT32_MIN, -1, 0, 1, 2, 7, 640, 8000, 65535, INT32_MAX};
    const uint8_t pick = in.Byte();
    if (pick < 160) {
        return kSpecial[pick % (sizeof kSpecial / sizeof kSpecial[0])];
    }
    return in.Int();
}

ChatMetrics MetricsFrom(FuzzInput& in) {
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
    CheckTextAndLines(layout, shadow);
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

// The control's own ways of changing the text, a width or the metrics.
void Step(FuzzInput& in, ChatLayout& layout, std::string& shadow) {
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
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RunLayoutFuzz(data, size, MetricsFrom, WidthFrom, Step, Check);
    return 0;
}
