// The transcript's painting: the rows of text and the new-lines marker.
#pragma once

#include "transcript/ChatListState.h"

namespace chatlist {

LRESULT OnPaint(HWND hwnd, ChatState& s);
LRESULT OnPrintClient(ChatState& s, HDC dc);

} // namespace chatlist
