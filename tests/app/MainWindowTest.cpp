// The main window made in-process as start-up makes it: title, children,
// layout, focus and close.
#include "tests/support/WindowTest.h"

#include "app/AppState.h"
#include "app/Startup.h"
#include "resources/resource.h"
#include "transcript/ChatListClass.h"

namespace {

using MainWindow = MainWindowTest;

// Resizes the main window so that its client area has the given size.
void SetClientSize(int width, int height) {
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, TRUE, 0);
    SetWindowPos(AppState.hwndMain, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    // A menu bar that wraps would change the client height: correct for it.
    RECT client;
    GetClientRect(AppState.hwndMain, &client);
    if (client.bottom != height) {
        SetWindowPos(AppState.hwndMain, nullptr, 0, 0, r.right - r.left,
                     r.bottom - r.top + height - client.bottom, SWP_NOMOVE | SWP_NOZORDER);
    }
    PumpMessages(20);
}

TEST_F(MainWindow, IsCreatedWithItsClassTitleAndRectangle) {
    char name[64];
    GetClassNameA(AppState.hwndMain, name, sizeof name);
    EXPECT_STREQ(name, "bALDRIX");
    EXPECT_EQ(WindowText(AppState.hwndMain), "bALDRIX - [Status: OFFLINE]");
    RECT r;
    GetWindowRect(AppState.hwndMain, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right - r.left, 400);
    EXPECT_EQ(r.bottom - r.top, 350);
    EXPECT_TRUE(IsWindowVisible(AppState.hwndMain));
    EXPECT_EQ(GetWindowLongA(AppState.hwndMain, GWL_STYLE) & WS_OVERLAPPEDWINDOW,
              static_cast<LONG>(WS_OVERLAPPEDWINDOW));
}

TEST_F(MainWindow, CreationSetsTheDefaultsAndTheSaveDialog) {
    EXPECT_STREQ(AppState.nickname, "User");
    EXPECT_STREQ(AppState.logPath, "logo.log");
    EXPECT_EQ(AppState.colorText, GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(AppState.colorBackground, GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(AppState.colorSelectionText, GetSysColor(COLOR_HIGHLIGHTTEXT));
    EXPECT_EQ(AppState.colorSelectionBackground, GetSysColor(COLOR_HIGHLIGHT));

    const OPENFILENAMEA& ofn = AppState.saveDialog;
    EXPECT_EQ(ofn.lStructSize, static_cast<DWORD>(OPENFILENAME_SIZE_VERSION_400A));
#ifndef _WIN64
    EXPECT_EQ(ofn.lStructSize, 76u);
#endif
    EXPECT_EQ(ofn.hwndOwner, AppState.hwndMain);
    EXPECT_EQ(ofn.lpstrFile, AppState.logPath);
    EXPECT_EQ(ofn.nMaxFile, 260u);
    EXPECT_EQ(ofn.Flags, static_cast<DWORD>(OFN_EXPLORER | OFN_OVERWRITEPROMPT));
    EXPECT_STREQ(ofn.lpstrDefExt, "log");
    EXPECT_EQ(ofn.lpstrInitialDir, nullptr);
    EXPECT_EQ(ofn.nFilterIndex, 0u);
    // "All files" in code page 1251, its pattern, and the closing empty entry.
    const std::string filter(ofn.lpstrFilter, 15);
    EXPECT_EQ(filter, std::string("\xC2\xF1\xE5\x20\xF4\xE0\xE9\xEB\xFB\0*.*\0\0", 15));
}

TEST_F(MainWindow, ChildrenHaveTheirClassesAndStyles) {
    char name[64];
    GetClassNameA(AppState.hwndInput, name, sizeof name);
    EXPECT_STREQ(name, "Edit") << "the input field is a system edit control";
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(AppState.hwndInput, GWL_STYLE)),
              static_cast<DWORD>(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL))
        << "one line, left aligned, no border of its own, no scroll bars";
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(AppState.hwndInput, GWL_EXSTYLE)),
              static_cast<DWORD>(WS_EX_CLIENTEDGE));
    EXPECT_EQ(SendMessageA(AppState.hwndInput, EM_GETLIMITTEXT, 0, 0), 260);

    GetClassNameA(AppState.hwndChat, name, sizeof name);
    EXPECT_STREQ(name, "CHATLIST");
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(AppState.hwndChat, GWL_STYLE)) & 0xFFFF00FFu,
              0x50200080u);
    EXPECT_EQ(GetWindowLongA(AppState.hwndChat, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, WS_EX_CLIENTEDGE);

    const HGDIOBJ fixed = GetStockObject(SYSTEM_FIXED_FONT);
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(SendMessageA(AppState.hwndInput, WM_GETFONT, 0, 0)), fixed);
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(SendMessageA(AppState.hwndChat, WM_GETFONT, 0, 0)), fixed);
}

TEST_F(MainWindow, LayoutFollowsTheClientArea) {
    SetClientSize(500, 300);
    RECT client;
    GetClientRect(AppState.hwndMain, &client);
    ASSERT_EQ(client.right, 500);
    ASSERT_EQ(client.bottom, 300);

    const RECT input = ChildRect(AppState.hwndInput);
    EXPECT_EQ(input.left, 0);
    EXPECT_EQ(input.top, 276);
    EXPECT_EQ(input.right - input.left, 500);
    EXPECT_EQ(input.bottom - input.top, 24);

    const RECT chat = ChildRect(AppState.hwndChat);
    EXPECT_EQ(chat.left, 0);
    EXPECT_EQ(chat.top, 28);
    EXPECT_EQ(chat.right - chat.left, 500);
    EXPECT_EQ(chat.bottom - chat.top, 247);
}

TEST_F(MainWindow, TooLowClientAreaLeavesTheTranscriptEmptyAndTheProgramWorking) {
    for (const int height : {52, 30, 10, 0}) {
        SendMessageA(AppState.hwndMain, WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, height));
        const RECT chat = ChildRect(AppState.hwndChat);
        EXPECT_EQ(chat.bottom - chat.top, 0) << "client height " << height;
        const RECT input = ChildRect(AppState.hwndInput);
        EXPECT_EQ(input.top, height - 24) << "client height " << height;
    }
    ShowWindow(AppState.hwndMain, SW_MINIMIZE);
    PumpMessages(50);
    ShowWindow(AppState.hwndMain, SW_RESTORE);
    PumpMessages(50);
    EXPECT_TRUE(IsWindow(AppState.hwndMain));
    const RECT chat = ChildRect(AppState.hwndChat);
    EXPECT_GT(chat.bottom - chat.top, 0);
}

TEST_F(MainWindow, FocusAlwaysReturnsToTheInputField) {
    SetFocus(AppState.hwndChat);
    SendMessageA(AppState.hwndMain, WM_SETFOCUS, 0, 0);
    EXPECT_EQ(GetFocus(), AppState.hwndInput);

    SetFocus(AppState.hwndChat);
    SendMessageA(AppState.hwndMain, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(GetFocus(), AppState.hwndInput) << "whatever the activation state";

    SetFocus(AppState.hwndMain);
    EXPECT_EQ(GetFocus(), AppState.hwndInput);
}

TEST_F(MainWindow, TheTitleNeverChanges) {
    const std::string title = WindowText(AppState.hwndMain);
    SendMessageA(AppState.hwndMain, WM_COMMAND, IDM_CONNECT, 0);
    SendMessageA(AppState.hwndMain, WM_COMMAND, IDM_DISCONNECT, 0);
    SetClientSize(450, 280);
    SendMessageA(AppState.hwndMain, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(WindowText(AppState.hwndMain), title);
}

TEST_F(MainWindow, CloseDestroysTheWindowAndPostsQuitZero) {
    const HWND main = AppState.hwndMain;
    EXPECT_NE(SendMessageA(main, WM_CLOSE, 0, 0), 0) << "answers what DestroyWindow answered";
    EXPECT_FALSE(IsWindow(main));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 0u);
}

// ---- start-up ----------------------------------------------------------------

struct ChildSizes {
    RECT input;
    RECT chat;
    bool seen;
};
ChildSizes g_atCreation;

LRESULT CALLBACK AfterCreate(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_CREATE && call->hwnd == AppState.hwndMain &&
        AppState.hwndInput != nullptr) {
        g_atCreation =
            ChildSizes{ChildRect(AppState.hwndInput), ChildRect(AppState.hwndChat), true};
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The settings may size the window before its children exist, and nothing
// promises a size message after that: the children are laid out by the end of
// creation all the same.
TEST(Startup, ChildrenAreLaidOutWhenCreationEnds) {
    DeleteFileA(SettingsPathOfTestProcess().c_str());
    g_atCreation = ChildSizes{};
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, AfterCreate, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    StartMainWindow();
    UnhookWindowsHookEx(hook);
    RECT client;
    GetClientRect(AppState.hwndMain, &client);
    StopMainWindow();
    ASSERT_TRUE(g_atCreation.seen);
    const RECT& input = g_atCreation.input;
    const RECT& chat = g_atCreation.chat;
    EXPECT_EQ(input.right - input.left, client.right);
    EXPECT_EQ(input.bottom - input.top, 24);
    EXPECT_EQ(input.top, client.bottom - 24);
    EXPECT_EQ(chat.right - chat.left, client.right);
    EXPECT_EQ(chat.bottom - chat.top, client.bottom - 53);
}

DWORD WINAPI RunProgramThread(LPVOID result) {
    *static_cast<UINT*>(result) = RunProgram();
    return 0;
}

// A start-up that cannot make its window ends with an error instead of
// waiting for messages that will never come.
TEST(Startup, EndsWithAnErrorWhenAClassCannotBeRegistered) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    for (const char* taken : {Str::ProgramName, kChatListClassName}) {
        AppState = ApplicationState{};
        WNDCLASSA squatter{};
        squatter.lpfnWndProc = DefWindowProcA;
        squatter.hInstance = instance;
        squatter.lpszClassName = taken;
        ASSERT_NE(RegisterClassA(&squatter), 0);

        // On a thread of its own, so that a start-up that waits cannot hang the test.
        UINT code = STILL_ACTIVE;
        DWORD id = 0;
        HANDLE thread = CreateThread(nullptr, 0, RunProgramThread, &code, 0, &id);
        ASSERT_NE(thread, nullptr);
        const DWORD waited = WaitForSingleObject(thread, 5000);
        if (waited != WAIT_OBJECT_0) {
            PostThreadMessageA(id, WM_QUIT, 0, 0);
            WaitForSingleObject(thread, 5000);
        }
        CloseHandle(thread);
        EXPECT_EQ(waited, WAIT_OBJECT_0) << taken << " taken: start-up waited without a window";
        EXPECT_EQ(code, kStartupFailed) << taken << " taken";
        UnregisterClassA(Str::ProgramName, instance);
        UnregisterClassA(kChatListClassName, instance);
        AppState = ApplicationState{};
    }
}

} // namespace
