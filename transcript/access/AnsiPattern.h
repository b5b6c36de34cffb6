// A text a client searches the transcript for, in the ANSI code page the
// transcript is in.
#pragma once

#include <windows.h>

#include <cstddef>

namespace chatlist {

// The pattern's bytes; empty when the code page cannot write every character
// of it (no such text is in the transcript then) or when it would not fit in
// `most` bytes.
class AnsiPattern {
public:
    AnsiPattern(const wchar_t* text, size_t most) {
        const int wide = text != nullptr ? lstrlenW(text) : 0;
        // Every character takes at least a byte.
        if (wide == 0 || static_cast<size_t>(wide) > most) {
            return;
        }
        // The system's check for characters the code page lacks is not
        // offered for UTF-8, which lacks none.
        const bool utf8 = GetACP() == CP_UTF8;
        const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
        BOOL lossy = FALSE;
        BOOL* check = utf8 ? nullptr : &lossy;
        const int n = WideCharToMultiByte(CP_ACP, flags, text, wide, nullptr, 0, nullptr, check);
        if (n <= 0 || lossy || static_cast<size_t>(n) > most) {
            return;
        }
        bytes_ = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, static_cast<size_t>(n)));
        if (bytes_ != nullptr &&
            WideCharToMultiByte(CP_ACP, flags, text, wide, bytes_, n, nullptr, nullptr) == n) {
            length_ = static_cast<size_t>(n);
        }
    }
    ~AnsiPattern() {
        if (bytes_ != nullptr) {
            HeapFree(GetProcessHeap(), 0, bytes_);
        }
    }
    AnsiPattern(const AnsiPattern&) = delete;
    AnsiPattern& operator=(const AnsiPattern&) = delete;

    const char* Bytes() const { return bytes_; }
    size_t Length() const { return length_; }

private:
    char* bytes_ = nullptr;
    size_t length_ = 0;
};

} // namespace chatlist
