// Input for the tests. Real input is made with SendInput, as a hand makes it:
// it goes through the system's queues to the window with the focus or under
// the pointer. These functions return at once; RunningApp's methods wait until
// the program has handled what they sent.
#pragma once

#include <windows.h>

#include <initializer_list>

// One key going down or up, with its scan code, and the extended flag for
// the keys that carry it.
void SendKey(WORD vk, bool up);
// A key pressed and released, with the modifiers held around it.
void TapKey(WORD vk, bool ctrl = false, bool shift = false, bool alt = false);
// The keys that type a character, Shift included where the layout needs it.
void TypeChar(char c);
// One mouse event at a point of the screen: a move there, with any button or
// wheel flags. Every event carries the point and a move: without them a button
// event may land wherever the system last saw the pointer.
void MouseAt(POINT screen, DWORD flags = 0, DWORD data = 0);
// A wheel turn at a point with Ctrl held around it, in one batch: on Wine a
// pointer event between them brings back the real keyboard's modifiers.
void CtrlWheelAt(POINT screen, int delta);

// Puts the pointer at a point of the screen, where GetCursorPos then finds it.
void PointerTo(POINT screen);

// Holds keys down in this thread's key state, as GetKeyState sees them, while
// it lives: for key messages sent in-process that look at the modifiers.
class HeldKeys {
public:
    explicit HeldKeys(std::initializer_list<int> keys);
    ~HeldKeys();
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;

private:
    BYTE saved_[256];
};
