#include "transcript/ChatList.h"

#include "app/AppState.h"

#include <string>

namespace {

struct ChatState {
    std::string text;
    COLORREF textColor = 0;
    COLORREF backColor = RGB(255, 255, 255);
    HFONT font = nullptr;
};

ChatState* StateOf(HWND hwnd) {
    return reinterpret_cast<ChatState*>(GetWindowLongPtrA(hwnd, 0));
}

LRESULT OnCreate(HWND hwnd) {
    SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(new ChatState));
    return 0;
}

LRESULT OnPaint(HWND hwnd, ChatState& s) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);
    HBRUSH brush = CreateSolidBrush(s.backColor);
    FillRect(dc, &rc, brush);
    DeleteObject(brush);
    HGDIOBJ oldFont = SelectObject(dc, s.font ? s.font : GetStockObject(SYSTEM_FIXED_FONT));
    SetTextColor(dc, s.textColor);
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, s.text.c_str(), static_cast<int>(s.text.size()), &rc, DT_LEFT | DT_WORDBREAK);
    SelectObject(dc, oldFont);
    EndPaint(hwnd, &ps);
    return 0;
}

} // namespace

ATOM RegisterChatListClass(HINSTANCE instance) {
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = ChatListProc;
    wc.cbWndExtra = sizeof(LONG_PTR);
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32513)); // IDC_IBEAM
    wc.lpszClassName = Str::ChatListClass;
    return RegisterClassA(&wc);
}

LRESULT CALLBACK ChatListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        return OnCreate(hwnd);
    }
    if (message == WM_GETDLGCODE) {
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    }
    ChatState* s = StateOf(hwnd);
    if (s == nullptr) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    switch (message) {
    case WM_DESTROY:
        SetWindowLongPtrA(hwnd, 0, 0);
        delete s;
        return 0;
    case WM_PAINT: return OnPaint(hwnd, *s);
    case WM_SETTEXT:
        s->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
        InvalidateRect(hwnd, nullptr, TRUE);
        return TRUE;
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(s->text.size());
    case WM_GETTEXT: {
        if (wParam == 0 || lParam == 0) {
            return 0;
        }
        const size_t n = s->text.size() < wParam - 1 ? s->text.size() : wParam - 1;
        char* out = reinterpret_cast<char*>(lParam);
        s->text.copy(out, n);
        out[n] = '\0';
        return static_cast<LRESULT>(n);
    }
    case WM_SETFONT: s->font = reinterpret_cast<HFONT>(wParam); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s->font);
    case CLM_SETCOLORS:
        s->textColor = static_cast<COLORREF>(wParam);
        s->backColor = static_cast<COLORREF>(lParam);
        return 0;
    case WM_VSCROLL:
    case WM_SIZE:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEWHEEL:
    case WM_RBUTTONDOWN:
    case WM_USER:
    case WM_USER + 1:
    case WM_USER + 3: return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}
