#include "commands/Commands.h"

#include "app/MainWindow.h"
#include "commands/Dialogs.h"
#include "transcript/ChatLines.h"

namespace {

using CommandAction = LRESULT (*)();

LRESULT Send() {
    SendLine();
    return 0;
}
LRESULT ClearInputCommand() {
    ClearInput();
    return 0;
}
LRESULT ClearOutputCommand() {
    ClearOutput();
    return 0;
}
// Connect, Disconnect and Send file are bound everywhere but act only once
// the program has network code.
LRESULT NotYetAvailable() {
    return 0;
}
LRESULT SaveLog() {
    SaveLogFile();
    return 0;
}
LRESULT Options() {
    OpenOptionsDialog();
    return 0;
}
LRESULT About() {
    OpenAboutDialog();
    return 0;
}

constexpr int kFirstCommand = IDM_SEND;
constexpr CommandAction kCommandTable[] = {
    Send,               // IDM_SEND
    ClearInputCommand,  // IDM_CLEARINPUT
    ClearOutputCommand, // IDM_CLEAROUTPUT
    NotYetAvailable,    // IDM_CONNECT
    NotYetAvailable,    // IDM_DISCONNECT
    ClosePath,          // IDM_EXIT
    NotYetAvailable,    // IDM_SENDFILE
    SaveLog,            // IDM_SAVELOG
    Options,            // IDM_OPTIONS
    About,              // IDM_ABOUT
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
