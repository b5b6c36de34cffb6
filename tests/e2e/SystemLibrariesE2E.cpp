// The program takes the system's libraries from the system folder alone: a
// library named as one of them beside the program (an archive unpacked into a
// downloads folder) is never loaded, through a whole session that makes the
// program load its accessibility libraries.
#include "tests/support/AppDriver.h"
#include "tests/support/Folders.h"
#include "tests/support/UiaClient.h"

#include <oleacc.h>

#include <string>

namespace {

const char* const kPlanted[] = {"uiautomationcore.dll", "oleacc.dll"};

TEST(SystemLibraries, NamesakesBesideTheProgramAreNeverLoaded) {
    RunningApp app;
    for (const char* name : kPlanted) {
        ASSERT_TRUE(CopyFileA(LOAD_MARK_DLL, app.File(name).c_str(), FALSE)) << name;
    }
    // The planted library does leave its mark when it is loaded.
    const HMODULE probe = LoadLibraryA(app.File(kPlanted[0]).c_str());
    ASSERT_NE(probe, nullptr);
    FreeLibrary(probe);
    ASSERT_TRUE(FileExists(app.File(kPlanted[0]) + ".loaded"));
    ASSERT_TRUE(DeleteFileA((app.File(kPlanted[0]) + ".loaded").c_str()));

    ASSERT_TRUE(app.Start());
    app.SendTyped("hello there");
    app.SendTyped("a second line");
    app.ClickAt(app.ChatCell(8, 0), 2); // a word selected
    app.Press(VK_TAB);
    EXPECT_EQ(app.Focus(), app.Input());
    app.Press(VK_TAB);
    EXPECT_EQ(app.Focus(), app.Chat());
    app.Press(VK_F5);
    EXPECT_TRUE(WaitFor([&] { return app.ChatText().empty(); }));
    app.SendTyped("after the clear");
    Sleep(400); // past the wait for a burst's end

    // A screen reader's questions, both kinds.
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    const UiaProperties p = UiaPropertiesOf(app.Chat());
    EXPECT_TRUE(p.found);
    IAccessible* acc = nullptr;
    if (SUCCEEDED(AccessibleObjectFromWindow(app.Chat(), static_cast<DWORD>(OBJID_CLIENT),
                                             __uuidof(IAccessible),
                                             reinterpret_cast<void**>(&acc))) &&
        acc != nullptr) {
        acc->Release();
    }
    CoUninitialize();
    EXPECT_EQ(app.Close(), 0u);
    for (const char* name : kPlanted) {
        EXPECT_FALSE(FileExists(app.File(name) + ".loaded"))
            << name << " beside the program was loaded";
    }
}

} // namespace
