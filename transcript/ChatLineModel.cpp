#include "transcript/ChatLineModel.h"

#include <cstring>

size_t ComposeChatLine(char* out, size_t capacity, const char* nickname, const char* text) {
    if (capacity == 0) {
        return 0;
    }
    const size_t nick = std::strlen(nickname);
    const size_t body = std::strlen(text);
    const size_t length = 1 + nick + 2 + body + 2; // '<' nick "> " text CR LF
    if (length >= capacity) {
        out[0] = '\0';
        return 0;
    }
    char* p = out;
    *p++ = '<';
    std::memcpy(p, nickname, nick);
    p += nick;
    *p++ = '>';
    *p++ = ' ';
    std::memcpy(p, text, body);
    p += body;
    *p++ = '\r';
    *p++ = '\n';
    *p = '\0';
    return length;
}
