// Cases for the settings value readers, including the cursor positions that
// the colour reader builds on.
#include "settings/SettingParsers.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct IntCase {
    const char* text;
    bool ok;
    int32_t value;
    size_t stop; // where the cursor rests afterwards
};

void ExpectInt(const IntCase& c) {
    SCOPED_TRACE(testing::Message() << "'" << c.text << "'");
    const char* cursor = c.text;
    int32_t value = 12345; // sentinel: a failure must leave it
    EXPECT_EQ(ParseInt(cursor, value), c.ok);
    EXPECT_EQ(value, c.ok ? c.value : 12345);
    if (c.ok) {
        EXPECT_EQ(static_cast<size_t>(cursor - c.text), c.stop);
    }
}

TEST(ParseInt, ReadsSignsBlanksAndStopsOnTheFirstNonDigit) {
    const IntCase cases[] = {
        {"42", true, 42, 2},  {"  -17xyz", true, -17, 5},
        {"\t+8", true, 8, 3}, {"-", true, 0, 1},
        {"- 5", true, 0, 1},  {"abc", true, 0, 0},
        {"", true, 0, 0},     {"  ", true, 0, 2},
        {"007,", true, 7, 3}, {"12 34", true, 12, 2},
        {"--5", true, 0, 1},  {"\n5", true, 0, 0}, // only space and tab are blanks
        {"\xB2", true, 0, 0},                      // no locale digits
    };
    for (const IntCase& c : cases) {
        ExpectInt(c);
    }
}

// Exactly the signed 32-bit range: a positive 2147483648 or 2147483649 must not
// come back as a negative number.
TEST(ParseInt, AcceptsExactlyTheSigned32BitRange) {
    const IntCase cases[] = {
        {"2147483647", true, 2147483647, 10},
        {"+2147483647", true, 2147483647, 11},
        {"-2147483647", true, -2147483647, 11},
        {"-2147483648", true, INT32_MIN, 11},
        {"00000000002147483647x", true, 2147483647, 20},
        {"2147483648", false, 0, 0},
        {"+2147483648", false, 0, 0},
        {"2147483649", false, 0, 0},
        {"-2147483649", false, 0, 0},
        {"2147483650", false, 0, 0},
        {"4294967296", false, 0, 0},
        {"99999999999", false, 0, 0},
        {"-99999999999", false, 0, 0},
    };
    for (const IntCase& c : cases) {
        ExpectInt(c);
    }
}

TEST(SkipToComma, StepsOverTheNextCharacterAfterBlanks) {
    const char* text = " \t, 5";
    const char* cursor = text;
    EXPECT_TRUE(SkipToComma(cursor));
    EXPECT_EQ(cursor, text + 3);

    text = "  x,";
    cursor = text;
    EXPECT_FALSE(SkipToComma(cursor));
    EXPECT_EQ(cursor, text + 3); // after the x, even on failure

    // At the end of the string the cursor stays on the terminator.
    text = "  ";
    cursor = text;
    EXPECT_FALSE(SkipToComma(cursor));
    EXPECT_EQ(cursor, text + 2);
    EXPECT_EQ(*cursor, '\0');
}

struct ColorCase {
    const char* text;
    bool ok;
    uint32_t colour;
};

TEST(ParseColor, ReadsThreeByteComponents) {
    const ColorCase cases[] = {
        {"255,255,255", true, 0x00FFFFFF},
        {" 1 , 2 , 3", true, 0x00030201},
        {"1,2,3,4", true, 0x00030201},
        {"\t10,\t20,\t30 trailing", true, 0x001E140A},
        {"-0,0,0", true, 0},
        {",,", true, 0},
        {"1,,2", true, 0x00020001},
        {"1,2,", true, 0x00000201},
        {"0,0,255", true, 0x00FF0000},
    };
    for (const ColorCase& c : cases) {
        SCOPED_TRACE(c.text);
        uint32_t colour = 0xDEADBEEF;
        EXPECT_TRUE(ParseColor(c.text, colour));
        EXPECT_EQ(colour, c.colour);
    }
}

TEST(ParseColor, FailsWithoutTouchingTheColor) {
    const char* const cases[] = {
        "1,2",
        "256,0,0",
        "-1,0,0",
        "0,-1,0",
        "0,0,256",
        "12abc,0,0",
        "1;2;3",
        "",
        ",",
        "1,2;3",
        "4294967295,0,0",
        "2147483648,0,0",
        "-2147483648,0,0",
        "1 2 3",
        "1,2\n,3",
    };
    for (const char* text : cases) {
        SCOPED_TRACE(text);
        uint32_t colour = 0xDEADBEEF;
        EXPECT_FALSE(ParseColor(text, colour));
        EXPECT_EQ(colour, 0xDEADBEEFu);
    }
}

// The reader must stop at the terminator even when the bytes after it look
// like more of the value.
TEST(ParseColor, StopsAtTheTerminator) {
    const char text[] = "1,2\0,3";
    uint32_t colour = 7;
    EXPECT_FALSE(ParseColor(text, colour));
    EXPECT_EQ(colour, 7u);

    const char* cursor = text + 3;
    EXPECT_FALSE(SkipToComma(cursor));
    EXPECT_EQ(cursor, text + 3);
}

} // namespace
