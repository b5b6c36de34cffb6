// The system functions the transcript's accessibility calls, taken at run time
// from the system folder alone: a DLL of the same name beside the program (an
// archive unpacked into a downloads folder) is never loaded.
#include "transcript/ChatListTesting.h"
#include "transcript/access/ChatListUia.h"

#include <cstring>

namespace uia {
namespace {

HMODULE SystemLibrary(const char* name) {
    const HMODULE module = LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module != nullptr || GetLastError() != ERROR_INVALID_PARAMETER) {
        return module;
    }
    // A system without the flag: the full path in the system folder.
    char path[MAX_PATH];
    const UINT folder = GetSystemDirectoryA(path, MAX_PATH);
    const size_t length = std::strlen(name);
    if (folder == 0 || folder + 1 + length >= MAX_PATH) {
        return nullptr;
    }
    path[folder] = '\\';
    std::memcpy(path + folder + 1, name, length + 1);
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

template <typename Fn> void Take(HMODULE module, const char* name, Fn& fn) {
    fn = module != nullptr
             ? reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)))
             : nullptr;
}

Api& Table() {
    static Api api;
    static bool loaded = false;
    if (!loaded) {
        loaded = true;
        const HMODULE core = SystemLibrary("uiautomationcore.dll");
        const HMODULE oleaut = SystemLibrary("oleaut32.dll");
        const HMODULE oleacc = SystemLibrary("oleacc.dll");
#define UIA_TAKE(library, exported, member, result, parameters)                                    \
    Take(library, #exported, api.member);
        UIA_FUNCTIONS(UIA_TAKE)
#undef UIA_TAKE
    }
    return api;
}

} // namespace

const Api& Functions() {
    return Table();
}

bool ClientsListening() {
    const Api& api = Table();
    return api.ClientsAreListening != nullptr && api.ClientsAreListening() != FALSE;
}

} // namespace uia

uia::Api& AccessibilityFunctions() {
    return uia::Table();
}
