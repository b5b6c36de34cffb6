// Find in the transcript: the system's modeless Find dialog, owned by the main
// window, and F3 / Shift+F3 for the next and the previous match of the last
// search. The dialog's record and the last search live in a record attached
// to the main window; the code page's folding and word bytes are the process's
// (base/CodePageTables.h).
#pragma once

#include <windows.h>

// From a child to the main window: a find key was pressed. wParam: a FindKey.
constexpr UINT WM_APP_FINDKEY = WM_APP;
enum FindKey : WPARAM { kFindOpen = 1, kFindNext = 2, kFindPrevious = 3 };

// For a child's WM_KEYDOWN: Ctrl+F, F3 and Shift+F3 are asked of the parent;
// answers whether the key was one of them.
bool ForwardFindKey(HWND child, WPARAM key);

// The main window's side.
LRESULT OnFindKey(HWND main, WPARAM which);
bool IsFindMessage(UINT message); // the dialog's registered message
LRESULT OnFindMessage(HWND main, LPARAM lParam);
// For the message loop: the dialog's keyboard (Tab, Enter, Esc, Alt+letters).
bool FindDialogMessage(HWND main, MSG* msg);
// The main window is going: the dialog and the record go with it.
void ForgetFind(HWND main);
