// The transcript's mouse: buttons, the drag and its timer, the context menu.
#pragma once

#include "transcript/ChatListState.h"

namespace chatlist {

LRESULT OnLButtonDown(HWND hwnd, ChatState& s, WPARAM wParam, LPARAM lParam);
LRESULT OnLButtonUp(HWND hwnd, ChatState& s);
LRESULT OnLButtonDblClk(HWND hwnd, ChatState& s, LPARAM lParam);
LRESULT OnMouseMove(HWND hwnd, ChatState& s, LPARAM lParam);
LRESULT OnRButtonDown(HWND hwnd, ChatState& s, LPARAM lParam);
// Ends a drag: the timer stops and the mouse is let go.
void StopDrag(HWND hwnd, ChatState& s);
// The copy and select-all menu, at a point of the screen.
void ShowContextMenu(HWND hwnd, const ChatState& s, POINT screen);

} // namespace chatlist
