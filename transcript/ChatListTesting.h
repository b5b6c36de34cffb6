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
// The table of system functions the transcript's accessibility calls
// (uia::Api, transcript/access/ChatListUia.h), loaded on first use. A test
// stands in for an entry to see what the program hands the system at the
// point where it calls it, and puts the system's entry back after.
namespace uia {
struct Api;
}
uia::Api& AccessibilityFunctions();
// Called with the calling thread on every entry into the transcript's
// accessibility objects (the UI Automation element, its ranges, the MSAA
// object) that reads the window. Answers the probe it replaces. For tests.
using ProviderCallProbe = void (*)(DWORD thread);
ProviderCallProbe SetProviderCallProbe(ProviderCallProbe probe);
