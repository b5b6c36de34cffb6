// The transcript control's own record and the functions its rooms share:
// text and font (ChatList.cpp), scrolling and the new-lines marker
// (ChatListScroll.cpp), painting (ChatListPaint.cpp), mouse, keys and the
// selection (ChatListInput.cpp), the clipboard (ChatListClipboard.cpp) and
// finding (ChatListFind.cpp).
// Only the control's own files include this.
#pragma once

#include "transcript/ChatLayout.h"
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
    TextElement* automation;    // made when first needed; one reference held here
    PaneAccessible* accessible; // likewise
    size_t announceFrom;        // where the appended text not yet announced starts
    bool announcing;            // its timer runs
    DWORD burstStart;           // when the first line of the burst being announced came
    DWORD lastLineTime;         // and its latest
    size_t clearedLength;       // the text the last clear took away, while a client listens:
    uint64_t clearedPrint;      // its length and fingerprint, to know it when it comes back
};

// One per window, zeroed at creation, so every member starts as 0/false/null.
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
    bool dragging;
    bool dragTimer;
    int wheel;             // wheel travel not yet scrolled, in (delta x lines per notch)
    DWORD doubleClickTime; // when the last double click came, to tell a third click
    POINT doubleClickPoint;
    SCROLLINFO shownBar;      // what the scroll bar was given, to skip needless updates
    SCROLLBARINFO shownThumb; // and how it was drawn
    unsigned unseenLines;     // chat lines that came while the view was scrolled up
    RECT markerRect;          // where their marker was drawn last
    HHOOK postedGuard;        // takes the pointers off posted selection queries
    bool highContrast;        // the system's high-contrast theme was on when last asked
    AccessState access;       // its objects for screen readers, and what they announce
    bool held;                // the view stays at a found match while new lines come
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
void SetSelection(HWND hwnd, ChatState& s, size_t anchor, size_t caret);
void SelectAll(HWND hwnd, ChatState& s);
void StopDrag(HWND hwnd, ChatState& s);
void HandOver(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT OnLButtonDown(HWND hwnd, ChatState& s, WPARAM wParam, LPARAM lParam);
LRESULT OnLButtonDblClk(HWND hwnd, ChatState& s, LPARAM lParam);
LRESULT OnMouseMove(HWND hwnd, ChatState& s, LPARAM lParam);
LRESULT OnRButtonDown(HWND hwnd, ChatState& s, LPARAM lParam);
LRESULT OnKeyDown(HWND hwnd, ChatState& s, WPARAM key, LPARAM lParam);
// The copy and select-all menu, at a point of the screen.
void ShowContextMenu(HWND hwnd, const ChatState& s, POINT screen);

// ---- keyboard conventions (ChatListKeyboard.cpp) ----
// The Menu key, Shift+F10 and a WM_CONTEXTMENU from the keyboard open the menu
// at the selection's start, or at the pane's top-left corner.
LRESULT OnMenuKey(HWND hwnd, const ChatState& s);
LRESULT OnContextMenu(HWND hwnd, const ChatState& s, WPARAM wParam, LPARAM lParam);
LRESULT OnSysKeyDown(HWND hwnd, const ChatState& s, WPARAM wParam, LPARAM lParam);
// Tab and Shift+Tab: the focus goes to the input line.
LRESULT OnTabKey(HWND hwnd);
HWND InputField(HWND hwnd);

// ---- finding (ChatListFind.cpp) ----
LRESULT OnShowSelection(HWND hwnd, ChatState& s);
LRESULT OnEndHold(HWND hwnd, ChatState& s);

// ---- the clipboard (ChatListClipboard.cpp) ----
void CopySelection(HWND hwnd, const ChatState& s);

} // namespace chatlist
