// The About box and the Options dialog, both modal and owned by the main window.
#pragma once

#include <windows.h>

INT_PTR CALLBACK AboutDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK OptionsDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

void OpenAboutDialog();
void OpenOptionsDialog();
