// A window's own record: made when the window is made, kept with the window
// (in its first extra slot, or as a named property) and released when the
// window goes, so that no procedure needs a global to find its state.
#pragma once

#include <windows.h>

#include <memory>
#include <new>

// Makes a zeroed record; null when there is no memory.
template <typename Record> std::unique_ptr<Record> NewRecord() {
    return std::unique_ptr<Record>(new (std::nothrow) Record{});
}

// A record in the window's extra slot 0 (the class gives sizeof(LONG_PTR)).
template <typename Record> struct SlotRecord {
    static Record* Of(HWND hwnd) { return reinterpret_cast<Record*>(GetWindowLongPtrA(hwnd, 0)); }
    // The window holds the record from here on.
    static void Attach(HWND hwnd, std::unique_ptr<Record> record) {
        SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(record.release()));
    }
    // The window lets go of it; the caller's owner releases it.
    static std::unique_ptr<Record> Detach(HWND hwnd) {
        std::unique_ptr<Record> record(Of(hwnd));
        SetWindowLongPtrA(hwnd, 0, 0);
        return record;
    }
};

// A record kept as the window's property `Name` (a string of static storage).
template <typename Record, const char* Name> struct PropertyRecord {
    static Record* Of(HWND hwnd) { return static_cast<Record*>(GetPropA(hwnd, Name)); }
    // Answers whether the window took the record; if not, it stays with the caller.
    static bool Attach(HWND hwnd, std::unique_ptr<Record>& record) {
        if (!SetPropA(hwnd, Name, record.get())) {
            return false;
        }
        record.release();
        return true;
    }
    static std::unique_ptr<Record> Detach(HWND hwnd) {
        return std::unique_ptr<Record>(static_cast<Record*>(RemovePropA(hwnd, Name)));
    }
};
