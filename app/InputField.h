// The input line's own keys: the history of sent lines, scrolling and copying
// the transcript without leaving the line, and taking back a clear. Enter and
// Esc never reach the field (they are commands), so sending and clearing tell
// it what they did by the messages below. The field keeps its own
// record (InputLineModel.h), attached to its window.
#pragma once

#include "app/InputLineModel.h"

#include <windows.h>

// Puts InputFieldProc in front of the edit control's own procedure; `chat` is
// the transcript that the line scrolls, copies from and gives cleared text back to.
void InstallInputField(HWND input, HWND chat);
LRESULT CALLBACK InputFieldProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Messages to the input line, for what sending and clearing did (Enter and
// Esc never reach it). Each answers 0. Only a send from the window's own
// thread is heard: sent from elsewhere or posted, they do nothing.
// A line was sent: lParam, its NUL-terminated text, goes into the history;
// browsing ends, and what a clear left to take back is dropped.
constexpr UINT ILM_SENTLINE = WM_APP + 1;
// The field is about to be emptied (Esc): keeps its text for Ctrl+Z and ends
// browsing. Arguments ignored.
constexpr UINT ILM_CLEARINGDRAFT = WM_APP + 2;
// The transcript is about to be emptied (F5): keeps a copy of its text for
// Ctrl+Z. Arguments ignored.
constexpr UINT ILM_CLEARINGTRANSCRIPT = WM_APP + 3;
