// Chat lines and the log file: the actions of sending, clearing and saving.
#pragma once

#include <windows.h>

// Sends the input field's text as a chat line; answers whether a line was appended.
bool SendLine();
void ClearInput();
void ClearOutput();
// Appends text to a window that answers the three text messages; answers 1 when
// the text was appended, 0 when no memory could be had, the window gave back
// less than its length or refused the text (its text is then as it was).
int AppendText(HWND window, const char* text);
// Asks for a path and writes the transcript's bytes there; answers whether a file was written.
bool SaveLogFile();
