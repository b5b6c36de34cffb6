// The seam between the transcript control and its screen-reader room
// (access/): what the control tells screen readers, and the messages it
// hands over to them. Declared here, answered in access/, so that no file of
// the control includes anything of access/; access/ reads the control through
// ChatListState.h, ChatListView.h, ChatListSelection.h and the models.
#pragma once

#include "transcript/ChatListState.h"

#include <cstddef>

namespace chatlist {

// ---- what the control tells ----
// The text is about to be replaced by `text`.
void AutomationTextReplacing(ChatState& s, const char* text);
// The text was replaced (appended: it grew from `before` bytes on).
void AutomationTextChanged(HWND hwnd, ChatState& s, bool appended, size_t before);
// Either end of the selection moved.
void AutomationSelectionChanged(HWND hwnd, ChatState& s);
// Says `said` to a listening screen reader; a new one of the same `activity`
// cuts short the one still being said.
void AutomationSay(HWND hwnd, ChatState& s, const wchar_t* said, const wchar_t* activity);
// A found match that begins at `from` is shown: says its chat line and its
// place among the matches of `query` ("3 of 17"), counted only for a listener.
void AutomationFound(HWND hwnd, ChatState& s, const FindQuery& query, size_t from);
// The window goes: the element answers "not available" from now on.
void AutomationGone(HWND hwnd, ChatState& s);

// ---- what it hands over ----
// WM_GETOBJECT: the UI Automation element, or the pane as an IAccessible.
LRESULT OnGetObject(HWND hwnd, ChatState& s, WPARAM wParam, LPARAM lParam);
// CLM_READLINE: reads out the nth most recent chat line.
LRESULT OnReadLine(HWND hwnd, ChatState& s, WPARAM nth);
// CLM_SETREADING: what new lines are read out unasked; answers the mode in effect.
LRESULT OnSetReading(HWND hwnd, ChatState& s, WPARAM mode);
// CLM_OWNLINE: the next append is the user's own line.
LRESULT OnOwnLine(ChatState& s);

} // namespace chatlist
