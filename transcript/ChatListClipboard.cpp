#include "transcript/ChatListClipboard.h"

#include "base/ScopedHandles.h"

#include <climits>
#include <cstring>

namespace chatlist {
namespace {

// The text's bytes and a terminating NUL, as they are.
bool FillAnsi(const ScopedGlobal& block, const char* text, size_t length) {
    ScopedGlobalLock locked(block.Handle());
    char* out = locked.As<char>();
    if (out == nullptr) {
        return false;
    }
    std::memcpy(out, text, length);
    out[length] = '\0';
    return true;
}

// The same text in UTF-16, read in the program's own code page: left to the
// system, Unicode programs would get it read in the keyboard layout's.
bool FillUnicode(const ScopedGlobal& block, const char* text, int length, int wideLength) {
    ScopedGlobalLock locked(block.Handle());
    WCHAR* out = locked.As<WCHAR>();
    if (out == nullptr) {
        return false;
    }
    const int n = MultiByteToWideChar(CP_ACP, 0, text, length, out, wideLength);
    out[n] = L'\0';
    return n == wideLength;
}

} // namespace

void CopySelection(HWND hwnd, const ChatState& s) {
    const size_t from = SelectionFrom(s.sel);
    const size_t to = SelectionTo(s.sel);
    if (from == to) {
        return;
    }
    const char* text = s.layout.text + from;
    const size_t length = to - from;
    ScopedGlobal ansi(length + 1);
    if (!FillAnsi(ansi, text, length)) {
        return;
    }
    // A selection beyond what the conversion takes goes as bytes alone.
    const int narrow = length <= INT_MAX ? static_cast<int>(length) : 0;
    const int wide = narrow > 0 ? MultiByteToWideChar(CP_ACP, 0, text, narrow, nullptr, 0) : 0;
    ScopedGlobal unicode(wide > 0 ? (static_cast<SIZE_T>(wide) + 1) * sizeof(WCHAR) : 0);
    const bool hasUnicode = wide > 0 && FillUnicode(unicode, text, narrow, wide);
    const ScopedClipboard clipboard(hwnd);
    if (!clipboard.IsOpen()) {
        return;
    }
    EmptyClipboard();
    ansi.PutOnClipboard(CF_TEXT);
    if (hasUnicode) {
        unicode.PutOnClipboard(CF_UNICODETEXT);
    }
}

} // namespace chatlist
