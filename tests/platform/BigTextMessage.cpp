// The smallest program that shows what Wine does with a large text in a window
// message, without bALDRIX: a window that keeps its own text, set with
// WM_SETTEXT and read back with WM_GETTEXTLENGTH and WM_GETTEXT, sent with
// SendMessageA and with SendMessageTimeoutA, from its own thread or (with
// --other) from another process. On Windows the text comes back as it was set
// at any size. Wine 10: from the window's own thread, SendMessageTimeoutA's
// WM_GETTEXT with a buffer of 2 MiB or more faults inside the system
// (STATUS_ACCESS_VIOLATION as the answer, nothing copied) while SendMessageA's
// works. Wine 8 and 10: from another process, a WM_SETTEXT of about 1.8 MB
// never returns.
//   big_text_message [--other] MEGABYTES
// Prints what came back; exit 0 when the text came back whole both ways.
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

// The window's owner in another process: it serves messages until closed.
int Serve() {
    MakeWindow();
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        DispatchMessageA(&m);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--serve") == 0) {
        return Serve();
    }
    const bool other = argc == 3 && std::strcmp(argv[1], "--other") == 0;
    const size_t bytes = static_cast<size_t>(std::atof(argv[argc - 1]) * 1024 * 1024);
    HWND hwnd = nullptr;
    PROCESS_INFORMATION pi{};
    if (other) {
        char self[MAX_PATH];
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        std::string line = std::string("\"") + self + "\" --serve";
        STARTUPINFOA si{};
        si.cb = sizeof si;
        CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
        for (int i = 0; i < 100 && hwnd == nullptr; ++i) {
            Sleep(100);
            hwnd = FindWindowA("BigTextWindow", nullptr);
        }
    } else {
        hwnd = MakeWindow();
    }
    std::string text(bytes, 'x');
    for (size_t i = 0; i < bytes; i += 64) {
        text[i] = static_cast<char>('a' + i / 64 % 26);
    }
    std::printf("WM_SETTEXT of %zu bytes%s\n", bytes, other ? " from another process" : "");
    std::fflush(stdout);
    DWORD_PTR set = 0;
    if (SendMessageTimeoutA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                            SMTO_NORMAL, 20000, &set) == 0) {
        std::printf("WM_SETTEXT did not return in 20 s\n");
        return 1;
    }
    const LRESULT length = SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0);
    std::printf("WM_GETTEXTLENGTH: %ld\n", static_cast<long>(length));
    bool whole = length == static_cast<LRESULT>(bytes);
    for (const bool timeout : {false, true}) {
        std::string back(bytes + 1, '\0');
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
        whole = whole && back == text;
    }
    if (other) {
        TerminateProcess(pi.hProcess, 0);
    }
    return whole ? 0 : 1;
}
