// The questions the transcript asks of its text, without a window: the chat
// line Alt+1 ... Alt+0 reads, where the older accessibility interface's value
// starts, and how many new lines the marker counts.
#include "transcript/TextUnits.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The nth chat line from the end as read out, or "-" when there is none.
std::string FromEnd(const std::string& text, size_t nth) {
    size_t begin = 0, end = 0;
    const bool found = ChatLineFromEnd(text.data(), text.size(), nth, begin, end);
    return found ? text.substr(begin, end - begin) : "-";
}

TEST(TextUnits, AChatLineCountedFromTheEndIsReadWithoutItsLineEnd) {
    std::string twelve;
    for (int i = 1; i <= 12; ++i) {
        twelve += "<Ada> line " + std::to_string(i) + "\r\n";
    }
    EXPECT_EQ(FromEnd(twelve, 1), "<Ada> line 12");
    EXPECT_EQ(FromEnd(twelve, 3), "<Ada> line 10");
    EXPECT_EQ(FromEnd(twelve, 10), "<Ada> line 3");
    EXPECT_EQ(FromEnd("<Ada> only\r\n", 1), "<Ada> only");
    EXPECT_EQ(FromEnd("<Ada> only\r\n", 2), "-") << "a line that is not there";
    EXPECT_EQ(FromEnd("", 1), "-");
    EXPECT_EQ(FromEnd("<Ada> one\r\n<Bob> typing", 1), "<Bob> typing") << "no line end yet";
    EXPECT_EQ(FromEnd("<Ada> one\r\n<Bob> typing", 2), "<Ada> one");
}

TEST(TextUnits, TheValueTailStartsAtALineStartWithinItsBytes) {
    const std::string text = "<Ada> one\r\n<Bob> two\r\n<Cy> three\r\n"; // lines of 11, 11, 12
    EXPECT_EQ(TailFromLineStart(text.data(), text.size(), 100), 0u) << "a short text is whole";
    EXPECT_EQ(TailFromLineStart(text.data(), text.size(), 20), 22u) << "the next line's start";
    EXPECT_EQ(TailFromLineStart(text.data(), text.size(), 23), 11u) << "cut at a line start";
    EXPECT_EQ(TailFromLineStart(text.data(), text.size(), 11), 23u) << "one line longer: cut";
}

TEST(TextUnits, NewLinesAreCountedByTheirLineEnds) {
    EXPECT_EQ(CountLineEnds("", 0), 0u);
    EXPECT_EQ(CountLineEnds("<Ada> one\r\n<Bob> two\r\n", 22), 2u) << "CR LF counts once";
    EXPECT_EQ(CountLineEnds("<Ada> half\r", 11), 0u) << "a CR LF split between appends";
    EXPECT_EQ(CountLineEnds("\n<Bob> next\r\n", 13), 2u);
}

} // namespace
