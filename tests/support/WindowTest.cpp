#include "tests/support/WindowTest.h"

#include "app/AppState.h"
#include "app/Startup.h"
#include "app/Strings.h"
#include "transcript/ChatListClass.h"

#include <imm.h>

void PumpMessages(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT ||
                TranslateProgramMessage(AppState.hwndMain, AppState.hAccel, &msg)) {
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (milliseconds > 0) {
            Sleep(5);
        }
    } while (GetTickCount() - start < milliseconds);
}

bool PumpUntil(const std::function<bool()>& condition, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= milliseconds) {
            return condition();
        }
        PumpMessages(10);
    }
    return true;
}

std::string SettingsPathOfTestProcess() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string s(path, n);
    return s.substr(0, s.size() - 4) + ".ini";
}

namespace {

BOOL CALLBACK FindProgramWindow(HWND w, LPARAM found) {
    char name[32];
    // Shown only once WM_CREATE has made the children.
    if (IsWindowVisible(w) && GetClassNameA(w, name, sizeof name) > 0 &&
        lstrcmpA(name, Str::ProgramName) == 0) {
        *reinterpret_cast<HWND*>(found) = w;
        return FALSE;
    }
    return TRUE;
}

} // namespace

ProgramOnThread::ProgramOnThread() {
    DeleteFileA(SettingsPathOfTestProcess().c_str());
    ui_ = std::thread([this] {
        thread_ = GetCurrentThreadId();
        exitCode_ = RunProgram();
    });
    for (int i = 0; i < 500 && main_ == nullptr; ++i) {
        Sleep(10);
        if (thread_ != 0) {
            EnumThreadWindows(thread_, FindProgramWindow, reinterpret_cast<LPARAM>(&main_));
        }
    }
}

ProgramOnThread::~ProgramOnThread() {
    Close();
    DeleteFileA(SettingsPathOfTestProcess().c_str());
}

UINT ProgramOnThread::Close() {
    if (ui_.joinable()) {
        if (main_ != nullptr) {
            PostMessageA(main_, WM_CLOSE, 0, 0);
        } else if (thread_ != 0) {
            PostThreadMessageA(thread_, WM_QUIT, 0, 0);
        }
        ui_.join();
    }
    return exitCode_;
}

RECT ChildRect(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void StartMainWindow() {
    AppState = ApplicationState{};
    const ATOM atom = RegisterWindowClasses();
    ASSERT_NE(atom, 0) << "main window class not registered";
    ASSERT_NE(CreateMainWindow(atom), nullptr);
    // As start-up does after creation, without entering the loop.
    ShowWindow(AppState.hwndMain, SW_SHOW);
    UpdateWindow(AppState.hwndMain);
    AppState.hAccel = LoadAcceleratorsA(AppState.hInstance, MAKEINTRESOURCEA(768));
    SetForegroundWindow(AppState.hwndMain);
    PumpMessages(50);
}

void StopMainWindow() {
    if (AppState.hwndMain && IsWindow(AppState.hwndMain)) {
        DestroyWindow(AppState.hwndMain);
    }
    PumpMessages(20);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    if (AppState.hAccel) {
        DestroyAcceleratorTable(AppState.hAccel);
    }
    UnregisterClassA(Str::ProgramName, AppState.hInstance);
    UnregisterClassA(kChatListClassName, AppState.hInstance);
    AppState = ApplicationState{};
}

void MainWindowTest::SetUp() {
    ImmDisableIME(static_cast<DWORD>(-1));
    DeleteFileA(SettingsPathOfTestProcess().c_str());
    StartMainWindow();
}

void MainWindowTest::TearDown() {
    StopMainWindow();
    DeleteFileA(SettingsPathOfTestProcess().c_str());
}
