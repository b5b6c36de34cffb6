// libFuzzer target for the text ranges a screen reader walks: any text, width
// and glyph widths, then ranges moved, expanded and stretched by every unit
// and count. Every step must keep start <= end <= length, a move of n units
// moves at most n and the right way, a move by none changes nothing, a moved
// range is empty or one whole unit, and expanding twice is expanding once.
// Between them, keys and clicks move a caret: the line its range (as the text
// pattern makes it) expands to is the row the caret is drawn on.
#include "tests/transcript/LayoutFuzz.h"
#include "transcript/CaretModel.h"
#include "transcript/TextRangeModel.h"

#include <cstdlib>

namespace {

ChatMetrics MetricsFrom(FuzzInput& in) {
    ChatMetrics m = Monospace(in.Byte() % 16 + 1);
    const int mod = in.Byte() % 8 + 1;
    for (int c = 0; c < 256; ++c) {
        m.advance[c] = c % mod;
    }
    return m;
}

void Expect(bool holds) {
    if (!holds) {
        std::abort();
    }
}

void ExpectSound(const ChatLayout& l, const TextRange& r) {
    Expect(r.start <= r.end && r.end <= l.length);
}

bool Same(const TextRange& a, const TextRange& b) {
    return a.start == b.start && a.end == b.end;
}

// A count as clients send them: mostly small, now and then an extreme.
int CountFrom(FuzzInput& in) {
    const uint8_t kind = in.Byte();
    return kind & 0x80 ? in.Int() : static_cast<int8_t>(in.Byte());
}

void ExpectMovedAtMost(int moved, int count) {
    Expect(count >= 0 ? (moved >= 0 && moved <= count) : (moved <= 0 && moved >= count));
}

void MoveCaret(FuzzInput& in, const ChatLayout& l, Selection& sel, CaretPlace& place) {
    const uint8_t key = in.Byte();
    if (key >= 0xf0 && l.lineCount != 0) { // a click
        const size_t line = in.Byte() % l.lineCount;
        sel.anchor = sel.caret = LayoutHitTest(l, line, in.Byte());
        place = CaretPlaceOn(l, line, sel.caret);
    } else {
        CaretMove(l, sel, place, static_cast<CaretKey>(key % 12), (key & 0x10) != 0, 3);
    }
    TextRange caret{sel.caret, sel.caret, place.lineEnd};
    RangeExpand(l, caret, RangeUnit::Line);
    Expect(l.lineCount == 0 || LayoutLineOf(l, caret.start) == CaretLine(l, sel.caret, place));
}

void Step(FuzzInput& in, const ChatLayout& l, TextRange& r) {
    const uint8_t op = in.Byte();
    const RangeUnit unit = static_cast<RangeUnit>(op % 5);
    const TextRange before = r;
    switch ((op >> 3) % 5) {
    case 0: { // a new range anywhere in the text
        const size_t a = static_cast<uint32_t>(in.Int()) % (l.length + 1);
        const size_t b = static_cast<uint32_t>(in.Int()) % (l.length + 1);
        r = TextRange{a < b ? a : b, a < b ? b : a};
        break;
    }
    case 1: {
        const int count = CountFrom(in);
        const int moved = RangeMove(l, r, unit, count);
        ExpectMovedAtMost(moved, count);
        if (moved == 0) {
            Expect(Same(r, before));
        } else if (before.start == before.end) {
            Expect(r.start == r.end);
        } else {
            Expect(r.start < r.end && r.end == UnitNext(l, unit, r.start));
        }
        break;
    }
    case 2: {
        const int count = CountFrom(in);
        const int moved = RangeMoveEndpoint(l, r, (op & 0x80) != 0, unit, count);
        ExpectMovedAtMost(moved, count);
        Expect(moved != 0 || Same(r, before));
        break;
    }
    case 3: {
        RangeExpand(l, r, unit);
        ExpectSound(l, r);
        Expect(r.start <= before.start);
        Expect(before.start >= l.length || r.end > before.start);
        const TextRange once = r;
        RangeExpand(l, r, unit);
        Expect(Same(r, once));
        break;
    }
    default: { // unit boundaries on either side of an offset
        const size_t o = static_cast<uint32_t>(in.Int()) % (l.length + 1);
        const size_t next = UnitNext(l, unit, o);
        const size_t prev = UnitPrev(l, unit, o);
        Expect(o < l.length ? (next > o && next <= l.length) : next == l.length);
        Expect(o > 0 ? prev < o : prev == 0);
        break;
    }
    }
    ExpectSound(l, r);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in{data, size};
    ChatLayout layout;
    LayoutInit(layout);
    layout.wordBytes = TestWordBytes();
    const ChatMetrics metrics = MetricsFrom(in);
    const int32_t width = static_cast<int32_t>(in.Byte()) - 8;
    const std::string text = in.Bytes(in.Byte() * 4u);
    if (!LayoutSetMetrics(layout, metrics) || !LayoutSetWidth(layout, width) ||
        !LayoutSetText(layout, text.data(), text.size()).ok) {
        std::abort();
    }
    TextRange r{0, 0};
    Selection sel{};
    CaretPlace place{};
    while (!in.Done()) {
        Step(in, layout, r);
        MoveCaret(in, layout, sel, place);
    }
    LayoutFree(layout);
    return 0;
}
