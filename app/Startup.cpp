#include "app/Startup.h"

#include "app/AppState.h"
#include "app/MainWindow.h"
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

bool TranslateProgramMessage(HWND main, HACCEL accel, MSG* msg) {
    // The Find dialog's own keys come first: Enter there finds, Esc closes it.
    // Then the find keys, wherever the focus is in the main window.
    return FindDialogMessage(msg) || TranslateFindKey(main, msg) ||
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
    const ATOM mainClass = RegisterWindowClasses();
    if (mainClass == 0 || CreateMainWindow(mainClass) == nullptr) {
        return kStartupFailed;
    }
    return RunMessageLoop();
}
