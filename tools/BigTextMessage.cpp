// The smallest program that shows what Wine does with a large text in a window
// message, without bALDRIX: a window that keeps its own text, set with
// WM_SETTEXT and read back with WM_GETTEXTLENGTH and WM_GETTEXT, sent with
// SendMessageA and with SendMessageTimeoutA from its own thread, or (with
// --other) read and then set with SendMessageTimeoutA from another process.
// On Windows the text comes back as it was set at any size. Wine 10:
// - from the window's own thread, SendMessageTimeoutA's WM_GETTEXT with a
//   buffer of 2 MiB or more faults inside the system (STATUS_ACCESS_VIOLATION
//   as the answer, nothing copied), where SendMessageA's works;
// - from another process, with 1 MiB of text or more in the window, even
//   WM_GETTEXTLENGTH faults inside the owner's system call (+seh shows it in
//   the owner's GetMessageA), which ends its message loop; the answer is 0.
// Wine 8: from another process, a WM_SETTEXT of 1 MiB never returns.
//   big_text_message [--other] MEGABYTES
// Prints what came back; exit 0 when the text came back whole.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string g_text;

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SETTEXT: g_text = reinterpret_cast<const char*>(lParam); return TRUE;
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(g_text.size());
    case WM_GETTEXT: {
        const size_t n = wParam == 0 ? 0 : std::min<size_t>(wParam - 1, g_text.size());
        std::memcpy(reinterpret_cast<char*>(lParam), g_text.data(), n);
        reinterpret_cast<char*>(lParam)[n] = '\0';
        return static_cast<LRESULT>(n);
    }
    default: return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

HWND MakeWindow() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "BigTextWindow";
    RegisterClassA(&wc);
    return CreateWindowA("BigTextWindow", "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                         wc.hInstance, nullptr);
}

std::string Text(size_t bytes) {
    std::string text(bytes, 'x');
    for (size_t i = 0; i < bytes; i += 64) {
        text[i] = static_cast<char>('a' + i / 64 % 26);
    }
    return text;
}

bool SetText(HWND hwnd, const std::string& text) {
    DWORD_PTR set = 0;
    const bool done =
        SendMessageTimeoutA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                            SMTO_NORMAL, 20000, &set) != 0;
    std::printf("WM_SETTEXT of %zu bytes: %s\n", text.size(),
                done ? "done" : "did not return in 20 s");
    return done;
}

// Reads the text back with SendMessageA (own thread only) and SendMessageTimeoutA.
bool TextCameBack(HWND hwnd, const std::string& text, bool own) {
    const LRESULT length = SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0);
    std::printf("WM_GETTEXTLENGTH: %ld\n", static_cast<long>(length));
    bool whole = length == static_cast<LRESULT>(text.size());
    for (const bool timeout : {false, true}) {
        if (!timeout && !own) {
            continue;
        }
        std::string back(text.size() + 1, '\0');
        DWORD_PTR got = 0;
        const LPARAM buffer = reinterpret_cast<LPARAM>(&back[0]);
        const BOOL sent = timeout
                              ? SendMessageTimeoutA(hwnd, WM_GETTEXT, back.size(), buffer,
                                                    SMTO_NORMAL, 20000, &got) != 0
                              : (got = SendMessageA(hwnd, WM_GETTEXT, back.size(), buffer), TRUE);
        back.resize(std::strlen(back.c_str()));
        std::printf("%s WM_GETTEXT: returned %d, answered 0x%lx, %zu bytes back, %s\n",
                    timeout ? "SendMessageTimeoutA" : "SendMessageA", sent,
                    static_cast<unsigned long>(got), back.size(),
                    back == text ? "the same text" : "NOT the text that was set");
        std::fflush(stdout);
        whole = whole && back == text;
    }
    return whole;
}

// The window's owner in another process, with a text of its own: it serves
// messages until ended.
int Serve(size_t bytes) {
    g_text = Text(bytes);
    MakeWindow();
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        DispatchMessageA(&m);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const size_t bytes = static_cast<size_t>(std::atof(argv[argc - 1]) * 1024 * 1024);
    if (argc == 3 && std::strcmp(argv[1], "--serve") == 0) {
        return Serve(bytes);
    }
    const std::string text = Text(bytes);
    if (argc == 2) {
        const HWND hwnd = MakeWindow();
        return SetText(hwnd, text) && TextCameBack(hwnd, text, true) ? 0 : 1;
    }
    // From another process: its own text read, then a text of the same size set.
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string line = std::string("\"") + self + "\" --serve " + argv[argc - 1];
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    HWND hwnd = nullptr;
    for (int i = 0; i < 100 && hwnd == nullptr; ++i) {
        Sleep(100);
        hwnd = FindWindowA("BigTextWindow", nullptr);
    }
    std::printf("from another process:\n");
    const bool whole = TextCameBack(hwnd, text, false) && SetText(hwnd, text);
    TerminateProcess(pi.hProcess, 0);
    return whole ? 0 : 1;
}
