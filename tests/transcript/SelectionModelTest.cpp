// The transcript's selection without a window: clicks, Shift+clicks, word and
// line drags, and what has to be drawn again when it changes.
#include "transcript/SelectionModel.h"

#include "tests/transcript/ChatLayoutModel.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class SelectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        LayoutInit(layout);
        layout.wordBytes = TestWordBytes();
        ASSERT_TRUE(LayoutSetMetrics(layout, Monospace()));
        ASSERT_TRUE(LayoutSetWidth(layout, 1000));
        const std::string text = "<Ada> hello world\r\n<Bob> second line\r\n<Cy> third\r\n";
        ASSERT_TRUE(LayoutSetText(layout, text.data(), text.size()).ok);
    }
    void TearDown() override { LayoutFree(layout); }

    std::string Selected() const {
        return std::string(layout.text + SelectionFrom(sel), SelectionTo(sel) - SelectionFrom(sel));
    }
    size_t At(const char* word) const { return std::string(layout.text).find(word); }

    ChatLayout layout;
    Selection sel{};
};

TEST_F(SelectionTest, AClickSelectsNothingAndShiftClickExtendsEitherWay) {
    SelectionClick(sel, At("hello"));
    EXPECT_TRUE(SelectionEmpty(sel));
    SelectionExtend(sel, At("world") + 5);
    EXPECT_EQ(Selected(), "hello world");
    SelectionExtend(sel, At("Ada"));
    EXPECT_EQ(Selected(), "Ada> ") << "back past the anchor: the anchor stays";
    EXPECT_EQ(sel.anchor, At("hello"));
}

TEST_F(SelectionTest, WordDragsKeepTheFirstWordWholeInBothDirections) {
    SelectionClickUnit(sel, layout, SelectionUnit::Word, At("second") + 2);
    EXPECT_EQ(Selected(), "second");
    // Forward over "line": whole words up to it.
    SelectionDrag(sel, layout, 0, At("line") + 1);
    EXPECT_EQ(Selected(), "second line");
    EXPECT_EQ(sel.anchor, At("second")) << "forward: from the word's start";
    // Backward into "hello": from the end of "second" back to the start of "hello".
    SelectionDrag(sel, layout, 0, At("hello") + 3);
    EXPECT_EQ(Selected(), "hello world\r\n<Bob> second");
    EXPECT_EQ(sel.anchor, At("second") + 6) << "backward: from the word's end";
    // Back inside the first word: just that word.
    SelectionDrag(sel, layout, 0, At("second") + 1);
    EXPECT_EQ(Selected(), "second");
}

TEST_F(SelectionTest, LineDragsTakeWholeLogicalLinesWithTheirEnds) {
    SelectionClickUnit(sel, layout, SelectionUnit::Line, At("second"));
    EXPECT_EQ(Selected(), "<Bob> second line\r\n");
    SelectionDrag(sel, layout, 0, At("third"));
    EXPECT_EQ(Selected(), "<Bob> second line\r\n<Cy> third\r\n");
    SelectionDrag(sel, layout, 0, At("Ada"));
    EXPECT_EQ(Selected(), "<Ada> hello world\r\n<Bob> second line\r\n");
}

TEST_F(SelectionTest, AByteDragAndARangeStayInsideTheText) {
    SelectionClick(sel, 3);
    SelectionDrag(sel, layout, layout.length + 50, layout.length + 50);
    EXPECT_EQ(SelectionTo(sel), layout.length);
    SelectRange(sel, layout.length + 9, 2, layout.length);
    EXPECT_EQ(sel.anchor, layout.length);
    EXPECT_EQ(sel.caret, 2u);
}

TEST(SelectionSpans, OnlyTheEndsThatMovedAreDrawnAgain) {
    ByteSpan spans[2];
    ASSERT_EQ(SelectionChangedSpans(5, 5, 10, 20, spans), 1) << "from nothing: the new range";
    EXPECT_EQ(spans[0].from, 10u);
    EXPECT_EQ(spans[0].to, 20u);
    ASSERT_EQ(SelectionChangedSpans(10, 20, 7, 7, spans), 1) << "to nothing: the old range";
    EXPECT_EQ(spans[0].from, 10u);
    ASSERT_EQ(SelectionChangedSpans(10, 20, 10, 25, spans), 1) << "the start stayed";
    EXPECT_EQ(spans[0].from, 20u);
    EXPECT_EQ(spans[0].to, 25u);
    ASSERT_EQ(SelectionChangedSpans(10, 20, 4, 30, spans), 2);
    EXPECT_EQ(spans[0].from, 4u);
    EXPECT_EQ(spans[0].to, 10u);
    EXPECT_EQ(spans[1].from, 20u);
    EXPECT_EQ(spans[1].to, 30u);
    EXPECT_EQ(SelectionChangedSpans(3, 3, 9, 9, spans), 0) << "nothing to nothing";
}

} // namespace
