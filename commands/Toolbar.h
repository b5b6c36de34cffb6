// The toolbar along the top of the main window and its image strip.
#pragma once

#include <windows.h>
#include <commctrl.h>

// Creates the toolbar as a child of parent (the main window, still inside its
// WM_CREATE), loads the image strip and adds the nine items. Sets
// AppState.hwndToolbar. The strip stays alive in AppState.toolbarBitmap for as
// long as the toolbar may need it, that is for the life of the process.
void BuildToolbar(HWND parent);

// Paints the grey background of the strip, the area of the colour at (1, 1)
// connected to that pixel, in the system's button face colour. Answers the
// same handle. Grey pixels cut off from that area keep their colour.
HBITMAP ReplaceBitmapBackground(HBITMAP strip);

// The main window's answer to a tooltip's request for a button's text
// (TTN_GETDISPINFOA or W, by command identifier); other notifications pass.
LRESULT ToolbarTipText(const NMHDR* header);
