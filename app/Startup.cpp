#include "app/Startup.h"

#include "app/AppState.h"
#include "app/MainWindow.h"
#include "base/LibrarySearch.h"
#include "base/ScopedApartment.h"
#include "commands/Find.h"
#include "resources/resource.h"
#include "transcript/ChatList.h"

ATOM RegisterWindowClasses() {
    AppState.hInstance = GetModuleHandleA(nullptr);

    WNDCLASSA& wc = AppState.windowClass;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MainWndProc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = 0;
    wc.hInstance = AppState.hInstance;
    wc.hIcon = LoadIconA(AppState.hInstance, MAKEINTRESOURCEA(IDI_MAIN));
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszMenuName = MAKEINTRESOURCEA(IDR_MAINMENU);
    wc.lpszClassName = Str::ProgramName;

    if (RegisterChatListClass(AppState.hInstance) == 0) {
        return 0;
    }
    return RegisterClassA(&wc);
}

HWND CreateMainWindow(ATOM mainClass) {
    // The atom, not the name, names the class: it is what registration answered.
    AppState.hwndMain =
        CreateWindowExA(0, MAKEINTATOM(mainClass), Str::ProgramName, WS_OVERLAPPEDWINDOW, 0, 0, 400,
                        350, nullptr, nullptr, AppState.hInstance, nullptr);
    return AppState.hwndMain;
}

// Bits of a key message's lParam: the context code (Alt is held) and the key's
// previous state (down before: a repeat).
constexpr LPARAM kAltHeld = 1L << 29;
constexpr LPARAM kWasDown = 1L << 30;

bool TranslateReadLineKey(HWND main, MSG* msg) {
    const bool altDigit = msg->message == WM_SYSKEYDOWN && msg->wParam >= '0' &&
                          msg->wParam <= '9' && (msg->lParam & kAltHeld) != 0 &&
                          GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_CONTROL) >= 0;
    if (!altDigit || (msg->hwnd != main && !IsChild(main, msg->hwnd))) {
        return false;
    }
    if ((msg->lParam & kWasDown) == 0) { // a held key reads once
        const WPARAM nth = msg->wParam == '0' ? 10 : msg->wParam - '0';
        SendMessageA(AppState.hwndChat, CLM_READLINE, nth, 0);
    }
    // Untranslated, so no WM_SYSCHAR (no beep, no menu mnemonic), and past the
    // window's own keys (the transcript would hand it on with the focus): only
    // the default handling sees it, and knows a key came between Alt's press
    // and release, so the release opens no menu.
    DefWindowProcA(msg->hwnd, msg->message, msg->wParam, msg->lParam);
    return true;
}

// The transcript's own keys, wherever the focus is in the main window:
// Ctrl+Plus, Ctrl+Minus (main row or keypad) and Ctrl+0 zoom its text, and
// Ctrl+Shift+R goes on to the next choice of what is read aloud. Taken here,
// as the find keys are, so that the input line never sees them.
bool TranslateTranscriptKey(HWND main, const MSG* msg) {
    if (msg->message != WM_KEYDOWN || GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_MENU) < 0 ||
        (msg->hwnd != main && !IsChild(main, msg->hwnd))) {
        return false;
    }
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    switch (msg->wParam) {
    case VK_OEM_PLUS: // with or without Shift: "+" shares its key with "=" on many layouts
    case VK_ADD: SendMessageA(AppState.hwndChat, CLM_ZOOM, CLZ_IN, 0); return true;
    case VK_OEM_MINUS:
    case VK_SUBTRACT: SendMessageA(AppState.hwndChat, CLM_ZOOM, CLZ_OUT, 0); return true;
    case '0':
    case VK_NUMPAD0:
        if (shift) {
            return false;
        }
        SendMessageA(AppState.hwndChat, CLM_ZOOM, CLZ_NORMAL, 0);
        return true;
    case 'R':
        if (!shift) {
            return false;
        }
        if ((msg->lParam & kWasDown) == 0) { // a held key changes it once
            SendMessageA(AppState.hwndChat, CLM_SETREADING, CLREAD_NEXT, 0);
        }
        return true;
    default: return false;
    }
}

bool TranslateProgramMessage(HWND main, HACCEL accel, MSG* msg) {
    // The Find dialog's own keys come first: Enter there finds, Esc closes it.
    // Then Alt+digit, the find keys and the transcript's own keys, wherever the
    // focus is in the main window.
    return FindDialogMessage(msg) || TranslateReadLineKey(main, msg) ||
           TranslateFindKey(main, msg) || TranslateTranscriptKey(main, msg) ||
           (accel != nullptr && TranslateAcceleratorA(main, accel, msg));
}

UINT RunMessageLoop() {
    // Always shown normally, whatever show state the process was started with.
    ShowWindow(AppState.hwndMain, SW_SHOW);
    UpdateWindow(AppState.hwndMain);
    AppState.hAccel = LoadAcceleratorsA(AppState.hInstance, MAKEINTRESOURCEA(IDR_ACCEL));

    // Accelerators are translated against the main window for every message, so
    // Enter, Esc and the function keys act whichever child has the focus.
    const HWND main = AppState.hwndMain;
    MSG& msg = AppState.msg;
    while (GetMessageA(&msg, nullptr, 0, 0) != 0) {
        if (TranslateProgramMessage(main, AppState.hAccel, &msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<UINT>(msg.wParam);
}

UINT RunProgram() {
    // First: a library the system later loads by name alone for the program
    // (a dialog's helpers) comes from the system folder, as the ones the
    // program loads itself do.
    LimitLibrarySearchToSystemFolder();
    // A single-threaded apartment from before the first window to the end: UI
    // Automation and MSAA then call the transcript's objects on this thread
    // alone, as the objects assume (ProviderOptions_UseComThreading).
    const ScopedApartment apartment;
    const ATOM mainClass = RegisterWindowClasses();
    if (mainClass == 0 || CreateMainWindow(mainClass) == nullptr) {
        return kStartupFailed;
    }
    return RunMessageLoop();
}
