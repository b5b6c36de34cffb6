#include "tests/support/ImportRedirect.h"

#include <windows.h>

void* RedirectImport(const char* dll, const char* function, void* target) {
    auto* const base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (dir.VirtualAddress == 0) {
        return nullptr;
    }
    for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
         imp->Name != 0; ++imp) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + imp->Name), dll) != 0) {
            continue;
        }
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
                continue;
            }
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (lstrcmpA(reinterpret_cast<const char*>(byName->Name), function) != 0) {
                continue;
            }
            DWORD old = 0;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
            void* const was = reinterpret_cast<void*>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(target);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
            return was;
        }
    }
    return nullptr;
}

namespace {

using VirtualAllocFn = LPVOID(WINAPI*)(LPVOID, SIZE_T, DWORD, DWORD);
VirtualAllocFn g_realVirtualAlloc;
int g_refused;

LPVOID WINAPI RefusingVirtualAlloc(LPVOID, SIZE_T, DWORD, DWORD) {
    ++g_refused;
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
}

} // namespace

NoPages::NoPages() {
    g_refused = 0;
    g_realVirtualAlloc = reinterpret_cast<VirtualAllocFn>(RedirectImport(
        "kernel32.dll", "VirtualAlloc", reinterpret_cast<void*>(RefusingVirtualAlloc)));
}

NoPages::~NoPages() {
    if (g_realVirtualAlloc != nullptr) {
        RedirectImport("kernel32.dll", "VirtualAlloc", reinterpret_cast<void*>(g_realVirtualAlloc));
        g_realVirtualAlloc = nullptr;
    }
}

bool NoPages::Active() const {
    return g_realVirtualAlloc != nullptr;
}

int NoPages::Refused() const {
    return g_refused;
}
