// The command table in-process: the menu and accelerator resources, the
// dispatch, and the chat line operations with a transcript that fails.
#include "tests/support/Transcript.h"
#include "tests/support/WindowTest.h"

#include "app/AppState.h"
#include "resources/resource.h"
#include "tests/support/ImportRedirect.h"
#include "transcript/ChatLineModel.h"
#include "transcript/ChatLines.h"

#include <vector>

namespace {

using Commands = MainWindowTest;

std::string MenuText(HMENU menu, UINT position) {
    char text[128] = "";
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

struct Item {
    const char* text; // nullptr for a separator
    UINT id;
};

void ExpectPopup(HMENU bar, UINT position, const char* title, const std::vector<Item>& items) {
    EXPECT_EQ(MenuText(bar, position), title);
    HMENU popup = GetSubMenu(bar, static_cast<int>(position));
    ASSERT_NE(popup, nullptr) << title;
    ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(items.size())) << title;
    for (UINT i = 0; i < items.size(); ++i) {
        const UINT state = GetMenuState(popup, i, MF_BYPOSITION);
        if (items[i].text == nullptr) {
            EXPECT_TRUE(state & MF_SEPARATOR) << title << " item " << i;
            continue;
        }
        EXPECT_EQ(MenuText(popup, i), items[i].text);
        EXPECT_EQ(GetMenuItemID(popup, static_cast<int>(i)), items[i].id) << items[i].text;
        EXPECT_EQ(state & (MF_CHECKED | MF_GRAYED | MF_DISABLED), 0u) << items[i].text;
    }
}

TEST_F(Commands, TheMenuHasItsThreePopupsItemsAndKeyHints) {
    HMENU bar = GetMenu(AppState.hwndMain);
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(GetMenuItemCount(bar), 3);
    ExpectPopup(bar, 0, "File",
                {{"Connect", IDM_CONNECT},
                 {"Disconnect", IDM_DISCONNECT},
                 {nullptr, 0},
                 {"Exit", IDM_EXIT}});
    ExpectPopup(bar, 1, "Command",
                {{"Send file...\tF6", IDM_SENDFILE},
                 {"Save log file...\tF2", IDM_SAVELOG},
                 {"Clear output window...\tF5", IDM_CLEAROUTPUT},
                 {nullptr, 0},
                 {"Options...\tF9", IDM_OPTIONS}});
    ExpectPopup(bar, 2, "Help", {{"About bALDRIX", IDM_ABOUT}});
}

TEST_F(Commands, TheAcceleratorTableHasItsSixKeysInOrder) {
    ASSERT_NE(AppState.hAccel, nullptr);
    ACCEL keys[16];
    ASSERT_EQ(CopyAcceleratorTableA(AppState.hAccel, keys, 16), 6);
    const struct {
        WORD key;
        WORD cmd;
    } expected[] = {{VK_RETURN, IDM_SEND}, {VK_ESCAPE, IDM_CLEARINPUT}, {VK_F5, IDM_CLEAROUTPUT},
                    {VK_F9, IDM_OPTIONS},  {VK_F6, IDM_SENDFILE},       {VK_F2, IDM_SAVELOG}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(keys[i].key, expected[i].key) << "entry " << i;
        EXPECT_EQ(keys[i].cmd, expected[i].cmd) << "entry " << i;
        EXPECT_EQ(keys[i].fVirt & ~FNOINVERT, FVIRTKEY) << "no Shift, Ctrl or Alt, entry " << i;
    }
}

TEST_F(Commands, DispatchLooksOnlyAtTheLowWord) {
    SetWindowTextA(AppState.hwndInput, "typed");
    // The high word (1 = accelerator, or any notification code) and lParam do not matter.
    EXPECT_EQ(SendMessageA(AppState.hwndMain, WM_COMMAND, MAKEWPARAM(IDM_SEND, 1), 12345), 0);
    EXPECT_EQ(WindowText(AppState.hwndChat), "<User> typed\r\n");
    SetWindowTextA(AppState.hwndInput, "again");
    SendMessageA(AppState.hwndMain, WM_COMMAND, MAKEWPARAM(IDM_CLEARINPUT, 0xBEEF), 0);
    EXPECT_EQ(WindowText(AppState.hwndInput), "");
    SendMessageA(AppState.hwndMain, WM_COMMAND, MAKEWPARAM(IDM_CLEAROUTPUT, EN_CHANGE),
                 reinterpret_cast<LPARAM>(AppState.hwndInput));
    EXPECT_EQ(WindowText(AppState.hwndChat), "");
}

TEST_F(Commands, IdentifiersOutsideTheTableDoNothing) {
    SetText("<User> kept\r\n");
    SetWindowTextA(AppState.hwndInput, "draft");
    for (const WPARAM id : {0u, 1u, 512u, 523u, 768u, 0xFFFFu}) {
        EXPECT_EQ(SendMessageA(AppState.hwndMain, WM_COMMAND, id, 0), 0) << id;
    }
    for (const WPARAM id : {IDM_CONNECT, IDM_DISCONNECT, IDM_SENDFILE}) {
        EXPECT_EQ(SendMessageA(AppState.hwndMain, WM_COMMAND, id, 0), 0) << id;
    }
    EXPECT_TRUE(IsWindow(AppState.hwndMain));
    EXPECT_EQ(WindowText(AppState.hwndChat), "<User> kept\r\n");
    EXPECT_EQ(WindowText(AppState.hwndInput), "draft");
}

TEST_F(Commands, ExitAnswersAsCloseDoesAndEndsTheProgram) {
    const HWND main = AppState.hwndMain;
    EXPECT_NE(SendMessageA(main, WM_COMMAND, IDM_EXIT, 0), 0);
    EXPECT_FALSE(IsWindow(main));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 0u);
}

TEST_F(Commands, AnEmptyNicknameGivesEmptyBrackets) {
    AppState.nickname[0] = '\0';
    SetWindowTextA(AppState.hwndInput, "hi");
    EXPECT_TRUE(SendLine());
    EXPECT_EQ(WindowText(AppState.hwndChat), "<> hi\r\n");
}

// A transcript that answers the text messages like a window that cannot take
// more, or (g_readShort) one that gives back only half its text.
WNDPROC g_chatProc;
LRESULT g_fakeLength;
bool g_readShort;
LRESULT CALLBACK FailingChat(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETTEXT && g_readShort) {
        return CallWindowProcA(g_chatProc, hwnd, message, wParam / 2, lParam);
    }
    if (message == WM_SETTEXT && !g_readShort) {
        return FALSE;
    }
    if (message == WM_GETTEXTLENGTH && g_fakeLength != 0) {
        return g_fakeLength;
    }
    return CallWindowProcA(g_chatProc, hwnd, message, wParam, lParam);
}

TEST_F(Commands, ASendThatCannotBeAppendedKeepsTheLineInTheField) {
    SetText("<User> before\r\n");
    g_chatProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        AppState.hwndChat, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FailingChat)));

    // The window refuses the text.
    g_fakeLength = 0;
    SetWindowTextA(AppState.hwndInput, "not lost");
    SendMessageA(AppState.hwndMain, WM_COMMAND, IDM_SEND, 0);
    EXPECT_EQ(WindowText(AppState.hwndInput), "not lost");

    // No memory can be had for a transcript this long.
    g_fakeLength = static_cast<LRESULT>(~static_cast<ULONG_PTR>(0) >> 2);
    EXPECT_EQ(AppendText(AppState.hwndChat, "x"), 0);
    SendMessageA(AppState.hwndMain, WM_COMMAND, IDM_SEND, 0);
    EXPECT_EQ(WindowText(AppState.hwndInput), "not lost");

    // The window gives back less than its length: nothing is written over it.
    g_fakeLength = 0;
    g_readShort = true;
    EXPECT_EQ(AppendText(AppState.hwndChat, "x"), 0);
    SendMessageA(AppState.hwndMain, WM_COMMAND, IDM_SEND, 0);
    EXPECT_EQ(WindowText(AppState.hwndInput), "not lost");
    g_readShort = false;

    SetWindowLongPtrA(AppState.hwndChat, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_chatProc));
    EXPECT_EQ(WindowText(AppState.hwndChat), "<User> before\r\n");
    SendMessageA(AppState.hwndMain, WM_COMMAND, IDM_SEND, 0);
    EXPECT_EQ(WindowText(AppState.hwndChat), "<User> before\r\n<User> not lost\r\n");
    EXPECT_EQ(WindowText(AppState.hwndInput), "");
}

TEST_F(Commands, ASendWithoutMemoryKeepsTheLineInTheField) {
    SetText("<User> before\r\n");
    SetWindowTextA(AppState.hwndInput, "not lost");
    {
        NoPages noPages;
        ASSERT_TRUE(noPages.Active()) << "the program imports VirtualAlloc";
        SendMessageA(AppState.hwndMain, WM_COMMAND, IDM_SEND, 0);
        EXPECT_GE(noPages.Refused(), 1) << "the send asked for memory and was refused";
    }
    EXPECT_EQ(WindowText(AppState.hwndInput), "not lost");
    EXPECT_EQ(WindowText(AppState.hwndChat), "<User> before\r\n");
    SendMessageA(AppState.hwndMain, WM_COMMAND, IDM_SEND, 0);
    EXPECT_EQ(WindowText(AppState.hwndChat), "<User> before\r\n<User> not lost\r\n");
    EXPECT_EQ(WindowText(AppState.hwndInput), "");
}

TEST(ChatLineFormat, ComposingMatchesTheProgramsFormat) {
    for (const char* text : {"", "Hello!", "%s%d", "\x80\xFF\t"}) {
        char expected[kLineCapacity];
        char made[kLineCapacity];
        wsprintfA(expected, Str::ChatLineFormat, "Ada", text);
        ASSERT_NE(ComposeChatLine(made, sizeof made, "Ada", text), 0u);
        EXPECT_STREQ(made, expected);
    }
}

TEST_F(Commands, AppendTextWorksOnAnyWindowWithTheTextMessages) {
    HWND edit = CreateWindowExA(0, "EDIT", "abc", WS_CHILD | ES_MULTILINE, 0, 0, 10, 10,
                                AppState.hwndMain, nullptr, nullptr, nullptr);
    ASSERT_NE(edit, nullptr);
    SendMessageA(edit, EM_LIMITTEXT, 0, 0);
    EXPECT_EQ(AppendText(edit, "def"), 1);
    EXPECT_EQ(AppendText(edit, ""), 1);
    EXPECT_EQ(WindowText(edit), "abcdef");
    DestroyWindow(edit);
}

} // namespace
