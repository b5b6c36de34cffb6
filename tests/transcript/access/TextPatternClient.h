// The transcript's text pattern as a client in the test's own process reads
// it: the element, its text provider, ranges and the texts they answer.
#pragma once

#include "tests/support/WindowTest.h"

#include "app/AppState.h"
#include "transcript/ChatListTesting.h"
#include "transcript/access/ChatListUia.h"

#include <oleauto.h>

#include <string>

// Takes a BSTR's text and frees it.
inline std::wstring TakeText(BSTR b) {
    std::wstring out = b != nullptr ? std::wstring(b) : std::wstring();
    SysFreeString(b);
    return out;
}

inline std::wstring RangeText(uia::ITextRangeProvider* r) {
    BSTR b = nullptr;
    EXPECT_EQ(r->GetText(-1, &b), S_OK);
    return TakeText(b);
}

// The one range of a GetSelection or GetVisibleRanges array, or null.
inline uia::ITextRangeProvider* OnlyRange(SAFEARRAY* a) {
    EXPECT_NE(a, nullptr);
    if (a == nullptr) {
        return nullptr;
    }
    EXPECT_EQ(a->rgsabound[0].cElements, 1u);
    IUnknown* u = nullptr;
    LONG i = 0;
    SafeArrayGetElement(a, &i, &u);
    SafeArrayDestroy(a);
    void* r = nullptr;
    if (u != nullptr) {
        u->QueryInterface(uia::kIID_ITextRangeProvider, &r);
        u->Release();
    }
    return static_cast<uia::ITextRangeProvider*>(r);
}

// The main window as start-up makes it, with the transcript's text provider.
class TextPatternTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        element = ChatListAutomationElement(AppState.hwndChat);
        ASSERT_NE(element, nullptr);
        IUnknown* pattern = nullptr;
        ASSERT_EQ(element->GetPatternProvider(uia::kTextPattern, &pattern), S_OK);
        ASSERT_NE(pattern, nullptr);
        void* t = nullptr;
        ASSERT_EQ(pattern->QueryInterface(uia::kIID_ITextProvider, &t), S_OK);
        pattern->Release();
        text = static_cast<uia::ITextProvider*>(t);
    }
    void TearDown() override {
        if (text != nullptr) {
            text->Release();
        }
        if (element != nullptr) {
            element->Release();
        }
        MainWindowTest::TearDown();
    }
    uia::ITextRangeProvider* Document() {
        uia::ITextRangeProvider* r = nullptr;
        EXPECT_EQ(text->get_DocumentRange(&r), S_OK);
        return r;
    }
    uia::ITextRangeProvider* Selected() {
        SAFEARRAY* a = nullptr;
        EXPECT_EQ(text->GetSelection(&a), S_OK);
        return OnlyRange(a);
    }
    uia::ITextRangeProvider* Visible() {
        SAFEARRAY* a = nullptr;
        EXPECT_EQ(text->GetVisibleRanges(&a), S_OK);
        return OnlyRange(a);
    }

    IRawElementProviderSimple* element = nullptr;
    uia::ITextProvider* text = nullptr;
};
