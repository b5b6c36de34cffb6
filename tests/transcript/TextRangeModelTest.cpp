// Text ranges as a screen reader walks the transcript: by character, word,
// visual line and document, moving whole ranges, moving one end, normalising.
#include "transcript/TextRangeModel.h"

#include "tests/transcript/ChatLayoutModel.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

class TextRangeTest : public ::testing::Test {
protected:
    // Every byte one pixel wide; "<Ada> hello world" wraps at 12 pixels after the blank.
    // The layout owns its buffers: loading again, or the test's end, frees them.
    void Load(const std::string& text, int32_t width = 1000) {
        ASSERT_TRUE(LoadMonospace(layout, text, width));
    }
    std::string Of(const TextRange& r) const {
        return std::string(layout.text + r.start, r.end - r.start);
    }
    size_t At(const char* s) const { return std::string(layout.text, layout.length).find(s); }

    ChatLayout layout;
};

const char kChat[] = "<Ada> hello world\r\n<Bob> hi\r\n";

TEST_F(TextRangeTest, AWordHasItsTrailingBlanksAndALineEndIsOneCharacter) {
    Load(std::string(kChat) + "  cd\r\n");
    std::vector<std::string> words;
    for (size_t p = 0; p < layout.length;) {
        const size_t next = UnitNext(layout, RangeUnit::Word, p);
        ASSERT_GT(next, p);
        words.push_back(std::string(layout.text + p, next - p));
        EXPECT_EQ(UnitPrev(layout, RangeUnit::Word, next), p) << "back from " << next;
        p = next;
    }
    // As the system's edit controls have words; blanks at a line's start stand alone.
    const std::vector<std::string> expected = {"<",    "Ada", "> ",  "hello ", "world",
                                               "\r\n", "<",   "Bob", "> ",     "hi",
                                               "\r\n", "  ",  "cd",  "\r\n"};
    EXPECT_EQ(words, expected);
    // CR LF is stepped over whole, both ways.
    const size_t cr = At("\r");
    EXPECT_EQ(UnitNext(layout, RangeUnit::Character, cr), cr + 2);
    EXPECT_EQ(UnitPrev(layout, RangeUnit::Character, cr + 2), cr);
    EXPECT_EQ(UnitNext(layout, RangeUnit::Character, 0), 1u);
}

TEST_F(TextRangeTest, LinesAreTheVisualLinesThePaneShows) {
    Load(kChat, 12); // "<Ada> hello " | "world\r\n" | "<Bob> hi\r\n"
    TextRange r{0, 0};
    RangeExpand(layout, r, RangeUnit::Line);
    EXPECT_EQ(Of(r), "<Ada> hello ");
    EXPECT_EQ(RangeMove(layout, r, RangeUnit::Line, 1), 1);
    EXPECT_EQ(Of(r), "world\r\n");
    EXPECT_EQ(RangeMove(layout, r, RangeUnit::Line, 5), 1) << "no line after the last";
    EXPECT_EQ(Of(r), "<Bob> hi\r\n");
    EXPECT_EQ(RangeMove(layout, r, RangeUnit::Line, -9), -2);
    EXPECT_EQ(Of(r), "<Ada> hello ");
    // A range inside a line expands to the whole of it; one across lines to its first.
    r = TextRange{At("orl"), At("Bob")};
    RangeExpand(layout, r, RangeUnit::Line);
    EXPECT_EQ(Of(r), "world\r\n");
    // At the very end: the last line.
    r = TextRange{layout.length, layout.length};
    RangeExpand(layout, r, RangeUnit::Line);
    EXPECT_EQ(Of(r), "<Bob> hi\r\n");
    // A caret shown at the end of the first line, at the wrap point, reads that line.
    for (const auto& [unit, read] : {std::pair{RangeUnit::Line, "<Ada> hello "},
                                     {RangeUnit::Character, " "},
                                     {RangeUnit::Word, "hello "}}) {
        r = TextRange{At("world"), At("world"), true};
        RangeExpand(layout, r, unit);
        EXPECT_EQ(Of(r), read);
    }
}

TEST_F(TextRangeTest, AnEmptyRangeMovesBetweenBoundariesAndMayRestAtTheEnd) {
    Load(kChat);
    TextRange r{At("ello"), At("ello")};
    EXPECT_EQ(RangeMove(layout, r, RangeUnit::Word, 1), 1);
    EXPECT_EQ(r.start, At("world"));
    EXPECT_EQ(r.end, r.start) << "stays empty";
    EXPECT_EQ(RangeMove(layout, r, RangeUnit::Word, -2), -2);
    EXPECT_EQ(r.start, At("> hello"));
    EXPECT_EQ(RangeMove(layout, r, RangeUnit::Document, 3), 1);
    EXPECT_EQ(r.start, layout.length);
    EXPECT_EQ(RangeMove(layout, r, RangeUnit::Character, 1), 0) << "nothing after the end";
    EXPECT_EQ(RangeMove(layout, r, RangeUnit::Character, -1), -1);
    EXPECT_EQ(r.start, layout.length - 2) << "back over the CR LF at once";
}

TEST_F(TextRangeTest, MovingAnEndpointDragsTheOtherWhenItPassesIt) {
    Load(kChat);
    TextRange r{At("hello"), At("hello")};
    EXPECT_EQ(RangeMoveEndpoint(layout, r, true, RangeUnit::Word, 2), 2);
    EXPECT_EQ(Of(r), "hello world");
    EXPECT_EQ(RangeMoveEndpoint(layout, r, false, RangeUnit::Character, 2), 2);
    EXPECT_EQ(Of(r), "llo world");
    // The start moved past the end: the end comes along, the range is empty.
    EXPECT_EQ(RangeMoveEndpoint(layout, r, false, RangeUnit::Line, 1), 1);
    EXPECT_EQ(r.start, At("<Bob>"));
    EXPECT_EQ(r.end, r.start);
    EXPECT_EQ(RangeMoveEndpoint(layout, r, true, RangeUnit::Document, 1), 1);
    EXPECT_EQ(Of(r), "<Bob> hi\r\n");
    EXPECT_EQ(RangeMoveEndpoint(layout, r, true, RangeUnit::Document, 1), 0);
    EXPECT_EQ(RangeMoveEndpoint(layout, r, false, RangeUnit::Document, -4), -1);
    EXPECT_EQ(Of(r), kChat);
}

TEST_F(TextRangeTest, ParagraphsAreChatLinesAndAMoveByNoneChangesNothing) {
    Load(kChat, 12); // "<Ada> hello " | "world\r\n" | "<Bob> hi\r\n"
    TextRange r{At("orl"), At("orl")};
    RangeExpand(layout, r, RangeUnit::Paragraph);
    EXPECT_EQ(Of(r), "<Ada> hello world\r\n") << "the chat line, over both its visual lines";
    EXPECT_EQ(RangeMove(layout, r, RangeUnit::Paragraph, 1), 1);
    EXPECT_EQ(Of(r), "<Bob> hi\r\n");
    EXPECT_EQ(UnitPrev(layout, RangeUnit::Paragraph, At("hi")), At("<Bob>"));
    EXPECT_EQ(UnitNext(layout, RangeUnit::Paragraph, At("world")), At("<Bob>"));
    // A count of 0, or a move with nowhere to go, leaves the range as it was.
    r = TextRange{At("ell"), At("ell") + 3};
    for (const RangeUnit u : {RangeUnit::Character, RangeUnit::Word, RangeUnit::Line,
                              RangeUnit::Paragraph, RangeUnit::Document}) {
        EXPECT_EQ(RangeMove(layout, r, u, 0), 0);
        EXPECT_EQ(Of(r), "ell");
    }
    EXPECT_EQ(RangeMove(layout, r, RangeUnit::Document, 1), 0) << "one document";
    EXPECT_EQ(RangeMove(layout, r, RangeUnit::Line, -1), 0) << "no line before the first";
    EXPECT_EQ(RangeMove(layout, r, RangeUnit::Paragraph, -1), 0) << "nor a chat line";
    EXPECT_EQ(Of(r), "ell");
    r = TextRange{At("hi"), layout.length};
    EXPECT_EQ(RangeMove(layout, r, RangeUnit::Paragraph, 1), 0) << "no chat line after the last";
    EXPECT_EQ(RangeMoveEndpoint(layout, r, true, RangeUnit::Word, 2), 0);
    EXPECT_EQ(Of(r), "hi\r\n");
}

TEST_F(TextRangeTest, AnEmptyTextHasOneEmptyRange) {
    Load("");
    TextRange r{0, 0};
    RangeExpand(layout, r, RangeUnit::Word);
    EXPECT_EQ(r.start, 0u);
    EXPECT_EQ(r.end, 0u);
    for (const RangeUnit u : {RangeUnit::Character, RangeUnit::Word, RangeUnit::Line,
                              RangeUnit::Paragraph, RangeUnit::Document}) {
        EXPECT_EQ(RangeMove(layout, r, u, 1), 0);
        EXPECT_EQ(RangeMove(layout, r, u, -1), 0);
        EXPECT_EQ(RangeMoveEndpoint(layout, r, true, u, 1), 0);
    }
}

} // namespace
