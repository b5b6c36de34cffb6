// Commands through the real program with real key presses and mouse clicks:
// sending, clearing, the menu, and saving the log.
#include "tests/support/AppDriver.h"

namespace {

using Clearing = StartedApp;
using Menu = StartedApp;
using SaveLog = StartedApp;

TEST(Sending, EnterAppendsTheTaggedLineAndEmptiesTheField) {
    RunningApp app;
    ASSERT_TRUE(app.Start());
    app.SendTyped("hello there");
    EXPECT_EQ(app.ChatText(), "<User> hello there\r\n");
    EXPECT_EQ(app.InputText(), "");

    app.Press(VK_RETURN);
    EXPECT_EQ(app.ChatText(), "<User> hello there\r\n")
        << "Enter on an empty field changes nothing";

    app.SendTyped("   ");
    EXPECT_EQ(app.ChatText(), "<User> hello there\r\n<User>    \r\n") << "blanks are sent as typed";
    EXPECT_EQ(app.Close(), 0u);
}

TEST(Sending, TheLongestLineArrivesWhole) {
    RunningApp app;
    const std::string nick = "ABCDEFGHIJKLMNOPQRS"; // 19 characters, the most a nickname holds
    app.WriteIni("[Options]\r\nNickname=" + nick + "\r\n");
    ASSERT_TRUE(app.Start());
    std::string line;
    for (int i = 0; i < 260; ++i) {
        line += static_cast<char>('a' + i % 26);
    }
    // The field takes 260 characters; everything typed beyond is refused.
    app.Type(line + "xyz");
    // A long burst of keys may still be on its way on a busy machine.
    ASSERT_TRUE(WaitFor([&] { return app.InputText().size() >= line.size(); }, 5000));
    ASSERT_EQ(app.InputText(), line);
    app.Press(VK_RETURN);
    EXPECT_EQ(app.ChatText(), "<" + nick + "> " + line + "\r\n");
    EXPECT_EQ(app.InputText(), "");
    EXPECT_EQ(app.Close(), 0u);
}

TEST_F(Clearing, EscEmptiesTheFieldAndF5TheTranscriptWhereverTheFocusIs) {
    app.SendTyped("one");
    app.SendTyped("two");
    app.Type("draft");
    app.Press(VK_ESCAPE);
    EXPECT_EQ(app.InputText(), "");
    EXPECT_EQ(app.ChatText(), "<User> one\r\n<User> two\r\n");

    app.Type("kept");
    app.Press(VK_F5);
    EXPECT_EQ(app.ChatText(), "") << "cleared at once, without asking";
    EXPECT_EQ(app.InputText(), "kept");
    EXPECT_EQ(GetForegroundWindow(), app.Main()) << "no dialog was shown";

    // With the transcript clicked, the keys still reach the main window.
    app.SendTyped("three");
    RECT chat;
    GetWindowRect(app.Chat(), &chat);
    app.ClickAt(POINT{chat.left + 40, chat.top + 40});
    app.Press(VK_F5);
    EXPECT_EQ(app.ChatText(), "");
}

TEST_F(Menu, ItemsChosenWithMouseOrKeyboardActLikeTheirKeys) {
    app.SendTyped("to be cleared");
    // Alt, then Right to "Command", Down into it, down to its third item
    // ("Clear output window..."), Enter.
    app.PressEach({VK_MENU, VK_RIGHT, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_TRUE(WaitFor([&] { return app.ChatText().empty(); }, 3000));

    // File > Exit with the mouse: the menu bar's first item, then its last.
    POINT file;
    ASSERT_TRUE(FindMenuBar(app.Main(), &file));
    app.ClickAt(file);
    ASSERT_NE(app.WaitForMenu(), nullptr) << "the File menu opens";
    app.Press(VK_UP); // wraps to Exit
    app.Press(VK_RETURN);
    EXPECT_EQ(app.WaitForExit(10000), 0u);
}

TEST_F(Menu, UnknownIdentifiersDoNothing) {
    app.SendTyped("stays");
    app.Type("draft");
    for (const WPARAM id : {WPARAM{0}, WPARAM{512}, WPARAM{523}, WPARAM{IDOK}, WPARAM{0xFFFF}}) {
        DWORD_PTR ignored;
        SendMessageTimeoutA(app.Main(), WM_COMMAND, id, 0, SMTO_ABORTIFHUNG, 3000, &ignored);
    }
    // Connect, Disconnect and Send file are bound but act on nothing yet.
    for (const WPARAM id : {WPARAM{516}, WPARAM{517}, WPARAM{519}}) {
        DWORD_PTR ignored;
        SendMessageTimeoutA(app.Main(), WM_COMMAND, id, 0, SMTO_ABORTIFHUNG, 3000, &ignored);
    }
    app.Press(VK_F6);
    EXPECT_TRUE(app.Running());
    EXPECT_EQ(app.ChatText(), "<User> stays\r\n");
    EXPECT_EQ(app.InputText(), "draft");
    EXPECT_EQ(WindowText(app.Main()), "bALDRIX - [Status: OFFLINE]");
    EXPECT_EQ(GetForegroundWindow(), app.Main());
}

TEST_F(SaveLog, WritesExactlyTheTranscriptsBytes) {
    app.SendTyped("one");
    app.SendTyped("two two");
    app.SendTyped("three  3");
    const std::string path = app.File("chat.log");
    ASSERT_NE(app.SaveThroughDialog(path), nullptr);
    ASSERT_TRUE(WaitFor([&] { return FileExists(path); }, 5000));
    EXPECT_EQ(ReadFileBytes(path), "<User> one\r\n<User> two two\r\n<User> three  3\r\n");

    // An empty transcript gives an empty file; the dialog now proposes the last path.
    app.Press(VK_F5);
    app.Press(VK_F2);
    HWND dialog = app.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    app.Press('A', true);
    const std::string empty = app.File("empty"); // the default extension is added
    app.Type(empty);
    app.Press(VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return FileExists(empty + ".log"); }, 5000));
    EXPECT_EQ(ReadFileBytes(empty + ".log"), "");
}

TEST_F(SaveLog, ReplacingAFileAsksFirstThenReplacesItWhole) {
    const std::string path = app.File("old.log");
    ASSERT_TRUE(WriteFileBytes(path, std::string(5000, 'x')));
    app.SendTyped("new");
    HWND dialog = app.SaveThroughDialog(path);
    ASSERT_NE(dialog, nullptr);
    HWND confirm = app.WaitForDialog(dialog);
    ASSERT_NE(confirm, nullptr) << "replacing a file asks for confirmation";
    app.Press('Y');
    ASSERT_TRUE(WaitFor([&] { return ReadFileBytes(path) == "<User> new\r\n"; }, 5000))
        << ReadFileBytes(path).size() << " bytes";
}

// What the save dialog proposes, read from the dialog itself: the default
// name first, then the last file saved.
TEST_F(SaveLog, TheDialogProposesTheDefaultNameThenTheLastFile) {
    app.SendTyped("kept");
    app.Press(VK_F2);
    HWND dialog = app.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(WindowText(app.Focus()), "logo.log");
    app.Press('A', true);
    const std::string path = app.File("chat.log");
    app.Type(path);
    app.Press(VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return FileExists(path); }, 5000));
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == app.Main(); }, 5000));

    app.Press(VK_F2);
    dialog = app.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    const std::string proposed = WindowText(app.Focus());
    EXPECT_TRUE(proposed == "chat.log" || proposed == path) << proposed;

    app.Press(VK_ESCAPE);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == app.Main(); }, 5000));
}

TEST_F(SaveLog, CancelTouchesNothing) {
    app.SendTyped("unsaved");
    app.Press(VK_F2);
    ASSERT_NE(app.WaitForDialog(), nullptr);
    app.Press(VK_ESCAPE);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == app.Main(); }, 5000));
    EXPECT_FALSE(FileExists(app.File("logo.log")));
    EXPECT_TRUE(StrayFiles(app.Folder()).empty()) << "no log file, nor any other";
    EXPECT_EQ(app.ChatText(), "<User> unsaved\r\n");
}

} // namespace
