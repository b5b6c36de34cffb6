// Finding windows, dialogs and the places on a frame a user aims at, in this
// process or another, and reading what they say.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Any window's text (WM_GETTEXT), of this process or another; a window that
// does not answer within 5 seconds gives the empty text.
std::string WindowText(HWND hwnd);
// The texts of a dialog's static controls, one per line: what a message box says.
std::string DialogStatics(HWND dialog);
// The first child of a window of the given class whose style, masked, is the
// given type (a static control showing an icon: SS_TYPEMASK, SS_ICON).
HWND ChildWithStyle(HWND parent, const char* className, LONG typeMask, LONG type);
// Whether the window is a dialog (class "#32770") that shows.
bool IsDialog(HWND hwnd);
// The top-level window of a process with the given class (nullptr for any
// class) and title (nullptr for any) that is visible.
HWND FindProcessWindow(DWORD processId, const char* className, const char* title = nullptr);
// This thread's dialogs that show and take input: those its modal loops run.
std::vector<HWND> ThreadDialogs();
// The window that has the keyboard focus in the thread of the given window.
HWND FocusIn(HWND window);
// Whether the thread of the given window is in a menu's loop (menu bar or pop-up).
bool InMenuMode(HWND window);

// A window's rectangle in screen coordinates, and the middle of a rectangle.
RECT ScreenRect(HWND hwnd);
inline POINT Centre(const RECT& r) {
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// A toolbar button's rectangle in screen coordinates, by its index or, with
// ToolbarButtonIndex, its command; the toolbar may be another process's,
// whose memory is lent for the answer. An empty rectangle when none answers.
RECT ToolbarItemRect(HWND toolbar, int index);
int ToolbarButtonIndex(HWND toolbar, int command); // -1 for none

// Where a window answers a hit-test code (HTCLOSE, HTMENU, ...), found by
// asking it (WM_NCHITTEST) at each point of an area of the screen: the middle
// of the points that answered the code. Answers whether any did.
bool FindFrameHit(HWND hwnd, LRESULT code, const RECT& area, POINT* where);
// The middle of a window's close box.
bool FindCloseBox(HWND hwnd, POINT* where);
// A point on the first item of a window's menu bar.
bool FindMenuBar(HWND hwnd, POINT* where);
