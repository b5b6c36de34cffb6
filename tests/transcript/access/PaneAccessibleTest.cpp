// The transcript through the older accessibility interface (MSAA) where it
// keeps to its contract: a bounded value, a parent, a hit test of its own
// area, nothing after the window goes; and the UI Automation element refusing
// a call that bypasses COM from another thread.
#include "tests/support/TestText.h"
#include "tests/support/Transcript.h"
#include "tests/support/WindowTest.h"

#include "app/AppState.h"
#include "transcript/ChatList.h"
#include "transcript/ChatListTesting.h"
#include "transcript/access/ChatListUia.h"

#include <oleacc.h>
#include <oleauto.h>

#include <string>
#include <thread>

namespace {

VARIANT Self() {
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    return self;
}

std::wstring Take(BSTR b) {
    std::wstring out = b != nullptr ? std::wstring(b, SysStringLen(b)) : std::wstring();
    SysFreeString(b);
    return out;
}

class PaneAccessible : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_EQ(AccessibleObjectFromWindow(Chat(), static_cast<DWORD>(OBJID_CLIENT),
                                             __uuidof(IAccessible), reinterpret_cast<void**>(&acc)),
                  S_OK);
        ASSERT_NE(acc, nullptr);
    }
    void TearDown() override {
        if (acc != nullptr) {
            acc->Release();
        }
        MainWindowTest::TearDown();
    }
    IAccessible* acc = nullptr;
};

TEST_F(PaneAccessible, TheValueIsTheTranscriptsEndFromALineStart) {
    const std::string text = NumberedChatLines(1, 4000); // about 200 KB
    SetText(text);
    BSTR b = nullptr;
    ASSERT_EQ(acc->get_accValue(Self(), &b), S_OK);
    const std::wstring value = Take(b);
    EXPECT_LE(value.size(), 64u * 1024u);
    EXPECT_GT(value.size(), 60u * 1024u);
    const std::wstring whole(text.begin(), text.end());
    ASSERT_LT(value.size(), whole.size());
    EXPECT_EQ(whole.substr(whole.size() - value.size()), value) << "the end, unchanged";
    // From a line's start, and a short text whole: TextUnitsTest.
}

TEST_F(PaneAccessible, HasTheWindowAsParentAndIsHitOnlyInsideThePane) {
    IDispatch* parent = nullptr;
    ASSERT_EQ(acc->get_accParent(&parent), S_OK);
    ASSERT_NE(parent, nullptr);
    IAccessible* window = nullptr;
    ASSERT_EQ(parent->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&window)),
              S_OK);
    HWND of = nullptr;
    EXPECT_EQ(WindowFromAccessibleObject(window, &of), S_OK);
    EXPECT_EQ(of, Chat()) << "the pane's own window object";
    window->Release();
    parent->Release();

    RECT pane;
    GetClientRect(Chat(), &pane);
    MapWindowPoints(Chat(), nullptr, reinterpret_cast<POINT*>(&pane), 2);
    VARIANT hit;
    ASSERT_EQ(acc->accHitTest(pane.left + 5, pane.top + 5, &hit), S_OK);
    EXPECT_EQ(hit.vt, VT_I4);
    EXPECT_EQ(hit.lVal, CHILDID_SELF);
    LONG left = 0, top = 0, width = 0, height = 0;
    ASSERT_EQ(acc->accLocation(&left, &top, &width, &height, Self()), S_OK);
    EXPECT_EQ(left, pane.left);
    EXPECT_EQ(top, pane.top);
    EXPECT_EQ(width, pane.right - pane.left);
    EXPECT_EQ(height, pane.bottom - pane.top);
    const POINT outside[] = {{pane.left - 3, pane.top + 5},
                             {pane.left + 5, pane.bottom + 3},
                             {pane.right + 30, pane.top + 5},
                             {-30000, -30000}};
    for (const POINT& p : outside) {
        hit.vt = VT_I4;
        EXPECT_EQ(acc->accHitTest(p.x, p.y, &hit), S_FALSE) << p.x << "," << p.y;
        EXPECT_EQ(hit.vt, VT_EMPTY);
    }
}

TEST_F(PaneAccessible, AnswersNothingOnceTheWindowIsGone) {
    SetText("<Ada> hi\r\n");
    DestroyWindow(AppState.hwndMain);
    BSTR b = nullptr;
    EXPECT_TRUE(FAILED(acc->get_accValue(Self(), &b)));
    EXPECT_EQ(b, nullptr);
    EXPECT_TRUE(FAILED(acc->get_accName(Self(), &b)));
    IDispatch* parent = nullptr;
    EXPECT_TRUE(FAILED(acc->get_accParent(&parent)));
    EXPECT_EQ(parent, nullptr);
    VARIANT hit;
    EXPECT_TRUE(FAILED(acc->accHitTest(0, 0, &hit)));
}

TEST_F(PaneAccessible, TheAutomationElementIsOnlyTheTranscriptsOfItsThread) {
    EXPECT_EQ(ChatListAutomationElement(AppState.hwndMain), nullptr) << "not a transcript";
    EXPECT_EQ(ChatListAutomationElement(AppState.hwndInput), nullptr);
    IRawElementProviderSimple* element = ChatListAutomationElement(Chat());
    ASSERT_NE(element, nullptr);
    VARIANT v;
    ASSERT_EQ(element->GetPropertyValue(uia::kNameProperty, &v), S_OK);
    VariantClear(&v);

    // Called straight from another thread, past COM, it reads nothing of the
    // window the UI thread may be changing.
    HRESULT there = S_OK;
    IRawElementProviderSimple* fromThere = reinterpret_cast<IRawElementProviderSimple*>(1);
    std::thread other([&] {
        VARIANT w;
        there = element->GetPropertyValue(uia::kNameProperty, &w);
        fromThere = ChatListAutomationElement(Chat());
    });
    other.join();
    EXPECT_EQ(there, uia::kElementNotAvailable);
    EXPECT_EQ(fromThere, nullptr) << "not a transcript of that thread";
    element->Release();
}

} // namespace
