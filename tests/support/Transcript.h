// The transcript pane of the in-process main window (MainWindowTest), driven
// and read through its messages as its owner would.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

// The pane: AppState.hwndChat.
HWND Chat();
// WM_SETTEXT with the text; answers the message's result.
BOOL SetText(const std::string& text);
// CLM_GETSEL from the pane's own thread: the selection's two ends.
std::pair<DWORD, DWORD> Selection();
// The scroll bar's position: the visual line in the top row.
int Top();
// The height of a line in the pane's font.
int LineHeight();
