// On which thread, in which apartment, the system calls the transcript's
// accessibility objects when another thread asks through the system's own
// client paths (UI Automation's nodes, MSAA's AccessibleObjectFromWindow):
// the program runs as start-up runs it, its UI thread beside the test's.
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

// UI Automation's client functions, which the SDK at hand neither links nor
// declares in a form C++ takes.
using HUIANODE = void*;
struct Client {
    HRESULT(WINAPI* NodeFromHandle)(HWND, HUIANODE*);
    HRESULT(WINAPI* GetPropertyValue)(HUIANODE, PROPERTYID, VARIANT*);
    BOOL(WINAPI* NodeRelease)(HUIANODE);
};

template <typename Fn> void Take(HMODULE module, const char* name, Fn& fn) {
    fn = reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

Client LoadClient() {
    Client c{};
    const HMODULE core =
        LoadLibraryExA("uiautomationcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (core != nullptr) {
        Take(core, "UiaNodeFromHandle", c.NodeFromHandle);
        Take(core, "UiaGetPropertyValue", c.GetPropertyValue);
        Take(core, "UiaNodeRelease", c.NodeRelease);
    }
    return c;
}

// The transcript of the main window that a thread of this process made.
HWND TranscriptOf(DWORD thread) {
    HWND main = nullptr;
    EnumThreadWindows(
        thread,
        [](HWND w, LPARAM found) {
            char name[32];
            if (GetClassNameA(w, name, sizeof name) > 0 && lstrcmpA(name, Str::ProgramName) == 0) {
                *reinterpret_cast<HWND*>(found) = w;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&main));
    return main != nullptr ? FindWindowExA(main, nullptr, Str::ChatListClass, nullptr) : nullptr;
}

struct Answers {
    std::wstring uiaName;
    int controlType = 0;
    bool focusable = false;
    std::wstring msaaName;
    std::wstring msaaValue;
};

// Asked from this thread, a thread of the multi-threaded apartment as a screen
// reader's worker threads are.
Answers AskFromHere(HWND chat) {
    Answers a;
    const Client c = LoadClient();
    if (c.NodeFromHandle != nullptr && c.GetPropertyValue != nullptr) {
        HUIANODE node = nullptr;
        if (SUCCEEDED(c.NodeFromHandle(chat, &node)) && node != nullptr) {
            VARIANT v;
            VariantInit(&v);
            if (SUCCEEDED(c.GetPropertyValue(node, uia::kNameProperty, &v)) && v.vt == VT_BSTR) {
                a.uiaName = v.bstrVal;
            }
            VariantClear(&v);
            if (SUCCEEDED(c.GetPropertyValue(node, uia::kControlTypeProperty, &v)) &&
                v.vt == VT_I4) {
                a.controlType = v.lVal;
            }
            VariantClear(&v);
            if (SUCCEEDED(c.GetPropertyValue(node, uia::kIsKeyboardFocusableProperty, &v)) &&
                v.vt == VT_BOOL) {
                a.focusable = v.boolVal == VARIANT_TRUE;
            }
            VariantClear(&v);
            c.NodeRelease(node);
        }
    }
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
    EXPECT_EQ(a.uiaName, L"Output window");
    EXPECT_EQ(a.controlType, uia::kDocumentControlType);
    EXPECT_TRUE(a.focusable);
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
