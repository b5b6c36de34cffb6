#include "tests/support/AppDriver.h"

#include "tests/support/TestText.h"

#include <cstdlib>
#include <vector>

#ifndef BALDRIX_EXE
#error "BALDRIX_EXE names the program under test"
#endif

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) {
            return true;
        }
        if (GetTickCount() - start >= timeoutMs) {
            return condition();
        }
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(20);
    }
}

RunningApp::RunningApp() : folder_(MakeTempFolder("baldrix-e2e")) {
    CopyFileA(BALDRIX_EXE, ExePath().c_str(), FALSE);
}

RunningApp::RunningApp(const std::string& folder) : folder_(folder), ownsFolder_(false) {}

RunningApp::~RunningApp() {
    if (Running()) {
        TerminateProcess(pi_.hProcess, 1);
        WaitForSingleObject(pi_.hProcess, 5000);
    }
    if (pi_.hProcess) {
        CloseHandle(pi_.hProcess);
        CloseHandle(pi_.hThread);
    }
    if (ownsFolder_) {
        RemoveTree(folder_);
    }
}

bool RunningApp::Start() {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::string command = "\"" + ExePath() + "\"";
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    char debug[256] = "";
    const bool debugSet = GetEnvironmentVariableA("WINEDEBUG", debug, sizeof debug) != 0;
    if (!traceChannels_.empty()) {
        SetEnvironmentVariableA("WINEDEBUG", traceChannels_.c_str()); // the child's alone
    }
    const bool started = CreateProcessA(ExePath().c_str(), line.data(), nullptr, nullptr, FALSE, 0,
                                        nullptr, folder_.c_str(), &si, &pi_) != FALSE;
    SetEnvironmentVariableA("WINEDEBUG", debugSet ? debug : nullptr);
    if (!started) {
        return false;
    }
    WaitForInputIdle(pi_.hProcess, 10000);
    WaitFor([&] { return (main_ = FindProcessWindow(pi_.dwProcessId, "bALDRIX")) != nullptr; },
            15000);
    return main_ != nullptr && Activate();
}

bool RunningApp::Activate() {
    return WaitFor(
        [&] {
            if (GetForegroundWindow() != main_) {
                SetForegroundWindow(main_);
            }
            return GetForegroundWindow() == main_;
        },
        5000);
}

HWND RunningApp::Input() const {
    return FindWindowExA(main_, nullptr, "EDIT", nullptr);
}

HWND RunningApp::Chat() const {
    return FindWindowExA(main_, nullptr, "CHATLIST", nullptr);
}

void RunningApp::SetChatText(const std::string& text) {
    DWORD_PTR ignored;
    SendMessageTimeoutA(Chat(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                        SMTO_ABORTIFHUNG, 5000, &ignored);
    Settle();
}

HWND RunningApp::Toolbar() const {
    return FindWindowExA(main_, nullptr, "ToolbarWindow32", nullptr);
}

void RunningApp::Type(const std::string& text) {
    int sent = 0;
    for (const char c : text) {
        // Let the program catch up now and then: a long burst can outrun Wine's input queue.
        if (++sent % 40 == 0) {
            Settle();
        }
        TypeChar(c);
    }
    Settle();
}

void RunningApp::Press(WORD vk, bool ctrl, bool shift, bool alt) {
    TapKey(vk, ctrl, shift, alt);
    Settle();
}

void RunningApp::PressEach(std::initializer_list<WORD> keys) {
    for (const WORD vk : keys) {
        Press(vk);
    }
}

void RunningApp::SendTyped(const std::string& line) {
    Type(line);
    Press(VK_RETURN);
}

std::string RunningApp::CopyWithCtrlC() {
    EmptyTheClipboard();
    Press('C', true);
    std::string copied;
    WaitFor([&] { return !(copied = ClipboardText()).empty(); }, 3000);
    return copied;
}

void RunningApp::ClickAt(POINT screen, int clicks) {
    // A single press is handled before its release is sent, as a hand's
    // would be: under Wine, a release sent with it was sometimes lost on a
    // caption's close box.
    Clicks(screen, clicks, clicks == 1);
}

void RunningApp::TapAt(POINT screen) {
    Clicks(screen, 1, false);
}

void RunningApp::Clicks(POINT screen, int clicks, bool settleWhilePressed) {
    // The pointer goes there first and its move arrives on its own: under
    // Wine, a click sent with the move sometimes landed where the pointer had
    // been before.
    PointerTo(screen);
    MouseAt(screen);
    Settle();
    for (int i = 0; i < clicks; ++i) {
        MouseAt(screen, MOUSEEVENTF_LEFTDOWN);
        if (settleWhilePressed) {
            Settle();
        }
        MouseAt(screen, MOUSEEVENTF_LEFTUP);
    }
    Settle();
}

void RunningApp::WheelAt(POINT screen, int delta, bool ctrl) {
    MouseAt(screen);
    Settle();
    if (ctrl) {
        CtrlWheelAt(screen, delta);
    } else {
        MouseAt(screen, MOUSEEVENTF_WHEEL, static_cast<DWORD>(delta));
    }
    Settle();
}

void RunningApp::Drag(POINT from, POINT to, int steps) {
    MouseAt(from);
    Settle();
    MouseAt(from, MOUSEEVENTF_LEFTDOWN);
    Settle();
    for (int step = 1; step <= steps; ++step) {
        MouseAt(POINT{from.x + (to.x - from.x) * step / steps,
                      from.y + (to.y - from.y) * step / steps});
        Settle();
    }
    MouseAt(to, MOUSEEVENTF_LEFTUP);
    Settle();
}

POINT RunningApp::ChatCell(int column, int row) const {
    const SIZE cell = FixedFontCell();
    POINT p{2 + column * cell.cx + cell.cx / 2, row * cell.cy + cell.cy / 2};
    ClientToScreen(Chat(), &p);
    return p;
}

int RunningApp::TopChatLine() {
    ClickAt(ChatCell(9, 0), 2);
    const std::string word = CopyWithCtrlC();
    return word.size() == 6 && word[0] == 'L' ? std::atoi(word.c_str() + 1) : -1;
}

int RunningApp::ChatRows() const {
    RECT r;
    GetClientRect(Chat(), &r);
    return r.bottom / FixedFontCell().cy;
}

HWND RunningApp::SaveThroughDialog(const std::string& path) {
    Press(VK_F2);
    HWND dialog = WaitForDialog();
    if (dialog == nullptr) {
        return nullptr;
    }
    // The file name box has the focus: select what it proposes and type over it.
    Press('A', true);
    Type(path);
    Press(VK_RETURN);
    return dialog;
}

void RunningApp::Settle() {
    // Input is queued to the program's thread; give it time to reach an idle
    // GetMessage, then make a round trip through its window procedure.
    for (int i = 0; i < 3; ++i) {
        WaitForInputIdle(pi_.hProcess, 2000);
        Sleep(40);
        DWORD_PTR ignored;
        SendMessageTimeoutA(main_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
    }
}

HWND RunningApp::WaitForDialog(HWND other, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitFor(
        [&] {
            const HWND fg = GetForegroundWindow();
            DWORD pid = 0;
            GetWindowThreadProcessId(fg, &pid);
            if (pid == pi_.dwProcessId && fg != other && IsDialog(fg)) {
                found = fg;
            }
            return found != nullptr;
        },
        timeoutMs);
    if (found != nullptr) {
        Settle();
    }
    return found;
}

HWND RunningApp::WaitForMenu(DWORD timeoutMs) const {
    HWND popup = nullptr;
    WaitFor([&] { return (popup = FindProcessWindow(pi_.dwProcessId, "#32768")) != nullptr; },
            timeoutMs);
    return popup;
}

DWORD RunningApp::WaitForExit(DWORD timeoutMs) {
    if (WaitForSingleObject(pi_.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        return STILL_ACTIVE;
    }
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(pi_.hProcess, &code);
    return code;
}

DWORD RunningApp::Close(DWORD timeoutMs) {
    PostMessageA(main_, WM_CLOSE, 0, 0);
    return WaitForExit(timeoutMs);
}

bool RunningApp::Running() const {
    return pi_.hProcess != nullptr && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}
