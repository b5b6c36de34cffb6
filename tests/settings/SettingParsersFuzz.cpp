// libFuzzer target for the settings value readers. The bytes are copied into a
// heap buffer of exactly their size plus a NUL so that AddressSanitizer
// catches any read past the terminator.
#include "settings/SettingParsers.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// A plain model of the integer reader: blanks, an optional sign, digits, and
// exactly the signed 32-bit range.
bool ModelInt(const char* p, int64_t& value, const char*& stop) {
    while (*p == ' ' || *p == '\t') {
        ++p;
    }
    bool negative = false;
    if (*p == '-' || *p == '+') {
        negative = *p == '-';
        ++p;
    }
    int64_t magnitude = 0;
    while (*p >= '0' && *p <= '9') {
        magnitude = magnitude * 10 + (*p - '0');
        if (magnitude > 2147483648LL) {
            return false;
        }
        ++p;
    }
    if (!negative && magnitude > 2147483647LL) {
        return false;
    }
    value = negative ? -magnitude : magnitude;
    stop = p;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<char[]> text(new char[size + 1]);
    if (size != 0) {
        std::memcpy(text.get(), data, size);
    }
    text[size] = '\0';
    const char* const end = text.get() + std::strlen(text.get());

    uint32_t colour = 0xFFFFFFFFu;
    if (ParseColor(text.get(), colour) && (colour & 0xFF000000u) != 0) {
        std::abort();
    }

    const char* cursor = text.get();
    int32_t value = 0;
    int64_t expected = 0;
    const char* expectedStop = nullptr;
    const bool ok = ParseInt(cursor, value);
    if (cursor > end || ok != ModelInt(text.get(), expected, expectedStop)) {
        std::abort();
    }
    if (ok && (value != expected || cursor != expectedStop)) {
        std::abort();
    }

    cursor = text.get();
    SkipToComma(cursor);
    if (cursor > end) {
        std::abort();
    }
    return 0;
}
