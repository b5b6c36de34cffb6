// The settings as data: the table the load, the save and the read-back walk,
// and how values are written and judged when read back.
#include "settings/SettingsModel.h"

#include "settings/SettingParsers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

namespace {

TEST(SettingsTable, SectionsComeInTheFilesOrderAndNoKeyTwice) {
    ASSERT_EQ(kSettingCount, 10u);
    // The file's sections in order, each in one run: the window's sides are
    // placed in one go, and the file reads top to bottom as it always has.
    std::string sections;
    std::set<std::string> keys;
    for (size_t i = 0; i < kSettingCount; ++i) {
        const SettingEntry& s = kSettingEntries[i];
        if (sections.empty() || sections.substr(sections.rfind('|') + 1) != s.section) {
            sections += std::string("|") + s.section;
        }
        EXPECT_TRUE(keys.insert(std::string(s.section) + "." + s.key).second) << s.key;
        const SettingKind expected = std::strcmp(s.section, "Colors") == 0   ? SettingKind::Color
                                     : std::strcmp(s.section, "Window") == 0 ? SettingKind::Side
                                                                             : SettingKind::Text;
        EXPECT_EQ(s.kind, expected) << s.key;
    }
    EXPECT_EQ(sections, "|Colors|Window|Options");
}

TEST(SettingsValues, NumbersAreWrittenAsTheyAreRead) {
    char text[kSettingNumberCapacity];
    for (const uint32_t colour : {0x000000u, 0xFFFFFFu, 0x0080FF01u, 0x12345678u}) {
        FormatColorSetting(colour, text);
        uint32_t read = 0xDEADBEEF;
        ASSERT_TRUE(ParseColor(text, read)) << text;
        EXPECT_EQ(read, colour & 0xFFFFFFu) << text << ": the top byte is not a colour's";
    }
    FormatColorSetting(0x00FF8001u, text);
    EXPECT_STREQ(text, "1,128,255");
    for (const int32_t side : {0, -1, 350, INT32_MIN, INT32_MAX}) {
        FormatSideSetting(side, text);
        const char* cursor = text;
        int32_t read = 7;
        ASSERT_TRUE(ParseInt(cursor, read)) << text;
        EXPECT_EQ(read, side);
        EXPECT_EQ(*cursor, '\0');
    }
    FormatSideSetting(INT32_MIN, text);
    EXPECT_STREQ(text, "-2147483648");
}

TEST(SettingsValues, OnlyPlainEndsReadBackExactly) {
    for (const char* same : {"", "Ada", "C:\\Downloads", "a b", "x\"y"}) {
        EXPECT_TRUE(ReadsBackExactly(same)) << same;
    }
    // Trimmed, unquoted or beyond ASCII at an end: such values only have to be there.
    for (const char* reshaped :
         {" Ada", "Ada ", "\tx", "\"quoted\"", "'q'", "\xE9t\xE9", "a\x7F"}) {
        EXPECT_FALSE(ReadsBackExactly(reshaped)) << reshaped;
    }
}

} // namespace
