// The transcript control's own record, one per window, and the four
// functions every room shares. Each room declares what it offers in its own
// header: the view, bytes and pixels both ways and the scrolling
// (ChatListView.h); the selection (ChatListSelection.h); the caret
// (ChatListCaret.h); keys (ChatListKeys.h) and the mouse (ChatListMouse.h);
// painting (ChatListPaint.h); the font and the zoom (ChatListZoom.h); high
// contrast (ChatListContrast.h); the clipboard (ChatListClipboard.h); finding
// (ChatListFind.h); and what the control tells screen readers, answered in
// access/ (ChatListEvents.h).
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
    // What new lines are read out unasked (CLM_SETREADING): CLREAD_ALL, the zeroed
    // record's, CLREAD_ALLBUTMINE or CLREAD_NONE; and whether the next append is
    // the user's own line (CLM_OWNLINE), until any text change.
    WPARAM reading;
    bool ownLineNext;
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
    bool caretPlaced;      // the selection was set since the text was: the focus keeps it
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
    HWND keyTarget;           // takes the keys that type or edit (CLM_SETKEYTARGET)
    // The search CLM_FIND last found, kept to frame its other matches while the
    // view is held at one (none kept: the hold came without a find), and the
    // match, told to screen readers when CLM_SHOWSEL first shows it.
    KeptQuery found;
    size_t foundFrom;
    size_t foundTo;
    bool foundUntold;
    // The zoom (ChatListZoom.*): the level, its font, its label in the corner,
    // and the wheel turns that zoom.
    size_t zoomStep;                 // into the levels; 0 is 100 %, the given font
    ScopedGdiObject<HFONT> zoomFont; // the level's font above 100 %
    bool zoomLabelShown;             // its timer runs
    RECT zoomLabelRect;              // where it was drawn last
    int zoomWheel;                   // Ctrl+wheel travel not yet zoomed, as wheel delta
    DWORD scrollWheelTime;           // when a wheel turn last scrolled (message time)
    bool wheelScrolled;              // and one did
};

ChatState* StateOf(HWND hwnd);
HFONT FontOf(const ChatState& s);
// Whether a window is a transcript (its slot 0 is a ChatState only then).
bool IsChatList(HWND hwnd);
// Whether the message being handled was sent by the window's own thread, so
// that pointers it carries lead into this program; posted ones never are.
bool FromOwnThread(const ChatState& s);

} // namespace chatlist
