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
