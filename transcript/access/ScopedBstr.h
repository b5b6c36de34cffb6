// A BSTR this side made: freed when its owner goes, unless handed to a caller
// (a property, a text, a value), who frees it by the COM rule.
#pragma once

#include "transcript/access/ChatListUia.h"

#include <cstddef>

namespace chatlist {

class ScopedBstr {
public:
    ScopedBstr() = default;
    // `length` UTF-16 units, left uninitialised when `text` is null.
    ScopedBstr(const wchar_t* text, size_t length) {
        const uia::Api& api = uia::Functions();
        text_ = api.SysAllocStringLen != nullptr
                    ? api.SysAllocStringLen(text, static_cast<UINT>(length))
                    : nullptr;
    }
    explicit ScopedBstr(const wchar_t* text)
        : ScopedBstr(text, static_cast<size_t>(lstrlenW(text))) {}
    ~ScopedBstr() {
        if (text_ != nullptr && uia::Functions().SysFreeString != nullptr) {
            uia::Functions().SysFreeString(text_);
        }
    }
    ScopedBstr(ScopedBstr&& other) noexcept : text_(other.Release()) {}
    ScopedBstr(const ScopedBstr&) = delete;
    ScopedBstr& operator=(const ScopedBstr&) = delete;
    ScopedBstr& operator=(ScopedBstr&&) = delete;

    BSTR Get() const { return text_; }
    // The string, now the caller's to free.
    BSTR Release() {
        BSTR given = text_;
        text_ = nullptr;
        return given;
    }

private:
    BSTR text_ = nullptr;
};

} // namespace chatlist
