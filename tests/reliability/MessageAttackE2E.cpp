// The program's windows under the messages of another program: every private
// and WM_APP-range message, and the Find dialog's registered one, with junk
// arguments, sent and posted to the main window, the input line, the
// transcript and the Find dialog. The program lives on, and the transcript,
// the input line and the files of its folder are as they were.
#include "tests/support/AppDriver.h"
#include "tests/support/Junk.h"

#include <commdlg.h>

#include <cstdio>
#include <set>

namespace {

using MessageAttack = StartedApp;

TEST_F(MessageAttack, PrivateMessagesFromAnotherProgramChangeNothing) {
    app.SendTyped("a line of the chat");
    app.Type("typed, not sent");
    app.Press('F', true);
    const HWND find = app.WaitForDialog();
    ASSERT_NE(find, nullptr) << "the Find dialog";
    const std::string chat = app.ChatText();
    const std::set<std::string> files = FolderNames(app.Folder());
    std::vector<UINT> messages = PrivateMessageRange();
    messages.push_back(RegisterWindowMessageA(FINDMSGSTRINGA));
    const long made =
        SendAndPostJunk({app.Main(), app.Input(), app.Chat(), find}, messages,
                        [](const std::function<bool()>& done) { return WaitFor(done, 600000); });
    std::printf("%ld messages sent and posted\n", made);
    ASSERT_TRUE(app.Running());
    app.Settle();
    EXPECT_EQ(app.ChatText(), chat);
    EXPECT_EQ(app.InputText(), "typed, not sent");
    EXPECT_EQ(FolderNames(app.Folder()), files);
}

} // namespace
