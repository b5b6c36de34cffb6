// What the transcript offers its tests and the benchmark beyond its messages:
// pieces to measure on their own, and the places where a test stands in for
// the system.
#pragma once

#include <windows.h>

#include <cstddef>

// Draws the marker of chat lines that came while the view was scrolled up, in
// the DC's font, centred on the bottom edge of the client rectangle; answers
// the rectangle it covers.
RECT DrawNewLinesMarker(HDC dc, const RECT& client, unsigned count, COLORREF text, COLORREF back);
// The length of a NUL-terminated text, read a word at a time. Only for Windows:
// it reads the whole aligned word that holds the terminator, which never
// leaves the terminator's page.
size_t ChatTextLength(const char* text);

// Whether the system's high-contrast theme is on: the transcript asks this
// when made and on every WM_SYSCOLORCHANGE and WM_SETTINGCHANGE. Answers the
// probe it replaces; nullptr puts the system's own setting back. For tests.
using HighContrastProbe = bool (*)();
HighContrastProbe SetHighContrastProbe(HighContrastProbe probe);

// The transcript's UI Automation element (the one WM_GETOBJECT hands out),
// with a reference for the caller; null without one and for any window that is
// not a transcript of the calling thread. After the window is gone it answers
// UIA_E_ELEMENTNOTAVAILABLE.
struct IRawElementProviderSimple;
IRawElementProviderSimple* ChatListAutomationElement(HWND chat);
// Called with every automation event the transcript raises (the notification
// of new lines, 20035, carries what it says). Answers the hook it replaces. For tests.
using AutomationEventHook = void (*)(HWND chat, int eventId, const wchar_t* announcement);
AutomationEventHook SetAutomationEventHook(AutomationEventHook hook);
