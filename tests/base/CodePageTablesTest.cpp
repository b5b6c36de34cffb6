// The code page's tables as the program builds them, held against what code
// page 1252 is: its capitals fold onto their small letters and nothing else
// moves; its letters and digits and '_' are word bytes, while its quotes,
// dashes, ellipsis, no-break space and other signs are not.
#include "base/CodePageTables.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <set>

namespace {

// Capitals of code page 1252 beyond A-Z with their small letters: Š Œ Ž Ÿ,
// and À-Þ but for × (0xD7).
int SmallOf1252(int c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
        return c + 0x20;
    }
    switch (c) {
    case 0x8A: return 0x9A;
    case 0x8C: return 0x9C;
    case 0x8E: return 0x9E;
    case 0x9F: return 0xFF;
    default: return c;
    }
}

class CodePageTablesTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (GetACP() != 1252) {
            GTEST_SKIP() << "the ANSI code page here is " << GetACP() << ", not 1252";
        }
    }
    const CodePageTables& tables = AnsiCodePageTables();
};

TEST_F(CodePageTablesTest, EveryCapitalFoldsOntoItsSmallLetterAndNothingElseMoves) {
    for (int c = 0; c < 256; ++c) {
        EXPECT_EQ(tables.fold[c], SmallOf1252(c)) << "byte 0x" << std::hex << c;
    }
}

TEST_F(CodePageTablesTest, WordBytesAreLettersDigitsAndTheUnderscore) {
    for (int c = 0; c < 0x80; ++c) {
        const bool word =
            (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
        EXPECT_EQ(tables.word[c] != 0, word) << "byte 0x" << std::hex << c;
    }
    // „ … † ‡ ‰ ‹ ' ' " " • – — › € ™, the no-break space, ¡-© « ¬ soft hyphen ® ¯ ° ± ´ ¶ · ¸ » ¿
    // × ÷
    const std::set<int> signs = {0x80, 0x82, 0x84, 0x85, 0x86, 0x87, 0x89, 0x8B, 0x91, 0x92, 0x93,
                                 0x94, 0x95, 0x96, 0x97, 0x99, 0x9B, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4,
                                 0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF, 0xB0,
                                 0xB1, 0xB4, 0xB6, 0xB7, 0xB8, 0xBB, 0xBF, 0xD7, 0xF7};
    for (const int c : signs) {
        EXPECT_EQ(tables.word[c], 0) << "a sign: byte 0x" << std::hex << c;
    }
    // ƒ Š Œ Ž š œ ž Ÿ and every letter from 0xC0 up.
    for (int c = 0x80; c < 256; ++c) {
        const bool letter = c == 0x83 || c == 0x8A || c == 0x8C || c == 0x8E || c == 0x9A ||
                            c == 0x9C || c == 0x9E || c == 0x9F || (c >= 0xC0 && !signs.count(c));
        if (letter) {
            EXPECT_EQ(tables.word[c], 1) << "a letter: byte 0x" << std::hex << c;
        }
    }
}

} // namespace
