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
    HANDLE hLogFile;     // scratch: the log file of the save in progress
    BYTE* scratchBuffer; // scratch: the page buffer of the append or save in progress
    DWORD scratchSize;   // scratch: that buffer's size, then the bytes written
    MSG msg;
    WNDCLASSA windowClass;     // scratch: filled once for the class registration
    TBBUTTON toolbarButton;    // scratch: refilled for each button added
    TBADDBITMAP toolbarBitmap; // scratch: the image strip of the toolbar being built
    WINDOWPLACEMENT placement; // scratch: the window's rectangle while settings load or save
    OPENFILENAMEA saveDialog;  // used in its original (version 4) size
    COLORREF colorText;
    COLORREF colorBackground;
    COLORREF colorSelectionText;
    COLORREF colorSelectionBackground;
    char lineBuffer[kLineCapacity];
    char textBuffer[kInputLimit + 1]; // scratch: meaningful within one handler only
    char settingsPath[kPathCapacity];
    char logPath[kPathCapacity];
    char downloadDir[kPathCapacity];
    char nickname[kNicknameCapacity];
    // Find: the open dialog (null while none is shown) and the last search,
    // which F3 repeats for the rest of the run as the save dialog keeps its path.
    HWND hwndFind;
    char findText[kFindCapacity];
    DWORD findFlags; // its FR_DOWN, FR_MATCHCASE and FR_WHOLEWORD; down at start
};

extern ApplicationState AppState;
