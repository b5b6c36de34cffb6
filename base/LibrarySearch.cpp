#include "base/LibrarySearch.h"

#include <windows.h>

void LimitLibrarySearchToSystemFolder() {
    // Looked up, not imported: a system without it must still start the program.
    using SetDefaultDirectories = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const auto set = kernel != nullptr
                         ? reinterpret_cast<SetDefaultDirectories>(reinterpret_cast<void (*)()>(
                               GetProcAddress(kernel, "SetDefaultDllDirectories")))
                         : nullptr;
    if (set == nullptr || set(LOAD_LIBRARY_SEARCH_SYSTEM32) == FALSE) {
        SetDllDirectoryA("");
    }
}
