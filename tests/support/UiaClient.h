// UI Automation's client, as a screen reader in another thread or process
// uses it: a node for a window, and its properties. The SDK at hand neither
// links these functions nor declares them in a form C++ takes, so they are
// taken from the system's library at run time.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <type_traits>

struct UiaProperties {
    bool found = false; // the system gave a node for the window
    std::wstring name;
    int controlType = 0;
    bool focusable = false;
};

// The name (30005), control type (30003) and keyboard focusability (30009) of
// the window's node, asked from the calling thread, which must have COM.
inline UiaProperties UiaPropertiesOf(HWND hwnd) {
    using Node = void*;
    HRESULT(WINAPI * nodeFromHandle)(HWND, Node*) = nullptr;
    HRESULT(WINAPI * getPropertyValue)(Node, int, VARIANT*) = nullptr;
    BOOL(WINAPI * nodeRelease)(Node) = nullptr;
    const HMODULE core =
        LoadLibraryExA("uiautomationcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    const auto take = [core](const char* name, auto& fn) {
        using Fn = std::remove_reference_t<decltype(fn)>;
        fn = core != nullptr
                 ? reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(core, name)))
                 : nullptr;
    };
    take("UiaNodeFromHandle", nodeFromHandle);
    take("UiaGetPropertyValue", getPropertyValue);
    take("UiaNodeRelease", nodeRelease);
    UiaProperties p;
    Node node = nullptr;
    if (nodeFromHandle == nullptr || getPropertyValue == nullptr || nodeRelease == nullptr ||
        FAILED(nodeFromHandle(hwnd, &node)) || node == nullptr) {
        return p;
    }
    p.found = true;
    VARIANT v;
    VariantInit(&v);
    if (SUCCEEDED(getPropertyValue(node, 30005, &v)) && v.vt == VT_BSTR && v.bstrVal != nullptr) {
        p.name = v.bstrVal;
    }
    VariantClear(&v);
    if (SUCCEEDED(getPropertyValue(node, 30003, &v)) && v.vt == VT_I4) {
        p.controlType = v.lVal;
    }
    VariantClear(&v);
    if (SUCCEEDED(getPropertyValue(node, 30009, &v)) && v.vt == VT_BOOL) {
        p.focusable = v.boolVal == VARIANT_TRUE;
    }
    VariantClear(&v);
    nodeRelease(node);
    return p;
}

// What the system answers a provider that asks whether any client listens
// for events (UiaClientsAreListening); false where it cannot be asked.
inline bool UiaSaysClientsListen() {
    const HMODULE core =
        LoadLibraryExA("uiautomationcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    const FARPROC ask = core != nullptr ? GetProcAddress(core, "UiaClientsAreListening") : nullptr;
    return ask != nullptr && reinterpret_cast<BOOL(WINAPI*)()>(reinterpret_cast<void (*)()>(ask))();
}

// A client that listens for one UI Automation event, as a screen reader does:
// on a window's node, or on the desktop window's node (the root of the tree)
// and everything under it. It counts the events the system hands it. Made and
// ended on a thread with COM.
class UiaListener {
public:
    UiaListener(HWND hwnd, int eventId) {
        const HMODULE core =
            LoadLibraryExA("uiautomationcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (core == nullptr || !Take(core, "UiaNodeFromHandle", nodeFromHandle_) ||
            !Take(core, "UiaAddEvent", addEvent_) || !Take(core, "UiaRemoveEvent", removeEvent_) ||
            !Take(core, "UiaNodeRelease", nodeRelease_)) {
            return;
        }
        if (FAILED(nodeFromHandle_(hwnd, &node_)) || node_ == nullptr) {
            return;
        }
        Slots()[SlotOf(eventId)] = 0;
        Condition all{0}; // ConditionType_True
        CacheRequest request{&all, 1 /* TreeScope_Element */, nullptr, 0, nullptr, 0, 1 /* Full */};
        const int scope = hwnd != GetDesktopWindow() ? 1 : 7; // the element, or the whole tree
        added_ =
            SUCCEEDED(addEvent_(node_, eventId, &OnEvent, scope, nullptr, 0, &request, &event_));
        eventId_ = eventId;
    }
    ~UiaListener() {
        if (added_) {
            removeEvent_(event_);
        }
        if (node_ != nullptr) {
            nodeRelease_(node_);
        }
    }
    UiaListener(const UiaListener&) = delete;
    UiaListener& operator=(const UiaListener&) = delete;

    // Whether the system took the listener.
    bool Listening() const { return added_; }
    // How many of its events the listener has been handed so far.
    long Heard() const {
        return added_ ? InterlockedCompareExchange(&Slots()[SlotOf(eventId_)], 0, 0) : 0;
    }

private:
    struct Condition {
        int type;
    };
    struct CacheRequest {
        Condition* view;
        int scope;
        int* properties;
        int propertyCount;
        int* patterns;
        int patternCount;
        int mode;
    };
    struct EventArgs {
        int type;
        int eventId;
    };
    template <typename Fn> static bool Take(HMODULE core, const char* name, Fn& fn) {
        fn = reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(core, name)));
        return fn != nullptr;
    }
    // One count for each kind of event (ids 20000 on): the callback is told only the id.
    static volatile LONG* Slots() {
        static volatile LONG slots[64];
        return slots;
    }
    static int SlotOf(int eventId) { return (eventId - 20000) & 63; }
    static void WINAPI OnEvent(EventArgs* args, SAFEARRAY*, BSTR) {
        if (args != nullptr) {
            InterlockedIncrement(&Slots()[SlotOf(args->eventId)]);
        }
    }

    using Node = void*;
    HRESULT(WINAPI* nodeFromHandle_)(HWND, Node*) = nullptr;
    HRESULT(WINAPI* addEvent_)
    (Node, int, void(WINAPI*)(EventArgs*, SAFEARRAY*, BSTR), int, int*, int, CacheRequest*,
     void**) = nullptr;
    HRESULT(WINAPI* removeEvent_)(void*) = nullptr;
    BOOL(WINAPI* nodeRelease_)(Node) = nullptr;
    Node node_ = nullptr;
    void* event_ = nullptr;
    int eventId_ = 0;
    bool added_ = false;
};
