// The transcript's caret: the focus and the caret keys.
#pragma once

#include "transcript/ChatListState.h"

namespace chatlist {

// The focus comes: the system caret shows at the selection's caret end, or,
// with nothing selected, at the start of the last line shown. It goes: the
// caret goes with it.
LRESULT OnSetFocus(HWND hwnd, ChatState& s);
LRESULT OnKillFocus(HWND hwnd, ChatState& s);
// The arrows, Home, End, Page Up and Page Down, with Ctrl and Shift.
LRESULT OnCaretKey(HWND hwnd, ChatState& s, WPARAM key);
// The font changed: the caret takes the new line height.
void RemakeCaret(HWND hwnd, ChatState& s);

} // namespace chatlist
