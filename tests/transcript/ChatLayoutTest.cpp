#include "transcript/ChatLayout.h"
#include "transcript/TextUnits.h"
#include "tests/transcript/ChatLayoutModel.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

class Layout : public ::testing::Test {
protected:
    void SetUp() override {
        LayoutInit(layout);
        layout.wordBytes = TestWordBytes();
    }
    void TearDown() override { LayoutFree(layout); }

    void Use(const ChatMetrics& m, int32_t width) {
        ASSERT_TRUE(LayoutSetMetrics(layout, m));
        ASSERT_TRUE(LayoutSetWidth(layout, width));
    }
    ChatChange Set(const std::string& text) {
        return LayoutSetText(layout, text.data(), text.size());
    }
    ChatChange Append(const std::string& tail) {
        return Set(std::string(layout.text, layout.length) + tail);
    }
    // The visual lines as drawn: without their terminators.
    std::vector<std::string> Shown() const {
        std::vector<std::string> out;
        for (size_t i = 0; i < layout.lineCount; ++i) {
            const size_t start = LayoutLineStart(layout, i);
            out.emplace_back(layout.text + start, LayoutLineTextEnd(layout, i) - start);
        }
        return out;
    }
    std::vector<size_t> Fresh() const {
        return ModelLineStarts(std::string(layout.text, layout.length), layout.metrics,
                               layout.width);
    }

    ChatLayout layout;
};

using Lines = std::vector<std::string>;

TEST_F(Layout, LineEndsAndTheTextsEnd) {
    Use(Monospace(), 80);
    EXPECT_EQ(Shown(), Lines{});
    Set("nine char\r\n");
    EXPECT_EQ(Shown(), Lines{"nine char"});
    Set("a\r\nb\rc\nd");
    EXPECT_EQ(Shown(), (Lines{"a", "b", "c", "d"}));
    Set("\n\r\n\r");
    EXPECT_EQ(Shown(), (Lines{"", "", ""}));
    Set("a\n\rb");
    EXPECT_EQ(Shown(), (Lines{"a", "", "b"}));
    EXPECT_EQ(LayoutLineEnd(layout, 0), 2u);
    EXPECT_EQ(LayoutLineEnd(layout, 1), 3u);
}

TEST_F(Layout, WrapsAfterBlanksAndInsideLongWords) {
    Use(Monospace(), 10);
    Set("hello world again\r\n");
    EXPECT_EQ(Shown(), (Lines{"hello ", "world ", "again"}));
    Set("0123456789\r\n0123456789a");
    EXPECT_EQ(Shown(), (Lines{"0123456789", "0123456789", "a"}));
    Set("ab 0123456789abcdefghijklmnopqrstuvwxy");
    EXPECT_EQ(Shown(), (Lines{"ab ", "0123456789", "abcdefghij", "klmnopqrst", "uvwxy"}));
    // Blanks hang past the edge rather than start a line.
    Set("abcdefghij     klm");
    EXPECT_EQ(Shown(), (Lines{"abcdefghij     ", "klm"}));
    Set("abcdefgh\t\tx");
    EXPECT_EQ(Shown(), (Lines{"abcdefgh\t\t", "x"}));
}

TEST_F(Layout, NarrowPanesKeepOneByteALine) {
    for (int32_t width : {-5, 0, 1}) {
        Use(Monospace(), width);
        Set("ab c\r\nd");
        EXPECT_EQ(Shown(), (Lines{"a", "b ", "c", "d"})) << width;
    }
    // Glyphs wider than the pane, and glyphs of no width at all.
    ChatMetrics m = Monospace();
    m.advance[static_cast<unsigned char>('W')] = 25;
    m.advance[static_cast<unsigned char>('z')] = 0;
    Use(m, 20);
    Set("aWWb zzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzz");
    EXPECT_EQ(Shown(), (Lines{"a", "W", "W", "b zzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzz"}));
    EXPECT_EQ(LayoutLineStarts(layout), Fresh());
}

TEST_F(Layout, TabsGoToStopsAndControlBytesShowAsAGlyph) {
    ChatMetrics m = Monospace(4);
    m.advance[0x07] = 1;
    Use(m, 80);
    Set("ab\tc\t\td\x07z\r\n");
    EXPECT_EQ(LayoutOffsetX(layout, 0, 3), 4);  // c after the first tab
    EXPECT_EQ(LayoutOffsetX(layout, 0, 6), 12); // d after two more stops
    char glyphs[16];
    int advances[16];
    int64_t x = 0;
    const size_t n = LayoutShape(layout, 0, layout.length, x, glyphs, advances, sizeof glyphs);
    ASSERT_EQ(n, 11u);
    EXPECT_EQ(std::string(glyphs, n), std::string("ab c  d~z  "));
    EXPECT_EQ(std::vector<int>(advances, advances + n),
              (std::vector<int>{1, 1, 2, 1, 3, 4, 1, 1, 1, 0, 0}));
    EXPECT_EQ(x, 15);
    // A full buffer stops early and the caller goes on from there.
    x = 0;
    EXPECT_EQ(LayoutShape(layout, 0, layout.length, x, glyphs, advances, 3), 3u);
    EXPECT_EQ(LayoutShape(layout, 3, layout.length, x, glyphs, advances, 16), 8u);
    EXPECT_EQ(x, 15);
    // Tab stops count from the left edge of each visual line.
    Use(m, 6);
    Set("abcdefg\th");
    EXPECT_EQ(Shown(), (Lines{"abcdef", "g\th"}));
    EXPECT_EQ(LayoutOffsetX(layout, 1, 8), 4);
}

TEST_F(Layout, AppendsLayOutOnlyTheTail) {
    Use(Monospace(), 10);
    ChatChange c = Set("one\r\n");
    EXPECT_TRUE(c.ok);
    c = Append("two\r\n");
    EXPECT_TRUE(c.ok && c.appended);
    EXPECT_EQ(c.firstChanged, 1u); // line 0 kept its bytes
    EXPECT_EQ(Shown(), (Lines{"one", "two"}));

    // A CR ending one append and its LF starting the next make one line end.
    Append("three\r");
    EXPECT_EQ(Shown(), (Lines{"one", "two", "three"}));
    c = Append("\nfour");
    EXPECT_EQ(c.firstChanged, 2u);
    EXPECT_EQ(Shown(), (Lines{"one", "two", "three", "four"}));
    EXPECT_EQ(LayoutLineEnd(layout, 2), 17u);

    // The last logical line goes on, and rewraps, with the next append.
    c = Append(" more words");
    EXPECT_EQ(c.firstChanged, 3u);
    EXPECT_EQ(Shown(), (Lines{"one", "two", "three", "four more ", "words"}));
    EXPECT_EQ(LayoutLineStarts(layout), Fresh());

    // Appending nothing changes no line.
    c = Append("");
    EXPECT_TRUE(c.ok && c.appended);
    EXPECT_EQ(c.firstChanged, layout.lineCount);
}

TEST_F(Layout, OtherTextsReplaceEverything) {
    Use(Monospace(), 10);
    const std::string base = "first line\r\nsecond\r\n";
    for (const std::string& other :
         {std::string("first"), std::string(""), std::string("Xirst line\r\nsecond\r\n"),
          std::string("first lXne\r\nsecond\r\n"), std::string("first line\r\nsecond\r\r"),
          std::string("totally new\r\n")}) {
        Set(base);
        const ChatChange c = Set(other);
        EXPECT_TRUE(c.ok);
        EXPECT_FALSE(c.appended) << other;
        EXPECT_EQ(c.firstChanged, 0u);
        EXPECT_EQ(std::string(layout.text, layout.length), other);
        EXPECT_EQ(LayoutLineStarts(layout), Fresh()) << other;
    }
    Set(base);
    EXPECT_TRUE(Set(base).appended); // the same text again is an empty append
}

TEST_F(Layout, TooLongATextChangesNothing) {
    Use(Monospace(), 10);
    Set("kept\r\n");
    const char text[] = "kept\r\nmore";
    EXPECT_FALSE(LayoutSetText(layout, text, kChatMaxText + 1).ok);
    EXPECT_FALSE(LayoutSetText(layout, nullptr, 3).ok);
    EXPECT_FALSE(LayoutAppend(layout, nullptr, 3).ok);
    EXPECT_FALSE(LayoutAppend(layout, "more", kChatMaxText - 3).ok);
    EXPECT_EQ(std::string(layout.text, layout.length), "kept\r\n");
    EXPECT_EQ(Shown(), Lines{"kept"});
    EXPECT_TRUE(LayoutSetText(layout, nullptr, 0).ok);
    EXPECT_EQ(layout.lineCount, 0u);
}

// Random texts built by random appends, at random widths and widths: the lines
// always equal a fresh layout of the whole text by the plain model.
TEST_F(Layout, IncrementalEqualsFreshAtRandomWidths) {
    std::mt19937 rng(20240607);
    const char alphabet[] = "abcdefghij      \t\r\n\r\n\x01W.";
    for (int round = 0; round < 200; ++round) {
        ChatMetrics m = Monospace(1 + static_cast<int32_t>(rng() % 12));
        for (int32_t& a : m.advance) {
            a = static_cast<int32_t>(rng() % 9);
        }
        Use(m, static_cast<int32_t>(rng() % 40) - 2);
        Set("");
        for (int step = 0; step < 30; ++step) {
            std::string tail;
            const size_t n = rng() % 25;
            for (size_t i = 0; i < n; ++i) {
                tail += alphabet[rng() % (sizeof alphabet - 1)];
            }
            ASSERT_TRUE(Append(tail).ok);
            ASSERT_EQ(LayoutLineStarts(layout), Fresh()) << "round " << round << " step " << step;
            if (rng() % 10 == 0) {
                ASSERT_TRUE(LayoutSetWidth(layout, static_cast<int32_t>(rng() % 40)));
                ASSERT_EQ(LayoutLineStarts(layout), Fresh());
            }
        }
    }
}

TEST_F(Layout, HitTestingAndOffsets) {
    ChatMetrics m = Monospace(40);
    for (int32_t& a : m.advance) {
        a = 10;
    }
    Use(m, 100);
    Set("abc\tde\r\nsecond line here\r\n");
    // Nearest edge: before the middle of a cell answers its start.
    EXPECT_EQ(LayoutHitTest(layout, 0, -50), 0u);
    EXPECT_EQ(LayoutHitTest(layout, 0, 4), 0u);
    EXPECT_EQ(LayoutHitTest(layout, 0, 5), 1u);
    EXPECT_EQ(LayoutHitTest(layout, 0, 34), 3u); // the tab spans 30..40
    EXPECT_EQ(LayoutHitTest(layout, 0, 35), 4u);
    EXPECT_EQ(LayoutHitTest(layout, 0, 1000), 6u); // past the end: before CR LF
    EXPECT_EQ(LayoutCharAt(layout, 0, 9), 0u);
    EXPECT_EQ(LayoutCharAt(layout, 0, 10), 1u);
    EXPECT_EQ(LayoutCharAt(layout, 0, 39), 3u);
    EXPECT_EQ(LayoutCharAt(layout, 0, 999), 6u);
    for (size_t line = 0; line < layout.lineCount; ++line) {
        for (size_t off = LayoutLineStart(layout, line); off <= LayoutLineTextEnd(layout, line);
             ++off) {
            EXPECT_EQ(LayoutHitTest(layout, line, LayoutOffsetX(layout, line, off)), off);
        }
    }
    // The wrapped second line: a wrap point belongs to the later line.
    ASSERT_EQ(Shown(), (Lines{"abc\tde", "second ", "line here"}));
    EXPECT_EQ(LayoutLineOf(layout, 0), 0u);
    EXPECT_EQ(LayoutLineOf(layout, 8), 1u);
    EXPECT_EQ(LayoutLineOf(layout, 14), 1u);
    EXPECT_EQ(LayoutLineOf(layout, 15), 2u);
    EXPECT_EQ(LayoutLineOf(layout, 9999), 2u);
}

TEST_F(Layout, WordsAndLinesForSelection) {
    Use(Monospace(), 80);
    Set("<User> hello, world...\r\nnext\n\nlast");
    size_t b = 0, e = 0;
    auto word = [&](size_t at) {
        WordAt(layout, at, b, e);
        return std::string(layout.text + b, e - b);
    };
    auto line = [&](size_t at) {
        ChatLineAt(layout, at, b, e);
        return std::string(layout.text + b, e - b);
    };
    EXPECT_EQ(word(0), "<");
    EXPECT_EQ(word(3), "User");
    EXPECT_EQ(word(6), " ");
    EXPECT_EQ(word(9), "hello");
    EXPECT_EQ(word(19), "...");
    EXPECT_EQ(word(22), "..."); // at the line's end: the byte before
    EXPECT_EQ(word(29), "");    // an empty line has no word
    EXPECT_EQ(word(999), "last");
    EXPECT_EQ(line(5), "<User> hello, world...\r\n");
    EXPECT_EQ(line(22), "<User> hello, world...\r\n");
    EXPECT_EQ(line(23), "<User> hello, world...\r\n"); // between CR and LF
    EXPECT_EQ(line(26), "next\n");
    EXPECT_EQ(line(29), "\n");
    EXPECT_EQ(line(999), "last");
    // The layout's table decides what a word is: quotes and guillemets of the
    // code page are signs, its letters belong to words.
    Set("said \x93"
        "caf\xE9\x94 \xAB"
        "x\xBB");
    EXPECT_EQ(word(7), "caf\xE9");
    EXPECT_EQ(word(5), "\x93");
    EXPECT_EQ(word(10), "\x94");
    EXPECT_EQ(word(13), "x");
    layout.wordBytes = nullptr; // no table: no byte is a word byte
    EXPECT_EQ(word(7), "\x93"
                       "caf\xE9\x94");
    Set("");
    EXPECT_EQ(word(0), "");
    EXPECT_EQ(line(0), "");
}

TEST_F(Layout, IndexCostsFewBytesALine) {
    Use(Monospace(), 400);
    std::string text;
    const std::string chat = "<User> a chat line of sixty characters, give or take one.\r\n";
    while (text.size() < 2000000) {
        text += chat;
    }
    ASSERT_TRUE(Set(text).ok);
    const double perLine = static_cast<double>(LayoutIndexBytes(layout)) / layout.lineCount;
    EXPECT_LE(perLine, 16.0);
    // A narrow pane makes many lines; widening again must give the room back.
    ASSERT_TRUE(LayoutSetWidth(layout, 3));
    ASSERT_TRUE(LayoutSetWidth(layout, 400));
    EXPECT_LE(static_cast<double>(LayoutIndexBytes(layout)) / layout.lineCount, 16.0);
    // Grown by appends, the index still keeps within its bound.
    Set("");
    for (size_t i = 0; i < 5000; ++i) {
        ASSERT_TRUE(Append(chat).ok);
    }
    EXPECT_LE(static_cast<double>(LayoutIndexBytes(layout)) / layout.lineCount, 16.0);
    EXPECT_EQ(LayoutLineStarts(layout), Fresh());
}

} // namespace
