// The transcript control, window class "CHATLIST".
#pragma once

#include <windows.h>

// Sets the text colour (wParam) and the background colour (lParam).
constexpr UINT CLM_SETCOLORS = WM_USER + 2;

ATOM RegisterChatListClass(HINSTANCE instance);
LRESULT CALLBACK ChatListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
