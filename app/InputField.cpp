#include "app/InputField.h"

#include "app/AppState.h"
#include "transcript/ChatList.h"

#include <cstring>

namespace {

constexpr int kFieldCapacity = kInputLimit + 1;

// The lines sent in this run, newest first: a ring of fixed slots.
struct History {
    char lines[kHistoryDepth][kFieldCapacity];
    int newest; // slot of the newest line
    int count;
    int browsing;               // how far back the field shows (1 = newest); 0 = not browsing
    char draft[kFieldCapacity]; // what was being typed when browsing started
};

// What a clear took away and Ctrl+Z can give back. Each holds the field's text
// as the clear left it: only while the field still shows exactly that is the
// undo "right after" the clear; once the user has typed, Ctrl+Z is the field's own.
struct ClearedDraft {
    bool pending;
    char text[kFieldCapacity];
};

struct ClearedTranscript {
    bool pending;
    char* text; // from the process heap
    SIZE_T length;
    char fieldText[kFieldCapacity];
};

struct InputFieldState {
    WNDPROC editProc;
    History history;
    ClearedDraft draft;
    ClearedTranscript transcript;
    bool draftIsNewer; // which clear came last, for the order of taking them back
    bool eatBackspaceChar;
};

InputFieldState Field;

bool KeyDown(int vk) {
    return GetKeyState(vk) < 0;
}

// ---- history ---------------------------------------------------------------

const char* HistoryLine(int back) {
    const int slot = (Field.history.newest + back - 1) % kHistoryDepth;
    return Field.history.lines[slot];
}

void ShowInField(HWND hwnd, const char* text) {
    SetWindowTextA(hwnd, text);
    const LRESULT end = SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0);
    SendMessageA(hwnd, EM_SETSEL, static_cast<WPARAM>(end), end);
}

void EndBrowsing() {
    Field.history.browsing = 0;
    Field.history.draft[0] = '\0';
}

void BrowseOlder(HWND hwnd) {
    History& h = Field.history;
    if (h.browsing >= h.count) {
        return;
    }
    if (h.browsing == 0) {
        GetWindowTextA(hwnd, h.draft, sizeof h.draft);
    }
    ++h.browsing;
    ShowInField(hwnd, HistoryLine(h.browsing));
}

void BrowseNewer(HWND hwnd) {
    History& h = Field.history;
    if (h.browsing == 0) {
        return;
    }
    --h.browsing;
    if (h.browsing > 0) {
        ShowInField(hwnd, HistoryLine(h.browsing));
        return;
    }
    ShowInField(hwnd, h.draft);
    EndBrowsing();
}

// ---- taking back a clear -------------------------------------------------

void DropClearedTranscript() {
    ClearedTranscript& t = Field.transcript;
    if (t.text != nullptr) {
        HeapFree(GetProcessHeap(), 0, t.text);
    }
    t.text = nullptr;
    t.length = 0;
    t.pending = false;
}

bool FieldShows(HWND hwnd, const char* expected) {
    char now[kFieldCapacity];
    GetWindowTextA(hwnd, now, sizeof now);
    return std::strcmp(now, expected) == 0;
}

// Puts the cleared transcript back in front of whatever the pane holds now.
bool RestoreTranscript() {
    ClearedTranscript& t = Field.transcript;
    const LRESULT shown = SendMessageA(AppState.hwndChat, WM_GETTEXTLENGTH, 0, 0);
    const SIZE_T now = shown > 0 ? static_cast<SIZE_T>(shown) : 0;
    auto* whole = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, t.length + now + 1));
    if (whole == nullptr) {
        return false; // keep the copy: another Ctrl+Z may find the memory
    }
    CopyMemory(whole, t.text, t.length);
    const LRESULT copied = SendMessageA(AppState.hwndChat, WM_GETTEXT, now + 1,
                                        reinterpret_cast<LPARAM>(whole + t.length));
    whole[t.length + (copied > 0 ? static_cast<SIZE_T>(copied) : 0)] = '\0';
    const bool taken =
        SendMessageA(AppState.hwndChat, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(whole)) != FALSE;
    HeapFree(GetProcessHeap(), 0, whole);
    if (taken) {
        DropClearedTranscript();
    }
    return taken;
}

// Whether Ctrl+Z would give a clear back now, so that the field's menu offers Undo.
bool CanUndoClear(HWND hwnd) {
    return (Field.draft.pending && FieldShows(hwnd, "")) ||
           (Field.transcript.pending && FieldShows(hwnd, Field.transcript.fieldText));
}

// Ctrl+Z: gives back the newest clear that the field is still "right after";
// answers whether it did, else the field undoes its own edit.
bool UndoClear(HWND hwnd) {
    const bool draftFirst = Field.draftIsNewer || !Field.transcript.pending;
    if (draftFirst && Field.draft.pending) {
        Field.draft.pending = false;
        if (FieldShows(hwnd, "")) {
            ShowInField(hwnd, Field.draft.text);
            return true;
        }
    }
    if (Field.transcript.pending) {
        if (FieldShows(hwnd, Field.transcript.fieldText)) {
            return RestoreTranscript();
        }
        DropClearedTranscript(); // typed over since: it can no longer be taken back
    }
    Field.draft.pending = false;
    return false;
}

// ---- the transcript from the input line ----------------------------------

void ScrollTranscript(WORD code) {
    SendMessageA(AppState.hwndChat, WM_VSCROLL, MAKEWPARAM(code, 0), 0);
}

// Ctrl+C with nothing selected in the field copies the transcript's selection.
bool CopyFromTranscript(HWND hwnd) {
    DWORD from = 0, to = 0;
    SendMessageA(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    if (from != to) {
        return false;
    }
    if (SendMessageA(AppState.hwndChat, CLM_GETSEL, 0, 0) > 0) {
        SendMessageA(AppState.hwndChat, WM_COPY, 0, 0);
    }
    return true;
}

// Ctrl+Backspace: deletes back to the start of the word before the caret, as
// every other text box does; the plain edit control would insert a box glyph.
void DeleteWordBefore(HWND hwnd) {
    DWORD from = 0, to = 0;
    SendMessageA(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    if (from != to) {
        SendMessageA(hwnd, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(""));
        return;
    }
    char text[kFieldCapacity];
    const int length = GetWindowTextA(hwnd, text, sizeof text);
    const DWORD caret = from < static_cast<DWORD>(length) ? from : static_cast<DWORD>(length);
    char* const end = text + caret;
    char* start = end;
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (start > text && blank(*CharPrevA(text, start))) {
        start = CharPrevA(text, start);
    }
    while (start > text && !blank(*CharPrevA(text, start))) {
        start = CharPrevA(text, start);
    }
    if (start == end) {
        return;
    }
    SendMessageA(hwnd, EM_SETSEL, static_cast<WPARAM>(start - text), static_cast<LPARAM>(caret));
    SendMessageA(hwnd, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(""));
}

// ---- messages --------------------------------------------------------------

// Answers whether the key was the input line's own; the rest go to the edit control.
bool OnKeyDown(HWND hwnd, WPARAM key) {
    Field.eatBackspaceChar = false;
    const bool ctrl = KeyDown(VK_CONTROL);
    const bool shift = KeyDown(VK_SHIFT);
    const bool alt = KeyDown(VK_MENU);
    if (alt) {
        return false;
    }
    switch (key) {
    case VK_UP:
    case VK_DOWN:
        if (shift) {
            return false;
        }
        if (ctrl) {
            ScrollTranscript(key == VK_UP ? SB_LINEUP : SB_LINEDOWN);
        } else if (key == VK_UP) {
            BrowseOlder(hwnd);
        } else {
            BrowseNewer(hwnd);
        }
        return true;
    case VK_PRIOR:
    case VK_NEXT: ScrollTranscript(key == VK_PRIOR ? SB_PAGEUP : SB_PAGEDOWN); return true;
    case VK_HOME:
    case VK_END:
        if (!ctrl || shift) {
            return false;
        }
        ScrollTranscript(key == VK_HOME ? SB_TOP : SB_BOTTOM);
        return true;
    case VK_INSERT: return ctrl && !shift && CopyFromTranscript(hwnd);
    case VK_BACK:
        if (!ctrl) {
            return false;
        }
        DeleteWordBefore(hwnd);
        Field.eatBackspaceChar = true;
        return true;
    default: return false;
    }
}

// Control characters the keys above made, or that stand for Ctrl+C and Ctrl+Z.
bool OnChar(HWND hwnd, WPARAM c) {
    if (Field.eatBackspaceChar && (c == 0x7F || c == VK_BACK)) {
        Field.eatBackspaceChar = false;
        return true;
    }
    Field.eatBackspaceChar = false;
    if (c == 0x1A) { // Ctrl+Z
        return UndoClear(hwnd);
    }
    if (c == 0x03) { // Ctrl+C
        return CopyFromTranscript(hwnd);
    }
    if (c == 0x01) { // Ctrl+A: not every system's edit control selects all by itself
        SendMessageA(hwnd, EM_SETSEL, 0, -1);
        return true;
    }
    return false;
}

} // namespace

void InstallInputField(HWND input) {
    if (input == nullptr) {
        return;
    }
    // A new field is a new run: nothing of an earlier one carries over.
    DropClearedTranscript();
    ZeroMemory(&Field, sizeof Field);
    Field.editProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(input, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(InputFieldProc)));
}

LRESULT CALLBACK InputFieldProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN && OnKeyDown(hwnd, wParam)) {
        return 0;
    }
    if (message == WM_CHAR && OnChar(hwnd, wParam)) {
        return 0;
    }
    if ((message == WM_UNDO || message == EM_UNDO) && UndoClear(hwnd)) {
        return TRUE;
    }
    if (message == EM_CANUNDO && CanUndoClear(hwnd)) {
        return TRUE;
    }
    if (message == WM_COPY && CopyFromTranscript(hwnd)) {
        return 0;
    }
    if (message == WM_MOUSEWHEEL) {
        return SendMessageA(AppState.hwndChat, message, wParam, lParam);
    }
    return CallWindowProcA(Field.editProc, hwnd, message, wParam, lParam);
}

void RememberSentLine(const char* text) {
    EndBrowsing();
    Field.draft.pending = false;
    DropClearedTranscript();
    History& h = Field.history;
    if (text == nullptr || text[0] == '\0') {
        return;
    }
    if (h.count > 0 && std::strcmp(HistoryLine(1), text) == 0) {
        return;
    }
    h.newest = (h.newest + kHistoryDepth - 1) % kHistoryDepth;
    lstrcpynA(h.lines[h.newest], text, kFieldCapacity);
    if (h.count < kHistoryDepth) {
        ++h.count;
    }
}

void RememberClearedDraft() {
    EndBrowsing();
    char text[kFieldCapacity];
    // Esc on an empty field takes nothing away, and must not end an earlier undo.
    if (GetWindowTextA(AppState.hwndInput, text, sizeof text) == 0) {
        return;
    }
    lstrcpyA(Field.draft.text, text);
    Field.draft.pending = true;
    Field.draftIsNewer = true;
}

void RememberClearedTranscript() {
    const LRESULT shown = SendMessageA(AppState.hwndChat, WM_GETTEXTLENGTH, 0, 0);
    if (shown <= 0) {
        return; // nothing to take back; an earlier copy stays
    }
    const SIZE_T length = static_cast<SIZE_T>(shown);
    auto* copy = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, length + 1));
    if (copy == nullptr) {
        return; // the clear goes ahead; it just cannot be taken back
    }
    const LRESULT copied =
        SendMessageA(AppState.hwndChat, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(copy));
    DropClearedTranscript();
    ClearedTranscript& t = Field.transcript;
    t.text = copy;
    t.length = copied > 0 ? static_cast<SIZE_T>(copied) : 0;
    t.pending = true;
    GetWindowTextA(AppState.hwndInput, t.fieldText, sizeof t.fieldText);
    Field.draftIsNewer = false;
}
