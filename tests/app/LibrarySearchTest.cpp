// Once the program runs, a library asked for by name alone is looked for in
// the system folder only: one beside the program is not found. What start-up
// sets holds for the whole process, so this test has an executable of its own.
#include "tests/support/WindowTest.h"

#include "app/Startup.h"
#include "app/Strings.h"

#include <atomic>
#include <string>
#include <thread>

namespace {

std::string BesideThisProgram(const char* name) {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, n);
    return folder.substr(0, folder.find_last_of('\\') + 1) + name;
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

BOOL CALLBACK FindMain(HWND w, LPARAM found) {
    char name[32];
    if (GetClassNameA(w, name, sizeof name) > 0 && lstrcmpA(name, Str::ProgramName) == 0) {
        *reinterpret_cast<HWND*>(found) = w;
        return FALSE;
    }
    return TRUE;
}

TEST(Startup, ALibraryBesideTheProgramIsNotFoundByNameOnceItRuns) {
    // Two copies of a library that leaves a mark when loaded: one to show that
    // a name alone finds this folder before start-up, one to ask for after.
    const std::string check = BesideThisProgram("beside-check.dll");
    const std::string probe = BesideThisProgram("beside-probe.dll");
    ASSERT_TRUE(CopyFileA(LOAD_MARK_DLL, check.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(LOAD_MARK_DLL, probe.c_str(), FALSE));
    const HMODULE found = LoadLibraryA("beside-check.dll");
    ASSERT_NE(found, nullptr) << "before start-up a name alone finds the program's folder";
    FreeLibrary(found);

    DeleteFileA(SettingsPathOfTestProcess().c_str());
    std::atomic<DWORD> uiThread{0};
    UINT exitCode = 99;
    std::thread ui([&] {
        uiThread = GetCurrentThreadId();
        exitCode = RunProgram();
    });
    HWND main = nullptr;
    for (int i = 0; i < 500 && main == nullptr; ++i) {
        Sleep(10);
        if (uiThread != 0) {
            EnumThreadWindows(uiThread, FindMain, reinterpret_cast<LPARAM>(&main));
        }
    }
    const HMODULE beside = main != nullptr ? LoadLibraryA("beside-probe.dll") : nullptr;
    const DWORD error = GetLastError();
    const HMODULE system = LoadLibraryA("version.dll");
    if (main != nullptr) {
        PostMessageA(main, WM_CLOSE, 0, 0);
    }
    ui.join();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(beside, nullptr) << "the library beside the program was loaded by its name";
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_FALSE(Exists(probe + ".loaded"));
    EXPECT_NE(system, nullptr) << "a system library is still found by its name";

    if (beside != nullptr) {
        FreeLibrary(beside);
    }
    if (system != nullptr) {
        FreeLibrary(system);
    }
    for (const std::string& file : {check, probe, check + ".loaded", probe + ".loaded"}) {
        DeleteFileA(file.c_str());
    }
    DeleteFileA(SettingsPathOfTestProcess().c_str());
}

} // namespace
