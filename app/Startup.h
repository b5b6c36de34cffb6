// Process start-up: class registration, the main window and the message loop.
#pragma once

#include <windows.h>

// Registers the transcript class and the main window class; answers the main
// class's atom, or 0 when either could not be registered.
ATOM RegisterWindowClasses();
// Creates the (still hidden) main window from the registered class into AppState.hwndMain.
HWND CreateMainWindow(ATOM mainClass);
// What the loop does with a message before it is dispatched: the Find dialog's
// keys, Alt+digit, the find keys, the transcript's own keys and the
// accelerators, all aimed at `main`. Answers whether the message was used up.
bool TranslateProgramMessage(HWND main, HACCEL accel, MSG* msg);
// Alt+1 ... Alt+9 and Alt+0 for any window of `main`: the transcript reads out
// the first to tenth most recent chat line (CLM_READLINE); the key goes to the
// default handling alone, untranslated. Answers whether it was one of them.
bool TranslateReadLineKey(HWND main, MSG* msg);
// Ctrl+Plus, Ctrl+Minus, Ctrl+0 (zoom) and Ctrl+Shift+R (what is read aloud),
// sent on to the transcript.
bool TranslateTranscriptKey(HWND main, const MSG* msg);
// Shows the main window, loads the accelerators and runs the loop; answers the quit code.
UINT RunMessageLoop();
// The whole run: answers the process's exit code, kStartupFailed when no main
// window could be made (rather than waiting for messages that never come).
UINT RunProgram();
inline constexpr UINT kStartupFailed = 1;
