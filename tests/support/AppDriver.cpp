#include "tests/support/AppDriver.h"

#include <cstdio>
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

namespace {
struct FindContext {
    DWORD pid;
    const char* className;
    const char* title;
    HWND found;
};

BOOL CALLBACK FindProc(HWND hwnd, LPARAM lParam) {
    auto* ctx = reinterpret_cast<FindContext*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != ctx->pid || !IsWindowVisible(hwnd)) {
        return TRUE;
    }
    char buffer[256];
    if (ctx->className != nullptr) {
        GetClassNameA(hwnd, buffer, sizeof buffer);
        if (lstrcmpA(buffer, ctx->className) != 0) {
            return TRUE;
        }
    }
    if (ctx->title != nullptr) {
        GetWindowTextA(hwnd, buffer, sizeof buffer);
        if (lstrcmpA(buffer, ctx->title) != 0) {
            return TRUE;
        }
    }
    ctx->found = hwnd;
    return FALSE;
}

void SendKey(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, 0));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    if (vk == VK_INSERT || vk == VK_DELETE || vk == VK_HOME || vk == VK_END || vk == VK_PRIOR ||
        vk == VK_NEXT || vk == VK_LEFT || vk == VK_RIGHT || vk == VK_UP || vk == VK_DOWN) {
        in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    }
    SendInput(1, &in, sizeof in);
}
} // namespace

HWND FindProcessWindow(DWORD processId, const char* className, const char* title) {
    FindContext ctx{processId, className, title, nullptr};
    EnumWindows(FindProc, reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadFileBytes(const std::string& path) {
    std::string bytes;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) {
        return bytes;
    }
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
        bytes.append(buffer, n);
    }
    std::fclose(f);
    return bytes;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f != nullptr) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}

std::string ClipboardText() {
    std::string text;
    for (int attempt = 0; attempt < 50 && !OpenClipboard(nullptr); ++attempt) {
        Sleep(20);
    }
    HANDLE data = GetClipboardData(CF_TEXT);
    if (data != nullptr) {
        const char* p = static_cast<const char*>(GlobalLock(data));
        if (p != nullptr) {
            text = p;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

std::wstring ClipboardUnicode() {
    std::wstring text;
    for (int attempt = 0; attempt < 50 && !OpenClipboard(nullptr); ++attempt) {
        Sleep(20);
    }
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (data != nullptr) {
        const WCHAR* p = static_cast<const WCHAR*>(GlobalLock(data));
        if (p != nullptr) {
            text = p;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

void MarkClipboardLocale(LCID locale) {
    for (int attempt = 0; attempt < 50 && !OpenClipboard(nullptr); ++attempt) {
        Sleep(20);
    }
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof locale);
    if (memory != nullptr) {
        *static_cast<LCID*>(GlobalLock(memory)) = locale;
        GlobalUnlock(memory);
        if (SetClipboardData(CF_LOCALE, memory) == nullptr) {
            GlobalFree(memory);
        }
    }
    CloseClipboard();
}

std::wstring AnsiToWide(const std::string& bytes) {
    const int n =
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
    return wide;
}

std::set<std::string> FolderNames(const std::string& folder) {
    std::set<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        const std::string name = fd.cFileName;
        if (name != "." && name != "..") {
            names.insert(name);
        }
    } while (FindNextFileA(find, &fd));
    FindClose(find);
    return names;
}

std::set<std::string> StrayFiles(const std::string& folder) {
    std::set<std::string> names = FolderNames(folder);
    for (auto it = names.begin(); it != names.end();) {
        const bool ours = lstrcmpiA(it->c_str(), "bALDRIX.exe") == 0 ||
                          lstrcmpiA(it->c_str(), "bALDRIX.ini") == 0;
        it = ours ? names.erase(it) : std::next(it);
    }
    return names;
}

std::string MakeTempFolder(const char* prefix) {
    static unsigned counter = 0;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    for (;;) {
        char name[MAX_PATH];
        wsprintfA(name, "%s%s-%lu-%u", temp, prefix, GetCurrentProcessId(), ++counter);
        if (CreateDirectoryA(name, nullptr)) {
            return name;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            return std::string();
        }
    }
}

void RemoveTree(const std::string& folder) {
    if (folder.empty()) {
        return;
    }
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = fd.cFileName;
            if (name == "." || name == "..") {
                continue;
            }
            const std::string path = folder + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(find, &fd));
        FindClose(find);
    }
    SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(folder.c_str());
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

void RunningApp::WriteIni(const std::string& bytes) const {
    WriteFileBytes(IniPath(), bytes);
}

std::string RunningApp::ReadIni() const {
    return ReadFileBytes(IniPath());
}

bool RunningApp::Start() {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::string command = "\"" + ExePath() + "\"";
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    if (!CreateProcessA(ExePath().c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder_.c_str(), &si, &pi_)) {
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

HWND RunningApp::Toolbar() const {
    return FindWindowExA(main_, nullptr, "ToolbarWindow32", nullptr);
}

std::string RunningApp::Text(HWND hwnd) const {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) {
        return std::string();
    }
    std::vector<char> buffer(length + 1);
    DWORD_PTR got = 0;
    SendMessageTimeoutA(hwnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                        SMTO_ABORTIFHUNG, 5000, &got);
    return std::string(buffer.data(), got < buffer.size() ? got : buffer.size() - 1);
}

void RunningApp::Type(const std::string& text) {
    int sent = 0;
    for (const char c : text) {
        // Let the program catch up now and then: a long burst can outrun Wine's input queue.
        if (++sent % 40 == 0) {
            Settle();
        }
        const SHORT scan = VkKeyScanA(c);
        const WORD vk = LOBYTE(scan);
        const bool shift = (HIBYTE(scan) & 1) != 0;
        if (shift) {
            SendKey(VK_SHIFT, false);
        }
        SendKey(vk, false);
        SendKey(vk, true);
        if (shift) {
            SendKey(VK_SHIFT, true);
        }
    }
    Settle();
}

void RunningApp::Press(WORD vk, bool ctrl, bool shift, bool alt) {
    if (ctrl)
        SendKey(VK_CONTROL, false);
    if (shift)
        SendKey(VK_SHIFT, false);
    if (alt)
        SendKey(VK_MENU, false);
    SendKey(vk, false);
    SendKey(vk, true);
    if (alt)
        SendKey(VK_MENU, true);
    if (shift)
        SendKey(VK_SHIFT, true);
    if (ctrl)
        SendKey(VK_CONTROL, true);
    Settle();
}

void RunningApp::ClickAt(POINT screen, int clicks) {
    // Every event carries the absolute position and a move: without them a
    // button event may land wherever Wine last saw the cursor. Move first and
    // let the move arrive on its own, as a hand would.
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(screen.x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
    in.mi.dy = MulDiv(screen.y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
    Settle();
    for (int i = 0; i < clicks; ++i) {
        in.mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        SendInput(1, &in, sizeof in);
        if (clicks == 1) {
            Settle();
        }
        in.mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        SendInput(1, &in, sizeof in);
    }
    Settle();
}

void RunningApp::SendTyped(const std::string& line) {
    Type(line);
    Press(VK_RETURN);
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
            HWND fg = GetForegroundWindow();
            DWORD pid = 0;
            GetWindowThreadProcessId(fg, &pid);
            char name[64] = "";
            GetClassNameA(fg, name, sizeof name);
            if (pid == pi_.dwProcessId && fg != other && lstrcmpA(name, "#32770") == 0 &&
                IsWindowVisible(fg)) {
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

std::string RunningApp::DialogStatics(HWND dialog) const {
    std::string all;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        char name[64] = "";
        GetClassNameA(child, name, sizeof name);
        if (lstrcmpiA(name, "Static") == 0) {
            all += Text(child) + "\n";
        }
    }
    return all;
}

std::string RunningApp::FocusedText(HWND window) const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ||
        info.hwndFocus == nullptr) {
        return "(no focus)";
    }
    return Text(info.hwndFocus);
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
