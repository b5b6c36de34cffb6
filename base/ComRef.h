// A COM reference this side holds (the holder; base/ComRefCount.h is the
// counted object's side): released once, when the holder goes or lets go, so
// no path forgets a Release or makes a second. How to release is taken where
// the reference is handed over, where the object's class is known, so a record
// may hold a reference to a class it only declares.
#pragma once

#include <utility>

template <typename T> class ComRef {
public:
    ComRef() = default;
    // Takes over a reference already counted for this holder: a new object's
    // first one, or the one QueryInterface gave.
    explicit ComRef(T* counted) : object_(counted), release_(&ReleaseOf) {}
    // A reference of its own to an object someone else holds.
    static ComRef Another(T* object) {
        if (object != nullptr) {
            object->AddRef();
        }
        return ComRef(object);
    }
    ComRef(ComRef&& other) noexcept
        : object_(std::exchange(other.object_, nullptr)), release_(other.release_) {}
    ComRef& operator=(ComRef&& other) noexcept {
        if (this != &other) {
            Reset();
            object_ = std::exchange(other.object_, nullptr);
            release_ = other.release_;
        }
        return *this;
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() { Reset(); }

    T* Get() const { return object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    // A reference for a caller, who releases it: what a COM method hands out.
    T* Share() const {
        if (object_ != nullptr) {
            object_->AddRef();
        }
        return object_;
    }
    // Lets go of the reference (the object may go with it); holds nothing after.
    void Reset() {
        T* const object = std::exchange(object_, nullptr);
        if (object != nullptr) {
            release_(object);
        }
    }

private:
    static void ReleaseOf(T* object) { object->Release(); }

    T* object_ = nullptr;
    void (*release_)(T*) = nullptr;
};
