// Which Wine the tests run on, for the few limits of one Wine that a test
// cannot get round (DEVELOPERS.md, "Two Wines").
#pragma once

#include <windows.h>

#include <cstring>

// Whether this is Wine 10; on Windows, or another Wine, false.
inline bool OnWine10() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    const FARPROC version = ntdll != nullptr ? GetProcAddress(ntdll, "wine_get_version") : nullptr;
    return version != nullptr && std::strncmp(reinterpret_cast<const char* (*)()>(
                                                  reinterpret_cast<void (*)()>(version))(),
                                              "10.", 3) == 0;
}
