// Messages with arguments that lead nowhere, as any program on the desktop can
// send or post them to a window of ours.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

// WM_USER to WM_USER+20 and WM_APP to WM_APP+20: the ranges of the private
// messages of the program's windows and of the dialogs' own.
std::vector<UINT> PrivateMessageRange();

// Sends every message to every window with every junk wParam and lParam from
// a thread of its own (each answer awaited up to 2 s), then posts them all.
// `wait` runs while the sends go on, until the condition it is given holds:
// a window test pumps the windows' thread there. Answers the messages made.
long SendAndPostJunk(const std::vector<HWND>& windows, const std::vector<UINT>& messages,
                     const std::function<bool(const std::function<bool()>&)>& wait);
