#include "settings/SettingParsers.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

const char* SkipBlanks(const char* p) {
    while (IsBlank(*p)) {
        ++p;
    }
    return p;
}

// One color component: a good number that, taken as unsigned, fits a byte.
// So every negative value fails, while "-0" reads as 0.
bool ParseComponent(const char*& cursor, uint32_t& component) {
    int32_t value = 0;
    if (!ParseInt(cursor, value)) {
        return false;
    }
    const uint32_t bits = static_cast<uint32_t>(value);
    if (bits > 255u) {
        return false;
    }
    component = bits;
    return true;
}

} // namespace

bool ParseInt(const char*& cursor, int32_t& value) {
    const char* p = SkipBlanks(cursor);
    bool negative = false;
    if (*p == '-' || *p == '+') {
        negative = *p == '-';
        ++p;
    }
    // The magnitude may reach 2^31 only when it is going to be negated: a
    // positive 2147483648 must not come back as a large negative number.
    const uint32_t limit = negative ? 0x80000000u : 0x7FFFFFFFu;
    uint32_t magnitude = 0;
    while (IsDigit(*p)) {
        const uint32_t digit = static_cast<uint32_t>(*p - '0');
        if (magnitude > (limit - digit) / 10u) {
            cursor = p;
            return false;
        }
        magnitude = magnitude * 10u + digit;
        ++p;
    }
    cursor = p;
    if (!negative) {
        value = static_cast<int32_t>(magnitude);
    } else if (magnitude == 0x80000000u) {
        value = INT32_MIN;
    } else {
        value = -static_cast<int32_t>(magnitude);
    }
    return true;
}

bool SkipToComma(const char*& cursor) {
    const char* p = SkipBlanks(cursor);
    const char c = *p;
    if (c != '\0') {
        ++p;
    }
    cursor = p;
    return c == ',';
}

bool ParseColor(const char* text, uint32_t& color) {
    const char* cursor = text;
    uint32_t red = 0;
    uint32_t green = 0;
    uint32_t blue = 0;
    if (!ParseComponent(cursor, red) || !SkipToComma(cursor) || !ParseComponent(cursor, green) ||
        !SkipToComma(cursor) || !ParseComponent(cursor, blue)) {
        return false;
    }
    color = red | (green << 8) | (blue << 16);
    return true;
}
