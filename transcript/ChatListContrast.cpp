// High contrast: while the system's high-contrast theme is on, the transcript
// draws in the system's colours, whatever colours it was given; those stay
// remembered for when the theme goes off again.
#include "transcript/ChatList.h"
#include "transcript/ChatListTesting.h"
#include "transcript/ChatListContrast.h"

namespace {

bool SystemHighContrast() {
    HIGHCONTRASTA hc{};
    hc.cbSize = sizeof hc;
    return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) != FALSE &&
           (hc.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

HighContrastProbe probe = SystemHighContrast;

} // namespace

HighContrastProbe SetHighContrastProbe(HighContrastProbe next) {
    const HighContrastProbe previous = probe;
    probe = next != nullptr ? next : SystemHighContrast;
    return previous;
}

namespace chatlist {

void ReadContrast(ChatState& s) {
    s.highContrast = probe();
}

Palette ShownColors(const ChatState& s) {
    if (s.highContrast) {
        return Palette{GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW),
                       GetSysColor(COLOR_HIGHLIGHTTEXT), GetSysColor(COLOR_HIGHLIGHT)};
    }
    return Palette{s.textColor, s.backColor, s.selTextColor, s.selBackColor};
}

LRESULT OnSystemColors(HWND hwnd, ChatState& s) {
    ReadContrast(s);
    InvalidateRect(hwnd, nullptr, FALSE);
    return 0;
}

} // namespace chatlist
