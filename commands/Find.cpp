#include "commands/Find.h"

#include "app/AppState.h"
#include "base/CodePageTables.h"
#include "base/WindowRecord.h"
#include "transcript/ChatList.h"
#include "transcript/FindModel.h"

#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>

#include <memory>

namespace {

constexpr UINT_PTR kDialogSubclass = 1;
constexpr char kRecordProperty[] = "bALDRIX.Find";
constexpr DWORD kKeptFlags = FR_DOWN | FR_MATCHCASE | FR_WHOLEWORD;
constexpr char kCannotFind[] = "Cannot find \"%s\"";
constexpr char kPassedEnd[] = "Passed the end of the chat; continued from the top.";
constexpr char kPassedTop[] = "Passed the top of the chat; continued from the end.";
enum class FindKey { None, Open, Next, Previous };
// The transcript keeps a found search whole, to frame its other matches.
static_assert(static_cast<size_t>(kFindCapacity) <= kKeptPatternMost);

// The open dialog's record: what the system's dialog reads and writes while it
// is shown. Made with the dialog, released when its window goes.
struct FindDialogRecord {
    FINDREPLACEA dialogRecord;
    char what[kFindCapacity]; // the dialog's "Find what"
};

using DialogRecord = PropertyRecord<FindDialogRecord, kRecordProperty>;

FindDialogRecord* RecordOf(HWND dialog) {
    return dialog != nullptr ? DialogRecord::Of(dialog) : nullptr;
}

// The dialog's window goes: its record with it.
LRESULT CALLBACK FindDialogSubclassProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR, DWORD_PTR) {
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(dialog, FindDialogSubclassProc, kDialogSubclass);
        DialogRecord::Detach(dialog);
        if (AppState.hwndFind == dialog) {
            AppState.hwndFind = nullptr;
        }
    }
    return DefSubclassProc(dialog, message, wParam, lParam);
}

void Tell(HWND owner, const char* text) {
    MessageBoxA(owner, text, Str::ProgramName, MB_OK | MB_ICONINFORMATION);
}

// Finds the last search from the transcript's selection on: the match is
// selected and shown, or the user is told that it is not there.
void FindAgain(bool down) {
    const HWND chat = AppState.hwndChat;
    const HWND owner = AppState.hwndFind != nullptr ? AppState.hwndFind : AppState.hwndMain;
    DWORD from = 0, to = 0;
    SendMessageA(chat, CLM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    const LRESULT length = SendMessageA(chat, WM_GETTEXTLENGTH, 0, 0);
    // Nothing selected: one pass over the whole text, from the top or the end.
    ChatListSearch search{};
    search.start =
        from == to ? (down ? 0 : static_cast<size_t>(length > 0 ? length : 0)) : (down ? to : from);
    search.query = FindQuery{AppState.findText,
                             static_cast<size_t>(lstrlenA(AppState.findText)),
                             (AppState.findFlags & FR_MATCHCASE) != 0,
                             (AppState.findFlags & FR_WHOLEWORD) != 0,
                             down,
                             AnsiCodePageTables().fold,
                             AnsiCodePageTables().word};
    if (!SendMessageA(chat, CLM_FIND, 0, reinterpret_cast<LPARAM>(&search))) {
        return;
    }
    const FindMatch& match = search.match;
    if (!match.found) {
        char text[sizeof kCannotFind + kFindCapacity];
        wsprintfA(text, kCannotFind, AppState.findText);
        Tell(owner, text);
        return;
    }
    SendMessageA(chat, CLM_SETSEL, match.from, static_cast<LPARAM>(match.to));
    SendMessageA(chat, CLM_SHOWSEL, 0, 0);
    if (match.wrapped) {
        Tell(owner, down ? kPassedEnd : kPassedTop);
    }
}

// The selection's first line, else the last search, into `what`.
void ProposeText(char* what) {
    if (SendMessageA(AppState.hwndChat, CLM_GETSELLINE, kFindCapacity,
                     reinterpret_cast<LPARAM>(what)) == 0) {
        lstrcpynA(what, AppState.findText, kFindCapacity);
    }
}

void ShowOpenDialog(HWND dialog, FindDialogRecord& r) {
    ProposeText(r.what);
    SetDlgItemTextA(dialog, edt1, r.what);
    SendDlgItemMessageA(dialog, edt1, EM_SETSEL, 0, -1);
    SetActiveWindow(dialog);
    SetFocus(GetDlgItem(dialog, edt1));
}

void OpenDialog(HWND main) {
    if (FindDialogRecord* open = RecordOf(AppState.hwndFind)) {
        ShowOpenDialog(AppState.hwndFind, *open);
        return;
    }
    std::unique_ptr<FindDialogRecord> record = NewRecord<FindDialogRecord>();
    FindDialogRecord* r = record.get();
    if (r == nullptr) {
        return;
    }
    ProposeText(r->what);
    FINDREPLACEA& fr = r->dialogRecord;
    fr.lStructSize = sizeof fr;
    fr.hwndOwner = main;
    fr.hInstance = AppState.hInstance;
    fr.Flags = AppState.findFlags & kKeptFlags;
    fr.lpstrFindWhat = r->what;
    fr.wFindWhatLen = sizeof r->what;
    const HWND dialog = FindTextA(&fr);
    if (dialog == nullptr) {
        return;
    }
    // The record goes with the dialog's window from here; else both go now,
    // the window first, as it reads the record to the end.
    if (!DialogRecord::Attach(dialog, record)) {
        DestroyWindow(dialog);
        return;
    }
    if (!SetWindowSubclass(dialog, FindDialogSubclassProc, kDialogSubclass, 0)) {
        record = DialogRecord::Detach(dialog);
        DestroyWindow(dialog);
        return;
    }
    AppState.hwndFind = dialog;
}

FindKey FindKeyOf(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || GetKeyState(VK_MENU) < 0) {
        return FindKey::None;
    }
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    if (msg.wParam == 'F' && ctrl && !shift) {
        return FindKey::Open;
    }
    if (msg.wParam == VK_F3 && !ctrl) {
        return shift ? FindKey::Previous : FindKey::Next;
    }
    return FindKey::None;
}

} // namespace

bool TranslateFindKey(HWND main, const MSG* msg) {
    const FindKey key = FindKeyOf(*msg);
    if (key == FindKey::None || msg->hwnd == nullptr ||
        (msg->hwnd != main && !IsChild(main, msg->hwnd))) {
        return false;
    }
    // With no search yet, F3 asks for one.
    if (key == FindKey::Open || AppState.findText[0] == '\0') {
        OpenDialog(main);
    } else {
        FindAgain(key == FindKey::Next);
    }
    return true;
}

bool IsFindMessage(UINT message) {
    static const UINT findMessage = RegisterWindowMessageA(FINDMSGSTRINGA);
    return message != 0 && message == findMessage;
}

LRESULT OnFindMessage(LPARAM lParam) {
    FindDialogRecord* r = RecordOf(AppState.hwndFind);
    if (r == nullptr || reinterpret_cast<FINDREPLACEA*>(lParam) != &r->dialogRecord) {
        return 0;
    }
    const DWORD flags = r->dialogRecord.Flags;
    if (flags & FR_DIALOGTERM) {
        AppState.hwndFind = nullptr; // the record goes with the window
        SetFocus(AppState.hwndInput);
        return 0;
    }
    if (flags & FR_FINDNEXT) {
        lstrcpynA(AppState.findText, r->what, sizeof AppState.findText);
        AppState.findFlags = flags & kKeptFlags;
        FindAgain((flags & FR_DOWN) != 0);
    }
    return 0;
}

bool FindDialogMessage(MSG* msg) {
    return AppState.hwndFind != nullptr && IsDialogMessageA(AppState.hwndFind, msg);
}

void ForgetFind() {
    if (AppState.hwndFind != nullptr) {
        DestroyWindow(AppState.hwndFind);
    }
}
