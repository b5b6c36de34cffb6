// In-process window tests: the main window made as start-up makes it, in the
// test's own process, checked through messages.
#pragma once

#include "tests/support/Finders.h"

#include "base/ScopedApartment.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

// Zeroes the application state, registers the classes and creates and shows
// the main window exactly as start-up does (without the message loop).
void StartMainWindow();
// Destroys the main window if it still exists, drains the queue (the quit
// message included) and unregisters the classes, so the next test starts afresh.
void StopMainWindow();
// Dispatches this thread's pending messages through the program's accelerators
// for about the given time.
void PumpMessages(DWORD milliseconds = 0);
// Pumps messages until the condition holds or the time runs out; answers the condition.
bool PumpUntil(const std::function<bool()>& condition, DWORD milliseconds = 3000);
// The settings file the program uses when it runs inside this test executable.
std::string SettingsPathOfTestProcess();
RECT ChildRect(HWND child); // in the parent's client coordinates

// The whole program, start-up and message loop as it runs them, on a thread of
// its own beside the test's, with no settings file left before or after.
class ProgramOnThread {
public:
    ProgramOnThread();
    ~ProgramOnThread(); // closes the program if it still runs
    ProgramOnThread(const ProgramOnThread&) = delete;
    ProgramOnThread& operator=(const ProgramOnThread&) = delete;

    // The main window, once made (waits up to 5 s); nullptr if it never came.
    HWND Main() const { return main_; }
    DWORD Thread() const { return thread_; }
    // Asks the main window to close and waits for the program's end; answers its exit code.
    UINT Close();

private:
    std::atomic<DWORD> thread_{0};
    UINT exitCode_ = 99;
    HWND main_ = nullptr;
    std::thread ui_;
};

// The main window on the test's thread, inside a single-threaded apartment
// from before the window to after it, as start-up has it (UI Automation and
// MSAA call the transcript's objects through it). The input method, which
// would enter one of its own on the window's activation, is off: COM on this
// thread is what the program's own start-up provides, as on a system without one.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

private:
    ScopedApartment apartment_;
};
