#include "commands/Dialogs.h"

#include "app/AppState.h"
#include "resources/resource.h"

namespace {

INT_PTR EndBox(HWND hwnd) {
    EndDialog(hwnd, 0);
    return TRUE;
}

// The Options dialog holds no settings yet, so OK (the button or Enter) and
// Cancel (Esc) both simply close it. Other commands are swallowed.
INT_PTR OnOptionsCommand(HWND hwnd, WPARAM wParam) {
    const int id = LOWORD(wParam);
    if (id == IDOK || id == IDCANCEL) {
        EndDialog(hwnd, 0);
    }
    return TRUE;
}

} // namespace

INT_PTR CALLBACK AboutDlgProc(HWND hwnd, UINT message, WPARAM, LPARAM) {
    // The box only informs: its button, Enter, Esc and any close request end it.
    switch (message) {
    case WM_COMMAND:
    case WM_CLOSE: return EndBox(hwnd);
    default: return FALSE;
    }
}

INT_PTR CALLBACK OptionsDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: return TRUE;
    case WM_CLOSE: return EndBox(hwnd);
    case WM_COMMAND: return OnOptionsCommand(hwnd, wParam);
    // No brush: the dialog holds no static control, and its push button asks
    // with WM_CTLCOLORBTN, so nothing is ever painted with this answer.
    case WM_CTLCOLORSTATIC: return TRUE;
    default: return FALSE;
    }
}

void OpenAboutDialog() {
    DialogBoxParamA(AppState.hInstance, MAKEINTRESOURCEA(IDD_ABOUT), AppState.hwndMain,
                    AboutDlgProc, 0);
}

void OpenOptionsDialog() {
    DialogBoxParamA(AppState.hInstance, MAKEINTRESOURCEA(IDD_OPTIONS), AppState.hwndMain,
                    OptionsDlgProc, 0);
}
