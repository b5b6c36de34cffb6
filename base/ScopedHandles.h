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

// A GDI object this code made (a brush, a pen, a bitmap, a font): deleted.
// Declare it before any ScopedSelect that selects it, so it is deselected first.
template <typename Handle> class ScopedGdiObject : NoCopy {
public:
    explicit ScopedGdiObject(Handle handle) : handle_(handle) {}
    ~ScopedGdiObject() {
        if (handle_ != nullptr) {
            DeleteObject(handle_);
        }
    }
    operator Handle() const { return handle_; }
    Handle Get() const { return handle_; }
    // Hands the object over to an owner that deletes it itself.
    Handle Release() {
        const Handle handle = handle_;
        handle_ = nullptr;
        return handle;
    }

private:
    Handle handle_;
};

// A memory DC (compatible with a given one, or with the screen for nullptr).
class ScopedMemoryDC : NoCopy {
public:
    explicit ScopedMemoryDC(HDC like) : dc_(CreateCompatibleDC(like)) {}
    ~ScopedMemoryDC() {
        if (dc_ != nullptr) {
            DeleteDC(dc_);
        }
    }
    operator HDC() const { return dc_; }

private:
    HDC dc_;
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
    bool Ok() const { return static_cast<HDC>(dc_) != nullptr && bitmap_.Get() != nullptr; }
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
class ScopedGlobal : NoCopy {
public:
    explicit ScopedGlobal(SIZE_T bytes)
        : memory_(bytes != 0 ? GlobalAlloc(GMEM_MOVEABLE, bytes) : nullptr) {}
    ~ScopedGlobal() {
        if (memory_ != nullptr) {
            GlobalFree(memory_);
        }
    }
    HGLOBAL Handle() const { return memory_; }
    // Once the clipboard holds the block, the system frees it.
    void PutOnClipboard(UINT format) {
        if (memory_ != nullptr && SetClipboardData(format, memory_) != nullptr) {
            memory_ = nullptr;
        }
    }

private:
    HGLOBAL memory_;
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

// Committed pages from the system's page allocator, for one operation: a
// large buffer that goes back to the system whole when the operation ends.
class ScopedPages : NoCopy {
public:
    explicit ScopedPages(SIZE_T bytes)
        : bytes_(static_cast<BYTE*>(VirtualAlloc(nullptr, bytes, MEM_COMMIT, PAGE_READWRITE))) {}
    ~ScopedPages() {
        if (bytes_ != nullptr) {
            VirtualFree(bytes_, 0, MEM_RELEASE);
        }
    }
    BYTE* Bytes() const { return bytes_; }

private:
    BYTE* bytes_;
};

// A file handle from CreateFile: closed.
class ScopedFile : NoCopy {
public:
    explicit ScopedFile(HANDLE file) : file_(file) {}
    ~ScopedFile() {
        if (file_ != INVALID_HANDLE_VALUE) {
            CloseHandle(file_);
        }
    }
    bool IsOpen() const { return file_ != INVALID_HANDLE_VALUE; }
    HANDLE Handle() const { return file_; }

private:
    HANDLE file_;
};

// A popup menu made for one showing: destroyed.
class ScopedPopupMenu : NoCopy {
public:
    ScopedPopupMenu() : menu_(CreatePopupMenu()) {}
    ~ScopedPopupMenu() {
        if (menu_ != nullptr) {
            DestroyMenu(menu_);
        }
    }
    HMENU Handle() const { return menu_; }

private:
    HMENU menu_;
};

// A hook on the calling thread: unhooked.
class ScopedHook : NoCopy {
public:
    ScopedHook() = default;
    ~ScopedHook() {
        if (hook_ != nullptr) {
            UnhookWindowsHookEx(hook_);
        }
    }
    // Hooks `proc` in, unless a hook is held already.
    void Set(int kind, HOOKPROC proc) {
        if (hook_ == nullptr) {
            hook_ = SetWindowsHookExA(kind, proc, nullptr, GetCurrentThreadId());
        }
    }
    bool IsSet() const { return hook_ != nullptr; }

private:
    HHOOK hook_ = nullptr;
};
