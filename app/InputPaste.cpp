#include "app/InputPaste.h"

#include "app/InputLineModel.h"
#include "app/PasteModel.h"
#include "app/Strings.h"
#include "base/ScopedHandles.h"
#include "resources/resource.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

// What the field would hold after the paste: its text with the selection
// replaced by the clipboard's text. Null when the clipboard has no text.
struct PastedText {
    std::unique_ptr<char[]> bytes;
    size_t length = 0;
    bool pastedBreak = false; // the clipboard's text has a line break
};

PastedText Combined(HWND input) {
    PastedText combined;
    const ScopedClipboard clipboard(input);
    const ScopedGlobalLock lock(clipboard.IsOpen() ? GetClipboardData(CF_TEXT) : nullptr);
    const char* pasted = lock.As<const char>();
    if (pasted == nullptr) {
        return combined;
    }
    char field[kInputTextCapacity];
    const size_t shown = static_cast<size_t>(GetWindowTextA(input, field, sizeof field));
    DWORD from = 0, to = 0;
    SendMessageA(input, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    const size_t start = from < shown ? from : shown;
    const size_t end = to < shown ? (to > start ? to : start) : shown;
    const size_t added = std::strlen(pasted);
    combined.bytes.reset(new (std::nothrow) char[start + added + (shown - end) + 1]);
    if (combined.bytes == nullptr) {
        return combined; // too long to split here: pasted as always
    }
    char* out = combined.bytes.get();
    std::memcpy(out, field, start);
    std::memcpy(out + start, pasted, added);
    std::memcpy(out + start + added, field + end, shown - end);
    combined.length = start + added + (shown - end);
    out[combined.length] = '\0';
    combined.pastedBreak = HasLineBreak(pasted, added);
    return combined;
}

// One chat line of the paste in the field, as if typed: the caret at its end.
void ShowLine(HWND input, const PastedText& text, const PastedLine& line) {
    char one[kInputTextCapacity];
    std::memcpy(one, text.bytes.get() + line.from, line.length);
    one[line.length] = '\0';
    // Replacing the whole text as an edit keeps the field's own Ctrl+Z.
    SendMessageA(input, EM_SETSEL, 0, -1);
    SendMessageA(input, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(one));
}

// Each line through the normal send, as Enter sends it; a line that cannot
// be sent stays in the field, and the rest with it are not sent.
void SendEach(HWND input, const PastedText& text) {
    const HWND main = GetParent(input);
    size_t at = 0;
    PastedLine line{};
    while (NextPastedLine(text.bytes.get(), text.length, kInputLimit, &at, &line)) {
        ShowLine(input, text, line);
        SendMessageA(main, WM_COMMAND, IDM_SEND, 0);
        if (GetWindowTextLengthA(input) != 0) {
            return;
        }
    }
}

} // namespace

bool PasteIntoInputLine(HWND input) {
    const PastedText text = Combined(input);
    if (text.bytes == nullptr || (!text.pastedBreak && text.length <= kInputLimit)) {
        return false; // one line that fits: pasted as always
    }
    const size_t count = CountPastedLines(text.bytes.get(), text.length, kInputLimit);
    if (count == 0) {
        return false;
    }
    if (count == 1) { // only line breaks around one line: nothing to ask
        size_t at = 0;
        PastedLine line{};
        NextPastedLine(text.bytes.get(), text.length, kInputLimit, &at, &line);
        ShowLine(input, text, line);
        return true;
    }
    char question[96];
    wsprintfA(question, "The pasted text makes %lu chat lines. Send them now?",
              static_cast<unsigned long>(count));
    switch (MessageBoxA(GetParent(input), question, Str::ProgramName,
                        MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES: SendEach(input, text); return true;
    case IDNO: return false; // the first line, cut at the field's limit
    default: return true;    // Cancel: the field stays as it was
    }
}
