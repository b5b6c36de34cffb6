#include "tests/support/Transcript.h"

#include "app/AppState.h"
#include "base/ScopedHandles.h"
#include "transcript/ChatList.h"

HWND Chat() {
    return AppState.hwndChat;
}

BOOL SetText(const std::string& text) {
    return static_cast<BOOL>(
        SendMessageA(Chat(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

std::pair<DWORD, DWORD> Selection() {
    DWORD from = 0, to = 0;
    SendMessageA(Chat(), CLM_GETSEL, reinterpret_cast<WPARAM>(&from),
                 reinterpret_cast<LPARAM>(&to));
    return {from, to};
}

int Top() {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_POS;
    GetScrollInfo(Chat(), SB_VERT, &si);
    return si.nPos;
}

int LineHeight() {
    const ScopedGetDC dc(Chat());
    const ScopedSelect font(dc, reinterpret_cast<HFONT>(SendMessageA(Chat(), WM_GETFONT, 0, 0)));
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    return tm.tmHeight;
}
