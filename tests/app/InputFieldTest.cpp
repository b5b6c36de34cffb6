// The input line's history in process, where a hundred and more sends are quick.
#include "app/AppState.h"
#include "app/InputField.h"
#include "transcript/ChatLines.h"
#include "tests/support/WindowTest.h"

#include <string>

namespace {

class InputHistory : public MainWindowTest {
protected:
    void Send(const std::string& text) {
        SetWindowTextA(AppState.hwndInput, text.c_str());
        ASSERT_TRUE(SendLine());
    }
    std::string Key(WPARAM vk) {
        SendMessageA(AppState.hwndInput, WM_KEYDOWN, vk, 1);
        return WindowText(AppState.hwndInput);
    }
    void Char(WPARAM c) { SendMessageA(AppState.hwndInput, WM_CHAR, c, 1); }
};

TEST_F(InputHistory, KeepsTheLastHundredLinesNewestFirst) {
    EXPECT_EQ(Key(VK_UP), "") << "nothing sent yet: Up changes nothing";
    for (int i = 0; i < kHistoryDepth + 5; ++i) {
        Send("line " + std::to_string(i));
    }
    SetWindowTextA(AppState.hwndInput, "draft");
    EXPECT_EQ(Key(VK_UP), "line 104");
    for (int i = 1; i < kHistoryDepth - 1; ++i) {
        Key(VK_UP);
    }
    EXPECT_EQ(Key(VK_UP), "line 5") << "the hundredth line back is the oldest kept";
    EXPECT_EQ(Key(VK_UP), "line 5");
    EXPECT_EQ(Key(VK_DOWN), "line 6");
    for (int i = 0; i < kHistoryDepth - 2; ++i) {
        Key(VK_DOWN);
    }
    EXPECT_EQ(Key(VK_DOWN), "draft");
    // The caret stands at the end of a recalled line, ready to go on typing.
    Key(VK_UP);
    DWORD from = 0, to = 0;
    SendMessageA(AppState.hwndInput, EM_GETSEL, reinterpret_cast<WPARAM>(&from),
                 reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(from, 8u);
    EXPECT_EQ(to, 8u);
}

TEST_F(InputHistory, AFullLengthLineIsRecalledWhole) {
    const std::string full(kInputLimit, 'w');
    Send(full);
    EXPECT_EQ(Key(VK_UP), full);
    EXPECT_EQ(Key(VK_DOWN), "");
}

// Lines that differ in any byte are different lines, even where the system's
// sorting takes them for the same (a soft hyphen, "ss" and the sharp s).
TEST_F(InputHistory, KeepsLinesThatDifferInAnyByte) {
    Send("Strasse");
    Send("Stra\xDF"
         "e");
    Send("ab");
    Send("a\xAD"
         "b");
    EXPECT_EQ(Key(VK_UP), "a\xAD"
                          "b");
    EXPECT_EQ(Key(VK_UP), "ab");
    EXPECT_EQ(Key(VK_UP), "Stra\xDF"
                          "e");
    EXPECT_EQ(Key(VK_UP), "Strasse");
}

// Ctrl+Z takes a clear back only while the field shows exactly what the clear
// left: a soft hyphen typed since is typing, though sorting overlooks it.
TEST_F(InputHistory, CtrlZAfterAClearSeesEveryByteTypedSince) {
    SetWindowTextA(AppState.hwndInput, "draft");
    ClearInput();
    Char(0xAD);
    Char(0x1A); // Ctrl+Z
    EXPECT_NE(WindowText(AppState.hwndInput), "draft");

    ASSERT_EQ(AppendText(AppState.hwndChat, "<User> kept\r\n"), 1);
    SetWindowTextA(AppState.hwndInput, "a");
    SendMessageA(AppState.hwndInput, EM_SETSEL, 1, 1);
    ClearOutput();
    Char(0xAD);
    Char(0x1A);
    EXPECT_EQ(WindowText(AppState.hwndChat), "");
}

TEST_F(InputHistory, EscWhileBrowsingKeepsTheDraftForCtrlZ) {
    Send("sent before");
    SetWindowTextA(AppState.hwndInput, "a long reply");
    EXPECT_EQ(Key(VK_UP), "sent before");
    ClearInput();
    Char(0x1A);
    EXPECT_EQ(WindowText(AppState.hwndInput), "a long reply");
}

TEST_F(InputHistory, ANewWindowStartsWithAnEmptyHistory) {
    Send("from an earlier run");
    StopMainWindow();
    StartMainWindow();
    EXPECT_EQ(Key(VK_UP), "");
}

} // namespace
