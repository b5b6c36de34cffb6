// The input line's own keys: the history of sent lines, scrolling and copying
// the transcript without leaving the line, and taking back a clear. Enter and
// Esc never reach the field (they are commands), so sending and clearing tell
// this module what they did through the Remember functions.
#pragma once

#include <windows.h>

// Puts InputFieldProc in front of the edit control's own procedure.
void InstallInputField(HWND input);
LRESULT CALLBACK InputFieldProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// A line was sent: it goes into the history, browsing ends, and what a clear
// left to take back is dropped.
void RememberSentLine(const char* text);
// The input field is about to be emptied (Esc): keeps its text for Ctrl+Z and
// ends browsing.
void RememberClearedDraft();
// The transcript is about to be emptied (F5): keeps a copy of its text for Ctrl+Z.
void RememberClearedTranscript();

// How many lines the history keeps.
inline constexpr int kHistoryDepth = 100;
