#include "tests/support/Input.h"

namespace {

INPUT KeyInput(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    for (const WORD extended : {VK_INSERT, VK_DELETE, VK_HOME, VK_END, VK_PRIOR, VK_NEXT, VK_LEFT,
                                VK_RIGHT, VK_UP, VK_DOWN}) {
        if (vk == extended) {
            in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
        }
    }
    return in;
}

INPUT MouseInput(POINT screen, DWORD flags, DWORD data) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    // One more than the nearest step, so that the system's rounding down lands on the point.
    in.mi.dx = MulDiv(screen.x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
    in.mi.dy = MulDiv(screen.y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
    in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    in.mi.mouseData = data;
    return in;
}

} // namespace

void SendKey(WORD vk, bool up) {
    INPUT in = KeyInput(vk, up);
    SendInput(1, &in, sizeof in);
}

void TapKey(WORD vk, bool ctrl, bool shift, bool alt) {
    const struct {
        bool held;
        WORD vk;
    } modifiers[] = {{ctrl, VK_CONTROL}, {shift, VK_SHIFT}, {alt, VK_MENU}};
    for (const auto& m : modifiers) {
        if (m.held) {
            SendKey(m.vk, false);
        }
    }
    SendKey(vk, false);
    SendKey(vk, true);
    for (int i = 2; i >= 0; --i) {
        if (modifiers[i].held) {
            SendKey(modifiers[i].vk, true);
        }
    }
}

void TypeChar(char c) {
    const SHORT scan = VkKeyScanA(c);
    TapKey(LOBYTE(scan), false, (HIBYTE(scan) & 1) != 0);
}

void MouseAt(POINT screen, DWORD flags, DWORD data) {
    INPUT in = MouseInput(screen, flags, data);
    SendInput(1, &in, sizeof in);
}

void CtrlWheelAt(POINT screen, int delta) {
    INPUT in[] = {KeyInput(VK_CONTROL, false),
                  MouseInput(screen, MOUSEEVENTF_WHEEL, static_cast<DWORD>(delta)),
                  KeyInput(VK_CONTROL, true)};
    SendInput(3, in, sizeof in[0]);
}

void PointerTo(POINT screen) {
    SetCursorPos(screen.x, screen.y);
}

HeldKeys::HeldKeys(std::initializer_list<int> keys) {
    GetKeyboardState(saved_);
    BYTE state[256];
    GetKeyboardState(state);
    for (const int k : keys) {
        state[k] = 0x80;
    }
    SetKeyboardState(state);
}

HeldKeys::~HeldKeys() {
    SetKeyboardState(saved_);
}
