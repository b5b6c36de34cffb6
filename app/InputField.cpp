#include "app/InputField.h"

#include "app/InputPaste.h"

#include "base/FocusCycle.h"
#include "base/ScopedHandles.h"
#include "base/WindowRecord.h"
#include "transcript/ChatList.h"

#include <cstdlib>
#include <memory>
#include <new>

namespace {

constexpr char kRecordProperty[] = "bALDRIX.InputLine";

// The field's record, made when the field is installed and gone with it.
struct InputFieldState {
    WNDPROC editProc;
    HWND chat;
    InputHistory history;
    ClearedTexts cleared;
    bool eatBackspaceChar;
    ScopedHook postedGuard; // turns posted copies of the line's own messages into nothing
};

using FieldRecord = PropertyRecord<InputFieldState, kRecordProperty>;

InputFieldState* StateOf(HWND hwnd) {
    return FieldRecord::Of(hwnd);
}

bool KeyDown(int vk) {
    return GetKeyState(vk) < 0;
}

struct FieldText {
    char text[kInputTextCapacity];
    explicit FieldText(HWND hwnd) { GetWindowTextA(hwnd, text, sizeof text); }
};

void ShowInField(HWND hwnd, const char* text) {
    SetWindowTextA(hwnd, text);
    const LRESULT end = SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0);
    SendMessageA(hwnd, EM_SETSEL, static_cast<WPARAM>(end), end);
}

void ShowIfAny(HWND hwnd, const char* text) {
    if (text != nullptr) {
        ShowInField(hwnd, text);
    }
}

// ---- taking back a clear -----------------------------------------------------

// Puts the cleared transcript back in front of whatever the pane holds now.
bool RestoreTranscript(InputFieldState& s) {
    const ClearedTexts& c = s.cleared;
    const LRESULT shown = SendMessageA(s.chat, WM_GETTEXTLENGTH, 0, 0);
    const size_t now = shown > 0 ? static_cast<size_t>(shown) : 0;
    const std::unique_ptr<char[]> block(new (std::nothrow) char[c.transcriptLength + now + 1]);
    char* whole = block.get();
    if (whole == nullptr) {
        return false; // keep the copy: another Ctrl+Z may find the memory
    }
    CopyMemory(whole, c.transcript, c.transcriptLength);
    const LRESULT copied = SendMessageA(s.chat, WM_GETTEXT, now + 1,
                                        reinterpret_cast<LPARAM>(whole + c.transcriptLength));
    whole[c.transcriptLength + (copied > 0 ? static_cast<size_t>(copied) : 0)] = '\0';
    const bool taken =
        SendMessageA(s.chat, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(whole)) != FALSE;
    if (taken) {
        TranscriptRestored(s.cleared);
    }
    return taken;
}

// Ctrl+Z: gives back the newest clear that the field is still "right after";
// answers whether it did, else the field undoes its own edit.
bool UndoClear(HWND hwnd, InputFieldState& s) {
    const FieldText field(hwnd);
    switch (NextUndo(s.cleared, field.text)) {
    case UndoStep::Draft: ShowInField(hwnd, s.cleared.draft); return true;
    case UndoStep::Transcript: return RestoreTranscript(s);
    case UndoStep::None: break;
    }
    return false;
}

// ---- the transcript from the input line -----------------------------------

void ScrollTranscript(const InputFieldState& s, WORD code) {
    SendMessageA(s.chat, WM_VSCROLL, MAKEWPARAM(code, 0), 0);
}

// Ctrl+C with nothing selected in the field copies the transcript's selection.
bool CopyFromTranscript(HWND hwnd, const InputFieldState& s) {
    DWORD from = 0, to = 0;
    SendMessageA(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    if (from != to) {
        return false;
    }
    if (SendMessageA(s.chat, CLM_GETSEL, 0, 0) > 0) {
        SendMessageA(s.chat, WM_COPY, 0, 0);
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
    FieldText field(hwnd);
    char* const text = field.text;
    const DWORD length = static_cast<DWORD>(lstrlenA(text));
    const DWORD caret = from < length ? from : length;
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

bool OnUpDown(HWND hwnd, InputFieldState& s, WPARAM key, bool ctrl, bool shift) {
    if (shift) {
        return false; // Shift+Up/Down select, as in any field
    }
    if (ctrl) {
        ScrollTranscript(s, key == VK_UP ? SB_LINEUP : SB_LINEDOWN);
    } else if (key == VK_UP) {
        const FieldText field(hwnd);
        ShowIfAny(hwnd, HistoryOlder(s.history, field.text));
    } else {
        const bool wasBrowsing = HistoryBrowsing(s.history);
        ShowIfAny(hwnd, HistoryNewer(s.history));
        if (wasBrowsing && !HistoryBrowsing(s.history)) {
            HistoryEndBrowsing(s.history);
        }
    }
    return true;
}

// Answers whether the key was the input line's own; the rest go to the edit control.
bool OnKeyDown(HWND hwnd, InputFieldState& s, WPARAM key) {
    s.eatBackspaceChar = false;
    const bool ctrl = KeyDown(VK_CONTROL);
    const bool shift = KeyDown(VK_SHIFT);
    if (KeyDown(VK_MENU)) {
        return false;
    }
    switch (key) {
    case VK_UP:
    case VK_DOWN: return OnUpDown(hwnd, s, key, ctrl, shift);
    case VK_PRIOR:
    case VK_NEXT: ScrollTranscript(s, key == VK_PRIOR ? SB_PAGEUP : SB_PAGEDOWN); return true;
    case VK_HOME:
    case VK_END:
        if (!ctrl || shift) {
            return false;
        }
        ScrollTranscript(s, key == VK_HOME ? SB_TOP : SB_BOTTOM);
        return true;
    case VK_INSERT: return ctrl && !shift && CopyFromTranscript(hwnd, s);
    case VK_TAB: return TabFocusTo(hwnd, s.chat);
    case VK_BACK:
        if (!ctrl) {
            return false;
        }
        DeleteWordBefore(hwnd);
        s.eatBackspaceChar = true;
        return true;
    default: return false;
    }
}

// Control characters the keys above made, or that stand for Ctrl+C and Ctrl+Z.
bool OnChar(HWND hwnd, InputFieldState& s, WPARAM c) {
    if (s.eatBackspaceChar && (c == 0x7F || c == VK_BACK)) {
        s.eatBackspaceChar = false;
        return true;
    }
    s.eatBackspaceChar = false;
    switch (c) {
    case 0x1A: return UndoClear(hwnd, s);          // Ctrl+Z
    case 0x03: return CopyFromTranscript(hwnd, s); // Ctrl+C
    case 0x01: // Ctrl+A: not every system's edit control selects all by itself
        SendMessageA(hwnd, EM_SETSEL, 0, -1);
        return true;
    default: return false;
    }
}

bool OnCanUndo(HWND hwnd, const InputFieldState& s) {
    const FieldText field(hwnd);
    return CanUndoClear(s.cleared, field.text);
}

LRESULT OnNcDestroy(HWND hwnd, InputFieldState* s, WPARAM wParam, LPARAM lParam) {
    const WNDPROC editProc = s->editProc;
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editProc));
    FieldRecord::Detach(hwnd); // the record and what it kept go here
    return CallWindowProcA(editProc, hwnd, WM_NCDESTROY, wParam, lParam);
}

// The edit control's own answer, for what the line leaves to it.
LRESULT Edit(HWND hwnd, const InputFieldState& s, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(s.editProc, hwnd, message, wParam, lParam);
}

bool IsNote(UINT message) {
    return message >= ILM_SENTLINE && message <= ILM_CLEARINGTRANSCRIPT;
}

// A posted message reaches the procedure just as the thread's own send does,
// though any program may have put it in the queue: the line's own messages,
// which only the program's sends mean, become nothing on their way out of the
// queue, in every message loop of the thread.
LRESULT CALLBACK DropPostedNotes(int code, WPARAM removal, LPARAM lParam) {
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && IsNote(msg->message) && StateOf(msg->hwnd) != nullptr) {
        msg->message = WM_NULL;
        msg->wParam = 0;
        msg->lParam = 0;
    }
    return CallNextHookEx(nullptr, code, removal, lParam);
}

// Sent by the window's own thread, so its pointer leads into this program.
// Without the guard on posted copies, no message is trusted.
bool FromOwnThread(const InputFieldState& s) {
    return s.postedGuard.IsSet() && InSendMessageEx(nullptr) == ISMEX_NOSEND;
}

LRESULT OnSentLine(InputFieldState& s, const char* text) {
    if (text != nullptr) {
        HistoryRemember(s.history, text);
    }
    ForgetClears(s.cleared);
    return 0;
}

LRESULT OnClearingDraft(HWND input, InputFieldState& s) {
    const FieldText field(input);
    // While browsing, the field shows a line the history keeps anyway; the
    // user's own is the draft typed before.
    const char* own = HistoryBrowsing(s.history) ? s.history.draft : field.text;
    // Esc on an empty field takes nothing away, and must not end an earlier undo.
    if (own[0] != '\0') {
        RememberDraftClear(s.cleared, own);
    }
    HistoryEndBrowsing(s.history);
    return 0;
}

LRESULT OnClearingTranscript(HWND input, InputFieldState& s) {
    const LRESULT shown = SendMessageA(s.chat, WM_GETTEXTLENGTH, 0, 0);
    if (shown <= 0) {
        return 0; // nothing to take back; an earlier copy stays
    }
    const size_t length = static_cast<size_t>(shown);
    char* copy = static_cast<char*>(std::malloc(length + 1));
    if (copy == nullptr) {
        return 0; // the clear goes ahead; it just cannot be taken back
    }
    const LRESULT copied =
        SendMessageA(s.chat, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(copy));
    const FieldText field(input);
    RememberTranscriptClear(s.cleared, copy, copied > 0 ? static_cast<size_t>(copied) : 0,
                            field.text);
    return 0;
}

} // namespace

void InstallInputField(HWND input, HWND chat) {
    if (input == nullptr) {
        return;
    }
    std::unique_ptr<InputFieldState> record = NewRecord<InputFieldState>();
    InputFieldState* s = record.get();
    if (s == nullptr || !FieldRecord::Attach(input, record)) {
        return; // the field works on as a plain edit control
    }
    s->chat = chat;
    s->postedGuard.Set(WH_GETMESSAGE, DropPostedNotes);
    s->editProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(input, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(InputFieldProc)));
}

LRESULT CALLBACK InputFieldProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    InputFieldState* s = StateOf(hwnd);
    if (s == nullptr) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    // The line's own notes are heard only from its own thread (see FromOwnThread).
    if (IsNote(message) && !FromOwnThread(*s)) {
        return 0;
    }
    switch (message) {
    case WM_KEYDOWN:
        return OnKeyDown(hwnd, *s, wParam) ? 0 : Edit(hwnd, *s, message, wParam, lParam);
    case WM_CHAR: return OnChar(hwnd, *s, wParam) ? 0 : Edit(hwnd, *s, message, wParam, lParam);
    case WM_UNDO:
    case EM_UNDO: return UndoClear(hwnd, *s) ? TRUE : Edit(hwnd, *s, message, wParam, lParam);
    case EM_CANUNDO: return OnCanUndo(hwnd, *s) ? TRUE : Edit(hwnd, *s, message, wParam, lParam);
    case WM_COPY: return CopyFromTranscript(hwnd, *s) ? 0 : Edit(hwnd, *s, message, wParam, lParam);
    case WM_PASTE: return PasteIntoInputLine(hwnd) ? 0 : Edit(hwnd, *s, message, wParam, lParam);
    case WM_MOUSEWHEEL: return SendMessageA(s->chat, message, wParam, lParam);
    case ILM_SENTLINE: return OnSentLine(*s, reinterpret_cast<const char*>(lParam));
    case ILM_CLEARINGDRAFT: return OnClearingDraft(hwnd, *s);
    case ILM_CLEARINGTRANSCRIPT: return OnClearingTranscript(hwnd, *s);
    case WM_NCDESTROY: return OnNcDestroy(hwnd, s, wParam, lParam);
    default: return Edit(hwnd, *s, message, wParam, lParam);
    }
}
