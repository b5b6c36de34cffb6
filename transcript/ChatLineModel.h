// Composing a chat line, free of any Windows header: the nickname in angle
// brackets, a blank, the text and CR LF ("<%s> %s\r\n").
#pragma once

#include <cstddef>

// Writes the line into `out` (capacity bytes with the terminator); answers its
// length, or 0 with `out` empty when it would not fit whole: a chat line is
// never sent cut short.
size_t ComposeChatLine(char* out, size_t capacity, const char* nickname, const char* text);
