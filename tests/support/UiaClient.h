// UI Automation's client, as a screen reader in another thread or process
// uses it: a node for a window, and its properties. The SDK at hand neither
// links these functions nor declares them in a form C++ takes, so they are
// taken from the system's library at run time.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>

// A function of the system's UI Automation library; nullptr where it has none.
template <typename Fn> Fn UiaFunction(const char* name) {
    const HMODULE core =
        LoadLibraryExA("uiautomationcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return core != nullptr
               ? reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(core, name)))
               : nullptr;
}

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
    const auto nodeFromHandle = UiaFunction<HRESULT(WINAPI*)(HWND, Node*)>("UiaNodeFromHandle");
    const auto getPropertyValue =
        UiaFunction<HRESULT(WINAPI*)(Node, int, VARIANT*)>("UiaGetPropertyValue");
    const auto nodeRelease = UiaFunction<BOOL(WINAPI*)(Node)>("UiaNodeRelease");
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
    const auto ask = UiaFunction<BOOL(WINAPI*)()>("UiaClientsAreListening");
    return ask != nullptr && ask() != FALSE;
}

// A client that listens for one UI Automation event, as a screen reader does:
// on a window's node, or on the desktop window's node (the root of the tree)
// and everything under it. It counts the events the system hands it. Made and
// ended on a thread with COM.
class UiaListener {
public:
    UiaListener(HWND hwnd, int eventId) {
        if (nodeFromHandle_ == nullptr || addEvent_ == nullptr || removeEvent_ == nullptr ||
            nodeRelease_ == nullptr || FAILED(nodeFromHandle_(hwnd, &node_)) || node_ == nullptr) {
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
    using Callback = void(WINAPI*)(EventArgs*, SAFEARRAY*, BSTR);
    using AddEvent = HRESULT(WINAPI*)(Node, int, Callback, int, int*, int, CacheRequest*, void**);
    const AddEvent addEvent_ = UiaFunction<AddEvent>("UiaAddEvent");
    using NodeFromHandle = HRESULT(WINAPI*)(HWND, Node*);
    using RemoveEvent = HRESULT(WINAPI*)(void*);
    using NodeRelease = BOOL(WINAPI*)(Node);
    const NodeFromHandle nodeFromHandle_ = UiaFunction<NodeFromHandle>("UiaNodeFromHandle");
    const RemoveEvent removeEvent_ = UiaFunction<RemoveEvent>("UiaRemoveEvent");
    const NodeRelease nodeRelease_ = UiaFunction<NodeRelease>("UiaNodeRelease");
    Node node_ = nullptr;
    void* event_ = nullptr;
    int eventId_ = 0;
    bool added_ = false;
};
