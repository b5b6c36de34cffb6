// On which thread, in which apartment, the system calls the transcript's
// accessibility objects when another thread asks through the system's own
// client paths (UI Automation's nodes, MSAA's AccessibleObjectFromWindow):
// the program runs as start-up runs it, its UI thread beside the test's.
#include "tests/support/UiaClient.h"
#include "tests/support/WindowTest.h"

#include "transcript/ChatListClass.h"
#include "transcript/ChatListTesting.h"
#include "transcript/access/ChatListUia.h"

#include <imm.h>
#include <objbase.h>
#include <oleacc.h>

#include <mutex>
#include <string>
#include <vector>

namespace {

struct Call {
    DWORD thread;
    APTTYPE apartment;
};
std::mutex callsLock;
std::vector<Call> calls;

void Record(DWORD thread) {
    APTTYPE type = APTTYPE_CURRENT;
    APTTYPEQUALIFIER qualifier;
    if (FAILED(CoGetApartmentType(&type, &qualifier))) {
        type = APTTYPE_CURRENT; // no apartment at all
    }
    const std::lock_guard<std::mutex> hold(callsLock);
    calls.push_back(Call{thread, type});
}

struct Answers {
    UiaProperties uia;
    std::wstring msaaName;
    std::wstring msaaValue;
};

// Asked from this thread, a thread of the multi-threaded apartment as a screen
// reader's worker threads are.
Answers AskFromHere(HWND chat) {
    Answers a;
    a.uia = UiaPropertiesOf(chat);
    IAccessible* acc = nullptr;
    if (SUCCEEDED(AccessibleObjectFromWindow(chat, static_cast<DWORD>(OBJID_CLIENT),
                                             __uuidof(IAccessible),
                                             reinterpret_cast<void**>(&acc))) &&
        acc != nullptr) {
        VARIANT self;
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR b = nullptr;
        if (SUCCEEDED(acc->get_accName(self, &b)) && b != nullptr) {
            a.msaaName = b;
        }
        SysFreeString(b);
        b = nullptr;
        if (SUCCEEDED(acc->get_accValue(self, &b)) && b != nullptr) {
            a.msaaValue = b;
        }
        SysFreeString(b);
        acc->Release();
    }
    return a;
}

TEST(AccessThreads, TheSystemCallsTheTranscriptOnItsOwnThreadInItsApartment) {
    // The input method initialises COM on a thread whose window becomes active
    // (Windows does, and Wine after it): without it, the apartment is the one
    // the program itself enters.
    ImmDisableIME(static_cast<DWORD>(-1));
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    const ProviderCallProbe before = SetProviderCallProbe(Record);
    ProgramOnThread program;
    const HWND chat = program.Main() != nullptr
                          ? FindWindowExA(program.Main(), nullptr, kChatListClassName, nullptr)
                          : nullptr;
    ASSERT_NE(chat, nullptr);
    SendMessageA(chat, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("<Ada> hello\r\n"));

    const Answers a = AskFromHere(chat);
    const UINT exitCode = program.Close();
    SetProviderCallProbe(before);
    CoUninitialize();

    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(a.uia.name, L"Output window");
    EXPECT_EQ(a.uia.controlType, uia::kDocumentControlType);
    EXPECT_TRUE(a.uia.focusable);
    EXPECT_EQ(a.msaaName, L"Output window");
    EXPECT_EQ(a.msaaValue, L"<Ada> hello\r\n");
    ASSERT_FALSE(calls.empty()) << "the system called the transcript's objects";
    for (const Call& c : calls) {
        EXPECT_EQ(c.thread, program.Thread()) << "a call on another thread";
        EXPECT_TRUE(c.apartment == APTTYPE_STA || c.apartment == APTTYPE_MAINSTA)
            << "a call outside a single-threaded apartment (" << c.apartment << ")";
    }
}

} // namespace
