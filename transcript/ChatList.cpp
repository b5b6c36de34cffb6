#include "transcript/ChatList.h"
#include "transcript/ChatListTesting.h"

#include "base/CodePageTables.h"
#include "base/ScopedHandles.h"
#include "base/WindowRecord.h"
#include "transcript/ChatListCaret.h"
#include "transcript/ChatListClipboard.h"
#include "transcript/ChatListContrast.h"
#include "transcript/ChatListEvents.h"
#include "transcript/ChatListFind.h"
#include "transcript/ChatListKeys.h"
#include "transcript/ChatListMouse.h"
#include "transcript/ChatListPaint.h"
#include "transcript/ChatListSelection.h"
#include "transcript/ChatListState.h"
#include "transcript/ChatListView.h"
#include "transcript/ChatListZoom.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>

namespace chatlist {

ChatState* StateOf(HWND hwnd) {
    return SlotRecord<ChatState>::Of(hwnd);
}

bool IsChatList(HWND hwnd) {
    // One byte more than the name: a longer class name that begins with it
    // comes back cut to one letter more, so it does not compare equal.
    char className[sizeof kChatListClassName + 1];
    return hwnd != nullptr && GetClassNameA(hwnd, className, sizeof className) > 0 &&
           std::strcmp(className, kChatListClassName) == 0;
}

bool FromOwnThread(const ChatState& s) {
    // Without the guard that takes the pointers off posted messages, none is trusted.
    return s.postedGuard.IsSet() && InSendMessageEx(nullptr) == ISMEX_NOSEND;
}

} // namespace chatlist

using namespace chatlist;

namespace {

// ---- text ------------------------------------------------------------------

// Whether `text` starts with the n bytes of `old`, and then the length of the
// rest: one pass over both, as every append brings the whole transcript. The
// old text has no NUL, so words of `text` that equal it hold none either, and
// the next aligned word of `text` lies on a page that is there.
bool Extends(const char* old, size_t n, const char* text, size_t& tail) {
    size_t i = 0;
    while (i < n && reinterpret_cast<uintptr_t>(text + i) % sizeof(uint64_t) != 0) {
        if (text[i] != old[i]) {
            return false;
        }
        ++i;
    }
    for (; i + sizeof(uint64_t) <= n; i += sizeof(uint64_t)) {
        uint64_t a, b;
        std::memcpy(&a, old + i, sizeof a);
        std::memcpy(&b, text + i, sizeof b);
        if (a != b) {
            return false;
        }
    }
    for (; i < n; ++i) {
        if (text[i] != old[i]) {
            return false;
        }
    }
    tail = ChatTextLength(text + n);
    return true;
}

LRESULT OnSetText(HWND hwnd, ChatState& s, const char* text) {
    if (text == nullptr) {
        text = "";
    }
    const bool following = Following(s);
    const size_t topOffset = TopOffset(s);
    const size_t before = s.layout.length;
    size_t tail = 0;
    AutomationTextReplacing(s, text);
    const ChatChange change = Extends(s.layout.text, s.layout.length, text, tail)
                                  ? LayoutAppend(s.layout, text + s.layout.length, tail)
                                  : LayoutSetText(s.layout, text, ChatTextLength(text));
    if (!change.ok) {
        return FALSE;
    }
    AutomationTextChanged(hwnd, s, change.appended, before);
    if (!change.appended) {
        s.sel.anchor = s.sel.caret = 0;
        s.caretPlace = CaretPlace{};
        s.caretPlaced = false;
        s.unseenLines = 0;
        s.held = false; // no match of the old text stays selected or held
        KeepPlace(hwnd, s, following || s.layout.length == 0, topOffset);
        return TRUE;
    }
    // Lines before firstChanged kept their bytes and their places in the index,
    // so a view scrolled up still shows the same text; only new rows are drawn.
    ScrollTo(hwnd, s, following ? MaxTop(s) : s.top);
    if (!following) {
        NoteNewLines(hwnd, s, s.layout.text + before, s.layout.length - before);
    }
    if (change.firstChanged < s.layout.lineCount) {
        InvalidateLines(hwnd, s, change.firstChanged, s.layout.lineCount - 1);
    }
    return TRUE;
}

LRESULT OnGetText(const ChatState& s, WPARAM capacity, char* out) {
    if (capacity == 0 || out == nullptr) {
        return 0;
    }
    const size_t n = std::min<size_t>(s.layout.length, capacity - 1);
    if (n != 0) {
        std::memcpy(out, s.layout.text, n);
    }
    out[n] = '\0';
    return static_cast<LRESULT>(n);
}

LRESULT OnSize(HWND hwnd, ChatState& s) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    // A pane with no area (the window minimised) shows nothing: keep the layout
    // rather than wrap everything a byte a line.
    if (rc.right <= 0 || rc.bottom <= 0) {
        return 0;
    }
    const bool following = Following(s);
    const size_t topOffset = TopOffset(s);
    const bool widthChanged = rc.right != s.clientWidth;
    if (s.unseenLines != 0) {
        InvalidateRect(hwnd, nullptr, FALSE); // the marker's place moves with the bottom edge
    }
    s.clientWidth = rc.right;
    s.clientHeight = rc.bottom;
    if (widthChanged) {
        LayoutSetWidth(s.layout, WrapWidth(s));
        KeepPlace(hwnd, s, following, topOffset);
        return 0;
    }
    ScrollTo(hwnd, s, following ? MaxTop(s) : s.top);
    return 0;
}

LRESULT OnGetSel(const ChatState& s, DWORD* from, DWORD* to) {
    const size_t a = SelectionFrom(s.sel);
    const size_t b = SelectionTo(s.sel);
    // Any program may send or post this with pointers that lead anywhere in ours.
    if (!FromOwnThread(s)) {
        return static_cast<LRESULT>(b - a);
    }
    if (from != nullptr) {
        *from = static_cast<DWORD>(a);
    }
    if (to != nullptr) {
        *to = static_cast<DWORD>(b);
    }
    return static_cast<LRESULT>(b - a);
}

// ---- life ------------------------------------------------------------------

bool CarriesPointers(UINT message) {
    return message == CLM_GETSEL || message == CLM_FIND || message == CLM_GETSELLINE;
}

// A posted message reaches the procedure just as the thread's own send does,
// though any program may have put it in the queue: the messages that carry
// pointers lose them on their way out of the queue, in every message loop of
// the thread.
LRESULT CALLBACK DropPostedPointers(int code, WPARAM removal, LPARAM lParam) {
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && CarriesPointers(msg->message) && IsChatList(msg->hwnd)) {
        msg->wParam = 0;
        msg->lParam = 0;
    }
    return CallNextHookEx(nullptr, code, removal, lParam);
}

LRESULT OnCreate(HWND hwnd) {
    std::unique_ptr<ChatState> record = NewRecord<ChatState>();
    if (record == nullptr) {
        return -1;
    }
    ChatState* s = record.get();
    LayoutInit(s->layout);
    s->layout.wordBytes = AnsiCodePageTables().word; // double clicks select the code page's words
    s->textColor = GetSysColor(COLOR_WINDOWTEXT);
    s->backColor = GetSysColor(COLOR_WINDOW);
    s->selTextColor = GetSysColor(COLOR_HIGHLIGHTTEXT);
    s->selBackColor = GetSysColor(COLOR_HIGHLIGHT);
    s->lineHeight = 16;
    ReadContrast(*s);
    RECT rc;
    GetClientRect(hwnd, &rc);
    s->clientWidth = rc.right;
    s->clientHeight = rc.bottom;
    s->postedGuard.Set(WH_GETMESSAGE, DropPostedPointers);
    SlotRecord<ChatState>::Attach(hwnd, std::move(record));
    MeasureFont(hwnd, *s);
    LayoutSetWidth(s->layout, WrapWidth(*s));
    UpdateScrollBar(hwnd, *s);
    return 0;
}

LRESULT OnDestroy(HWND hwnd, ChatState* s) {
    StopDrag(hwnd, *s);
    OnKillFocus(hwnd, *s);
    AutomationGone(hwnd, *s);
    // The record, its layout and its hook go when this owner does.
    const std::unique_ptr<ChatState> gone = SlotRecord<ChatState>::Detach(hwnd);
    return 0;
}

LRESULT Recolor(HWND hwnd, COLORREF& text, COLORREF& back, WPARAM wParam, LPARAM lParam) {
    text = static_cast<COLORREF>(wParam);
    back = static_cast<COLORREF>(lParam);
    InvalidateRect(hwnd, nullptr, FALSE);
    return 0;
}

LRESULT OnSetSel(HWND hwnd, ChatState& s, WPARAM anchor, LPARAM caret) {
    SetSelection(hwnd, s, static_cast<size_t>(anchor), static_cast<size_t>(caret));
    return 0;
}

LRESULT OnSetKeyTarget(ChatState& s, HWND target) {
    s.keyTarget = target;
    return 0;
}

LRESULT OnCopy(HWND hwnd, const ChatState& s) {
    CopySelection(hwnd, s);
    return 0;
}

} // namespace

size_t ChatTextLength(const char* text) {
    const char* p = text;
    while (reinterpret_cast<uintptr_t>(p) % sizeof(uint64_t) != 0) {
        if (*p == '\0') {
            return static_cast<size_t>(p - text);
        }
        ++p;
    }
    constexpr uint64_t kOnes = 0x0101010101010101ULL;
    constexpr uint64_t kHighs = 0x8080808080808080ULL;
    for (;;) {
        uint64_t word;
        std::memcpy(&word, p, sizeof word);
        if (((word - kOnes) & ~word & kHighs) != 0) {
            break;
        }
        p += sizeof word;
    }
    while (*p != '\0') {
        ++p;
    }
    return static_cast<size_t>(p - text);
}

ATOM RegisterChatListClass(HINSTANCE instance) {
    WNDCLASSA wc{};
    // No class background: painting covers every pixel once, so nothing flickers.
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = ChatListProc;
    wc.cbWndExtra = sizeof(LONG_PTR);
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32513)); // IDC_IBEAM
    wc.hbrBackground = nullptr;
    wc.lpszClassName = kChatListClassName;
    return RegisterClassA(&wc);
}

LRESULT CALLBACK ChatListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // Before the record exists (or after it is gone), only these are answered.
    switch (message) {
    case WM_CREATE: return OnCreate(hwnd);
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    default: break;
    }
    ChatState* s = StateOf(hwnd);
    if (s == nullptr) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    switch (message) {
    case WM_DESTROY: return OnDestroy(hwnd, s);
    case WM_PAINT: return OnPaint(hwnd, *s);
    case WM_PRINTCLIENT: return OnPrintClient(*s, reinterpret_cast<HDC>(wParam));
    case WM_VSCROLL: return OnVScroll(hwnd, *s, wParam);
    case WM_SIZE: return OnSize(hwnd, *s);
    case WM_KEYDOWN: return OnKeyDown(hwnd, *s, wParam, lParam);
    case WM_KEYUP: return OnKeyUp(hwnd, wParam, lParam);
    case WM_SETFOCUS: return OnSetFocus(hwnd, *s);
    case WM_KILLFOCUS: return OnKillFocus(hwnd, *s);
    case WM_SYSKEYDOWN: return OnSysKeyDown(hwnd, *s, wParam, lParam);
    case WM_LBUTTONDOWN: return OnLButtonDown(hwnd, *s, wParam, lParam);
    case WM_LBUTTONUP: return OnLButtonUp(hwnd, *s);
    case WM_MOUSEMOVE: return OnMouseMove(hwnd, *s, lParam);
    case WM_LBUTTONDBLCLK: return OnLButtonDblClk(hwnd, *s, lParam);
    case WM_MOUSEWHEEL: return OnMouseWheel(hwnd, *s, wParam);
    case WM_RBUTTONDOWN: return OnRButtonDown(hwnd, *s, lParam);
    case WM_SETTEXT: return OnSetText(hwnd, *s, reinterpret_cast<const char*>(lParam));
    case WM_GETTEXT: return OnGetText(*s, wParam, reinterpret_cast<char*>(lParam));
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(s->layout.length);
    case WM_SETFONT: return OnSetFont(hwnd, *s, reinterpret_cast<HFONT>(wParam));
    case WM_GETFONT: return OnGetFont(*s);
    case CLM_GETSEL:
        return OnGetSel(*s, reinterpret_cast<DWORD*>(wParam), reinterpret_cast<DWORD*>(lParam));
    case CLM_SETSEL: return OnSetSel(hwnd, *s, wParam, lParam);
    case CLM_SETCOLORS: return Recolor(hwnd, s->textColor, s->backColor, wParam, lParam);
    case CLM_SETSELCOLORS: return Recolor(hwnd, s->selTextColor, s->selBackColor, wParam, lParam);
    case CLM_SHOWSEL: return OnShowSelection(hwnd, *s);
    case CLM_ENDHOLD: return OnEndHold(hwnd, *s);
    case CLM_SETKEYTARGET: return OnSetKeyTarget(*s, reinterpret_cast<HWND>(wParam));
    case CLM_FIND: return OnFind(*s, reinterpret_cast<ChatListSearch*>(lParam));
    case CLM_GETSELLINE: return OnGetSelectionLine(*s, wParam, reinterpret_cast<char*>(lParam));
    case CLM_READLINE: return OnReadLine(hwnd, *s, wParam);
    case CLM_SETREADING: return OnSetReading(hwnd, *s, wParam);
    case CLM_OWNLINE: return OnOwnLine(*s);
    case CLM_ZOOM: return OnZoom(hwnd, *s, wParam);
    case WM_COPY: return OnCopy(hwnd, *s);
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE: return OnSystemColors(hwnd, *s);
    case WM_GETOBJECT: return OnGetObject(hwnd, *s, wParam, lParam);
    case WM_CONTEXTMENU: return OnContextMenu(hwnd, *s, wParam, lParam);
    default: return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}
