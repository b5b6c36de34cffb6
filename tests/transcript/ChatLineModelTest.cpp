// Composing a chat line without a window.
#include "transcript/ChatLineModel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string Compose(const char* nickname, const char* text, size_t capacity = 520) {
    std::string out(capacity + 1, '#');
    const size_t n = ComposeChatLine(out.data(), capacity, nickname, text);
    EXPECT_EQ(n, std::strlen(out.c_str()));
    return out.c_str();
}

TEST(ChatLine, IsTheNicknameInBracketsABlankTheTextAndCrLf) {
    EXPECT_EQ(Compose("Ada", "Hello!"), "<Ada> Hello!\r\n");
    EXPECT_EQ(Compose("", "x"), "<> x\r\n");
    EXPECT_EQ(Compose("Ada", ""), "<Ada> \r\n");
    EXPECT_EQ(Compose("A%sB", "%d\t\x80\xFF"), "<A%sB> %d\t\x80\xFF\r\n") << "no format signs";
}

TEST(ChatLine, ALineThatDoesNotFitWholeIsNotMadeAtAll) {
    // "<Ada> abc\r\n" is 11 bytes: 12 with the terminator.
    EXPECT_EQ(Compose("Ada", "abc", 12), "<Ada> abc\r\n");
    EXPECT_EQ(Compose("Ada", "abc", 11), "");
    EXPECT_EQ(Compose("Ada", "abc", 1), "");
    char untouched = '#';
    EXPECT_EQ(ComposeChatLine(&untouched, 0, "Ada", "abc"), 0u);
    EXPECT_EQ(untouched, '#') << "no room, not even for the terminator";
    // The longest line the program makes: a 19-character nickname and 260 characters.
    const std::string nick(19, 'n'), text(260, 't');
    EXPECT_EQ(Compose(nick.c_str(), text.c_str()).size(), 19u + 260u + 5u);
}

} // namespace
