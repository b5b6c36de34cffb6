// The one record of the program's state and its table of constant strings.
// Only the UI thread touches it, so nothing here is guarded.
#pragma once

#include "app/Strings.h"

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

struct ApplicationState {
    HINSTANCE hInstance;
    HWND hwndMain;
    HACCEL hAccel;
    HWND hwndInput;
    HWND hwndChat;
    HWND hwndToolbar;
    HANDLE hLogFile;
    BYTE* scratchBuffer;
    DWORD scratchSize;
    MSG msg;
    WNDCLASSA windowClass;
    TBBUTTON toolbarButton;
    TBADDBITMAP toolbarBitmap;
    WINDOWPLACEMENT placement;
    OPENFILENAMEA saveDialog; // used in its original (version 4) size
    COLORREF colorText;
    COLORREF colorBackground;
    COLORREF colorSelectionText;
    COLORREF colorSelectionBackground;
    char lineBuffer[kLineCapacity];
    char textBuffer[kInputLimit + 1];
    char settingsPath[kPathCapacity];
    char logPath[kPathCapacity];
    char downloadDir[kPathCapacity];
    char nickname[kNicknameCapacity];
};

extern ApplicationState AppState;
