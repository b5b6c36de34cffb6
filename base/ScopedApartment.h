// The calling thread as a single-threaded COM apartment for the scope: COM
// then calls the objects that thread hands out on that thread alone.
#pragma once

#include <windows.h>
#include <objbase.h>

class ScopedApartment {
public:
    ScopedApartment() : entered_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ScopedApartment() {
        if (entered_) {
            CoUninitialize();
        }
    }
    ScopedApartment(const ScopedApartment&) = delete;
    ScopedApartment& operator=(const ScopedApartment&) = delete;

private:
    bool entered_;
};
