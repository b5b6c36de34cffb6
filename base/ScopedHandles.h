// Small owners of system handles: each gives back what it holds when it goes
// out of scope, so no path through a function can leak a DC, a selected
// object, a GDI object, a memory bitmap, the clipboard, pages, a file, a
// menu or a hook.
#pragma once

#include <windows.h>

// Owners are neither copied nor assigned: one handle, one owner.
class NoCopy {
public:
    NoCopy() = default;
    NoCopy(const NoCopy&) = delete;
    NoCopy& operator=(const NoCopy&) = delete;
};

// A window's device context from GetDC.
class ScopedGetDC : NoCopy {
public:
    explicit ScopedGetDC(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~ScopedGetDC() {
        if (dc_ != nullptr) {
            ReleaseDC(hwnd_, dc_);
        }
    }
    operator HDC() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// One paint cycle: BeginPaint now, EndPaint at the end of the scope.
class ScopedPaint : NoCopy {
public:
    explicit ScopedPaint(HWND hwnd) : hwnd_(hwnd) { dc_ = BeginPaint(hwnd, &ps_); }
    ~ScopedPaint() {
        if (dc_ != nullptr) {
            EndPaint(hwnd_, &ps_);
        }
    }
    operator HDC() const { return dc_; }
    const RECT& Area() const { return ps_.rcPaint; }

private:
    HWND hwnd_;
    HDC dc_;
    PAINTSTRUCT ps_{};
};

// An object selected into a DC; the one it replaced goes back.
class ScopedSelect : NoCopy {
public:
    ScopedSelect(HDC dc, HGDIOBJ object)
        : dc_(dc), old_(dc != nullptr && object != nullptr ? SelectObject(dc, object) : nullptr) {}
    ~ScopedSelect() {
        if (old_ != nullptr && old_ != HGDI_ERROR) {
            SelectObject(dc_, old_);
        }
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A handle that one function gives back (as WIL's unique_any): `Close` is
// called once, when the owner goes or takes another, unless the handle is
// `Invalid` (0 for most kinds, -1 for files) or has been handed on.
template <typename H, auto Close, LONG_PTR Invalid = 0> class ScopedHandle : NoCopy {
public:
    ScopedHandle() : handle_(reinterpret_cast<H>(Invalid)) {}
    explicit ScopedHandle(H handle) : handle_(handle) {}
    ~ScopedHandle() { Reset(reinterpret_cast<H>(Invalid)); }
    operator H() const { return handle_; }
    H Handle() const { return handle_; }
    bool IsOpen() const { return reinterpret_cast<LONG_PTR>(handle_) != Invalid; }
    // Gives back the handle held, if any, and holds `handle` instead.
    void Reset(H handle) {
        if (IsOpen()) {
            Close(handle_);
        }
        handle_ = handle;
    }
    // Hands the handle over to an owner that releases it itself.
    H Release() {
        const H handle = handle_;
        handle_ = reinterpret_cast<H>(Invalid);
        return handle;
    }

private:
    H handle_;
};

// A GDI object this code made (a brush, a pen, a bitmap, a font): deleted.
// Declare it before any ScopedSelect that selects it, so it is deselected first.
template <typename H> using ScopedGdiObject = ScopedHandle<H, DeleteObject>;

// A memory DC (compatible with a given one, or with the screen for nullptr).
class ScopedMemoryDC : public ScopedHandle<HDC, DeleteDC> {
public:
    explicit ScopedMemoryDC(HDC like) : ScopedHandle(CreateCompatibleDC(like)) {}
};

// A bitmap of a given size selected into a memory DC of its own, to draw off
// screen: both made together, both gone together.
class MemoryBitmap : NoCopy {
public:
    MemoryBitmap(HDC like, int width, int height)
        : dc_(like), bitmap_(like != nullptr && width > 0 && height > 0
                                 ? CreateCompatibleBitmap(like, width, height)
                                 : nullptr),
          select_(dc_, bitmap_) {}
    bool Ok() const { return dc_.IsOpen() && bitmap_.IsOpen(); }
    HDC Dc() const { return dc_; }
    HBITMAP Bitmap() const { return bitmap_; }

private:
    ScopedMemoryDC dc_;
    ScopedGdiObject<HBITMAP> bitmap_;
    ScopedSelect select_; // goes first: the bitmap leaves the DC before either is deleted
};

// The clipboard, open for the scope.
class ScopedClipboard : NoCopy {
public:
    explicit ScopedClipboard(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
    ~ScopedClipboard() {
        if (open_) {
            CloseClipboard();
        }
    }
    bool IsOpen() const { return open_; }

private:
    bool open_;
};

// A movable global memory block, freed unless the clipboard took it.
class ScopedGlobal : public ScopedHandle<HGLOBAL, GlobalFree> {
public:
    explicit ScopedGlobal(SIZE_T bytes)
        : ScopedHandle(bytes != 0 ? GlobalAlloc(GMEM_MOVEABLE, bytes) : nullptr) {}
    // Once the clipboard holds the block, the system frees it.
    void PutOnClipboard(UINT format) {
        if (IsOpen() && SetClipboardData(format, Handle()) != nullptr) {
            Release();
        }
    }
};

// A global block's bytes, locked for the scope.
class ScopedGlobalLock : NoCopy {
public:
    explicit ScopedGlobalLock(HGLOBAL memory)
        : memory_(memory), bytes_(memory != nullptr ? GlobalLock(memory) : nullptr) {}
    ~ScopedGlobalLock() {
        if (bytes_ != nullptr) {
            GlobalUnlock(memory_);
        }
    }
    template <typename T> T* As() const { return static_cast<T*>(bytes_); }

private:
    HGLOBAL memory_;
    void* bytes_;
};

inline BOOL WINAPI FreePages(BYTE* bytes) {
    return VirtualFree(bytes, 0, MEM_RELEASE);
}

// Committed pages from the system's page allocator, for one operation: a
// large buffer that goes back to the system whole when the operation ends.
class ScopedPages : public ScopedHandle<BYTE*, FreePages> {
public:
    explicit ScopedPages(SIZE_T bytes)
        : ScopedHandle(
              static_cast<BYTE*>(VirtualAlloc(nullptr, bytes, MEM_COMMIT, PAGE_READWRITE))) {}
    BYTE* Bytes() const { return Handle(); }
};

// A file handle from CreateFile: closed.
using ScopedFile = ScopedHandle<HANDLE, CloseHandle, -1>;

// A popup menu made for one showing: destroyed.
class ScopedPopupMenu : public ScopedHandle<HMENU, DestroyMenu> {
public:
    ScopedPopupMenu() : ScopedHandle(CreatePopupMenu()) {}
};

// A hook on the calling thread: unhooked.
class ScopedHook : public ScopedHandle<HHOOK, UnhookWindowsHookEx> {
public:
    // Hooks `proc` in, unless a hook is held already.
    void Set(int kind, HOOKPROC proc) {
        if (!IsOpen()) {
            Reset(SetWindowsHookExA(kind, proc, nullptr, GetCurrentThreadId()));
        }
    }
    bool IsSet() const { return IsOpen(); }
};
