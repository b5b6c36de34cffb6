// Once the program runs, a library asked for by name alone is looked for in
// the system folder only: one beside the program is not found. What start-up
// sets holds for the whole process, so this test has an executable of its own.
#include "tests/support/Folders.h"
#include "tests/support/WindowTest.h"

#include <string>

namespace {

std::string BesideThisProgram(const char* name) {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, n);
    return folder.substr(0, folder.find_last_of('\\') + 1) + name;
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

    ProgramOnThread program;
    const HWND main = program.Main();
    const HMODULE beside = main != nullptr ? LoadLibraryA("beside-probe.dll") : nullptr;
    const DWORD error = GetLastError();
    const HMODULE system = LoadLibraryA("version.dll");
    const UINT exitCode = program.Close();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(beside, nullptr) << "the library beside the program was loaded by its name";
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_FALSE(FileExists(probe + ".loaded"));
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
}

} // namespace
