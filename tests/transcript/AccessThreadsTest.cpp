// On which thread, in which apartment, the system calls the transcript's
// accessibility objects when another thread asks through the system's own
// client paths (UI Automation's nodes, MSAA's AccessibleObjectFromWindow):
// the program runs as start-up runs it, its UI thread beside the test's.
#include "tests/support/UiaClient.h"
#include "tests/support/WindowTest.h"

#include "app/Startup.h"
#include "app/Strings.h"
#include "transcript/ChatListTesting.h"
#include "transcript/access/ChatListUia.h"

#include <imm.h>
#include <objbase.h>
#include <oleacc.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
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

BOOL CALLBACK FindMain(HWND w, LPARAM found) {
    char name[32];
    if (GetClassNameA(w, name, sizeof name) > 0 && lstrcmpA(name, Str::ProgramName) == 0) {
        *reinterpret_cast<HWND*>(found) = w;
        return FALSE;
    }
    return TRUE;
}

// The transcript of the main window that a thread of this process made.
HWND TranscriptOf(DWORD thread) {
    HWND main = nullptr;
    EnumThreadWindows(thread, FindMain, reinterpret_cast<LPARAM>(&main));
    return main != nullptr ? FindWindowExA(main, nullptr, Str::ChatListClass, nullptr) : nullptr;
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
    DeleteFileA(SettingsPathOfTestProcess().c_str());
    // The input method initialises COM on a thread whose window becomes active
    // (Windows does, and Wine after it): without it, the apartment is the one
    // the program itself enters.
    ImmDisableIME(static_cast<DWORD>(-1));
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    const ProviderCallProbe before = SetProviderCallProbe(Record);
    std::atomic<DWORD> uiThread{0};
    UINT exitCode = 99;
    std::thread ui([&] {
        uiThread = GetCurrentThreadId();
        exitCode = RunProgram(); // start-up as the program runs it, loop included
    });
    HWND chat = nullptr;
    for (int i = 0; i < 500 && chat == nullptr; ++i) {
        Sleep(10);
        chat = uiThread != 0 ? TranscriptOf(uiThread) : nullptr;
    }
    ASSERT_NE(chat, nullptr);
    SendMessageA(chat, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("<Ada> hello\r\n"));

    const Answers a = AskFromHere(chat);
    PostMessageA(GetParent(chat), WM_CLOSE, 0, 0);
    ui.join();
    SetProviderCallProbe(before);
    CoUninitialize();
    DeleteFileA(SettingsPathOfTestProcess().c_str());

    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(a.uia.name, L"Output window");
    EXPECT_EQ(a.uia.controlType, uia::kDocumentControlType);
    EXPECT_TRUE(a.uia.focusable);
    EXPECT_EQ(a.msaaName, L"Output window");
    EXPECT_EQ(a.msaaValue, L"<Ada> hello\r\n");
    ASSERT_FALSE(calls.empty()) << "the system called the transcript's objects";
    for (const Call& c : calls) {
        EXPECT_EQ(c.thread, uiThread) << "a call on another thread";
        EXPECT_TRUE(c.apartment == APTTYPE_STA || c.apartment == APTTYPE_MAINSTA)
            << "a call outside a single-threaded apartment (" << c.apartment << ")";
    }
}

} // namespace
