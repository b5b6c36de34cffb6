// A paste's chat lines without a window: the breaks of every system, empty
// lines dropped, and lines longer than a send cut at a blank or at the limit.
#include "app/PasteModel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Lines(const std::string& text, size_t limit) {
    std::vector<std::string> lines;
    size_t at = 0;
    PastedLine line{};
    while (NextPastedLine(text.data(), text.size(), limit, &at, &line)) {
        lines.push_back(text.substr(line.from, line.length));
    }
    EXPECT_EQ(CountPastedLines(text.data(), text.size(), limit), lines.size());
    return lines;
}

using Many = std::vector<std::string>;

TEST(PastedLines, EndAtEveryKindOfBreakAndSkipEmptyOnes) {
    EXPECT_FALSE(HasLineBreak("one line", 8));
    EXPECT_TRUE(HasLineBreak("a\rb", 3));
    EXPECT_EQ(Lines("one\r\ntwo\nthree\rfour", 260), (Many{"one", "two", "three", "four"}));
    EXPECT_EQ(Lines("\r\n\r\none\n\n\r\r\ntwo\r\n", 260), (Many{"one", "two"}));
    EXPECT_EQ(Lines("\r\n\n", 260), Many{});
    EXPECT_EQ(Lines("  \r\n", 260), Many{"  "}) << "blanks are text, as typed";
}

TEST(PastedLines, ALongLineIsCutAtItsLastBlankWithinTheLimit) {
    EXPECT_EQ(Lines("aaa bbb ccc", 7), (Many{"aaa bbb", "ccc"})) << "a blank just past the limit";
    EXPECT_EQ(Lines("aaa bbbb ccc", 7), (Many{"aaa", "bbbb", "ccc"}));
    EXPECT_EQ(Lines("abcdefghij", 4), (Many{"abcd", "efgh", "ij"})) << "no blank: at the limit";
    EXPECT_EQ(Lines(" abcdefgh", 4), (Many{" abc", "defg", "h"})) << "a leading blank cuts nothing";
    EXPECT_EQ(Lines("abcd", 4), Many{"abcd"}) << "exactly the limit";
}

} // namespace
