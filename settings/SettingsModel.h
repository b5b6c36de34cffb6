// The settings as data, free of any Windows header: the table of section, key
// and kind (SettingsTable.h), how each kind is written as text and read back,
// and when the profile functions give a value back exactly as written.
#pragma once

#include <cstddef>
#include <cstdint>

enum class SettingKind { Color, Side, Text };

struct SettingEntry {
    const char* section;
    const char* key;
    SettingKind kind;
};

// Every setting, in the order it is read, written and read back.
extern const SettingEntry kSettingEntries[];
extern const size_t kSettingCount;

// Longest text a Color or Side value takes, terminator included.
inline constexpr size_t kSettingNumberCapacity = 16;

// "r,g,b" of a color (red in bits 0-7, green 8-15, blue 16-23; the top byte is ignored).
void FormatColorSetting(uint32_t color, char (&out)[kSettingNumberCapacity]);
// A signed decimal integer.
void FormatSideSetting(int32_t value, char (&out)[kSettingNumberCapacity]);

// Whether a text comes back from the profile functions exactly as written:
// they trim blanks at both ends and strip quotes around a value, so such a
// value only has to be there when read back.
bool ReadsBackExactly(const char* text);
