// Find in the transcript: the system's modeless Find dialog, owned by the main
// window, and F3 / Shift+F3 for the next and the previous match of the last
// search. The dialog's record is attached to the dialog's own window and goes
// with it; the last search lives in AppState, as the save dialog's last path does.
// The code page's folding and word bytes are the process's (base/CodePageTables.h).
#pragma once

#include <windows.h>

// For the message loop: Ctrl+F, F3 and Shift+F3 pressed in the main window or
// one of its children act on Find; answers whether the message was one of them.
bool TranslateFindKey(HWND main, const MSG* msg);
bool IsFindMessage(UINT message); // the dialog's registered message
LRESULT OnFindMessage(LPARAM lParam);
// For the message loop: the dialog's keyboard (Tab, Enter, Esc, Alt+letters).
bool FindDialogMessage(MSG* msg);
// The main window is going: the dialog goes first.
void ForgetFind();
