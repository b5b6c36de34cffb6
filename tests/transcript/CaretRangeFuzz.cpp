// libFuzzer target for the caret against the text ranges a screen reader is
// given: any text, width and glyph widths, then keys and clicks. After each,
// the line the caret's range expands to is the row the caret is drawn on.
#include "tests/transcript/LayoutFuzz.h"
#include "transcript/CaretModel.h"
#include "transcript/TextRangeModel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in{data, size};
    ChatLayout layout;
    LayoutInit(layout);
    layout.wordBytes = TestWordBytes();
    ChatMetrics metrics = Monospace(in.Byte() % 16 + 1);
    const int mod = in.Byte() % 4 + 1;
    for (int c = 0; c < 256; ++c) {
        metrics.advance[c] = c % mod + 1;
    }
    const int32_t width = in.Byte();
    const std::string text = in.Bytes(in.Byte());
    if (!LayoutSetMetrics(layout, metrics) || !LayoutSetWidth(layout, width) ||
        !LayoutSetText(layout, text.data(), text.size()).ok) {
        std::abort();
    }
    Selection sel{};
    CaretPlace place{};
    while (!in.Done()) {
        const uint8_t op = in.Byte();
        if (op >= 0xf0 && layout.lineCount != 0) { // a click
            const size_t line = in.Byte() % layout.lineCount;
            sel.anchor = sel.caret = LayoutHitTest(layout, line, in.Byte());
            place = CaretPlaceOn(layout, line, sel.caret);
        } else {
            CaretMove(layout, sel, place, static_cast<CaretKey>(op % 12), (op & 0x10) != 0, 3);
        }
        TextRange caret{sel.caret, sel.caret, place.lineEnd}; // as the text pattern makes it
        RangeExpand(layout, caret, RangeUnit::Line);
        if (layout.lineCount != 0 &&
            LayoutLineOf(layout, caret.start) != CaretLine(layout, sel.caret, place)) {
            std::abort();
        }
    }
    LayoutFree(layout);
    return 0;
}
