// Finding a text in the transcript's bytes: folding, whole words, directions,
// wrapping round once, the searches that find nothing, and the matches counted
// and listed as F3 steps through them.
#include "transcript/ChatLayout.h"
#include "transcript/FindModel.h"
#include "tests/transcript/ChatLayoutModel.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Search {
    std::string pattern;
    bool matchCase = false;
    bool wholeWord = false;
    bool down = true;
    const unsigned char* fold = nullptr;
    const unsigned char* word = TestWordBytes();

    FindMatch In(const std::string& text, size_t start) const {
        const FindQuery q{pattern.data(), pattern.size(), matchCase, wholeWord, down, fold, word};
        return FindInText(text.data(), text.size(), q, start);
    }
};

// A code page's folding as the window side builds it: here A-Z, and the
// Latin-1 capitals C0-DE (but D7, the multiplication sign) onto E0-FE.
struct Latin1Fold {
    unsigned char table[256];
    Latin1Fold() {
        for (int c = 0; c < 256; ++c) {
            const bool upper = (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7);
            table[c] = static_cast<unsigned char>(upper ? c + 0x20 : c);
        }
    }
};

TEST(FindModel, FoldingFollowsTheTableForEveryByte) {
    const Latin1Fold fold;
    for (int c = 1; c < 256; ++c) {
        const std::string text = std::string("ab") + static_cast<char>(c) + "yz";
        for (int p = 1; p < 256; ++p) {
            Search s{std::string(1, static_cast<char>(p))};
            s.fold = fold.table;
            const FindMatch m = s.In(text, 0);
            const bool same = fold.table[c] == fold.table[p];
            // Bytes that fold like 'a', 'b', 'y' or 'z' are found there first.
            const bool elsewhere = fold.table[p] == 'a' || fold.table[p] == 'b' ||
                                   fold.table[p] == 'y' || fold.table[p] == 'z';
            if (elsewhere) {
                continue;
            }
            ASSERT_EQ(m.found, same) << "text byte " << c << ", pattern byte " << p;
            if (same) {
                ASSERT_EQ(m.from, 2u);
            }
        }
    }
}

TEST(FindModel, MatchCaseComparesBytesAsTheyAre) {
    const Latin1Fold fold;
    Search s{"\xC9t\xC9"}; // "ÉtÉ"
    s.fold = fold.table;
    EXPECT_EQ(s.In("un \xE9t\xE9 chaud", 0).from, 3u);
    s.matchCase = true;
    EXPECT_FALSE(s.In("un \xE9t\xE9 chaud", 0).found);
    EXPECT_EQ(s.In("un \xE9t\xE9 puis \xC9t\xC9", 0).from, 12u);
}

TEST(FindModel, WholeWordsEndWhereTheTableSaysAWordEnds) {
    Search s{"cat"};
    s.wholeWord = true;
    EXPECT_EQ(s.In("cat", 0).from, 0u) << "the whole text";
    EXPECT_EQ(s.In("concat\r\ncat\r\n", 0).from, 8u) << "after a line break";
    EXPECT_EQ(s.In("cats\r\ncat", 0).from, 6u) << "before the text's end";
    EXPECT_EQ(s.In("<cat>", 0).from, 1u) << "signs around it";
    EXPECT_EQ(s.In("she said \x93"
                   "cat\x94 twice",
                   0)
                  .from,
              10u)
        << "typographic quotes are no word bytes in the table";
    EXPECT_FALSE(s.In("cats scat _cat cat_ cat9 \xE9"
                      "cat cat\xE0",
                      0)
                     .found)
        << "letters, digits, _ and the table's letters above 0x7F are word bytes";
    // Without a table no byte is a word byte: every match stands.
    s.word = nullptr;
    EXPECT_EQ(s.In("concat", 0).from, 3u);
    s.word = TestWordBytes();
    s.wholeWord = false;
    EXPECT_EQ(s.In("cats", 0).from, 0u);
    // The first candidate fails the word test; the search goes on past it.
    s.wholeWord = true;
    s.down = false;
    EXPECT_EQ(s.In("cat catcat", 10).from, 0u);
}

TEST(FindModel, DownFromTheStartAndUpBeforeIt) {
    const std::string text = "one two one two one"; // "one" at 0, 8, 16
    Search s{"one"};
    EXPECT_EQ(s.In(text, 0).from, 0u);
    EXPECT_EQ(s.In(text, 3).from, 8u) << "after a selected match";
    EXPECT_EQ(s.In(text, 8).from, 8u) << "a match beginning at the start counts";
    EXPECT_FALSE(s.In(text, 3).wrapped);
    s.down = false;
    EXPECT_EQ(s.In(text, 16).from, 8u) << "before a selected match";
    EXPECT_EQ(s.In(text, 11).from, 8u) << "a match ending at the start counts";
    EXPECT_EQ(s.In(text, 10).from, 0u) << "one ending past the start does not";
    EXPECT_EQ(s.In(text, text.size()).to, text.size());
}

TEST(FindModel, WrapsRoundOnceAndSaysSo) {
    const std::string text = "red green red blue"; // "red" at 0 and 10
    Search s{"red"};
    FindMatch m = s.In(text, 13);
    EXPECT_TRUE(m.found);
    EXPECT_TRUE(m.wrapped);
    EXPECT_EQ(m.from, 0u);
    s.down = false;
    m = s.In(text, 0); // the first "red" selected
    EXPECT_TRUE(m.wrapped);
    EXPECT_EQ(m.from, 10u);
    // The only match, selected: found again by going round.
    s.pattern = "blue";
    m = s.In(text, 14);
    EXPECT_TRUE(m.wrapped);
    EXPECT_EQ(m.from, 14u);
    // From the very end going down (or the top going up), the one pass covers
    // the whole text: nothing to wrap round.
    s.down = true;
    m = s.In(text, 0);
    EXPECT_FALSE(m.wrapped);
    s.down = false;
    m = s.In(text, text.size());
    EXPECT_FALSE(m.wrapped);
    EXPECT_EQ(m.from, 14u);
}

TEST(FindModel, EmptyAndMissingSearchesFindNothing) {
    const std::string text = "hello there";
    for (const bool down : {true, false}) {
        Search s{""};
        s.down = down;
        EXPECT_FALSE(s.In(text, 5).found);
        s.pattern = "xyz";
        EXPECT_FALSE(s.In(text, 5).found);
        s.pattern = "hello there!";
        EXPECT_FALSE(s.In(text, 5).found) << "longer than the text";
        EXPECT_FALSE(s.In("", 0).found);
        s.pattern = "hello";
        EXPECT_TRUE(s.In(text, 999).found) << "a start past the end is the end";
    }
}

TEST(FindModel, PatternsWithRepeatsAreNotSkippedOver) {
    // The skip tables must never jump past a match.
    const std::string text = "aaabaabaaab abab aaaa";
    for (const std::string pattern : {"aab", "abab", "aaaa", "baaab", "a"}) {
        size_t expectDown = text.find(pattern);
        size_t expectUp = text.rfind(pattern);
        Search s{pattern};
        EXPECT_EQ(s.In(text, 0).from, expectDown) << pattern;
        s.down = false;
        EXPECT_EQ(s.In(text, text.size()).from, expectUp) << pattern;
    }
}

TEST(FindModel, AMatchOverlappingTheOneBeforeTakesItsPlaceAndListsMayRunOn) {
    const std::string text = "aaaaa";
    const FindQuery q{"aa", 2, false, false, true, nullptr, nullptr};
    const FindCount counted = CountMatches(text.data(), text.size(), q, 3);
    EXPECT_EQ(counted.count, 2u) << "F3 finds 0 and 2";
    EXPECT_EQ(counted.place, 2u) << "Shift+F3 finds 3, over the second";
    size_t starts[4];
    ASSERT_EQ(MatchesStartingIn(text.data(), text.size(), q, 1, 4, starts, 4), 2u);
    EXPECT_EQ(starts[1], 3u) << "begins before 4, ends after it";
}

} // namespace
