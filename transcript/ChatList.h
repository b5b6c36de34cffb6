// The transcript control, window class "CHATLIST": the chat text, wrapped at the
// pane's width, scrolled, selected and copied. Text in, text out by the window
// text messages; everything it draws comes from the layout in ChatLayout.h.
#pragma once

#include "transcript/ChatListClass.h"
#include "transcript/FindModel.h"

#include <windows.h>

#include <cstddef>

// A class style bit the main window gives the transcript; it asks for nothing
// beyond the plain control, and is kept so the window's styles stay as made.
constexpr DWORD CLS_PLAIN = 0x0080;

// The selection: *wParam and *lParam (DWORD*, either may be null) get its two
// ends in text order; answers its length. Only a send from the window's own
// thread has the ends written: sent from elsewhere or posted, it answers the
// length alone.
constexpr UINT CLM_GETSEL = WM_USER;
// Selects from the anchor (wParam) to the caret (lParam), byte offsets clamped
// to the text; equal offsets select nothing.
constexpr UINT CLM_SETSEL = WM_USER + 1;
// Sets the text colour (wParam) and the background colour (lParam).
constexpr UINT CLM_SETCOLORS = WM_USER + 2;
// Sets the selection's text colour (wParam) and background colour (lParam).
constexpr UINT CLM_SETSELCOLORS = WM_USER + 3;
// Shows the selection: scrolls it into view a few lines from the edge, and
// holds the view there, so that new lines only count on the new-lines marker
// until Ctrl+End, a send, a click on the marker or a scroll to the end.
// Arguments ignored; answers 0.
constexpr UINT CLM_SHOWSEL = WM_USER + 4;
// A line was sent: the view goes to the end, from a found match or from
// wherever it was scrolled, and the new-lines marker goes; the selection and
// the focus stay. Arguments ignored; answers 0.
constexpr UINT CLM_ENDHOLD = WM_USER + 5;
// Names the window that takes the keys that type or edit, and the focus with
// them, as Tab and Shift+Tab do: wParam is that window (null: such keys are
// dropped). Keys that type nothing stay with the pane. Only a window of the
// pane's own thread takes them. Answers 0.
constexpr UINT CLM_SETKEYTARGET = WM_USER + 6;

// A search of the pane's text, in place: the query and where it starts are read,
// the match is written.
struct ChatListSearch {
    FindQuery query;
    size_t start; // a byte offset, clamped to the text
    FindMatch match;
};
// Searches the text (see FindModel.h): lParam is a ChatListSearch*, wParam is
// ignored. Only a send from the window's own thread is honoured: sent from
// elsewhere or posted, it answers FALSE and reads and writes nothing; else TRUE.
constexpr UINT CLM_FIND = WM_USER + 7;
// Copies the first line of the selection: lParam is a char* of wParam bytes,
// which get at most wParam - 1 bytes and a NUL; answers the count copied. Only
// a send from the window's own thread has the bytes written: from elsewhere or
// posted, it answers 0.
constexpr UINT CLM_GETSELLINE = WM_USER + 8;
// Zooms the text: wParam CLZ_IN or CLZ_OUT one step, CLZ_NORMAL back to 100 %;
// any other value changes nothing. The pane keeps its top line (the caret's
// line while it has the focus), its selection and its caret; the new level
// shows for a moment in the pane's corner and is told to screen readers.
// lParam ignored. Answers the level in effect, in percent.
constexpr UINT CLM_ZOOM = WM_USER + 9;
constexpr WPARAM CLZ_IN = 1;
constexpr WPARAM CLZ_OUT = 2;
constexpr WPARAM CLZ_NORMAL = 3;
// What new lines are read out unasked: wParam CLREAD_ALL (every new line),
// CLREAD_ALLBUTMINE (not the lines CLM_OWNLINE marks) or CLREAD_NONE; CLREAD_NEXT for
// the next of the three in that order; any other value changes nothing. A
// change is told to screen readers. lParam ignored. Answers the mode in effect.
constexpr UINT CLM_SETREADING = WM_USER + 10;
constexpr WPARAM CLREAD_ALL = 0;
constexpr WPARAM CLREAD_ALLBUTMINE = 1;
constexpr WPARAM CLREAD_NONE = 2;
constexpr WPARAM CLREAD_NEXT = 3;
// The next text that extends the present one (WM_SETTEXT) is the user's own
// line. Arguments ignored; answers 0.
constexpr UINT CLM_OWNLINE = WM_USER + 11;
// Reads out a recent chat line to a listening screen reader, without moving
// the focus, the selection or the view: wParam 1 is the most recent line, 2
// the one before, up to 10; lParam ignored. A new one replaces one still being
// read. Answers TRUE when there was such a line and a client to tell.
constexpr UINT CLM_READLINE = WM_USER + 16; // apart from the others, which may grow

ATOM RegisterChatListClass(HINSTANCE instance);
LRESULT CALLBACK ChatListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
