// The questions the transcript asks of its text, without a window: the chat
// line Alt+1 ... Alt+0 reads, where the older accessibility interface's value
// starts, and how many new lines the marker counts.
#include "transcript/TextUnits.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kChat = "<Ada> one\r\n<Bob> two\r\n<Cy> three\r\n"; // lines of 11, 11, 12 bytes

// The nth chat line from the end as read out, or "-" when there is none.
std::string FromEnd(const std::string& text, size_t nth) {
    size_t begin = 0, end = 0;
    const bool found = ChatLineFromEnd(text.data(), text.size(), nth, begin, end);
    return found ? text.substr(begin, end - begin) : "-";
}

TEST(TextUnits, AChatLineCountedFromTheEndIsReadWithoutItsLineEnd) {
    EXPECT_EQ(FromEnd(kChat, 1), "<Cy> three");
    EXPECT_EQ(FromEnd(kChat, 3), "<Ada> one");
    EXPECT_EQ(FromEnd(kChat, 4), "-") << "a line that is not there";
    EXPECT_EQ(FromEnd("", 1), "-");
    EXPECT_EQ(FromEnd("<Ada> one\r\n<Bob> typing", 1), "<Bob> typing") << "no line end yet";
}

TEST(TextUnits, TheValuesTailStartsAtALineStartWithinItsBytes) {
    EXPECT_EQ(TailFromLineStart(kChat.data(), kChat.size(), 100), 0u) << "a short text is whole";
    EXPECT_EQ(TailFromLineStart(kChat.data(), kChat.size(), 20), 22u) << "the next line's start";
    EXPECT_EQ(TailFromLineStart(kChat.data(), kChat.size(), 23), 11u) << "cut at a line start";
    EXPECT_EQ(TailFromLineStart(kChat.data(), kChat.size(), 11), 23u) << "one line longer: cut";
}

TEST(TextUnits, NewLinesAreCountedByTheirLineEnds) {
    EXPECT_EQ(CountLineEnds(kChat.data(), kChat.size()), 3u) << "CR LF counts once";
    EXPECT_EQ(CountLineEnds("<Ada> half\r", 11), 0u) << "a CR LF split between appends";
    EXPECT_EQ(CountLineEnds("\n<Bob> next\r\n", 13), 2u);
}

} // namespace
