// The transcript as a screen reader sees it: a read-only document named
// "Output window" with the text pattern, handed out on WM_GETOBJECT.
#include "transcript/ChatList.h"
#include "transcript/ChatListTesting.h"
#include "transcript/access/ChatListAutomation.h"

#include <new>

namespace {

ProviderCallProbe callProbe = nullptr;

} // namespace

ProviderCallProbe SetProviderCallProbe(ProviderCallProbe probe) {
    const ProviderCallProbe previous = callProbe;
    callProbe = probe;
    return previous;
}

namespace chatlist {

Pane Live(HWND hwnd) {
    const DWORD thread = GetCurrentThreadId();
    if (callProbe != nullptr) {
        callProbe(thread);
    }
    // The UI thread is a single-threaded apartment, so COM brings every call
    // here; a call that still comes from elsewhere would race the window's
    // own changes to its text, and gets nothing.
    if (hwnd == nullptr || GetWindowThreadProcessId(hwnd, nullptr) != thread) {
        return Pane{nullptr, nullptr};
    }
    ChatState* s = StateOf(hwnd);
    return Pane{s != nullptr ? hwnd : nullptr, s};
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
    return Serve(*this, out, [&](HWND, ChatState*) {
        if (id == uia::kTextPattern) {
            *out = static_cast<uia::ITextProvider*>(this);
            AddRef();
        }
        return S_OK;
    });
}

HRESULT TextElement::GetPropertyValue(PROPERTYID id, VARIANT* value) {
    return Serve(*this, value, [&](HWND hwnd, ChatState*) { return Property(hwnd, id, value); });
}

HRESULT TextElement::Property(HWND hwnd, PROPERTYID id, VARIANT* value) {
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
        value->boolVal = GetFocus() == hwnd ? VARIANT_TRUE : VARIANT_FALSE;
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
    return Serve(*this, host, [&](HWND hwnd, ChatState*) {
        const uia::Api& api = uia::Functions();
        return api.HostProviderFromHwnd != nullptr ? api.HostProviderFromHwnd(hwnd, host) : S_OK;
    });
}

// With nothing selected, the selection is the caret: an empty range where it
// is, on the visual line it shows on.
HRESULT TextElement::GetSelection(SAFEARRAY** ranges) {
    return Serve(*this, [&](HWND, const ChatState* s) {
        const size_t from = SelectionFrom(s->sel), to = SelectionTo(s->sel);
        return Array(ranges, TextRange{from, to, from == to && s->caretPlace.lineEnd});
    });
}

HRESULT TextElement::GetVisibleRanges(SAFEARRAY** ranges) {
    return Serve(*this, [&](HWND, const ChatState* s) { return Visible(s, ranges); });
}

HRESULT TextElement::Visible(const ChatState* s, SAFEARRAY** ranges) {
    if (s->layout.lineCount == 0) {
        return Array(ranges, TextRange{0, 0});
    }
    const size_t first = s->top < s->layout.lineCount ? s->top : s->layout.lineCount - 1;
    size_t last = s->top + ShownRows(*s);
    last = (last < s->layout.lineCount ? last : s->layout.lineCount) - 1;
    return Array(ranges, TextRange{LayoutLineStart(s->layout, first),
                                   LayoutLineEnd(s->layout, last < first ? first : last)});
}

HRESULT TextElement::RangeFromChild(IRawElementProviderSimple*, uia::ITextRangeProvider** range) {
    if (range != nullptr) {
        *range = nullptr;
    }
    return E_INVALIDARG; // the document has no child elements
}

HRESULT TextElement::RangeFromPoint(uia::UiaPoint point, uia::ITextRangeProvider** range) {
    return Serve(*this, [&](HWND hwnd, const ChatState* s) {
        const size_t at =
            OffsetAtScreen(hwnd, *s, POINT{static_cast<LONG>(point.x), static_cast<LONG>(point.y)});
        return Give(range, at, at);
    });
}

HRESULT TextElement::get_DocumentRange(uia::ITextRangeProvider** range) {
    return Serve(*this, [&](HWND, const ChatState* s) { return Give(range, 0, s->layout.length); });
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
    *range = NewRange(this, TextRange{start, end});
    return *range != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT TextElement::Array(SAFEARRAY** out, const TextRange& r) {
    if (out == nullptr) {
        return E_POINTER;
    }
    const ComRef<uia::ITextRangeProvider> range(NewRange(this, r));
    *out = RangeArray(range.Get());
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

TextElement* ElementOf(HWND hwnd, ChatState& s) {
    if (!s.access.automation) {
        s.access.automation = ComRef<TextElement>(new (std::nothrow) TextElement(hwnd));
    }
    return s.access.automation.Get();
}

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

void AutomationGone(HWND hwnd, ChatState& s) {
    StopAnnouncing(hwnd, s);
    AccessibleGone(s);
    if (!s.access.automation) {
        return;
    }
    s.access.automation->Disconnect();
    const uia::Api& api = uia::Functions();
    if (api.ReturnRawElementProvider != nullptr) {
        api.ReturnRawElementProvider(hwnd, 0, 0, nullptr); // UI Automation lets go of the window
    }
    if (api.DisconnectProvider != nullptr) {
        api.DisconnectProvider(s.access.automation.Get());
    }
    s.access.automation.Reset();
}

} // namespace chatlist

IRawElementProviderSimple* ChatListAutomationElement(HWND chat) {
    // Only a transcript of this thread: slot 0 of another window means something else.
    const bool ours = chatlist::IsChatList(chat) &&
                      GetWindowThreadProcessId(chat, nullptr) == GetCurrentThreadId();
    chatlist::ChatState* s = ours ? chatlist::StateOf(chat) : nullptr;
    return s != nullptr && chatlist::ElementOf(chat, *s) != nullptr ? s->access.automation.Share()
                                                                    : nullptr;
}
