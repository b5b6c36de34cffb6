// The program's windows under the messages of another program: every private
// and WM_APP-range message, and the Find dialog's registered one, with junk
// arguments, sent from a thread of the test's and posted, to the main window,
// the input line, the transcript and the Find dialog. The program lives on,
// and the transcript, the input line, what Ctrl+Z would give back and the
// files of its folder are as they were.
#include "tests/support/AppDriver.h"

#include <commdlg.h>

#include <atomic>
#include <set>
#include <thread>
#include <vector>

namespace {

using MessageAttack = StartedApp;

TEST_F(MessageAttack, PrivateMessagesFromAnotherProgramChangeNothing) {
    app.SendTyped("a line of the chat");
    app.Type("cleared by Esc");
    app.Press(VK_ESCAPE);
    app.Type("typed, not sent");
    app.Press('F', true);
    const HWND find = app.WaitForDialog();
    ASSERT_NE(find, nullptr) << "the Find dialog";
    const std::string chat = app.ChatText();
    const std::set<std::string> files = FolderNames(app.Folder());
    std::vector<UINT> messages{RegisterWindowMessageA(FINDMSGSTRINGA)};
    for (UINT m = 0; m <= 20; ++m) {
        messages.insert(messages.end(), {WM_USER + m, WM_APP + m});
    }
    const LPARAM junk[] = {0, 1, -1, 0x7FFFFFFF, static_cast<LPARAM>(0x80000000u), 0x10000};
    std::atomic<bool> done{false};
    std::thread other([&] {
        for (const HWND window : {app.Main(), app.Input(), app.Chat(), find}) {
            for (const UINT message : messages) {
                for (const LPARAM w : junk) {
                    for (const LPARAM l : junk) {
                        DWORD_PTR answer = 0;
                        SendMessageTimeoutA(window, message, static_cast<WPARAM>(w), l, SMTO_NORMAL,
                                            2000, &answer);
                        PostMessageA(window, message, static_cast<WPARAM>(w), l);
                    }
                }
            }
        }
        done = true;
    });
    WaitFor([&] { return done.load(); }, 600000);
    other.join();
    ASSERT_TRUE(app.Running());
    app.Settle();
    EXPECT_EQ(app.ChatText(), chat);
    EXPECT_EQ(app.InputText(), "typed, not sent");
    EXPECT_EQ(FolderNames(app.Folder()), files);
    SendMessageA(find, WM_CLOSE, 0, 0);
    app.Activate();
    app.Press('A', true);
    app.Press(VK_BACK);
    app.Press('Z', true);
    EXPECT_EQ(app.InputText(), "cleared by Esc") << "Ctrl+Z still gives the line back";
}

} // namespace
