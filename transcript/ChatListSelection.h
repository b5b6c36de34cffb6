// The one place the transcript's selection changes: what changed is drawn
// again, the caret follows, and screen readers are told.
#pragma once

#include "transcript/ChatListState.h"

#include <cstddef>

namespace chatlist {

// Makes `next` the selection, its caret end shown at `place`: draws again
// only what changed and tells UI Automation of every move of either end.
void Select(HWND hwnd, ChatState& s, const Selection& next, const CaretPlace& place);
// From the anchor to the caret, byte offsets clamped to the text.
void SetSelection(HWND hwnd, ChatState& s, size_t anchor, size_t caret);
void SelectAll(HWND hwnd, ChatState& s);

} // namespace chatlist
