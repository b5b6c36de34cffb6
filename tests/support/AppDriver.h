// End-to-end driver: starts a copy of the real bALDRIX.exe in a fresh folder,
// finds its windows, types and clicks into it with real input (SendInput,
// through its message loop and accelerators), reads its state with window
// messages and closes it.
#pragma once

#include "tests/support/Clipboard.h"
#include "tests/support/Finders.h"
#include "tests/support/Folders.h"
#include "tests/support/Input.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>

class RunningApp {
public:
    RunningApp();
    // Runs the bALDRIX.exe already in the given folder, and leaves the folder as it is.
    explicit RunningApp(const std::string& folder);
    ~RunningApp(); // ends the process if it still runs and removes a folder of its own
    RunningApp(const RunningApp&) = delete;
    RunningApp& operator=(const RunningApp&) = delete;

    const std::string& Folder() const { return folder_; }
    std::string File(const std::string& name) const { return folder_ + "\\" + name; }
    std::string ExePath() const { return File("bALDRIX.exe"); }
    std::string IniPath() const { return File("bALDRIX.ini"); }
    // Writes the settings file beside the program before it starts.
    void WriteIni(const std::string& bytes) const { WriteFileBytes(IniPath(), bytes); }
    std::string ReadIni() const { return ReadFileBytes(IniPath()); }

    // Starts the program and waits for its main window to show; answers success.
    bool Start();
    // Before Start: the program runs with these channels of Wine's own trace
    // (WINEDEBUG), which Wine writes where this process's standard error goes.
    void TraceWine(const std::string& channels) { traceChannels_ = channels; }
    // Brings the main window to the foreground so real input reaches it.
    bool Activate();

    HWND Main() const { return main_; }
    HWND Input() const;
    HWND Chat() const;
    HWND Toolbar() const;
    std::string ChatText() const { return WindowText(Chat()); }
    std::string InputText() const { return WindowText(Input()); }
    // Replaces the transcript's text (WM_SETTEXT, as its owner would) and settles.
    void SetChatText(const std::string& text);
    // The window that has the keyboard focus in the program.
    HWND Focus() const { return FocusIn(main_); }

    // Real keyboard input.
    void Type(const std::string& text);
    void Press(WORD vk, bool ctrl = false, bool shift = false, bool alt = false);
    // Each key pressed in turn, as when walking a menu.
    void PressEach(std::initializer_list<WORD> keys);
    // Types a line into the input field and sends it with Enter.
    void SendTyped(const std::string& line);
    // Ctrl+C into an emptied clipboard; answers what the clipboard then holds.
    std::string CopyWithCtrlC();

    // Real mouse input at points in screen coordinates: a left click (or a
    // double or triple one), a turn of the wheel by `delta` (WHEEL_DELTA a
    // notch, away from the user), with Ctrl held around it when asked, a drag
    // with the left button in even steps.
    void ClickAt(POINT screen, int clicks = 1);
    // A press released at once, for controls that repeat while the button is
    // held (a scroll bar's arrows and page areas): a release sent only after
    // the press was handled can arrive after the first repeat on a busy host.
    void TapAt(POINT screen);
    void WheelAt(POINT screen, int delta, bool ctrl = false);
    void Drag(POINT from, POINT to, int steps);

    // The screen point in the middle of a text cell of the transcript, in the
    // stock fixed font it draws in.
    POINT ChatCell(int column, int row) const;
    // For texts of NumberedChatLines: the number of the chat line in the
    // transcript's top row, its "L00042" word double-clicked and copied as a
    // user would; -1 when the row shows no such word. The click gives the
    // transcript the focus.
    int TopChatLine();
    // How many whole rows of the fixed font the transcript shows.
    int ChatRows() const;

    // F2, the path typed into the save dialog's file name box, Enter. Answers
    // the dialog, or nullptr when none showed.
    HWND SaveThroughDialog(const std::string& path);
    // Waits until the program has handled the input given so far.
    void Settle();

    // The program's dialog that has the foreground (class "#32770"), once one
    // shows within the time; nullptr otherwise. Pass the dialog to wait past.
    HWND WaitForDialog(HWND other = nullptr, DWORD timeoutMs = 5000);
    // A dialog of the program that shows, wherever it stands; nullptr when none does.
    HWND ShownDialog() const { return FindProcessWindow(pi_.dwProcessId, "#32770"); }
    // The program's menu pop-up (class "#32768"), once one shows within the time.
    HWND WaitForMenu(DWORD timeoutMs = 5000) const;

    // Posts WM_CLOSE; answers the exit code, or STILL_ACTIVE when it did not end in time.
    DWORD Close(DWORD timeoutMs = 10000);
    // Waits for the process to end; answers the exit code or STILL_ACTIVE.
    DWORD WaitForExit(DWORD timeoutMs);
    bool Running() const;
    DWORD ProcessId() const { return pi_.dwProcessId; }
    HANDLE Process() const { return pi_.hProcess; }

private:
    void Clicks(POINT screen, int clicks, bool settleWhilePressed);

    std::string folder_;
    std::string traceChannels_;
    bool ownsFolder_ = true;
    PROCESS_INFORMATION pi_{};
    HWND main_ = nullptr;
};

// A test of the program started afresh in a folder of its own: it starts
// before the test, and after it the program must close with exit code 0.
class StartedApp : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(app.Start()); }
    void TearDown() override {
        if (app.ProcessId() != 0) {
            EXPECT_EQ(app.Close(), 0u);
        }
    }

    RunningApp app;
};

// Pumps this thread's messages and polls until the condition holds or the time runs out.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 5000);
