// Finding in the transcript: CLM_FIND, CLM_GETSELLINE, and showing and
// holding a match (CLM_SHOWSEL, CLM_ENDHOLD).
#pragma once

#include "transcript/ChatListState.h"

namespace chatlist {

LRESULT OnShowSelection(HWND hwnd, ChatState& s);
LRESULT OnEndHold(HWND hwnd, ChatState& s);
LRESULT OnFind(const ChatState& s, ChatListSearch* search);
LRESULT OnGetSelectionLine(const ChatState& s, WPARAM capacity, char* out);

} // namespace chatlist
