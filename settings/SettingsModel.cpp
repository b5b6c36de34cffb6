#include "settings/SettingsModel.h"

#include "app/Strings.h"
#include "settings/SettingsTable.h"

#include <cstdio>
#include <cstring>

#define BALDRIX_SETTING_ENTRY(section, key, kind, field)                                           \
    {Str::section, Str::key, SettingKind::kind},
const SettingEntry kSettingEntries[] = {BALDRIX_SETTINGS(BALDRIX_SETTING_ENTRY)};
#undef BALDRIX_SETTING_ENTRY
const size_t kSettingCount = sizeof kSettingEntries / sizeof kSettingEntries[0];

void FormatColorSetting(uint32_t color, char (&out)[kSettingNumberCapacity]) {
    std::snprintf(out, sizeof out, "%u,%u,%u", static_cast<unsigned>(color & 0xFF),
                  static_cast<unsigned>((color >> 8) & 0xFF),
                  static_cast<unsigned>((color >> 16) & 0xFF));
}

void FormatSideSetting(int32_t value, char (&out)[kSettingNumberCapacity]) {
    std::snprintf(out, sizeof out, "%ld", static_cast<long>(value));
}

bool ReadsBackExactly(const char* text) {
    const size_t length = std::strlen(text);
    if (length == 0) {
        return true;
    }
    const auto plain = [](char c) { return c > ' ' && c < 0x7F; };
    return plain(text[0]) && plain(text[length - 1]) && text[0] != '"' && text[0] != '\'';
}
