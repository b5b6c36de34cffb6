#include "commands/Find.h"

#include "app/AppState.h"
#include "base/CodePageTables.h"
#include "transcript/ChatList.h"
#include "transcript/FindModel.h"

#include <commdlg.h>
#include <dlgs.h>

namespace {

constexpr char kRecordProperty[] = "bALDRIX.Find";
constexpr int kFindCapacity = 128;
constexpr DWORD kKeptFlags = FR_DOWN | FR_MATCHCASE | FR_WHOLEWORD;
constexpr char kCannotFind[] = "Cannot find \"%s\"";
constexpr char kPassedEnd[] = "Passed the end of the chat; continued from the top.";
constexpr char kPassedTop[] = "Passed the top of the chat; continued from the end.";

// Made at the first find, gone with the main window.
struct FindRecord {
    FINDREPLACEA dialogRecord;
    HWND dialog;
    char what[kFindCapacity]; // the dialog's "Find what"
    char last[kFindCapacity]; // the last search, for F3
    DWORD lastFlags;          // and its case, word and direction choices
};

FindRecord* RecordOf(HWND main) {
    return static_cast<FindRecord*>(GetPropA(main, kRecordProperty));
}

FindRecord* MakeRecord(HWND main) {
    if (FindRecord* r = RecordOf(main)) {
        return r;
    }
    auto* r =
        static_cast<FindRecord*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(FindRecord)));
    if (r == nullptr || !SetPropA(main, kRecordProperty, r)) {
        HeapFree(GetProcessHeap(), 0, r);
        return nullptr;
    }
    r->lastFlags = FR_DOWN;
    return r;
}

void Tell(HWND owner, const char* text) {
    MessageBoxA(owner, text, Str::ProgramName, MB_OK | MB_ICONINFORMATION);
}

// Finds the last search from the transcript's selection on: the match is
// selected and shown, or the user is told that it is not there.
void FindAgain(FindRecord& r, bool down) {
    const HWND chat = AppState.hwndChat;
    const HWND owner = r.dialog != nullptr ? r.dialog : AppState.hwndMain;
    DWORD from = 0, to = 0;
    SendMessageA(chat, CLM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    const LRESULT length = SendMessageA(chat, WM_GETTEXTLENGTH, 0, 0);
    // Nothing selected: one pass over the whole text, from the top or the end.
    const size_t start =
        from == to ? (down ? 0 : static_cast<size_t>(length > 0 ? length : 0)) : (down ? to : from);
    const FindQuery query{r.last,
                          static_cast<size_t>(lstrlenA(r.last)),
                          (r.lastFlags & FR_MATCHCASE) != 0,
                          (r.lastFlags & FR_WHOLEWORD) != 0,
                          down,
                          AnsiCodePageTables().fold,
                          AnsiCodePageTables().word};
    FindMatch match{};
    if (!ChatListFind(chat, query, start, match)) {
        return;
    }
    if (!match.found) {
        char text[sizeof kCannotFind + kFindCapacity];
        wsprintfA(text, kCannotFind, r.last);
        Tell(owner, text);
        return;
    }
    SendMessageA(chat, CLM_SETSEL, match.from, static_cast<LPARAM>(match.to));
    SendMessageA(chat, CLM_SHOWSEL, 0, 0);
    if (match.wrapped) {
        Tell(owner, down ? kPassedEnd : kPassedTop);
    }
}

void OpenDialog(HWND main, FindRecord& r) {
    // The selection's first line, else the last search.
    if (ChatListSelectionLine(AppState.hwndChat, r.what, sizeof r.what) == 0) {
        lstrcpynA(r.what, r.last, sizeof r.what);
    }
    if (r.dialog != nullptr) {
        SetDlgItemTextA(r.dialog, edt1, r.what);
        SendDlgItemMessageA(r.dialog, edt1, EM_SETSEL, 0, -1);
        SetActiveWindow(r.dialog);
        SetFocus(GetDlgItem(r.dialog, edt1));
        return;
    }
    FINDREPLACEA& fr = r.dialogRecord;
    fr = FINDREPLACEA{};
    fr.lStructSize = sizeof fr;
    fr.hwndOwner = main;
    fr.hInstance = AppState.hInstance;
    fr.Flags = r.lastFlags & kKeptFlags;
    fr.lpstrFindWhat = r.what;
    fr.wFindWhatLen = sizeof r.what;
    r.dialog = FindTextA(&fr);
}

} // namespace

bool ForwardFindKey(HWND child, WPARAM key) {
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    if (GetKeyState(VK_MENU) < 0) {
        return false;
    }
    WPARAM which = 0;
    if (key == 'F' && ctrl && !shift) {
        which = kFindOpen;
    } else if (key == VK_F3 && !ctrl) {
        which = shift ? kFindPrevious : kFindNext;
    }
    if (which == 0) {
        return false;
    }
    SendMessageA(GetParent(child), WM_APP_FINDKEY, which, 0);
    return true;
}

LRESULT OnFindKey(HWND main, WPARAM which) {
    FindRecord* r = MakeRecord(main);
    if (r == nullptr) {
        return 0;
    }
    // With no search yet, F3 asks for one.
    if (which == kFindOpen || r->last[0] == '\0') {
        OpenDialog(main, *r);
    } else if (which == kFindNext || which == kFindPrevious) {
        FindAgain(*r, which == kFindNext);
    }
    return 0;
}

bool IsFindMessage(UINT message) {
    static const UINT findMessage = RegisterWindowMessageA(FINDMSGSTRINGA);
    return message != 0 && message == findMessage;
}

LRESULT OnFindMessage(HWND main, LPARAM lParam) {
    FindRecord* r = RecordOf(main);
    if (r == nullptr || reinterpret_cast<FINDREPLACEA*>(lParam) != &r->dialogRecord) {
        return 0;
    }
    const DWORD flags = r->dialogRecord.Flags;
    if (flags & FR_DIALOGTERM) {
        r->dialog = nullptr;
        SetFocus(AppState.hwndInput);
        return 0;
    }
    if (flags & FR_FINDNEXT) {
        lstrcpynA(r->last, r->what, sizeof r->last);
        r->lastFlags = flags & kKeptFlags;
        FindAgain(*r, (flags & FR_DOWN) != 0);
    }
    return 0;
}

bool FindDialogMessage(HWND main, MSG* msg) {
    const FindRecord* r = RecordOf(main);
    return r != nullptr && r->dialog != nullptr && IsDialogMessageA(r->dialog, msg);
}

void ForgetFind(HWND main) {
    FindRecord* r = RecordOf(main);
    if (r == nullptr) {
        return;
    }
    if (r->dialog != nullptr && IsWindow(r->dialog)) {
        const HWND dialog = r->dialog;
        r->dialog = nullptr;
        DestroyWindow(dialog);
    }
    RemovePropA(main, kRecordProperty);
    HeapFree(GetProcessHeap(), 0, r);
}
