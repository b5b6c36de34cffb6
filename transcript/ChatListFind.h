// Finding in the transcript: CLM_FIND, CLM_GETSELLINE, showing and holding a
// match (CLM_SHOWSEL, CLM_ENDHOLD), and the frames around the search's other
// matches while the view is held.
#pragma once

#include "transcript/ChatListState.h"

namespace chatlist {

LRESULT OnShowSelection(HWND hwnd, ChatState& s);
LRESULT OnEndHold(HWND hwnd, ChatState& s);
LRESULT OnFind(ChatState& s, ChatListSearch* search);
LRESULT OnGetSelectionLine(const ChatState& s, WPARAM capacity, char* out);
// The view no longer rests at the found match: the frames go.
void LetGoOfMatch(HWND hwnd, ChatState& s);
// Frames, in `color`, the other matches of the held search on the rows of `area`.
void DrawMatchFrames(HDC dc, const ChatState& s, COLORREF color, const RECT& area);

} // namespace chatlist
