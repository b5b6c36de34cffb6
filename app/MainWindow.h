// The main window: its children, their layout, the focus rules and the close path.
#pragma once

#include <windows.h>

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Saves the settings and destroys the main window; answers what DestroyWindow answered.
// Shared by the close box and the Exit command.
LRESULT ClosePath();
