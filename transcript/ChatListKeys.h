// The transcript's key messages, all in one room (ChatListKeys.cpp).
#pragma once

#include "transcript/ChatListState.h"

namespace chatlist {

LRESULT OnKeyDown(HWND hwnd, ChatState& s, WPARAM key, LPARAM lParam);
// The Menu key's release asks for no second menu.
LRESULT OnKeyUp(HWND hwnd, WPARAM wParam, LPARAM lParam);
// Shift+F10 opens the menu; Alt stays here; other system keys are handed over.
LRESULT OnSysKeyDown(HWND hwnd, const ChatState& s, WPARAM wParam, LPARAM lParam);
// A WM_CONTEXTMENU from the keyboard opens the menu at the selection's start,
// or at the pane's top-left corner.
LRESULT OnContextMenu(HWND hwnd, const ChatState& s, WPARAM wParam, LPARAM lParam);

} // namespace chatlist
