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

TEST_F(InputHistory, ANewWindowStartsWithAnEmptyHistory) {
    Send("from an earlier run");
    StopMainWindow();
    StartMainWindow();
    EXPECT_EQ(Key(VK_UP), "");
}

} // namespace
