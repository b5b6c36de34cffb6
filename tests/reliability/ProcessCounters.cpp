#include "tests/reliability/ProcessCounters.h"

#include <psapi.h>
#include <winternl.h>

#include <cstdint>
#include <vector>

namespace {

// Where GetGuiResources is only a stub (Wine answers 0 and
// ERROR_CALL_NOT_IMPLEMENTED), the GDI objects are counted in the process's own
// GDI handle table, which its PEB points at: 65536 entries of 24 bytes, in use
// when their type byte is not 0.
constexpr size_t kPebGdiTable = sizeof(void*) == 8 ? 0xF8 : 0x94;
constexpr size_t kGdiEntries = 65536;
constexpr size_t kGdiEntrySize = 24;
constexpr size_t kGdiTypeOffset = 14;

bool CountGdiTable(HANDLE process, DWORD& count) {
    PROCESS_BASIC_INFORMATION info{};
    ULONG got = 0;
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &info, sizeof info, &got) !=
            0 ||
        info.PebBaseAddress == nullptr) {
        return false;
    }
    const BYTE* const peb = reinterpret_cast<const BYTE*>(info.PebBaseAddress);
    void* table = nullptr;
    SIZE_T read = 0;
    if (!ReadProcessMemory(process, peb + kPebGdiTable, &table, sizeof table, &read) ||
        table == nullptr) {
        return false;
    }
    std::vector<BYTE> entries(kGdiEntries * kGdiEntrySize);
    if (!ReadProcessMemory(process, table, entries.data(), entries.size(), &read) ||
        read != entries.size()) {
        return false;
    }
    count = 0;
    for (size_t i = 0; i < kGdiEntries; ++i) {
        count += entries[i * kGdiEntrySize + kGdiTypeOffset] != 0;
    }
    return true;
}

struct WindowCount {
    DWORD processId;
    DWORD count;
};

BOOL CALLBACK CountChild(HWND hwnd, LPARAM lParam) {
    auto* c = reinterpret_cast<WindowCount*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    c->count += pid == c->processId;
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND hwnd, LPARAM lParam) {
    auto* c = reinterpret_cast<WindowCount*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == c->processId) {
        ++c->count;
        EnumChildWindows(hwnd, CountChild, lParam); // all descendants
    }
    return TRUE;
}

// The windows of a process, top-level, child and message-only: the USER
// objects a program makes as it runs (its menu and accelerators are made once).
DWORD CountWindows(DWORD processId) {
    WindowCount c{processId, 0};
    EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&c));
    for (HWND w = FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); w != nullptr;
         w = FindWindowExA(HWND_MESSAGE, w, nullptr, nullptr)) {
        CountTopLevel(w, reinterpret_cast<LPARAM>(&c));
    }
    return c.count;
}

} // namespace

ProcessCounters ReadProcessCounters(HANDLE process, DWORD processId) {
    ProcessCounters c{};
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                             sizeof memory)) {
        // Wine leaves PrivateUsage at 0; its page-file figure is the private
        // memory in use.
        c.privateBytes = memory.PrivateUsage != 0 ? memory.PrivateUsage : memory.PagefileUsage;
    }
    c.gdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
    c.gdiSource = "GetGuiResources";
    if (c.gdiObjects == 0) {
        // 32-bit Wine publishes no handle table either: then there is no count.
        c.gdiSource = CountGdiTable(process, c.gdiObjects) ? "GDI handle table" : nullptr;
    }
    c.userObjects = GetGuiResources(process, GR_USEROBJECTS);
    c.userSource = "GetGuiResources";
    if (c.userObjects == 0) {
        c.userObjects = CountWindows(processId);
        c.userSource = "windows";
    }
    return c;
}
