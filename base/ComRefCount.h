// The reference count of the transcript's COM objects (made with new, handed
// out with one reference): the object deletes itself when the last one goes.
#pragma once

#include <windows.h>
#include <unknwn.h>

class ComRefCount {
public:
    ULONG Up() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    template <typename Object> ULONG Down(Object* object) {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0) {
            delete object;
        }
        return static_cast<ULONG>(left);
    }

private:
    LONG refs_ = 1;
};

// QueryInterface's answer: the interface offered (nullptr when it is not),
// with a reference for the caller.
inline HRESULT OfferInterface(void** out, IUnknown* offered) {
    if (out == nullptr) {
        return E_POINTER;
    }
    *out = offered;
    if (offered == nullptr) {
        return E_NOINTERFACE;
    }
    offered->AddRef();
    return S_OK;
}
