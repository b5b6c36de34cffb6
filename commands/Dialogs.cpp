#include "commands/Dialogs.h"

#include "app/AppState.h"
#include "resources/resource.h"

INT_PTR CALLBACK AboutDlgProc(HWND hwnd, UINT message, WPARAM, LPARAM) {
    // The box only informs: its button, Enter, Esc and any close request end it.
    if (message == WM_COMMAND || message == WM_CLOSE) {
        EndDialog(hwnd, 0);
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK OptionsDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        return TRUE;
    }
    if (message == WM_CLOSE) {
        EndDialog(hwnd, 0);
        return TRUE;
    }
    if (message == WM_COMMAND) {
        // The dialog holds no settings yet, so OK (the button or Enter) and
        // Cancel (Esc) both simply close it. Other commands are swallowed.
        const int id = LOWORD(wParam);
        if (id == IDOK || id == IDCANCEL) {
            EndDialog(hwnd, 0);
        }
        return TRUE;
    }
    if (message == WM_CTLCOLORSTATIC) {
        // No brush: the dialog holds no static control, and its push button
        // asks with WM_CTLCOLORBTN, so nothing is ever painted with this answer.
        return TRUE;
    }
    return FALSE;
}

void OpenAboutDialog() {
    DialogBoxParamA(AppState.hInstance, MAKEINTRESOURCEA(IDD_ABOUT), AppState.hwndMain,
                    AboutDlgProc, 0);
}

void OpenOptionsDialog() {
    DialogBoxParamA(AppState.hInstance, MAKEINTRESOURCEA(IDD_OPTIONS), AppState.hwndMain,
                    OptionsDlgProc, 0);
}
