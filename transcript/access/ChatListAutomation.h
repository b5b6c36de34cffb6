// The transcript's UI Automation element and its text ranges, shared by the
// files that make them (ChatListAutomation.cpp, ChatListTextRange.cpp) and the
// MSAA object (ChatListAccessible.cpp).
#pragma once

#include "base/ComRefCount.h"
#include "transcript/ChatListEvents.h"
#include "transcript/ChatListSelection.h"
#include "transcript/ChatListState.h"
#include "transcript/ChatListView.h"
#include "transcript/access/ChatListUia.h"
#include "transcript/access/ScopedBstr.h"
#include "transcript/TextRangeModel.h"

namespace chatlist {

// What a screen reader calls the pane, through either interface.
inline constexpr wchar_t kPaneName[] = L"Output window";

// The pane as a read-only document with the text pattern. One per window,
// made when first needed and held by the window's record; WM_DESTROY
// disconnects it, after which every call answers "not available".
class TextElement final : public IRawElementProviderSimple, public uia::ITextProvider {
public:
    explicit TextElement(HWND hwnd) : hwnd_(hwnd) {}
    void Disconnect() { hwnd_ = nullptr; }
    // The window's record while the window lives, else null: every call on the
    // element or a range asks this first.
    ChatState* Live(HWND* hwnd) const;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return refs_.Up(); }
    ULONG STDMETHODCALLTYPE Release() override { return refs_.Down(this); }

    // IRawElementProviderSimple
    HRESULT STDMETHODCALLTYPE get_ProviderOptions(ProviderOptions* options) override;
    HRESULT STDMETHODCALLTYPE GetPatternProvider(PATTERNID id, IUnknown** out) override;
    HRESULT STDMETHODCALLTYPE GetPropertyValue(PROPERTYID id, VARIANT* value) override;
    HRESULT STDMETHODCALLTYPE get_HostRawElementProvider(IRawElementProviderSimple** host) override;

    // ITextProvider
    HRESULT STDMETHODCALLTYPE GetSelection(SAFEARRAY** ranges) override;
    HRESULT STDMETHODCALLTYPE GetVisibleRanges(SAFEARRAY** ranges) override;
    HRESULT STDMETHODCALLTYPE RangeFromChild(IRawElementProviderSimple* child,
                                             uia::ITextRangeProvider** range) override;
    HRESULT STDMETHODCALLTYPE RangeFromPoint(uia::UiaPoint point,
                                             uia::ITextRangeProvider** range) override;
    HRESULT STDMETHODCALLTYPE get_DocumentRange(uia::ITextRangeProvider** range) override;
    HRESULT STDMETHODCALLTYPE
    get_SupportedTextSelection(uia::SupportedTextSelection* kind) override;

private:
    HRESULT Give(uia::ITextRangeProvider** range, size_t start, size_t end);
    HRESULT Array(SAFEARRAY** out, size_t start, size_t end);

    ComRefCount refs_;
    HWND hwnd_;
};

// The record of `hwnd` for a call on the window's own thread; null when the
// object is disconnected (hwnd null) or the call comes from another thread.
ChatState* ProviderState(HWND hwnd);
// The window's element, made when first needed; null when out of memory.
TextElement* ElementOf(HWND hwnd, ChatState& s);
// Ends an announcement that waits for its burst to end (ChatListAnnounce.cpp).
void StopAnnouncing(HWND hwnd, ChatState& s);
// WM_GETOBJECT for OBJID_CLIENT: the pane as an IAccessible (ChatListAccessible.cpp).
LRESULT AnswerAccessible(HWND hwnd, ChatState& s, WPARAM wParam);
// Disconnects and lets go of the MSAA object (ChatListAccessible.cpp).
void AccessibleGone(ChatState& s);

// A new range over [start, end) of the element's text (one reference), or null.
uia::ITextRangeProvider* NewRange(TextElement* element, size_t start, size_t end);

// The screen point `p` as a byte offset of the text: the nearest edge between bytes.
size_t OffsetAtScreen(HWND hwnd, const ChatState& s, POINT p);
// Text as UTF-16, at most maxLength characters (-1: all); empty when out of memory.
ScopedBstr TextOf(const ChatState& s, size_t start, size_t end, int maxLength);
SAFEARRAY* RangeArray(uia::ITextRangeProvider* range);

} // namespace chatlist
