// The transcript for people who do not read it off the screen in its own
// colours: high-contrast drawing, and the text, lines, selection and events a
// screen reader gets through UI Automation, read in-process.
#include "tests/support/Pixels.h"
#include "tests/support/Transcript.h"
#include "tests/support/WindowTest.h"
#include "tests/transcript/access/SystemStandIn.h"
#include "tests/transcript/access/TextPatternClient.h"

#include "app/AppState.h"
#include "tests/support/ImportRedirect.h"
#include "transcript/ChatLines.h"
#include "transcript/ChatList.h"
#include "transcript/ChatListTesting.h"
#include "transcript/access/ChatListUia.h"

#include <oleacc.h>
#include <oleauto.h>

#include <string>
#include <vector>

namespace {

using Accessibility = MainWindowTest;

// The pane as WM_PRINTCLIENT draws it.
Image Printed() {
    return PaintedClient(Chat());
}

bool highContrast = false;
bool Probe() {
    return highContrast;
}

TEST_F(Accessibility, HighContrastDrawsInSystemColoursAndKeepsTheGivenOnes) {
    const COLORREF ink = RGB(200, 0, 0), paper = RGB(0, 0, 120);
    const COLORREF selInk = RGB(0, 200, 0), selPaper = RGB(250, 250, 0);
    SendMessageA(Chat(), CLM_SETCOLORS, ink, paper);
    SendMessageA(Chat(), CLM_SETSELCOLORS, selInk, selPaper);
    SetText("<Ada> a line of text to draw\r\n");
    SendMessageA(Chat(), CLM_SETSEL, 0, 5);
    ASSERT_GT(Printed().Count(paper), 100u);

    const HighContrastProbe before = SetHighContrastProbe(Probe);
    highContrast = true;
    // The theme changes: the system tells the main window, which tells the pane.
    SendMessageA(AppState.hwndMain, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    Image px = Printed();
    EXPECT_EQ(px.Count(ink) + px.Count(paper) + px.Count(selInk) + px.Count(selPaper), 0u)
        << "none of the given colours show";
    EXPECT_GT(px.Count(GetSysColor(COLOR_WINDOW)), 100u);
    EXPECT_GT(px.Count(GetSysColor(COLOR_HIGHLIGHT)), 5u) << "the selection in system colours";

    // Colours given while the theme is on wait for it to go off.
    SendMessageA(Chat(), CLM_SETCOLORS, RGB(1, 2, 3), RGB(4, 5, 6));
    EXPECT_EQ(Printed().Count(RGB(4, 5, 6)), 0u);
    highContrast = false;
    SendMessageA(AppState.hwndMain, WM_SYSCOLORCHANGE, 0, 0);
    px = Printed();
    EXPECT_GT(px.Count(RGB(4, 5, 6)), 100u);
    EXPECT_GT(px.Count(selPaper), 5u);
    SetHighContrastProbe(before);
}

// The system's switch as the program meets it: the system's answer to
// SPI_GETHIGHCONTRAST, faked where the program asks for it, changes while the
// program is told of a change in either of the two ways the system tells it.
// Only Windows itself shows that these messages come when a user switches.
using SystemParametersInfoFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT);
SystemParametersInfoFn realSystemParameters;
bool systemHighContrast = false;

BOOL WINAPI FakedSystemParameters(UINT action, UINT param, PVOID value, UINT winIni) {
    if (action != SPI_GETHIGHCONTRAST) {
        return realSystemParameters(action, param, value, winIni);
    }
    auto* hc = static_cast<HIGHCONTRASTA*>(value);
    hc->dwFlags = HCF_AVAILABLE | (systemHighContrast ? HCF_HIGHCONTRASTON : 0);
    hc->lpszDefaultScheme = nullptr;
    return TRUE;
}

TEST_F(Accessibility, FollowsTheSystemsHighContrastSwitch) {
    const COLORREF paper = RGB(0, 0, 120);
    SendMessageA(Chat(), CLM_SETCOLORS, RGB(200, 0, 0), paper);
    SetText("<Ada> a line of text to draw\r\n");
    ASSERT_GT(Printed().Count(paper), 100u);
    realSystemParameters = reinterpret_cast<SystemParametersInfoFn>(RedirectImport(
        "user32.dll", "SystemParametersInfoA", reinterpret_cast<void*>(FakedSystemParameters)));
    ASSERT_NE(realSystemParameters, nullptr) << "the program imports SystemParametersInfoA";

    systemHighContrast = true;
    SendMessageA(AppState.hwndMain, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    const size_t onBySetting = Printed().Count(paper);
    systemHighContrast = false;
    SendMessageA(AppState.hwndMain, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    const size_t offBySetting = Printed().Count(paper);
    systemHighContrast = true;
    SendMessageA(AppState.hwndMain, WM_SYSCOLORCHANGE, 0, 0);
    const size_t onByColours = Printed().Count(paper);
    const size_t systemPaper = Printed().Count(GetSysColor(COLOR_WINDOW));
    systemHighContrast = false;
    SendMessageA(AppState.hwndMain, WM_SYSCOLORCHANGE, 0, 0);
    const size_t offByColours = Printed().Count(paper);
    RedirectImport("user32.dll", "SystemParametersInfoA",
                   reinterpret_cast<void*>(realSystemParameters));

    EXPECT_EQ(onBySetting, 0u) << "WM_SETTINGCHANGE: the theme on";
    EXPECT_GT(offBySetting, 100u) << "WM_SETTINGCHANGE: the theme off";
    EXPECT_EQ(onByColours, 0u) << "WM_SYSCOLORCHANGE: the theme on";
    EXPECT_GT(systemPaper, 100u) << "in the system's window colour";
    EXPECT_GT(offByColours, 100u) << "WM_SYSCOLORCHANGE: the theme off";
}

// ---- UI Automation --------------------------------------------------------

std::wstring Wide(const std::string& s) {
    return std::wstring(s.begin(), s.end());
}

// The text pattern in this process, as the system's client reads it.
using Automation = TextPatternTest;

TEST_F(Automation, IsAReadOnlyDocumentNamedOutputWindowHoldingTheTranscript) {
    VARIANT v;
    ASSERT_EQ(element->GetPropertyValue(uia::kNameProperty, &v), S_OK);
    ASSERT_EQ(v.vt, VT_BSTR);
    EXPECT_EQ(TakeText(v.bstrVal), L"Output window");
    ASSERT_EQ(element->GetPropertyValue(uia::kControlTypeProperty, &v), S_OK);
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, uia::kDocumentControlType);

    const std::string chat = "<Ada> hello\r\n<Bob> caf\xE9 ok\r\n";
    SetText(chat);
    uia::ITextRangeProvider* doc = Document();
    ASSERT_NE(doc, nullptr);
    std::wstring expected = Wide("<Ada> hello\r\n<Bob> caf");
    WCHAR e = 0;
    MultiByteToWideChar(CP_ACP, 0, "\xE9", 1, &e, 1);
    expected += e;
    expected += L" ok\r\n";
    EXPECT_EQ(RangeText(doc), expected);
    BSTR part = nullptr;
    ASSERT_EQ(doc->GetText(3, &part), S_OK);
    EXPECT_EQ(TakeText(part), L"<Ad");
    ASSERT_EQ(doc->GetAttributeValue(uia::kIsReadOnlyAttribute, &v), S_OK);
    EXPECT_EQ(v.vt, VT_BOOL);
    EXPECT_EQ(v.boolVal, VARIANT_TRUE);
    // Any other attribute: the reserved value that clients compare against.
    const auto notSupported =
        reinterpret_cast<HRESULT(WINAPI*)(IUnknown**)>(reinterpret_cast<void (*)()>(GetProcAddress(
            LoadLibraryA("uiautomationcore.dll"), "UiaGetReservedNotSupportedValue")));
    IUnknown* reserved = nullptr;
    ASSERT_TRUE(notSupported != nullptr && SUCCEEDED(notSupported(&reserved)));
    ASSERT_EQ(doc->GetAttributeValue(40005 /* FontName */, &v), S_OK);
    EXPECT_EQ(v.vt, VT_UNKNOWN);
    EXPECT_EQ(v.punkVal, reserved);
    VariantClear(&v);
    uia::SupportedTextSelection kind = uia::SupportedTextSelection_None;
    text->get_SupportedTextSelection(&kind);
    EXPECT_EQ(kind, uia::SupportedTextSelection_Single);
    doc->Release();
}

TEST_F(Automation, LinesAreWalkedAsThePaneShowsThem) {
    SetText("<Ada> one\r\n<Bob> two\r\n<Cy> three\r\n");
    uia::ITextRangeProvider* r = Document();
    ASSERT_NE(r, nullptr);
    ASSERT_EQ(r->MoveEndpointByRange(uia::TextPatternRangeEndpoint_End, r,
                                     uia::TextPatternRangeEndpoint_Start),
              S_OK);
    EXPECT_EQ(RangeText(r), L"");
    ASSERT_EQ(r->ExpandToEnclosingUnit(uia::TextUnit_Line), S_OK);
    EXPECT_EQ(RangeText(r), L"<Ada> one\r\n");
    int moved = 0;
    ASSERT_EQ(r->Move(uia::TextUnit_Line, 2, &moved), S_OK);
    EXPECT_EQ(moved, 2);
    EXPECT_EQ(RangeText(r), L"<Cy> three\r\n");
    ASSERT_EQ(r->Move(uia::TextUnit_Word, -1, &moved), S_OK);
    EXPECT_EQ(RangeText(r), L"\r\n") << "the line end before it, as one unit";
    ASSERT_EQ(
        r->MoveEndpointByUnit(uia::TextPatternRangeEndpoint_Start, uia::TextUnit_Word, -1, &moved),
        S_OK);
    EXPECT_EQ(RangeText(r), L"two\r\n");

    // Clones and comparisons.
    uia::ITextRangeProvider* copy = nullptr;
    ASSERT_EQ(r->Clone(&copy), S_OK);
    BOOL same = FALSE;
    r->Compare(copy, &same);
    EXPECT_TRUE(same);
    copy->MoveEndpointByUnit(uia::TextPatternRangeEndpoint_End, uia::TextUnit_Character, -2,
                             &moved);
    r->Compare(copy, &same);
    EXPECT_FALSE(same);
    int order = 0;
    r->CompareEndpoints(uia::TextPatternRangeEndpoint_End, copy, uia::TextPatternRangeEndpoint_End,
                        &order);
    EXPECT_GT(order, 0);

    // Its place on the screen: the second row of the pane.
    SAFEARRAY* rects = nullptr;
    ASSERT_EQ(copy->GetBoundingRectangles(&rects), S_OK);
    ASSERT_NE(rects, nullptr);
    ASSERT_EQ(rects->rgsabound[0].cElements, 4u);
    double* box = nullptr;
    SafeArrayAccessData(rects, reinterpret_cast<void**>(&box));
    POINT origin{0, 0};
    ClientToScreen(Chat(), &origin);
    const LONG row = static_cast<LONG>(box[3]);
    EXPECT_EQ(static_cast<LONG>(box[1]), origin.y + row) << "top of the second row";
    EXPECT_GT(box[2], 0.0);
    // And back: the point in its middle lies in the same word.
    uia::ITextRangeProvider* at = nullptr;
    ASSERT_EQ(text->RangeFromPoint(uia::UiaPoint{box[0] + box[2] / 2, box[1] + box[3] / 2}, &at),
              S_OK);
    SafeArrayUnaccessData(rects);
    SafeArrayDestroy(rects);
    at->ExpandToEnclosingUnit(uia::TextUnit_Word);
    EXPECT_EQ(RangeText(at), L"two");
    at->Release();
    copy->Release();
    r->Release();
}

TEST_F(Automation, TheSelectionGoesBothWays) {
    SetText("<Ada> hello world\r\n");
    SendMessageA(Chat(), CLM_SETSEL, 6, 11);
    uia::ITextRangeProvider* sel = Selected();
    ASSERT_NE(sel, nullptr);
    EXPECT_EQ(RangeText(sel), L"hello");
    sel->Release();

    // By the mouse: a double click selects a word.
    uia::ITextRangeProvider* doc = Document();
    int moved = 0;
    doc->MoveEndpointByUnit(uia::TextPatternRangeEndpoint_Start, uia::TextUnit_Word, 4, &moved);
    doc->ExpandToEnclosingUnit(uia::TextUnit_Word);
    ASSERT_EQ(RangeText(doc), L"world");
    SAFEARRAY* rects = nullptr;
    doc->GetBoundingRectangles(&rects);
    double* box = nullptr;
    SafeArrayAccessData(rects, reinterpret_cast<void**>(&box));
    POINT p{static_cast<LONG>(box[0] + box[2] / 2), static_cast<LONG>(box[1] + box[3] / 2)};
    SafeArrayUnaccessData(rects);
    SafeArrayDestroy(rects);
    ScreenToClient(Chat(), &p);
    SendMessageA(Chat(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    SendMessageA(Chat(), WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    SendMessageA(Chat(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    SendMessageA(Chat(), WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    sel = Selected();
    EXPECT_EQ(RangeText(sel), L"world");
    sel->Release();

    // Through the interface: the range becomes the transcript's selection.
    doc->Move(uia::TextUnit_Word, -1, &moved);
    ASSERT_EQ(RangeText(doc), L"hello ") << "a word with the blank after it";
    ASSERT_EQ(doc->Select(), S_OK);
    DWORD from = 0, to = 0;
    SendMessageA(Chat(), CLM_GETSEL, reinterpret_cast<WPARAM>(&from),
                 reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(from, 6u);
    EXPECT_EQ(to, 12u);
    doc->Release();
}

TEST_F(Automation, NewLinesAreAnnouncedOnceABurstAndSelectionsAreTold) {
    const standin::System system(true);
    AppendText(Chat(), "<Ada> one\r\n");
    AppendText(Chat(), "<Bob> two\r\n");
    AppendText(Chat(), "<Cy> three\r\n");
    EXPECT_TRUE(standin::notifications.empty()) << "not before the burst is over";
    PumpUntil([] { return !standin::notifications.empty(); }, 2000);
    PumpMessages(300);
    ASSERT_EQ(standin::notifications.size(), 1u) << "one announcement for the burst";
    EXPECT_EQ(standin::notifications[0].said, L"<Ada> one\r\n<Bob> two\r\n<Cy> three");
    EXPECT_EQ(standin::notifications[0].provider, element);
    EXPECT_EQ(standin::notifications[0].processing, uia::NotificationProcessing_All);
    EXPECT_GE(standin::EventsOf(uia::kTextChangedEvent), 1u);

    // A later line is its own announcement, of itself alone.
    standin::notifications.clear();
    AppendText(Chat(), "<Ada> four\r\n");
    PumpUntil([] { return !standin::notifications.empty(); }, 2000);
    ASSERT_EQ(standin::notifications.size(), 1u);
    EXPECT_EQ(standin::notifications.back().said, L"<Ada> four");

    // Clearing tells of the change at once, and announces nothing.
    standin::events.clear();
    standin::notifications.clear();
    SetText("");
    EXPECT_EQ(standin::EventsOf(uia::kTextChangedEvent), 1u);
    PumpMessages(300);
    EXPECT_TRUE(standin::notifications.empty());

    SetText("<Ada> hello\r\n");
    standin::events.clear();
    SendMessageA(Chat(), CLM_SETSEL, 0, 5);
    EXPECT_EQ(standin::EventsOf(uia::kTextSelectionChangedEvent), 1u);
    SendMessageA(Chat(), CLM_SETSEL, 0, 5);
    EXPECT_EQ(standin::EventsOf(uia::kTextSelectionChangedEvent), 1u) << "no change, no event";
}

TEST_F(Automation, IsHandedOutOnWMGETOBJECTAndOutlivesTheWindowSafely) {
    if (uia::Functions().ReturnRawElementProvider != nullptr) {
        EXPECT_NE(SendMessageA(Chat(), WM_GETOBJECT, 0, uia::kRootObjectId), 0);
    }
    SetText("<Ada> hello\r\n");
    uia::ITextRangeProvider* doc = Document();
    ASSERT_NE(doc, nullptr);
    DestroyWindow(AppState.hwndMain);
    BSTR b = nullptr;
    EXPECT_EQ(doc->GetText(-1, &b), uia::kElementNotAvailable);
    EXPECT_EQ(b, nullptr);
    VARIANT v;
    EXPECT_EQ(element->GetPropertyValue(uia::kNameProperty, &v), uia::kElementNotAvailable);
    uia::ITextRangeProvider* none = nullptr;
    EXPECT_EQ(text->get_DocumentRange(&none), uia::kElementNotAvailable);
    int moved = 7;
    EXPECT_EQ(doc->Move(uia::TextUnit_Line, 1, &moved), uia::kElementNotAvailable);
    doc->Release();
}

// The older interface, as a screen reader that uses it asks for the pane.
TEST_F(Accessibility, TheAccessibilityBridgeGivesNameRoleAndText) {
    SetText("<Ada> hello\r\n");
    IAccessible* acc = nullptr;
    ASSERT_EQ(AccessibleObjectFromWindow(Chat(), static_cast<DWORD>(OBJID_CLIENT),
                                         __uuidof(IAccessible), reinterpret_cast<void**>(&acc)),
              S_OK);
    ASSERT_NE(acc, nullptr);
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR b = nullptr;
    ASSERT_EQ(acc->get_accName(self, &b), S_OK);
    EXPECT_EQ(TakeText(b), L"Output window");
    VARIANT role;
    ASSERT_EQ(acc->get_accRole(self, &role), S_OK);
    EXPECT_EQ(role.vt, VT_I4);
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_DOCUMENT);
    ASSERT_EQ(acc->get_accValue(self, &b), S_OK);
    EXPECT_EQ(TakeText(b), L"<Ada> hello\r\n");
    AppendText(Chat(), "<Bob> more\r\n");
    ASSERT_EQ(acc->get_accValue(self, &b), S_OK);
    EXPECT_EQ(TakeText(b), L"<Ada> hello\r\n<Bob> more\r\n") << "the value follows the text";
    VARIANT state;
    ASSERT_EQ(acc->get_accState(self, &state), S_OK);
    EXPECT_TRUE(state.lVal & STATE_SYSTEM_READONLY);
    acc->Release();
}

} // namespace
