// In-process window tests: the main window made as start-up makes it, in the
// test's own process, checked through messages.
#pragma once

#include "tests/support/Finders.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

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

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};
