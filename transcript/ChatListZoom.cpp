// The transcript's zoom (see ChatListZoom.h). The levels grow by a quarter to
// a third a step, so that each press shows, up to four times the given font,
// where an ordinary window still shows a few lines; none lies below 100 %,
// the given font, which is the smallest the fixed bitmap font draws well.
#include "transcript/ChatListZoom.h"

#include "base/ScopedHandles.h"
#include "transcript/ChatListCaret.h"
#include "transcript/ChatListEvents.h"
#include "transcript/ChatListView.h"

#include <algorithm>
#include <iterator>

namespace chatlist {
namespace {

constexpr int kLevels[] = {100, 125, 150, 200, 250, 300, 400};
constexpr size_t kLargest = std::size(kLevels) - 1;
// Fixed-pitch TrueType faces that every Windows has, the one with the most
// character sets first; then whatever the font mapper finds (on Wine, the
// host's own fixed-pitch fonts).
constexpr const char* kFaces[] = {"Courier New", "Lucida Console", "Consolas", ""};
constexpr UINT_PTR kLabelTimer = 3;
constexpr UINT kLabelShows = 1000; // ms
// A Ctrl+wheel turn this soon after a plain one is the wheel still spinning
// as Ctrl goes down: it scrolls on.
constexpr DWORD kStillSpinning = 300; // ms
constexpr int kLabelPad = 4;

// The glyph that stands for control bytes: a middle dot where the code page
// has one, else a question mark.
unsigned char ControlGlyph() {
    WCHAR wide = 0;
    const char dot = static_cast<char>(0xB7);
    if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, &dot, 1, &wide, 1) == 1 &&
        wide == 0x00B7) {
        return 0xB7;
    }
    return '?';
}

HFONT GivenFont(const ChatState& s) {
    return s.font != nullptr ? s.font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

// The cell height of the given font at the current level.
int ScaledHeight(const TEXTMETRICA& given, size_t step) {
    return (given.tmHeight * kLevels[step] + 99) / 100;
}

// A TrueType fixed-pitch font (the pitch bit set means variable) of the
// given font's character set, so that every byte keeps its character; its
// cell height in `height`.
bool Fits(HDC dc, HFONT font, BYTE charset, int& height) {
    TEXTMETRICA tm{};
    const ScopedSelect selected(dc, font);
    if (!GetTextMetricsA(dc, &tm)) {
        return false;
    }
    height = tm.tmHeight;
    return (tm.tmPitchAndFamily & TMPF_TRUETYPE) != 0 &&
           (tm.tmPitchAndFamily & TMPF_FIXED_PITCH) == 0 && tm.tmCharSet == charset;
}

HFONT CreateZoomFont(const TEXTMETRICA& given, int height, const char* face) {
    return CreateFontA(height, 0, 0, 0, given.tmWeight, FALSE, FALSE, FALSE, given.tmCharSet,
                       OUT_TT_ONLY_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       FIXED_PITCH | FF_MODERN, face);
}

// The first face that fits, with a cell of at least the scaled height: a
// scaled font may round its cell down a pixel, and is then asked once more.
HFONT MakeZoomFont(HDC dc, const TEXTMETRICA& given, size_t step) {
    const int wanted = ScaledHeight(given, step);
    for (const char* face : kFaces) {
        ScopedGdiObject<HFONT> font(CreateZoomFont(given, wanted, face));
        int height = 0;
        if (!font.IsOpen() || !Fits(dc, font, given.tmCharSet, height)) {
            continue;
        }
        if (height < wanted) {
            font.Reset(CreateZoomFont(given, 2 * wanted - height, face));
        }
        return font.Release();
    }
    return nullptr;
}

// Where the view stood before a zoom: the same top line, or the caret's line
// at the same height while the pane has the focus and shows the caret.
struct Place {
    bool following;
    size_t topOffset;
    bool onCaret;
    int caretY;
};

Place PlaceOf(const ChatState& s) {
    Place p{Following(s), TopOffset(s), false, 0};
    if (s.caretShown && s.layout.lineCount != 0) {
        const size_t line = CaretLine(s.layout, s.sel.caret, s.caretPlace);
        if (line >= s.top && line < s.top + FullRows(s)) {
            p.onCaret = true;
            p.caretY = static_cast<int>(line - s.top) * s.lineHeight;
        }
    }
    return p;
}

void Restore(HWND hwnd, ChatState& s, const Place& p) {
    size_t topOffset = p.topOffset;
    if (p.onCaret && !p.following) {
        const size_t line = CaretLine(s.layout, s.sel.caret, s.caretPlace);
        const size_t row = std::min<size_t>(p.caretY / s.lineHeight, FullRows(s) - 1);
        topOffset = LayoutLineStart(s.layout, line > row ? line - row : 0);
    }
    KeepPlace(hwnd, s, p.following, topOffset);
}

int LabelText(const ChatState& s, char* label) {
    return wsprintfA(label, "Zoom %d %%", ZoomLevel(s));
}

RECT LabelRect(HDC dc, const ChatState& s, const char* label, int n) {
    SIZE extent{};
    GetTextExtentPoint32A(dc, label, n, &extent);
    const LONG right = s.clientWidth - kLabelPad;
    return RECT{right - extent.cx - 2 * kLabelPad, kLabelPad, right, kLabelPad + extent.cy + 2};
}

void CALLBACK HideLabel(HWND hwnd, UINT, UINT_PTR id, DWORD) {
    KillTimer(hwnd, id);
    ChatState* s = StateOf(hwnd);
    if (s != nullptr && s->zoomLabelShown) {
        s->zoomLabelShown = false;
        InvalidateRect(hwnd, &s->zoomLabelRect, FALSE);
    }
}

void ShowLevel(HWND hwnd, ChatState& s) {
    char label[32];
    const int n = LabelText(s, label);
    wchar_t said[32];
    MultiByteToWideChar(CP_ACP, 0, label, -1, said, static_cast<int>(std::size(said)));
    AutomationSay(hwnd, s, said, L"bALDRIX.Zoom");
    const ScopedGetDC dc(hwnd);
    const ScopedSelect font(dc, FontOf(s));
    const RECT r = LabelRect(dc, s, label, n);
    InvalidateRect(hwnd, &r, FALSE);
    s.zoomLabelShown = SetTimer(hwnd, kLabelTimer, kLabelShows, HideLabel) != 0;
}

void ZoomTo(HWND hwnd, ChatState& s, size_t step) {
    if (step != s.zoomStep) {
        const Place place = PlaceOf(s);
        s.zoomStep = step;
        MeasureFont(hwnd, s);
        s.caretPlace.keepX = false; // its column was in the old font's pixels
        RemakeCaret(hwnd, s);
        Restore(hwnd, s, place);
    }
    ShowLevel(hwnd, s);
}

} // namespace

HFONT FontOf(const ChatState& s) {
    return s.zoomFont.IsOpen() ? s.zoomFont.Handle() : GivenFont(s);
}

void MeasureFont(HWND hwnd, ChatState& s) {
    TEXTMETRICA tm{};
    INT widths[256];
    bool measured = false;
    {
        const ScopedGetDC dc(hwnd);
        if (dc == nullptr) {
            return;
        }
        if (s.zoomStep != 0) {
            TEXTMETRICA given{};
            {
                const ScopedSelect font(dc, GivenFont(s));
                GetTextMetricsA(dc, &given);
            }
            s.zoomFont.Reset(MakeZoomFont(dc, given, s.zoomStep));
            if (!s.zoomFont.IsOpen()) {
                s.zoomStep = 0; // no font to scale: the text stays, and says, 100 %
            }
        } else {
            s.zoomFont.Reset(nullptr);
        }
        const ScopedSelect font(dc, FontOf(s));
        GetTextMetricsA(dc, &tm);
        measured = GetCharWidth32A(dc, 0, 255, widths) != FALSE;
    }

    ChatMetrics m{};
    const int average = tm.tmAveCharWidth > 0 ? tm.tmAveCharWidth : 8;
    for (int c = 0; c < 256; ++c) {
        m.advance[c] = measured ? widths[c] : average;
    }
    m.controlGlyph = ControlGlyph();
    for (int c = 0; c < 0x20; ++c) {
        m.advance[c] = m.advance[m.controlGlyph];
    }
    m.advance[0x7F] = m.advance[m.controlGlyph];
    m.tabWidth = 8 * average;
    s.lineHeight = tm.tmHeight > 0 ? tm.tmHeight : 16;
    LayoutSetMetrics(s.layout, m);
}

LRESULT OnGetFont(const ChatState& s) {
    return reinterpret_cast<LRESULT>(s.zoomFont.IsOpen() ? s.zoomFont.Handle() : s.font);
}

LRESULT OnSetFont(HWND hwnd, ChatState& s, HFONT font) {
    // The owner handing back the zoomed font that WM_GETFONT answered changes nothing.
    if (font != nullptr && font == s.zoomFont.Handle()) {
        return 0;
    }
    const bool following = Following(s);
    const size_t topOffset = TopOffset(s);
    s.font = font;
    MeasureFont(hwnd, s);
    RemakeCaret(hwnd, s);
    KeepPlace(hwnd, s, following, topOffset);
    return 0;
}

int ZoomLevel(const ChatState& s) {
    return kLevels[s.zoomStep];
}

bool ZoomAtSmallest(const ChatState& s) {
    return s.zoomStep == 0;
}

bool ZoomAtLargest(const ChatState& s) {
    return s.zoomStep == kLargest;
}

LRESULT OnZoom(HWND hwnd, ChatState& s, WPARAM how) {
    switch (how) {
    case CLZ_IN: ZoomTo(hwnd, s, std::min(s.zoomStep + 1, kLargest)); break;
    case CLZ_OUT: ZoomTo(hwnd, s, s.zoomStep > 0 ? s.zoomStep - 1 : 0); break;
    case CLZ_NORMAL: ZoomTo(hwnd, s, 0); break;
    default: break;
    }
    return ZoomLevel(s);
}

bool ZoomWheel(HWND hwnd, ChatState& s, WPARAM wParam) {
    const DWORD now = static_cast<DWORD>(GetMessageTime());
    const bool ctrl = (GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL) != 0;
    if (!ctrl || (s.wheelScrolled && now - s.scrollWheelTime < kStillSpinning)) {
        s.wheelScrolled = true;
        s.scrollWheelTime = now;
        s.zoomWheel = 0;
        return false;
    }
    const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
    // A turn the other way drops what is left of the last one.
    if ((delta > 0 && s.zoomWheel < 0) || (delta < 0 && s.zoomWheel > 0)) {
        s.zoomWheel = 0;
    }
    s.zoomWheel += delta;
    const int notches = s.zoomWheel / WHEEL_DELTA;
    s.zoomWheel -= notches * WHEEL_DELTA;
    if (notches != 0) {
        const long long step = static_cast<long long>(s.zoomStep) + notches;
        ZoomTo(
            hwnd, s,
            static_cast<size_t>(std::clamp<long long>(step, 0, static_cast<long long>(kLargest))));
    }
    return true;
}

void DrawZoomLevel(HDC dc, ChatState& s, const Palette& c) {
    if (!s.zoomLabelShown) {
        return;
    }
    char label[32];
    const int n = LabelText(s, label);
    const RECT r = LabelRect(dc, s, label, n);
    SetTextColor(dc, c.selText);
    SetBkColor(dc, c.selBack);
    ExtTextOutA(dc, r.left + kLabelPad, r.top + 1, ETO_OPAQUE | ETO_CLIPPED, &r, label,
                static_cast<UINT>(n), nullptr);
    s.zoomLabelRect = r;
}

} // namespace chatlist
