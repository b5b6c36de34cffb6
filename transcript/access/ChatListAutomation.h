// The transcript's UI Automation element and its text ranges, shared by the
// two files that make them (ChatListAutomation.cpp, ChatListTextRange.cpp).
#pragma once

#include "transcript/ChatListState.h"
#include "transcript/access/ChatListUia.h"
#include "transcript/TextRangeModel.h"

namespace chatlist {

class TextElement;

// The window's record while the window lives, else null: every call on the
// element or a range asks this first.
ChatState* LiveState(const TextElement* element, HWND* hwnd);
IRawElementProviderSimple* AsSimple(TextElement* element);
void AddRefElement(TextElement* element);
void ReleaseElement(TextElement* element);

// A new range over [start, end) of the element's text (one reference), or null.
uia::ITextRangeProvider* NewRange(TextElement* element, size_t start, size_t end);

// The screen point `p` as a byte offset of the text: the nearest edge between bytes.
size_t OffsetAtScreen(HWND hwnd, const ChatState& s, POINT p);
// Text as UTF-16, at most maxLength characters (-1: all); a new BSTR or null.
BSTR TextOf(const ChatState& s, size_t start, size_t end, int maxLength);
SAFEARRAY* RangeArray(uia::ITextRangeProvider* range);

} // namespace chatlist
