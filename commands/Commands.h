// The command dispatch: every menu item, accelerator key and toolbar button
// reaches the main window as WM_COMMAND with one of the identifiers IDM_*.
#pragma once

#include <windows.h>

#include "resources/resource.h"

// Runs the action of the command in the low word of wParam; the high word and
// lParam are not looked at, so every source of a command acts alike. Answers
// what the main window answers for the WM_COMMAND.
LRESULT DispatchCommand(WPARAM wParam);
