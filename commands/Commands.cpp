#include "commands/Commands.h"

#include "app/MainWindow.h"
#include "commands/Dialogs.h"
#include "transcript/ChatLines.h"

namespace {

using CommandAction = LRESULT (*)();

// A command that answers nothing of its own: the action runs, the answer is 0.
template <auto Action> LRESULT Run() {
    Action();
    return 0;
}

// Connect, Disconnect and Send file are bound everywhere but act only once
// the program has network code.
LRESULT NotYetAvailable() {
    return 0;
}

constexpr int kFirstCommand = IDM_SEND;
constexpr CommandAction kCommandTable[] = {
    Run<SendLine>,          // IDM_SEND
    Run<ClearInput>,        // IDM_CLEARINPUT
    Run<ClearOutput>,       // IDM_CLEAROUTPUT
    NotYetAvailable,        // IDM_CONNECT
    NotYetAvailable,        // IDM_DISCONNECT
    ClosePath,              // IDM_EXIT: answers what DestroyWindow answered
    NotYetAvailable,        // IDM_SENDFILE
    Run<SaveLogFile>,       // IDM_SAVELOG
    Run<OpenOptionsDialog>, // IDM_OPTIONS
    Run<OpenAboutDialog>,   // IDM_ABOUT
};
constexpr int kCommandCount = sizeof kCommandTable / sizeof kCommandTable[0];
static_assert(kFirstCommand + kCommandCount - 1 == IDM_ABOUT, "one action per command");

} // namespace

LRESULT DispatchCommand(WPARAM wParam) {
    const int id = LOWORD(wParam);
    if (id < kFirstCommand || id >= kFirstCommand + kCommandCount) {
        return 0;
    }
    return kCommandTable[id - kFirstCommand]();
}
