// The transcript's colours, the system's while its high-contrast theme is on.
#pragma once

#include "transcript/ChatListState.h"

namespace chatlist {

// The colours the pane is drawn in.
struct Palette {
    COLORREF text;
    COLORREF back;
    COLORREF selText;
    COLORREF selBack;
};

void ReadContrast(ChatState& s);
Palette ShownColors(const ChatState& s);
// WM_SYSCOLORCHANGE and WM_SETTINGCHANGE, passed on by the main window.
LRESULT OnSystemColors(HWND hwnd, ChatState& s);

} // namespace chatlist
