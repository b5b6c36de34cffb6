#include "tests/support/Clipboard.h"

namespace {

// Opens the clipboard for as long as the object lives; another program may
// hold it for a moment, so opening is tried for a second.
class OpenedClipboard {
public:
    OpenedClipboard() {
        for (int attempt = 0; attempt < 50 && !(open_ = OpenClipboard(nullptr)); ++attempt) {
            Sleep(20);
        }
    }
    ~OpenedClipboard() {
        if (open_) {
            CloseClipboard();
        }
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;

    // The text of a format up to its terminating NUL; empty when it has none.
    template <class Char> std::basic_string<Char> Text(UINT format) const {
        std::basic_string<Char> text;
        const HANDLE data = open_ ? GetClipboardData(format) : nullptr;
        const Char* p = data != nullptr ? static_cast<const Char*>(GlobalLock(data)) : nullptr;
        if (p != nullptr) {
            text = p;
            GlobalUnlock(data);
        }
        return text;
    }
    // Hands the bytes over in a format of their own; answers whether the clipboard took them.
    bool Put(UINT format, const void* bytes, size_t size) const {
        const HGLOBAL memory = open_ ? GlobalAlloc(GMEM_MOVEABLE, size) : nullptr;
        if (memory == nullptr) {
            return false;
        }
        CopyMemory(GlobalLock(memory), bytes, size);
        GlobalUnlock(memory);
        if (SetClipboardData(format, memory) == nullptr) {
            GlobalFree(memory);
            return false;
        }
        return true;
    }
    void Empty() const {
        if (open_) {
            EmptyClipboard();
        }
    }

private:
    BOOL open_ = FALSE;
};

} // namespace

std::string ClipboardText() {
    return OpenedClipboard().Text<char>(CF_TEXT);
}

std::wstring ClipboardUnicode() {
    return OpenedClipboard().Text<WCHAR>(CF_UNICODETEXT);
}

void EmptyTheClipboard() {
    OpenedClipboard().Empty();
}

bool PutOnClipboard(const std::string& text) {
    const OpenedClipboard clipboard;
    clipboard.Empty();
    return clipboard.Put(CF_TEXT, text.c_str(), text.size() + 1);
}

void MarkClipboardLocale(LCID locale) {
    OpenedClipboard().Put(CF_LOCALE, &locale, sizeof locale);
}
