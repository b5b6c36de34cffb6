// Process start-up: class registration, the main window and the message loop.
#pragma once

#include <windows.h>

// Registers the transcript class and the main window class; answers the main class's atom.
ATOM RegisterWindowClasses();
// Creates the (still hidden) main window from the registered class into AppState.hwndMain.
HWND CreateMainWindow(ATOM mainClass);
// Shows the main window, loads the accelerators and runs the loop; answers the quit code.
UINT RunMessageLoop();
