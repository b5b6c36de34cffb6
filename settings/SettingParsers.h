// Readers for the values of the settings file: a signed decimal integer and a
// color "r,g,b". No Windows header and no locale: blanks are space and tab,
// digits are 0-9, so the same code builds natively under the sanitizers.
#pragma once

#include <cstdint>

// Reads an optionally signed decimal integer after any blanks. On success the
// cursor rests on the first character that is not a digit; text after the
// number is not an error, and no digits at all read as 0. Fails, leaving
// `value` untouched, when the number lies outside the signed 32-bit range.
bool ParseInt(const char*& cursor, int32_t& value);

// Skips blanks and steps over the next character; succeeds when it was a
// comma. The cursor never steps over the terminating NUL.
bool SkipToComma(const char*& cursor);

// Reads "r,g,b" (each 0-255) into red in bits 0-7, green in bits 8-15 and blue
// in bits 16-23, top byte zero. Text after the third component is ignored. On
// failure `color` is untouched.
bool ParseColor(const char* text, uint32_t& color);
