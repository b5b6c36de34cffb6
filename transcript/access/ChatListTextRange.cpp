// A range of the transcript's text for UI Automation: read, walked by unit
// (TextRangeModel), compared, measured on screen, selected and scrolled to.
#include "transcript/access/ChatListAutomation.h"

#include "base/CodePageTables.h"
#include "transcript/FindModel.h"
#include "transcript/access/AnsiPattern.h"

#include <algorithm>
#include <new>

namespace chatlist {
namespace {

// Asked of a range to find out whether it is one of ours.
// {6B0E1C52-3A7D-4F1B-9C2E-8D5A4B7C1E90}
constexpr IID kIID_ChatRange = {
    0x6b0e1c52, 0x3a7d, 0x4f1b, {0x9c, 0x2e, 0x8d, 0x5a, 0x4b, 0x7c, 0x1e, 0x90}};

RangeUnit UnitOf(uia::TextUnit unit) {
    switch (unit) {
    case uia::TextUnit_Character: return RangeUnit::Character;
    case uia::TextUnit_Word: return RangeUnit::Word;
    case uia::TextUnit_Line: return RangeUnit::Line;
    case uia::TextUnit_Paragraph: return RangeUnit::Paragraph; // a chat line
    default: return RangeUnit::Document;                       // one format, one page
    }
}

class ChatRange final : public uia::ITextRangeProvider {
public:
    ChatRange(TextElement* element, const TextRange& r)
        : element_(ComRef<TextElement>::Another(element)), r_(r) {
        r_.end = std::max(r_.start, r_.end);
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        const bool ours = IsEqualIID(iid, __uuidof(IUnknown)) ||
                          IsEqualIID(iid, uia::kIID_ITextRangeProvider) ||
                          IsEqualIID(iid, kIID_ChatRange);
        return OfferInterface(out, ours ? static_cast<uia::ITextRangeProvider*>(this) : nullptr);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return refs_.Up(); }
    ULONG STDMETHODCALLTYPE Release() override { return refs_.Down(this); }

    HRESULT STDMETHODCALLTYPE Clone(uia::ITextRangeProvider** copy) override {
        return Give(copy, r_);
    }
    HRESULT STDMETHODCALLTYPE Compare(uia::ITextRangeProvider* other, BOOL* same) override {
        const ComRef<ChatRange> o = Ours(other);
        if (same == nullptr || !o) {
            return E_INVALIDARG;
        }
        *same =
            o->element_.Get() == element_.Get() && o->r_.start == r_.start && o->r_.end == r_.end;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE CompareEndpoints(uia::TextPatternRangeEndpoint endpoint,
                                               uia::ITextRangeProvider* other,
                                               uia::TextPatternRangeEndpoint otherEndpoint,
                                               int* order) override {
        const ComRef<ChatRange> o = Ours(other);
        if (order == nullptr || !o) {
            return E_INVALIDARG;
        }
        const size_t a = End(endpoint), b = o->End(otherEndpoint);
        *order = a < b ? -1 : (a > b ? 1 : 0);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ExpandToEnclosingUnit(uia::TextUnit unit) override {
        return Serve(*this, [&](HWND, const ChatState* s) {
            RangeExpand(s->layout, r_, UnitOf(unit));
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE FindAttribute(TEXTATTRIBUTEID, VARIANT, BOOL,
                                            uia::ITextRangeProvider** found) override {
        return Nothing(found);
    }
    HRESULT STDMETHODCALLTYPE FindText(BSTR text, BOOL backward, BOOL ignoreCase,
                                       uia::ITextRangeProvider** found) override;
    HRESULT STDMETHODCALLTYPE GetAttributeValue(TEXTATTRIBUTEID id, VARIANT* value) override {
        return Serve(*this, value, [&](HWND, ChatState*) {
            const uia::Api& api = uia::Functions();
            if (id == uia::kIsReadOnlyAttribute) {
                value->vt = VT_BOOL;
                value->boolVal = VARIANT_TRUE;
            } else if (api.GetReservedNotSupportedValue != nullptr &&
                       SUCCEEDED(api.GetReservedNotSupportedValue(&value->punkVal))) {
                value->vt = VT_UNKNOWN; // what clients compare against, for any other attribute
            }
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetBoundingRectangles(SAFEARRAY** rects) override;
    HRESULT STDMETHODCALLTYPE GetEnclosingElement(IRawElementProviderSimple** element) override {
        if (element == nullptr) {
            return E_POINTER;
        }
        *element = element_.Share();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetText(int maxLength, BSTR* text) override {
        // -1 asks for all; no other negative length means anything.
        return Serve(
            *this, text,
            [&](HWND, const ChatState* s) {
                *text = TextOf(*s, r_.start, r_.end, maxLength).Release();
                return *text != nullptr ? S_OK : E_OUTOFMEMORY;
            },
            maxLength >= -1);
    }
    HRESULT STDMETHODCALLTYPE Move(uia::TextUnit unit, int count, int* moved) override {
        return Serve(*this, [&](HWND, const ChatState* s) {
            return Moved(moved, RangeMove(s->layout, r_, UnitOf(unit), count));
        });
    }
    HRESULT STDMETHODCALLTYPE MoveEndpointByUnit(uia::TextPatternRangeEndpoint endpoint,
                                                 uia::TextUnit unit, int count,
                                                 int* moved) override {
        return Serve(*this, [&](HWND, const ChatState* s) {
            return Moved(moved, RangeMoveEndpoint(s->layout, r_,
                                                  endpoint == uia::TextPatternRangeEndpoint_End,
                                                  UnitOf(unit), count));
        });
    }
    HRESULT STDMETHODCALLTYPE
    MoveEndpointByRange(uia::TextPatternRangeEndpoint endpoint, uia::ITextRangeProvider* other,
                        uia::TextPatternRangeEndpoint otherEndpoint) override {
        const ComRef<ChatRange> o = Ours(other);
        if (!o) {
            return E_INVALIDARG;
        }
        RangeSetEndpoint(r_, endpoint != uia::TextPatternRangeEndpoint_Start,
                         o->End(otherEndpoint));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Select() override {
        return Serve(*element_.Get(), [&](HWND hwnd, ChatState* s) {
            SetSelection(hwnd, *s, r_.start, r_.end);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE AddToSelection() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RemoveFromSelection() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ScrollIntoView(BOOL alignToTop) override;
    HRESULT STDMETHODCALLTYPE GetChildren(SAFEARRAY** children) override {
        if (children == nullptr) {
            return E_POINTER;
        }
        const uia::Api& api = uia::Functions();
        *children = api.SafeArrayCreateVector != nullptr
                        ? api.SafeArrayCreateVector(VT_UNKNOWN, 0, 0)
                        : nullptr;
        return *children != nullptr ? S_OK : E_OUTOFMEMORY;
    }

    // The pane while the window lives, with this range clamped to its text (for Serve).
    Pane Reach() {
        const Pane pane = element_->Reach();
        if (pane.s != nullptr) {
            r_.end = std::min(r_.end, pane.s->layout.length);
            r_.start = std::min(r_.start, r_.end);
        }
        return pane;
    }

private:
    size_t End(uia::TextPatternRangeEndpoint e) const {
        return e == uia::TextPatternRangeEndpoint_End ? r_.end : r_.start;
    }
    // `other` when it is one of ours, held for as long as the caller looks.
    static ComRef<ChatRange> Ours(uia::ITextRangeProvider* other) {
        void* ours = nullptr;
        if (other == nullptr || FAILED(other->QueryInterface(kIID_ChatRange, &ours))) {
            return ComRef<ChatRange>();
        }
        return ComRef<ChatRange>(
            static_cast<ChatRange*>(static_cast<uia::ITextRangeProvider*>(ours)));
    }
    static HRESULT Moved(int* moved, int n) {
        if (moved != nullptr) {
            *moved = n;
        }
        return S_OK;
    }
    HRESULT Give(uia::ITextRangeProvider** out, const TextRange& r) {
        if (out == nullptr) {
            return E_POINTER;
        }
        *out = NewRange(element_.Get(), r);
        return *out != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    static HRESULT Nothing(uia::ITextRangeProvider** found) {
        if (found != nullptr) {
            *found = nullptr;
        }
        return found != nullptr ? S_OK : E_POINTER;
    }

    HRESULT Rectangles(HWND hwnd, const ChatState* s, SAFEARRAY** rects);
    HRESULT Scroll(HWND hwnd, ChatState* s, BOOL alignToTop);
    HRESULT Found(const ChatState* s, BSTR text, BOOL backward, BOOL ignoreCase,
                  uia::ITextRangeProvider** found);

    ComRefCount refs_;
    ComRef<TextElement> element_;
    TextRange r_;
};

// The range's own text searched as the Find dialog searches: the program's
// search over the bytes, its case folding of the code page.
HRESULT ChatRange::FindText(BSTR text, BOOL backward, BOOL ignoreCase,
                            uia::ITextRangeProvider** found) {
    return Serve(*this, found, [&](HWND, const ChatState* s) {
        return Found(s, text, backward, ignoreCase, found);
    });
}

HRESULT ChatRange::Found(const ChatState* s, BSTR text, BOOL backward, BOOL ignoreCase,
                         uia::ITextRangeProvider** found) {
    if (text == nullptr) {
        return E_INVALIDARG;
    }
    const size_t span = r_.end - r_.start;
    const AnsiPattern pattern(text, span);
    if (pattern.Length() == 0) {
        return S_OK;
    }
    const FindQuery query{pattern.Bytes(), pattern.Length(),          !ignoreCase, false,
                          !backward,       AnsiCodePageTables().fold, nullptr};
    // From the range's near end the search meets its far end and stops there.
    const FindMatch match = FindInText(s->layout.text + r_.start, span, query, backward ? span : 0);
    return match.found ? Give(found, TextRange{r_.start + match.from, r_.start + match.to}) : S_OK;
}

HRESULT ChatRange::GetBoundingRectangles(SAFEARRAY** rects) {
    return Serve(*this, rects,
                 [&](HWND hwnd, const ChatState* s) { return Rectangles(hwnd, s, rects); });
}

HRESULT ChatRange::Rectangles(HWND hwnd, const ChatState* s, SAFEARRAY** rects) {
    const uia::Api& api = uia::Functions();
    if (api.SafeArrayCreateVector == nullptr || api.SafeArrayPutElement == nullptr) {
        return E_OUTOFMEMORY;
    }
    // One rectangle (left, top, width, height on the screen) per visual line shown.
    RECT rows[128];
    const size_t shown = SpanRects(*s, r_.start, r_.end, rows, 128);
    double values[4 * 128];
    LONG count = 0;
    for (size_t i = 0; i < shown; ++i) {
        POINT corner{rows[i].left, rows[i].top};
        ClientToScreen(hwnd, &corner);
        values[count++] = corner.x;
        values[count++] = corner.y;
        values[count++] = static_cast<double>(rows[i].right) - rows[i].left;
        values[count++] = static_cast<double>(rows[i].bottom) - rows[i].top;
    }
    *rects = api.SafeArrayCreateVector(VT_R8, 0, static_cast<ULONG>(count));
    if (*rects == nullptr) {
        return E_OUTOFMEMORY;
    }
    for (LONG i = 0; i < count; ++i) {
        api.SafeArrayPutElement(*rects, &i, &values[i]);
    }
    return S_OK;
}

HRESULT ChatRange::ScrollIntoView(BOOL alignToTop) {
    return Serve(*this, [&](HWND hwnd, ChatState* s) { return Scroll(hwnd, s, alignToTop); });
}

HRESULT ChatRange::Scroll(HWND hwnd, ChatState* s, BOOL alignToTop) {
    if (s->layout.lineCount == 0) {
        return S_OK;
    }
    const size_t first = LayoutLineOf(s->layout, r_.start);
    const size_t last = LayoutLineOf(s->layout, r_.end > r_.start ? r_.end - 1 : r_.end);
    const size_t rows = FullRows(*s);
    if (alignToTop) {
        ScrollTo(hwnd, *s, std::min(first, MaxTop(*s)));
    } else if (last < s->top || last >= s->top + rows) {
        ScrollTo(hwnd, *s, last + 1 >= rows ? last + 1 - rows : 0);
    }
    return S_OK;
}

} // namespace

uia::ITextRangeProvider* NewRange(TextElement* element, const TextRange& r) {
    return new (std::nothrow) ChatRange(element, r);
}

size_t OffsetAtScreen(HWND hwnd, const ChatState& s, POINT p) {
    ScreenToClient(hwnd, &p);
    return NearestShownOffset(s, p);
}

ScopedBstr TextOf(const ChatState& s, size_t start, size_t end, int maxLength) {
    end = std::min(end, s.layout.length);
    start = std::min(start, end);
    size_t bytes = end - start;
    if (maxLength >= 0) {
        bytes = std::min<size_t>(
            bytes, static_cast<size_t>(maxLength)); // a byte makes at most one character
    }
    const int n = bytes != 0 ? MultiByteToWideChar(CP_ACP, 0, s.layout.text + start,
                                                   static_cast<int>(bytes), nullptr, 0)
                             : 0;
    ScopedBstr text(nullptr, static_cast<size_t>(n));
    if (text.Get() != nullptr && n != 0) {
        MultiByteToWideChar(CP_ACP, 0, s.layout.text + start, static_cast<int>(bytes), text.Get(),
                            n);
    }
    if (text.Get() != nullptr && maxLength >= 0 && n > maxLength) {
        text.Get()[maxLength] = L'\0'; // the string's length stays; clients read to the NUL
    }
    return text;
}

SAFEARRAY* RangeArray(uia::ITextRangeProvider* range) {
    const uia::Api& api = uia::Functions();
    if (range == nullptr || api.SafeArrayCreateVector == nullptr ||
        api.SafeArrayPutElement == nullptr) {
        return nullptr;
    }
    SAFEARRAY* array = api.SafeArrayCreateVector(VT_UNKNOWN, 0, 1);
    LONG index = 0;
    if (array != nullptr) {
        api.SafeArrayPutElement(array, &index, static_cast<IUnknown*>(range));
    }
    return array;
}

} // namespace chatlist
