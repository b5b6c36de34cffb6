// The transcript as a screen reader sees it: a read-only document named
// "Output window" with the text pattern, handed out on WM_GETOBJECT, and the
// events that tell of new text, new lines and a new selection.
#include "transcript/ChatList.h"
#include "transcript/ChatListTesting.h"
#include "transcript/access/ChatListAutomation.h"

#include <cstring>
#include <new>

namespace uia {

namespace {

template <typename Fn> void Take(HMODULE module, const char* name, Fn& fn) {
    fn = module != nullptr
             ? reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)))
             : nullptr;
}

} // namespace

const Api& Functions() {
    static Api api;
    static bool loaded = false;
    if (!loaded) {
        loaded = true;
        const HMODULE core = LoadLibraryA("uiautomationcore.dll");
        Take(core, "UiaReturnRawElementProvider", api.ReturnRawElementProvider);
        Take(core, "UiaHostProviderFromHwnd", api.HostProviderFromHwnd);
        Take(core, "UiaRaiseAutomationEvent", api.RaiseAutomationEvent);
        Take(core, "UiaRaiseNotificationEvent", api.RaiseNotificationEvent);
        Take(core, "UiaDisconnectProvider", api.DisconnectProvider);
        const HMODULE ole = LoadLibraryA("oleaut32.dll");
        Take(ole, "SysAllocStringLen", api.SysAllocStringLen);
        Take(ole, "SysFreeString", api.SysFreeString);
        Take(ole, "SafeArrayCreateVector", api.SafeArrayCreateVector);
        Take(ole, "SafeArrayPutElement", api.SafeArrayPutElement);
        Take(LoadLibraryA("oleacc.dll"), "LresultFromObject", api.LresultFromObject);
    }
    return api;
}

} // namespace uia

namespace {

constexpr wchar_t kActivity[] = L"bALDRIX.NewLines";
constexpr EVENTID kNotificationEvent = 20035;
constexpr UINT_PTR kAnnounceTimer = 2;
constexpr UINT kAnnounceDelay = 150;   // lines closer together than this are one announcement
constexpr size_t kAnnounceMost = 4096; // bytes read out at once; a longer burst is counted

AutomationEventHook eventHook = nullptr;

} // namespace

AutomationEventHook SetAutomationEventHook(AutomationEventHook hook) {
    const AutomationEventHook previous = eventHook;
    eventHook = hook;
    return previous;
}

namespace chatlist {

ChatState* TextElement::Live(HWND* hwnd) const {
    *hwnd = hwnd_;
    return hwnd_ != nullptr ? StateOf(hwnd_) : nullptr;
}

HRESULT TextElement::QueryInterface(REFIID iid, void** out) {
    IUnknown* offered = nullptr;
    if (IsEqualIID(iid, __uuidof(IUnknown)) ||
        IsEqualIID(iid, __uuidof(IRawElementProviderSimple))) {
        offered = static_cast<IRawElementProviderSimple*>(this);
    } else if (IsEqualIID(iid, uia::kIID_ITextProvider)) {
        offered = static_cast<uia::ITextProvider*>(this);
    }
    return OfferInterface(out, offered);
}

HRESULT TextElement::get_ProviderOptions(ProviderOptions* options) {
    if (options == nullptr) {
        return E_POINTER;
    }
    *options = static_cast<ProviderOptions>(ProviderOptions_ServerSideProvider |
                                            ProviderOptions_UseComThreading);
    return S_OK;
}

HRESULT TextElement::GetPatternProvider(PATTERNID id, IUnknown** out) {
    if (out == nullptr) {
        return E_POINTER;
    }
    *out = nullptr;
    if (hwnd_ == nullptr) {
        return uia::kElementNotAvailable;
    }
    if (id == uia::kTextPattern) {
        *out = static_cast<uia::ITextProvider*>(this);
        AddRef();
    }
    return S_OK;
}

HRESULT TextElement::GetPropertyValue(PROPERTYID id, VARIANT* value) {
    if (value == nullptr) {
        return E_POINTER;
    }
    value->vt = VT_EMPTY;
    if (hwnd_ == nullptr) {
        return uia::kElementNotAvailable;
    }
    switch (id) {
    case uia::kNameProperty:
        value->vt = VT_BSTR;
        value->bstrVal = ScopedBstr(kPaneName).Release();
        break;
    case uia::kControlTypeProperty:
        value->vt = VT_I4;
        value->lVal = uia::kDocumentControlType;
        break;
    case uia::kHasKeyboardFocusProperty:
        value->vt = VT_BOOL;
        value->boolVal = GetFocus() == hwnd_ ? VARIANT_TRUE : VARIANT_FALSE;
        break;
    case uia::kIsKeyboardFocusableProperty:
    case uia::kIsEnabledProperty:
    case uia::kIsTextPatternAvailableProperty:
        value->vt = VT_BOOL;
        value->boolVal = VARIANT_TRUE;
        break;
    default: break;
    }
    return S_OK;
}

HRESULT TextElement::get_HostRawElementProvider(IRawElementProviderSimple** host) {
    if (host == nullptr) {
        return E_POINTER;
    }
    *host = nullptr;
    if (hwnd_ == nullptr) {
        return uia::kElementNotAvailable;
    }
    const uia::Api& api = uia::Functions();
    return api.HostProviderFromHwnd != nullptr ? api.HostProviderFromHwnd(hwnd_, host) : S_OK;
}

// With nothing selected, the selection is the caret: an empty range where it is.
HRESULT TextElement::GetSelection(SAFEARRAY** ranges) {
    HWND hwnd;
    const ChatState* s = Live(&hwnd);
    return s == nullptr ? uia::kElementNotAvailable
                        : Array(ranges, SelectionFrom(s->sel), SelectionTo(s->sel));
}

HRESULT TextElement::GetVisibleRanges(SAFEARRAY** ranges) {
    HWND hwnd;
    const ChatState* s = Live(&hwnd);
    if (s == nullptr) {
        return uia::kElementNotAvailable;
    }
    if (s->layout.lineCount == 0) {
        return Array(ranges, 0, 0);
    }
    const size_t first = s->top < s->layout.lineCount ? s->top : s->layout.lineCount - 1;
    size_t last = s->top + ShownRows(*s);
    last = (last < s->layout.lineCount ? last : s->layout.lineCount) - 1;
    return Array(ranges, LayoutLineStart(s->layout, first),
                 LayoutLineEnd(s->layout, last < first ? first : last));
}

HRESULT TextElement::RangeFromChild(IRawElementProviderSimple*, uia::ITextRangeProvider** range) {
    if (range != nullptr) {
        *range = nullptr;
    }
    return E_INVALIDARG; // the document has no child elements
}

HRESULT TextElement::RangeFromPoint(uia::UiaPoint point, uia::ITextRangeProvider** range) {
    HWND hwnd;
    const ChatState* s = Live(&hwnd);
    if (s == nullptr) {
        return uia::kElementNotAvailable;
    }
    const size_t at =
        OffsetAtScreen(hwnd, *s, POINT{static_cast<LONG>(point.x), static_cast<LONG>(point.y)});
    return Give(range, at, at);
}

HRESULT TextElement::get_DocumentRange(uia::ITextRangeProvider** range) {
    HWND hwnd;
    const ChatState* s = Live(&hwnd);
    return s == nullptr ? uia::kElementNotAvailable : Give(range, 0, s->layout.length);
}

HRESULT TextElement::get_SupportedTextSelection(uia::SupportedTextSelection* kind) {
    if (kind == nullptr) {
        return E_POINTER;
    }
    *kind = uia::SupportedTextSelection_Single;
    return S_OK;
}

HRESULT TextElement::Give(uia::ITextRangeProvider** range, size_t start, size_t end) {
    if (range == nullptr) {
        return E_POINTER;
    }
    *range = NewRange(this, start, end);
    return *range != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT TextElement::Array(SAFEARRAY** out, size_t start, size_t end) {
    if (out == nullptr) {
        return E_POINTER;
    }
    uia::ITextRangeProvider* range = NewRange(this, start, end);
    *out = RangeArray(range);
    if (range != nullptr) {
        range->Release();
    }
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

namespace {

TextElement* ElementOf(HWND hwnd, ChatState& s) {
    if (s.automation == nullptr) {
        s.automation = new (std::nothrow) TextElement(hwnd);
    }
    return s.automation;
}

void Raise(HWND hwnd, const ChatState& s, EVENTID id) {
    if (eventHook != nullptr) {
        eventHook(hwnd, id, nullptr);
    }
    const uia::Api& api = uia::Functions();
    if (s.automation != nullptr && api.RaiseAutomationEvent != nullptr) {
        api.RaiseAutomationEvent(s.automation, id);
    }
}

// What a burst of new lines says: their text, or their count when long.
ScopedBstr Announcement(const ChatState& s) {
    const size_t from = s.announceFrom < s.layout.length ? s.announceFrom : s.layout.length;
    if (s.layout.length - from <= kAnnounceMost) {
        return TextOf(s, from, s.layout.length, -1);
    }
    unsigned lines = 0;
    for (size_t i = from; i < s.layout.length; ++i) {
        lines += s.layout.text[i] == '\n';
    }
    wchar_t counted[40];
    wsprintfW(counted, L"%u new lines", lines);
    return ScopedBstr(counted);
}

void CALLBACK AnnounceTimerProc(HWND hwnd, UINT, UINT_PTR, DWORD) {
    KillTimer(hwnd, kAnnounceTimer);
    ChatState* s = StateOf(hwnd);
    if (s == nullptr || !s->announcing) {
        return;
    }
    s->announcing = false;
    Raise(hwnd, *s, uia::kTextChangedEvent);
    const uia::Api& api = uia::Functions();
    const ScopedBstr said = Announcement(*s);
    if (eventHook != nullptr) {
        eventHook(hwnd, kNotificationEvent, said.Get());
    }
    if (s->automation != nullptr && api.RaiseNotificationEvent != nullptr &&
        said.Get() != nullptr) {
        const ScopedBstr activity(kActivity);
        api.RaiseNotificationEvent(s->automation, uia::NotificationKind_ItemAdded,
                                   uia::NotificationProcessing_All, said.Get(), activity.Get());
    }
}

} // namespace

LRESULT OnGetObject(HWND hwnd, ChatState& s, WPARAM wParam, LPARAM lParam) {
    const uia::Api& api = uia::Functions();
    if (static_cast<LONG>(lParam) == uia::kRootObjectId &&
        api.ReturnRawElementProvider != nullptr) {
        TextElement* element = ElementOf(hwnd, s);
        if (element != nullptr) {
            return api.ReturnRawElementProvider(hwnd, wParam, lParam, element);
        }
    }
    if (static_cast<LONG>(lParam) == OBJID_CLIENT) {
        return AnswerAccessible(hwnd, s, wParam);
    }
    return DefWindowProcA(hwnd, WM_GETOBJECT, wParam, lParam);
}

void AutomationTextChanged(HWND hwnd, ChatState& s, bool appended, size_t before) {
    if (!appended) {
        if (s.announcing) {
            KillTimer(hwnd, kAnnounceTimer);
            s.announcing = false;
        }
        Raise(hwnd, s, uia::kTextChangedEvent);
        return;
    }
    if (!s.announcing) {
        s.announceFrom = before;
        s.announcing = SetTimer(hwnd, kAnnounceTimer, kAnnounceDelay, AnnounceTimerProc) != 0;
    }
}

void AutomationSelectionChanged(HWND hwnd, const ChatState& s) {
    Raise(hwnd, s, uia::kTextSelectionChangedEvent);
}

void AutomationGone(HWND hwnd, ChatState& s) {
    if (s.announcing) {
        KillTimer(hwnd, kAnnounceTimer);
        s.announcing = false;
    }
    if (s.automation != nullptr) {
        s.automation->Disconnect();
        if (uia::Functions().DisconnectProvider != nullptr) {
            uia::Functions().DisconnectProvider(s.automation);
        }
        s.automation->Release();
        s.automation = nullptr;
    }
}

} // namespace chatlist

IRawElementProviderSimple* ChatListAutomationElement(HWND chat) {
    // Only a transcript of this thread: slot 0 of another window means something else.
    char className[sizeof kChatListClassName + 1];
    const bool ours = chat != nullptr &&
                      GetWindowThreadProcessId(chat, nullptr) == GetCurrentThreadId() &&
                      GetClassNameA(chat, className, sizeof className) > 0 &&
                      std::strcmp(className, kChatListClassName) == 0;
    chatlist::ChatState* s = ours ? chatlist::StateOf(chat) : nullptr;
    chatlist::TextElement* element = s != nullptr ? chatlist::ElementOf(chat, *s) : nullptr;
    if (element != nullptr) {
        element->AddRef();
    }
    return element;
}
