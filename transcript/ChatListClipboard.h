// The transcript's clipboard: the selection as bytes and as Unicode text.
#pragma once

#include "transcript/ChatListState.h"

namespace chatlist {

void CopySelection(HWND hwnd, const ChatState& s);

} // namespace chatlist
