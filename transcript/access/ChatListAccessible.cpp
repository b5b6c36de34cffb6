// The transcript for assistive programs that read windows through the older
// accessibility interface: a read-only document named "Output window" whose
// value is the end of the text. The provider of UI Automation serves the newer
// ones. One object per window, held by its record and disconnected when the
// window goes.
#include "transcript/TextUnits.h"
#include "transcript/access/ChatListAutomation.h"

#include <oleacc.h>

#include <new>

namespace chatlist {
namespace {

// The value is the transcript's last 64 KB, from the start of a line: the whole
// of a 200 MB chat converted on every request would freeze the window and, in
// the 32-bit build, leave the next append without memory. The whole text stays
// available through UI Automation's text pattern.
constexpr size_t kValueMost = 64 * 1024;

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

} // namespace

class PaneAccessible final : public IAccessible {
public:
    explicit PaneAccessible(HWND hwnd) : hwnd_(hwnd) {}
    void Disconnect() { hwnd_ = nullptr; }
    Pane Reach() const { return Live(hwnd_); } // for Serve

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        const bool ours = IsEqualIID(iid, __uuidof(IUnknown)) ||
                          IsEqualIID(iid, __uuidof(IDispatch)) ||
                          IsEqualIID(iid, __uuidof(IAccessible));
        return OfferInterface(out, ours ? static_cast<IAccessible*>(this) : nullptr);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return refs_.Up(); }
    ULONG STDMETHODCALLTYPE Release() override { return refs_.Down(this); }

    // IDispatch: not offered; clients call the interface directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count != nullptr) {
            *count = 0;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // The parent is the window itself, as the system's proxy for it answers.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return Serve(*this, parent, [&](HWND hwnd, ChatState*) {
            const uia::Api& api = uia::Functions();
            return api.CreateStdAccessibleObject != nullptr
                       ? api.CreateStdAccessibleObject(hwnd, OBJID_WINDOW, __uuidof(IDispatch),
                                                       reinterpret_cast<void**>(parent))
                       : S_FALSE;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        if (count == nullptr) {
            return E_POINTER;
        }
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT, IDispatch** child) override {
        Null(child);
        return E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return Text(child, name, [](const ChatState&) { return ScopedBstr(kPaneName).Release(); });
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return Text(child, value, [](const ChatState& s) {
            const size_t from = TailFromLineStart(s.layout.text, s.layout.length, kValueMost);
            return TextOf(s, from, s.layout.length, -1).Release();
        });
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* text) override {
        return NoText(text);
    }
    // A number about the document itself (its role, its state).
    static HRESULT AnswerNumber(VARIANT child, VARIANT* out, LONG value) {
        if (out == nullptr) {
            return E_POINTER;
        }
        out->vt = VT_EMPTY;
        if (!IsSelf(child)) {
            return E_INVALIDARG;
        }
        out->vt = VT_I4;
        out->lVal = value;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return AnswerNumber(child, role, ROLE_SYSTEM_DOCUMENT);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        if (state != nullptr && IsSelf(child) && Reach().s == nullptr) {
            state->vt = VT_EMPTY;
            return uia::kElementNotAvailable;
        }
        return AnswerNumber(child, state,
                            STATE_SYSTEM_READONLY | STATE_SYSTEM_FOCUSABLE |
                                (GetFocus() == hwnd_ ? STATE_SYSTEM_FOCUSED : 0));
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* text) override { return NoText(text); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, LONG*) override {
        return NoText(file);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* text) override {
        return NoText(text);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        if (focus == nullptr) {
            return E_POINTER;
        }
        focus->vt = VT_EMPTY;
        if (Reach().s != nullptr && GetFocus() == hwnd_) {
            focus->vt = VT_I4;
            focus->lVal = CHILDID_SELF;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        if (selection == nullptr) {
            return E_POINTER;
        }
        selection->vt = VT_EMPTY;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT, BSTR* text) override {
        return NoText(text);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG, VARIANT) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) override {
        if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) {
            return E_POINTER;
        }
        RECT r{};
        if (!IsSelf(child) || !OnScreen(&r)) {
            return E_INVALIDARG;
        }
        *left = r.left;
        *top = r.top;
        *width = r.right - r.left;
        *height = r.bottom - r.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG, VARIANT, VARIANT* end) override {
        if (end != nullptr) {
            end->vt = VT_EMPTY;
        }
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
        if (child == nullptr) {
            return E_POINTER;
        }
        child->vt = VT_EMPTY;
        RECT r{};
        if (!OnScreen(&r)) {
            return uia::kElementNotAvailable;
        }
        if (!PtInRect(&r, POINT{x, y})) {
            return S_FALSE; // not in the pane
        }
        child->vt = VT_I4;
        child->lVal = CHILDID_SELF;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    // The pane's client area on the screen (the window object, its parent,
    // has the frame and the scroll bar).
    bool OnScreen(RECT* r) const {
        if (Reach().s == nullptr || !GetClientRect(hwnd_, r)) {
            return false;
        }
        MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(r), 2);
        return true;
    }
    template <typename Make> HRESULT Text(const VARIANT& child, BSTR* out, Make make) {
        return Serve(
            *this, out,
            [&](HWND, const ChatState* s) {
                *out = make(*s);
                return *out != nullptr ? S_OK : E_OUTOFMEMORY;
            },
            IsSelf(child));
    }
    static HRESULT NoText(BSTR* out) {
        if (out == nullptr) {
            return E_POINTER;
        }
        *out = nullptr;
        return S_FALSE;
    }
    static HRESULT Null(IDispatch** out) {
        if (out == nullptr) {
            return E_POINTER;
        }
        *out = nullptr;
        return S_FALSE;
    }

    ComRefCount refs_;
    HWND hwnd_;
};

LRESULT AnswerAccessible(HWND hwnd, ChatState& s, WPARAM wParam) {
    const uia::Api& api = uia::Functions();
    if (api.LresultFromObject == nullptr) {
        return DefWindowProcA(hwnd, WM_GETOBJECT, wParam, static_cast<LPARAM>(OBJID_CLIENT));
    }
    if (!s.access.accessible) {
        s.access.accessible = ComRef<PaneAccessible>(new (std::nothrow) PaneAccessible(hwnd));
    }
    return s.access.accessible
               ? api.LresultFromObject(__uuidof(IAccessible), wParam, s.access.accessible.Get())
               : 0;
}

void AccessibleGone(ChatState& s) {
    if (s.access.accessible) {
        s.access.accessible->Disconnect();
        s.access.accessible.Reset();
    }
}

} // namespace chatlist
