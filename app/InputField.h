// The input line's own keys: the history of sent lines, scrolling and copying
// the transcript without leaving the line, and taking back a clear. Enter and
// Esc never reach the field (they are commands), so sending and clearing tell
// it what they did through the Remember functions. The field keeps its own
// record (InputLineModel.h), attached to its window.
#pragma once

#include "app/InputLineModel.h"

#include <windows.h>

// Puts InputFieldProc in front of the edit control's own procedure; `chat` is
// the transcript that the line scrolls, copies from and gives cleared text back to.
void InstallInputField(HWND input, HWND chat);
LRESULT CALLBACK InputFieldProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// A line was sent: it goes into the history, browsing ends, and what a clear
// left to take back is dropped.
void RememberSentLine(HWND input, const char* text);
// The field is about to be emptied (Esc): keeps its text for Ctrl+Z and ends browsing.
void RememberClearedDraft(HWND input);
// The transcript is about to be emptied (F5): keeps a copy of its text for Ctrl+Z.
void RememberClearedTranscript(HWND input);
