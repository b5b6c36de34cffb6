// The transcript control's own record and the functions its rooms share:
// text and font (ChatList.cpp), scrolling and the new-lines marker
// (ChatListScroll.cpp), painting (ChatListPaint.cpp), mouse, keys and the
// selection (ChatListInput.cpp), the caret (ChatListCaret.cpp), the clipboard
// (ChatListClipboard.cpp) and finding (ChatListFind.cpp).
// Only the control's own files include this.
#pragma once

#include "base/ComRef.h"
#include "base/ScopedHandles.h"
#include "transcript/CaretModel.h"
#include "transcript/ChatLayout.h"
#include "transcript/ChatList.h"
#include "transcript/SelectionModel.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace chatlist {

constexpr int kMargin = 2; // pixels between the pane's edges and the text

class TextElement;    // the UI Automation element (access/ChatListAutomation.h)
class PaneAccessible; // the MSAA object (access/ChatListAccessible.cpp)

// What the accessibility room (access/) keeps of each window.
struct AccessState {
    ComRef<TextElement> automation;    // made when first needed; one reference held here
    ComRef<PaneAccessible> accessible; // likewise
    size_t announceFrom;               // where the appended text not yet announced starts
    bool announcing;                   // its timer runs
    DWORD burstStart;                  // when the first line of the burst being announced came
    DWORD lastLineTime;                // and its latest
    size_t clearedLength;              // the text the last clear took away, while a client listens:
    uint64_t clearedPrint;             // its length and fingerprint, to know it when it comes back
};

// One per window, in its extra slot: made zeroed at creation, so every member
// starts as 0/false/null, and released when the window goes.
struct ChatState {
    ChatLayout layout;
    COLORREF textColor;
    COLORREF backColor;
    COLORREF selTextColor;
    COLORREF selBackColor;
    HFONT font;
    int lineHeight;
    int clientWidth;
    int clientHeight;
    size_t top; // the first visual line shown
    Selection sel;
    CaretPlace caretPlace; // where the caret end of the selection shows
    bool caretShown;       // the system caret is ours: the pane has the focus
    bool dragging;
    bool dragTimer;
    int wheel;             // wheel travel not yet scrolled, in (delta x lines per notch)
    DWORD doubleClickTime; // when the last double click came, to tell a third click
    POINT doubleClickPoint;
    SCROLLINFO shownBar;      // what the scroll bar was given, to skip needless updates
    SCROLLBARINFO shownThumb; // and how it was drawn
    unsigned unseenLines;     // chat lines that came while the view was scrolled up
    RECT markerRect;          // where their marker was drawn last
    ScopedHook postedGuard;   // takes the pointers off posted messages that carry them
    bool highContrast;        // the system's high-contrast theme was on when last asked
    AccessState access;       // its objects for screen readers, and what they announce
    bool held;                // the view stays at a found match while new lines come
    HWND keyTarget;           // takes the keys the pane has no use for (CLM_SETKEYTARGET)
};

// The colours the pane is drawn in.
struct Palette {
    COLORREF text;
    COLORREF back;
    COLORREF selText;
    COLORREF selBack;
};

ChatState* StateOf(HWND hwnd);
HFONT FontOf(const ChatState& s);
// Whether a window is a transcript (its slot 0 is a ChatState only then).
bool IsChatList(HWND hwnd);
// Whether the message being handled was sent by the window's own thread, so
// that pointers it carries lead into this program; posted ones never are.
bool FromOwnThread(const ChatState& s);

// ---- scrolling (ChatListScroll.cpp) ----
size_t FullRows(const ChatState& s);
size_t ShownRows(const ChatState& s);
size_t MaxTop(const ChatState& s);
bool AtBottom(const ChatState& s);
bool Following(const ChatState& s);
size_t TopOffset(const ChatState& s);
int32_t WrapWidth(const ChatState& s);
void UpdateScrollBar(HWND hwnd, ChatState& s);
void InvalidateLines(HWND hwnd, const ChatState& s, size_t first, size_t last);
void InvalidateSpan(HWND hwnd, const ChatState& s, size_t from, size_t to);
void ScrollTo(HWND hwnd, ChatState& s, size_t top);
void ScrollBy(HWND hwnd, ChatState& s, long long lines);
void KeepPlace(HWND hwnd, ChatState& s, bool following, size_t topOffset);
void NoteNewLines(HWND hwnd, ChatState& s, const char* added, size_t length);
void ForgetNewLinesAtBottom(HWND hwnd, ChatState& s);
bool ClickedNewLinesMarker(HWND hwnd, ChatState& s, POINT p);
LRESULT OnVScroll(HWND hwnd, ChatState& s, WPARAM wParam);
LRESULT OnMouseWheel(HWND hwnd, ChatState& s, WPARAM wParam);

// ---- painting (ChatListPaint.cpp) ----
LRESULT OnPaint(HWND hwnd, ChatState& s);
LRESULT OnPrintClient(ChatState& s, HDC dc);

// ---- high contrast (ChatListContrast.cpp) ----
void ReadContrast(ChatState& s);
Palette ShownColors(const ChatState& s);
// WM_SYSCOLORCHANGE and WM_SETTINGCHANGE, passed on by the main window.
LRESULT OnSystemColors(HWND hwnd, ChatState& s);

// ---- accessibility (access/) ----
LRESULT OnGetObject(HWND hwnd, ChatState& s, WPARAM wParam, LPARAM lParam);
// The text is about to be replaced by `text`.
void AutomationTextReplacing(ChatState& s, const char* text);
// The text was replaced (appended: it grew from `before` bytes on).
void AutomationTextChanged(HWND hwnd, ChatState& s, bool appended, size_t before);
void AutomationSelectionChanged(HWND hwnd, ChatState& s);
// CLM_READLINE: reads out the nth most recent chat line.
LRESULT OnReadLine(HWND hwnd, ChatState& s, WPARAM nth);
// The window goes: the element answers "not available" from now on.
void AutomationGone(HWND hwnd, ChatState& s);
// WM_GETOBJECT for OBJID_CLIENT: the pane as an IAccessible (ChatListAccessible.cpp).
LRESULT AnswerAccessible(HWND hwnd, ChatState& s, WPARAM wParam);

// ---- mouse, keys and selection (ChatListInput.cpp) ----
// Makes `next` the selection, its caret end shown at `place`: draws again
// only what changed and tells UI Automation of every move of either end.
void Select(HWND hwnd, ChatState& s, const Selection& next, const CaretPlace& place);
void SetSelection(HWND hwnd, ChatState& s, size_t anchor, size_t caret);
void SelectAll(HWND hwnd, ChatState& s);
void StopDrag(HWND hwnd, ChatState& s);
void HandOver(HWND hwnd, const ChatState& s, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT OnLButtonDown(HWND hwnd, ChatState& s, WPARAM wParam, LPARAM lParam);
LRESULT OnLButtonDblClk(HWND hwnd, ChatState& s, LPARAM lParam);
LRESULT OnMouseMove(HWND hwnd, ChatState& s, LPARAM lParam);
LRESULT OnRButtonDown(HWND hwnd, ChatState& s, LPARAM lParam);
LRESULT OnKeyDown(HWND hwnd, ChatState& s, WPARAM key, LPARAM lParam);
// The copy and select-all menu, at a point of the screen.
void ShowContextMenu(HWND hwnd, const ChatState& s, POINT screen);

// ---- the caret (ChatListCaret.cpp) ----
// The focus comes: the system caret shows at the selection's caret end, or,
// with nothing selected, at the start of the last line shown. It goes: the
// caret goes with it.
LRESULT OnSetFocus(HWND hwnd, ChatState& s);
LRESULT OnKillFocus(HWND hwnd, ChatState& s);
// The arrows, Home, End, Page Up and Page Down, with Ctrl and Shift.
LRESULT OnCaretKey(HWND hwnd, ChatState& s, WPARAM key);
// Puts the system caret, where the pane has it, at the selection's caret end.
void PlaceCaret(const ChatState& s);
// The font changed: the caret takes the new line height.
void RemakeCaret(HWND hwnd, ChatState& s);
// Keeps the system caret off the screen while pixels move under it.
class HiddenCaret {
public:
    HiddenCaret(HWND hwnd, const ChatState& s) : hwnd_(s.caretShown ? hwnd : nullptr) {
        if (hwnd_ != nullptr) {
            HideCaret(hwnd_);
        }
    }
    ~HiddenCaret() {
        if (hwnd_ != nullptr) {
            ShowCaret(hwnd_);
        }
    }
    HiddenCaret(const HiddenCaret&) = delete;
    HiddenCaret& operator=(const HiddenCaret&) = delete;

private:
    HWND hwnd_;
};

// ---- keyboard conventions (ChatListKeyboard.cpp) ----
// The Menu key, Shift+F10 and a WM_CONTEXTMENU from the keyboard open the menu
// at the selection's start, or at the pane's top-left corner.
LRESULT OnMenuKey(HWND hwnd, const ChatState& s);
LRESULT OnContextMenu(HWND hwnd, const ChatState& s, WPARAM wParam, LPARAM lParam);
// The Menu key's release asks for no second menu.
LRESULT OnKeyUp(HWND hwnd, WPARAM wParam, LPARAM lParam);
LRESULT OnSysKeyDown(HWND hwnd, const ChatState& s, WPARAM wParam, LPARAM lParam);
// Tab and Shift+Tab: the focus goes to the key target.
LRESULT OnTabKey(HWND hwnd, const ChatState& s);
// The key target, where it is a window of this thread; else null.
HWND KeyTarget(const ChatState& s);

// ---- finding (ChatListFind.cpp) ----
LRESULT OnShowSelection(HWND hwnd, ChatState& s);
LRESULT OnEndHold(HWND hwnd, ChatState& s);
LRESULT OnFind(const ChatState& s, ChatListSearch* search);
LRESULT OnGetSelectionLine(const ChatState& s, WPARAM capacity, char* out);

// ---- the clipboard (ChatListClipboard.cpp) ----
void CopySelection(HWND hwnd, const ChatState& s);

} // namespace chatlist
