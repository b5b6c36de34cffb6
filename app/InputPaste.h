// A paste into the input line that keeps every line of the pasted text.
#pragma once

#include <windows.h>

// WM_PASTE in the input line `input` (a child of the main window). Text with a
// line break, or longer than the field takes, makes chat lines; the user is
// asked whether to send them now. Answers whether the paste was handled here;
// otherwise the edit control pastes as it always has (the first line, cut at
// the field's limit).
bool PasteIntoInputLine(HWND input);
