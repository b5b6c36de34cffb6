// What the transcript needs of UI Automation that the system headers at hand
// do not declare: the text pattern's two interfaces and the numbers it uses,
// and the table of functions taken from uiautomationcore, oleaut32 and oleacc
// at run time, so the program starts where they are missing and imports
// nothing beyond the system's own libraries.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <uiautomationcore.h>

namespace uia {

enum TextUnit {
    TextUnit_Character,
    TextUnit_Format,
    TextUnit_Word,
    TextUnit_Line,
    TextUnit_Paragraph,
    TextUnit_Page,
    TextUnit_Document
};
enum TextPatternRangeEndpoint { TextPatternRangeEndpoint_Start, TextPatternRangeEndpoint_End };
enum SupportedTextSelection { SupportedTextSelection_None, SupportedTextSelection_Single };
enum NotificationKind { NotificationKind_ItemAdded = 0 };
enum NotificationProcessing {
    NotificationProcessing_All = 2,
    NotificationProcessing_MostRecent = 3
};

struct UiaPoint {
    double x;
    double y;
};

constexpr int kRootObjectId = -25; // UiaRootObjectId
constexpr HRESULT kElementNotAvailable = static_cast<HRESULT>(0x80040201L);
constexpr PATTERNID kTextPattern = 10014;
constexpr PROPERTYID kControlTypeProperty = 30003;
constexpr PROPERTYID kLocalizedControlTypeProperty = 30004;
constexpr PROPERTYID kNameProperty = 30005;
constexpr PROPERTYID kHasKeyboardFocusProperty = 30008;
constexpr PROPERTYID kIsKeyboardFocusableProperty = 30009;
constexpr PROPERTYID kIsEnabledProperty = 30010;
constexpr PROPERTYID kIsTextPatternAvailableProperty = 30040;
constexpr TEXTATTRIBUTEID kIsReadOnlyAttribute = 40015;
constexpr int kDocumentControlType = 50030;
constexpr EVENTID kTextSelectionChangedEvent = 20014;
constexpr EVENTID kTextChangedEvent = 20015;
constexpr EVENTID kNotificationEvent = 20035;

struct ITextRangeProvider;

// {3589C92C-63F3-4367-99BB-ADA653B77CF2}
constexpr IID kIID_ITextProvider = {
    0x3589c92c, 0x63f3, 0x4367, {0x99, 0xbb, 0xad, 0xa6, 0x53, 0xb7, 0x7c, 0xf2}};
// {5347AD7B-C355-46F8-AFF5-909033582F63}
constexpr IID kIID_ITextRangeProvider = {
    0x5347ad7b, 0xc355, 0x46f8, {0xaf, 0xf5, 0x90, 0x90, 0x33, 0x58, 0x2f, 0x63}};

struct ITextProvider : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetSelection(SAFEARRAY** ranges) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetVisibleRanges(SAFEARRAY** ranges) = 0;
    virtual HRESULT STDMETHODCALLTYPE RangeFromChild(IRawElementProviderSimple* child,
                                                     ITextRangeProvider** range) = 0;
    virtual HRESULT STDMETHODCALLTYPE RangeFromPoint(UiaPoint point,
                                                     ITextRangeProvider** range) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_DocumentRange(ITextRangeProvider** range) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_SupportedTextSelection(SupportedTextSelection* kind) = 0;
};

struct ITextRangeProvider : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Clone(ITextRangeProvider** copy) = 0;
    virtual HRESULT STDMETHODCALLTYPE Compare(ITextRangeProvider* other, BOOL* same) = 0;
    virtual HRESULT STDMETHODCALLTYPE CompareEndpoints(TextPatternRangeEndpoint endpoint,
                                                       ITextRangeProvider* other,
                                                       TextPatternRangeEndpoint otherEndpoint,
                                                       int* order) = 0;
    virtual HRESULT STDMETHODCALLTYPE ExpandToEnclosingUnit(TextUnit unit) = 0;
    virtual HRESULT STDMETHODCALLTYPE FindAttribute(TEXTATTRIBUTEID id, VARIANT value,
                                                    BOOL backward, ITextRangeProvider** found) = 0;
    virtual HRESULT STDMETHODCALLTYPE FindText(BSTR text, BOOL backward, BOOL ignoreCase,
                                               ITextRangeProvider** found) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetAttributeValue(TEXTATTRIBUTEID id, VARIANT* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetBoundingRectangles(SAFEARRAY** rects) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetEnclosingElement(IRawElementProviderSimple** element) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetText(int maxLength, BSTR* text) = 0;
    virtual HRESULT STDMETHODCALLTYPE Move(TextUnit unit, int count, int* moved) = 0;
    virtual HRESULT STDMETHODCALLTYPE MoveEndpointByUnit(TextPatternRangeEndpoint endpoint,
                                                         TextUnit unit, int count, int* moved) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    MoveEndpointByRange(TextPatternRangeEndpoint endpoint, ITextRangeProvider* other,
                        TextPatternRangeEndpoint otherEndpoint) = 0;
    virtual HRESULT STDMETHODCALLTYPE Select() = 0;
    virtual HRESULT STDMETHODCALLTYPE AddToSelection() = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveFromSelection() = 0;
    virtual HRESULT STDMETHODCALLTYPE ScrollIntoView(BOOL alignToTop) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetChildren(SAFEARRAY** children) = 0;
};

// The functions taken at run time, from the system folder only; any may be
// null where the system lacks it. This one list makes both the table's
// members and the lines that load them (ChatListUia.cpp): each entry is
// X(library, name exported, member, return type, parameters), the library
// being one of `core` (uiautomationcore), `oleaut` (oleaut32), `oleacc`.
#define UIA_FUNCTIONS(X)                                                                           \
    X(core, UiaClientsAreListening, ClientsAreListening, BOOL, ())                                 \
    X(core, UiaReturnRawElementProvider, ReturnRawElementProvider, LRESULT,                        \
      (HWND, WPARAM, LPARAM, IRawElementProviderSimple*))                                          \
    X(core, UiaHostProviderFromHwnd, HostProviderFromHwnd, HRESULT,                                \
      (HWND, IRawElementProviderSimple**))                                                         \
    X(core, UiaRaiseAutomationEvent, RaiseAutomationEvent, HRESULT,                                \
      (IRawElementProviderSimple*, EVENTID))                                                       \
    X(core, UiaRaiseNotificationEvent, RaiseNotificationEvent, HRESULT,                            \
      (IRawElementProviderSimple*, NotificationKind, NotificationProcessing, BSTR, BSTR))          \
    X(core, UiaDisconnectProvider, DisconnectProvider, HRESULT, (IRawElementProviderSimple*))      \
    X(core, UiaGetReservedNotSupportedValue, GetReservedNotSupportedValue, HRESULT, (IUnknown**))  \
    X(oleaut, SysAllocStringLen, SysAllocStringLen, BSTR, (const OLECHAR*, UINT))                  \
    X(oleaut, SysFreeString, SysFreeString, void, (BSTR))                                          \
    X(oleaut, SafeArrayCreateVector, SafeArrayCreateVector, SAFEARRAY*, (VARTYPE, LONG, ULONG))    \
    X(oleaut, SafeArrayPutElement, SafeArrayPutElement, HRESULT, (SAFEARRAY*, LONG*, void*))       \
    X(oleacc, LresultFromObject, LresultFromObject, LRESULT, (REFIID, WPARAM, LPUNKNOWN))          \
    X(oleacc, CreateStdAccessibleObject, CreateStdAccessibleObject, HRESULT,                       \
      (HWND, LONG, REFIID, void**))

struct Api {
#define UIA_MEMBER(library, exported, member, result, parameters) result(WINAPI* member) parameters;
    UIA_FUNCTIONS(UIA_MEMBER)
#undef UIA_MEMBER
};

// Loaded once, on first use, and kept for the life of the process.
const Api& Functions();

// Whether a UI Automation client listens for events (loads the table).
bool ClientsListening();

} // namespace uia
