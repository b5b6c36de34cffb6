// The transcript's caret without a window: the keys of a text box over
// wrapped visual lines, with and without Shift.
#include "transcript/CaretModel.h"

#include "tests/transcript/ChatLayoutModel.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Every byte one pixel wide; at 12 pixels the chat wraps as
// "<Ada> hello " | "world\r\n" | "<Bob> hi\r\n".
const char kChat[] = "<Ada> hello world\r\n<Bob> hi\r\n";

class CaretTest : public ::testing::Test {
protected:
    // The layout owns its buffers: loading again, or the test's end, frees them.
    void Load(const std::string& text, int32_t width = 12) {
        ASSERT_TRUE(LoadMonospace(layout, text, width));
    }
    size_t At(const char* s) const { return std::string(layout.text, layout.length).find(s); }
    void Put(size_t at) {
        sel = Selection{};
        sel.anchor = sel.caret = at;
        place = CaretPlace{};
    }
    // Answers the caret after the key.
    size_t Press(CaretKey key, bool shift = false, size_t page = 2) {
        CaretMove(layout, sel, place, key, shift, page);
        return sel.caret;
    }
    size_t Line() const { return CaretLine(layout, sel.caret, place); }
    int64_t X() const { return CaretX(layout, sel.caret, place); }
    std::string Selected() const {
        return std::string(layout.text + SelectionFrom(sel), SelectionTo(sel) - SelectionFrom(sel));
    }

    ChatLayout layout;
    Selection sel{};
    CaretPlace place{};
};

TEST_F(CaretTest, LeftAndRightStepByCharacterOverALineBreakAtOnceAndStopAtTheEnds) {
    Load(kChat);
    Put(At("d\r\n"));
    EXPECT_EQ(Press(CaretKey::Right), At("\r\n"));
    EXPECT_EQ(Press(CaretKey::Right), At("<Bob>")) << "CR LF is one step";
    EXPECT_EQ(Press(CaretKey::Left), At("\r\n"));
    Put(0);
    EXPECT_EQ(Press(CaretKey::Left), 0u);
    Put(layout.length);
    EXPECT_EQ(Press(CaretKey::Right), layout.length);
    // The very end shows where the last line break begins; a step back moves off it.
    EXPECT_EQ(Line(), 2u);
    EXPECT_EQ(X(), 8);
    EXPECT_EQ(Press(CaretKey::Left), layout.length - 3);
    EXPECT_EQ(X(), 7);
    EXPECT_TRUE(SelectionEmpty(sel));
}

TEST_F(CaretTest, ShiftExtendsFromTheAnchorAndAPlainArrowEndsTheSelectionAtItsSide) {
    Load(kChat);
    Put(At("hello"));
    Press(CaretKey::Right, true);
    Press(CaretKey::WordRight, true);
    EXPECT_EQ(Selected(), "hello ");
    Press(CaretKey::Left, true);
    EXPECT_EQ(Selected(), "hello");
    EXPECT_EQ(sel.anchor, At("hello")) << "the anchor stays";
    // Left and Right without Shift go to the selection's own start or end.
    EXPECT_EQ(Press(CaretKey::Left), At("hello"));
    EXPECT_TRUE(SelectionEmpty(sel));
    Press(CaretKey::LineEnd, true);
    EXPECT_EQ(Selected(), "hello ");
    EXPECT_EQ(Press(CaretKey::Right), At("world"));
    EXPECT_TRUE(SelectionEmpty(sel));
    // Back past the anchor: the selection runs the other way from it.
    Put(At("Bob"));
    Press(CaretKey::Up, true);
    EXPECT_EQ(Selected(), "orld\r\n<");
    EXPECT_EQ(sel.anchor, At("Bob"));
    Press(CaretKey::TextEnd, true);
    EXPECT_EQ(Selected(), "Bob> hi\r\n");
}

TEST_F(CaretTest, WordKeysGoToWordStartsAndStopAtLineEnds) {
    Load(kChat, 1000);
    Put(At("Ada"));
    EXPECT_EQ(Press(CaretKey::WordRight), At("> hello"));
    EXPECT_EQ(Press(CaretKey::WordRight), At("hello")) << "over the blank after a sign";
    EXPECT_EQ(Press(CaretKey::WordRight), At("world"));
    EXPECT_EQ(Press(CaretKey::WordRight), At("\r\n")) << "a line's end is a stop";
    EXPECT_EQ(Press(CaretKey::WordRight), At("<Bob"));
    EXPECT_EQ(Press(CaretKey::WordLeft), At("\r\n"));
    EXPECT_EQ(Press(CaretKey::WordLeft), At("world"));
    EXPECT_EQ(Press(CaretKey::WordLeft), At("hello")) << "over the blank before it";
    Put(layout.length);
    EXPECT_EQ(Press(CaretKey::WordLeft), At("hi"));
    // Blanks at a line's start: back from the word stops at the line's start.
    Load("ab\r\n  cd\r\n", 1000);
    Put(At("cd"));
    EXPECT_EQ(Press(CaretKey::WordLeft), At("  cd"));
    EXPECT_EQ(Press(CaretKey::WordLeft), At("\r\n"));
    EXPECT_EQ(Press(CaretKey::WordLeft), 0u);
}

TEST_F(CaretTest, UpAndDownFollowVisualLinesAndKeepTheColumnAcrossShortOnes) {
    Load(kChat);
    Put(At("lo "));
    ASSERT_EQ(X(), 9);
    EXPECT_EQ(Press(CaretKey::Down), At("\r\n<Bob")) << "the short line's end";
    EXPECT_EQ(Line(), 1u);
    EXPECT_EQ(Press(CaretKey::Down), layout.length - 2) << "back at column 9, or the end";
    EXPECT_EQ(X(), 8) << "the last line is shorter: its end";
    EXPECT_EQ(Press(CaretKey::Down), layout.length - 2) << "no line below: it stays";
    EXPECT_EQ(Press(CaretKey::Up), At("\r\n<Bob"));
    EXPECT_EQ(Press(CaretKey::Up), At("lo "));
    EXPECT_EQ(Press(CaretKey::Up), At("lo ")) << "no line above: it stays";
    // Any other key forgets the column.
    Press(CaretKey::Left);
    Press(CaretKey::Down);
    EXPECT_EQ(X(), 5);
}

TEST_F(CaretTest, HomeAndEndGoToTheVisualLinesEndsAndAWrapPointStaysOnItsLine) {
    Load(kChat);
    Put(At("ello"));
    EXPECT_EQ(Press(CaretKey::LineEnd), At("world"));
    EXPECT_EQ(Line(), 0u) << "the end of the wrapped line, not the start of the next";
    EXPECT_EQ(X(), 12);
    EXPECT_EQ(Press(CaretKey::LineStart), 0u);
    Put(At("world"));
    EXPECT_EQ(Line(), 1u) << "the same offset from elsewhere starts the next line";
    EXPECT_EQ(Press(CaretKey::LineEnd), At("\r\n"));
    EXPECT_EQ(Press(CaretKey::LineStart), At("world"));
    EXPECT_EQ(Line(), 1u);
    // Down from a wrapped line's end keeps its column.
    Put(0);
    Press(CaretKey::LineEnd);
    EXPECT_EQ(Press(CaretKey::Down), At("\r\n<"));
    // A click at a wrapped line's end places the caret there too.
    place = CaretPlaceOn(layout, 0, At("world"));
    sel.caret = At("world");
    EXPECT_EQ(Line(), 0u);
    place = CaretPlaceOn(layout, 1, At("world"));
    EXPECT_EQ(Line(), 1u);
}

TEST_F(CaretTest, PageKeysMoveByTheGivenLinesAndTheTextsEndsAreReached) {
    Load("a\r\nb\r\nc\r\nd\r\ne\r\n");
    Put(0);
    EXPECT_EQ(Press(CaretKey::PageDown, false, 3), At("d"));
    EXPECT_EQ(Press(CaretKey::PageDown, false, 3), At("e")) << "the last line";
    EXPECT_EQ(Press(CaretKey::PageUp, true, 3), At("b"));
    EXPECT_EQ(Selected(), "b\r\nc\r\nd\r\n");
    EXPECT_EQ(Press(CaretKey::PageUp, false, 0), At("a")) << "a page is at least a line";
    EXPECT_EQ(Press(CaretKey::TextEnd), layout.length);
    EXPECT_EQ(Line(), 4u);
    EXPECT_EQ(Press(CaretKey::TextStart, true), 0u);
    EXPECT_EQ(Selected(), "a\r\nb\r\nc\r\nd\r\ne\r\n");
}

TEST_F(CaretTest, AnEmptyTextOrACaretPastTheTextKeepsItAtAnEnd) {
    Load("");
    for (const CaretKey k :
         {CaretKey::Left, CaretKey::Right, CaretKey::WordLeft, CaretKey::WordRight, CaretKey::Up,
          CaretKey::Down, CaretKey::PageUp, CaretKey::PageDown, CaretKey::LineStart,
          CaretKey::LineEnd, CaretKey::TextStart, CaretKey::TextEnd}) {
        Put(0);
        EXPECT_EQ(Press(k, true), 0u);
        EXPECT_EQ(Line(), 0u);
        EXPECT_EQ(X(), 0);
    }
    // A caret left past a text that shrank moves from the text's end.
    Load(kChat);
    Put(layout.length + 40);
    EXPECT_EQ(Line(), 2u);
    EXPECT_EQ(Press(CaretKey::Right), layout.length);
    Put(layout.length + 40);
    EXPECT_EQ(Press(CaretKey::Up), At("\r\n<Bob"));
}

} // namespace
