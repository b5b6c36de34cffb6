// The transcript's zoom: the font it draws in and its measures, the level
// (100 % is the font the owner gave, untouched; above it a TrueType
// fixed-pitch font of the same character set), Ctrl+wheel, and the level shown
// for a moment in the pane's corner.
#pragma once

#include "transcript/ChatListContrast.h"
#include "transcript/ChatListState.h"

namespace chatlist {

// Makes the font of the zoom level from the given one and measures what the
// pane draws with: the line height and every byte's advance.
void MeasureFont(HWND hwnd, ChatState& s);
// WM_SETFONT takes the owner's font, the one 100 % draws in; WM_GETFONT
// answers the font the text is drawn in now.
LRESULT OnSetFont(HWND hwnd, ChatState& s, HFONT font);
LRESULT OnGetFont(const ChatState& s);
int ZoomLevel(const ChatState& s);
bool ZoomAtSmallest(const ChatState& s);
bool ZoomAtLargest(const ChatState& s);
// CLM_ZOOM: answers the level in effect, in percent.
LRESULT OnZoom(HWND hwnd, ChatState& s, WPARAM how);
// A wheel turn with Ctrl zooms, unless a plain turn came just before it:
// answers whether it zoomed (else it scrolls).
bool ZoomWheel(HWND hwnd, ChatState& s, WPARAM wParam);
// The level's label in the pane's top right corner, while it shows.
void DrawZoomLevel(HDC dc, ChatState& s, const Palette& c);

} // namespace chatlist
