#include "tests/support/Finders.h"

#include <commctrl.h>

#include <algorithm>

namespace {

std::string ClassOf(HWND hwnd) {
    char name[64] = "";
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

// Calls the function with each child of the class (in any case) in turn while it answers true.
template <class Visit> void EachChild(HWND parent, const char* className, Visit visit) {
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (lstrcmpiA(ClassOf(child).c_str(), className) == 0 && !visit(child)) {
            return;
        }
    }
}

struct FindContext {
    DWORD pid;
    const char* className;
    const char* title;
    HWND found;
};

BOOL CALLBACK FindProc(HWND hwnd, LPARAM lParam) {
    auto* ctx = reinterpret_cast<FindContext*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != ctx->pid || !IsWindowVisible(hwnd)) {
        return TRUE;
    }
    if (ctx->className != nullptr && ClassOf(hwnd) != ctx->className) {
        return TRUE;
    }
    if (ctx->title != nullptr) {
        char title[256] = "";
        GetWindowTextA(hwnd, title, sizeof title);
        if (lstrcmpA(title, ctx->title) != 0) {
            return TRUE;
        }
    }
    ctx->found = hwnd;
    return FALSE;
}

GUITHREADINFO GuiThreadOf(HWND window) {
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &gui)) {
        gui = GUITHREADINFO{};
    }
    return gui;
}

BOOL CALLBACK CollectDialog(HWND hwnd, LPARAM lParam) {
    if (IsDialog(hwnd) && IsWindowEnabled(hwnd)) {
        reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
    }
    return TRUE;
}

} // namespace

std::string WindowText(HWND hwnd) {
    // A window of this thread is called directly, with no time limit to keep;
    // SendMessageTimeoutA there fails on Wine 10 for a buffer of 2 MiB or more
    // (tools/BigTextMessage.cpp).
    const bool own = GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId();
    const auto ask = [&](UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* answer) {
        if (own) {
            *answer = static_cast<DWORD_PTR>(SendMessageA(hwnd, message, wParam, lParam));
            return true;
        }
        return SendMessageTimeoutA(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, answer) !=
               0;
    };
    DWORD_PTR length = 0;
    if (!ask(WM_GETTEXTLENGTH, 0, 0, &length)) {
        return std::string();
    }
    std::vector<char> buffer(length + 1);
    DWORD_PTR got = 0;
    ask(WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), &got);
    return std::string(buffer.data(), std::min<size_t>(got, buffer.size() - 1));
}

std::string DialogStatics(HWND dialog) {
    std::string all;
    EachChild(dialog, "Static", [&](HWND child) {
        all += WindowText(child) + "\n";
        return true;
    });
    return all;
}

HWND ChildWithStyle(HWND parent, const char* className, LONG typeMask, LONG type) {
    HWND found = nullptr;
    EachChild(parent, className, [&](HWND child) {
        if ((GetWindowLongA(child, GWL_STYLE) & typeMask) == type) {
            found = child;
        }
        return found == nullptr;
    });
    return found;
}

bool IsDialog(HWND hwnd) {
    return ClassOf(hwnd) == "#32770" && IsWindowVisible(hwnd);
}

HWND FindProcessWindow(DWORD processId, const char* className, const char* title) {
    FindContext ctx{processId, className, title, nullptr};
    EnumWindows(FindProc, reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

std::vector<HWND> ThreadDialogs() {
    std::vector<HWND> dialogs;
    EnumThreadWindows(GetCurrentThreadId(), CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
    return dialogs;
}

HWND FocusIn(HWND window) {
    return GuiThreadOf(window).hwndFocus;
}

bool InMenuMode(HWND window) {
    return (GuiThreadOf(window).flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE)) != 0;
}

RECT ScreenRect(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

bool FindFrameHit(HWND hwnd, LRESULT code, const RECT& area, POINT* where) {
    RECT hits{area.right, area.bottom, area.left, area.top}; // nothing yet
    for (LONG y = area.top; y < area.bottom; ++y) {
        for (LONG x = area.left; x < area.right; ++x) {
            DWORD_PTR hit = 0;
            SendMessageTimeoutA(hwnd, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 2000,
                                &hit);
            if (static_cast<LRESULT>(hit) == code) {
                hits = RECT{std::min(hits.left, x), std::min(hits.top, y), std::max(hits.right, x),
                            std::max(hits.bottom, y)};
            }
        }
    }
    if (hits.left > hits.right) {
        return false;
    }
    *where = Centre(hits);
    return true;
}

bool FindCloseBox(HWND hwnd, POINT* where) {
    const RECT r = ScreenRect(hwnd);
    return FindFrameHit(hwnd, HTCLOSE, RECT{r.right - 80, r.top, r.right, r.top + 40}, where);
}

bool FindMenuBar(HWND hwnd, POINT* where) {
    // Down a line through the first item, wherever the caption ends.
    const RECT r = ScreenRect(hwnd);
    return FindFrameHit(hwnd, HTMENU, RECT{r.left + 20, r.top, r.left + 21, r.top + 80}, where);
}

int ToolbarButtonIndex(HWND toolbar, int command) {
    DWORD_PTR index = 0;
    if (!SendMessageTimeoutA(toolbar, TB_COMMANDTOINDEX, static_cast<WPARAM>(command), 0,
                             SMTO_ABORTIFHUNG, 3000, &index)) {
        return -1;
    }
    return static_cast<int>(index);
}

RECT ToolbarItemRect(HWND toolbar, int index) {
    RECT r{};
    DWORD processId = 0;
    GetWindowThreadProcessId(toolbar, &processId);
    const HANDLE process =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (process == nullptr || index < 0) {
        if (process != nullptr) {
            CloseHandle(process);
        }
        return r;
    }
    void* lent =
        VirtualAllocEx(process, nullptr, sizeof r, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    DWORD_PTR ok = 0;
    if (lent != nullptr &&
        SendMessageTimeoutA(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(index),
                            reinterpret_cast<LPARAM>(lent), SMTO_ABORTIFHUNG, 3000, &ok) &&
        ok && ReadProcessMemory(process, lent, &r, sizeof r, nullptr)) {
        MapWindowPoints(toolbar, nullptr, reinterpret_cast<POINT*>(&r), 2);
    } else {
        r = RECT{};
    }
    if (lent != nullptr) {
        VirtualFreeEx(process, lent, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return r;
}
