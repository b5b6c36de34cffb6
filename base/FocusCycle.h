// Tab and Shift+Tab: the keyboard focus goes round the main window's two
// stops, the input line and the transcript, as in any dialog.
#pragma once

#include <windows.h>

// Gives `to` the focus for a Tab pressed in `from`, and drops the tab
// character the key already made for `from`, so that no tab lands anywhere.
// Answers true: the key was used.
bool TabFocusTo(HWND from, HWND to);
