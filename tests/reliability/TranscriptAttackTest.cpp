// The transcript control under attack, in the real main window: its messages
// with bad arguments, texts of every size and byte, and panes from 0 x 0 to
// 8000 x 8000. After every attack the pane is painted, scrolled and selected
// in every way its messages allow, and must still hold exactly its text,
// answer in time and have nothing left to paint.
#include "tests/support/Clipboard.h"
#include "tests/support/Input.h"
#include "tests/support/Pixels.h"
#include "tests/support/WindowTest.h"

#include "app/AppState.h"
#include "transcript/ChatLines.h"
#include "transcript/ChatList.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using TranscriptAttack = MainWindowTest;

// Longest that one attack and the round after it may take before it counts as a hang.
constexpr DWORD kHangMs = 30000;
// The clipboard is compared for texts up to this size; beyond, only the selection.
constexpr size_t kClipboardCompared = 2 * 1024 * 1024;

HWND Chat() {
    return AppState.hwndChat;
}

// Counted for the record: attacks made and messages sent to the pane.
int g_attacks;
long g_messages;

LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    ++g_messages;
    return SendMessageA(Chat(), message, wParam, lParam);
}

class Tally : public ::testing::Environment {
public:
    void TearDown() override {
        std::printf("%d attacks, %ld messages to the pane\n", g_attacks, g_messages);
    }
};
const ::testing::Environment* const kTally = ::testing::AddGlobalTestEnvironment(new Tally);

LRESULT SetText(const std::string& text) {
    return Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

LPARAM At(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)),
                      static_cast<WORD>(static_cast<short>(y)));
}

std::pair<DWORD, DWORD> Selection() {
    DWORD from = 0xDEADBEEF, to = 0xDEADBEEF;
    Send(CLM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    return {from, to};
}

// A pointer message sent as the control's own thread would: with no pointer,
// or with a real record (a search from `w`, a line buffer of 64 bytes).
void SendPointerMessage(UINT message, LPARAM w, bool real) {
    char line[64];
    ChatListSearch search{};
    search.query = FindQuery{"line", 4, false, false, true, nullptr, nullptr};
    search.start = static_cast<size_t>(w);
    if (message == CLM_FIND) {
        Send(message, static_cast<WPARAM>(w), real ? reinterpret_cast<LPARAM>(&search) : 0);
        return;
    }
    const LRESULT n = real ? Send(message, sizeof line, reinterpret_cast<LPARAM>(line))
                           : Send(message, static_cast<WPARAM>(w), 0);
    EXPECT_LT(n, static_cast<LRESULT>(sizeof line));
}

bool NothingToPaint() {
    RECT pending;
    return !GetUpdateRect(Chat(), &pending, FALSE);
}

void Paint() {
    InvalidateRect(Chat(), nullptr, TRUE);
    UpdateWindow(Chat());
    EXPECT_TRUE(NothingToPaint()) << "WM_PAINT left the pane invalid";
    RedrawWindow(Chat(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    // Printed into a bitmap of its own, as screen readers and magnifiers do.
    const Canvas canvas(64, 64, RGB(0, 0, 0));
    PrintWindow(Chat(), canvas.Dc(), 0);
    SendMessageA(Chat(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
}

void Scroll() {
    for (WORD code = SB_LINEUP; code <= SB_ENDSCROLL + 1; ++code) {
        for (const WORD position : {0, 1, 0x7FFF, 0xFFFF}) {
            Send(WM_VSCROLL, MAKEWPARAM(code, position), 0);
        }
    }
    Send(WM_VSCROLL, 0xFFFFFFFF, 0);
    for (const int delta : {WHEEL_DELTA, -WHEEL_DELTA, 1, -1, 32767, -32768, 0, -32768, 32767}) {
        Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(delta))), 0);
    }
    for (const WPARAM key : {VK_END, VK_UP, VK_PRIOR, VK_HOME, VK_DOWN, VK_NEXT, VK_END}) {
        Send(WM_KEYDOWN, key, 1);
        Send(WM_KEYDOWN, key, 1);
    }
    UpdateWindow(Chat());
    EXPECT_TRUE(NothingToPaint()) << "scrolling left the pane invalid";
}

void ExpectSelectionWithin(size_t length) {
    const auto [from, to] = Selection();
    EXPECT_LE(from, to);
    EXPECT_LE(to, length);
}

void Select(const std::string& text) {
    const size_t length = text.size();
    const WPARAM most = ~static_cast<WPARAM>(0);
    const struct {
        WPARAM anchor;
        LPARAM caret;
        size_t from, to; // as the pane reports it
    } ranges[] = {
        {0, -1, 0, length},
        {most, 0, 0, length},
        {length / 2, static_cast<LPARAM>(length + 1000), length / 2, length},
        {most, -1, length, length},
        {length, 0, 0, length},
        {0x80000000u, 0x7FFFFFFF, length, length},
    };
    for (const auto& r : ranges) {
        Send(CLM_SETSEL, r.anchor, r.caret);
        EXPECT_EQ(Selection(), std::make_pair(static_cast<DWORD>(r.from), static_cast<DWORD>(r.to)))
            << r.anchor << ", " << r.caret;
    }
    // The mouse at the far ends of its coordinates, dragged between them.
    const POINT corners[] = {{-32768, -32768}, {32767, 32767}, {-32768, 32767},
                             {32767, -32768},  {0, 0},         {-1, -1}};
    for (const POINT& a : corners) {
        for (const POINT& b : corners) {
            Send(WM_LBUTTONDOWN, MK_LBUTTON, At(a.x, a.y));
            Send(WM_MOUSEMOVE, MK_LBUTTON, At(b.x, b.y));
            Send(WM_LBUTTONUP, 0, At(b.x, b.y));
            ExpectSelectionWithin(length);
        }
        Send(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, At(a.x, a.y));
        Send(WM_LBUTTONUP, 0, At(a.x, a.y));
        // A double click and the third click that selects a line.
        Send(WM_LBUTTONDBLCLK, MK_LBUTTON, At(a.x, a.y));
        Send(WM_LBUTTONUP, 0, At(a.x, a.y));
        Send(WM_LBUTTONDOWN, MK_LBUTTON, At(a.x, a.y));
        Send(WM_MOUSEMOVE, MK_LBUTTON, At(-a.x - 1, -a.y - 1));
        Send(WM_LBUTTONUP, 0, At(a.x, a.y));
        ExpectSelectionWithin(length);
    }
    EXPECT_NE(GetCapture(), Chat()) << "the mouse stays captured";

    // Ctrl+A selects everything and Ctrl+C copies it as it is.
    EmptyTheClipboard();
    {
        HeldKeys ctrl{VK_CONTROL};
        Send(WM_KEYDOWN, 'A', 1);
        Send(WM_KEYDOWN, 'C', 1);
    }
    EXPECT_EQ(Selection(), std::make_pair(DWORD{0}, static_cast<DWORD>(length)));
    if (length <= kClipboardCompared) {
        EXPECT_TRUE(ClipboardText() == text)
            << "Ctrl+C copied " << ClipboardText().size() << " bytes of " << length;
    }
    UpdateWindow(Chat());
    EXPECT_TRUE(NothingToPaint()) << "selecting left the pane invalid";
}

// The round after every attack; the pane must still hold exactly `text`.
void PaintScrollSelect(const std::string& text, const std::string& after) {
    SCOPED_TRACE("after " + after);
    ++g_attacks;
    const DWORD start = GetTickCount();
    Paint();
    Scroll();
    Select(text);
    Paint();
    PumpMessages();
    ASSERT_TRUE(IsWindow(Chat()));
    EXPECT_EQ(Send(WM_GETTEXTLENGTH), static_cast<LRESULT>(text.size()));
    const std::string now = WindowText(Chat());
    EXPECT_TRUE(now == text) << "the text changed: " << now.size() << " bytes, expected "
                             << text.size();
    const DWORD took = GetTickCount() - start;
    EXPECT_LT(took, kHangMs) << "painting, scrolling and selecting took " << took << " ms";
    std::printf("%-48s %9zu bytes  %6lu ms\n", after.c_str(), text.size(),
                static_cast<unsigned long>(took));
}

std::string ChatLinesOf(size_t bytes) {
    std::string all;
    all.reserve(bytes + 64);
    char line[96];
    for (int i = 0; all.size() < bytes; ++i) {
        std::snprintf(line, sizeof line, "<User> line %07d, the quick brown fox jumps\r\n", i);
        all += line;
    }
    return all;
}

std::string EveryByte(int times) {
    std::string all;
    for (int t = 0; t < times; ++t) {
        for (int c = 1; c < 256; ++c) {
            all += static_cast<char>(c);
        }
    }
    return all;
}

TEST_F(TranscriptAttack, NullAndEmptyTextArguments) {
    const std::string text = "<User> kept\r\n";
    ASSERT_TRUE(SetText(text));
    EXPECT_TRUE(Send(WM_SETTEXT, 0, 0)) << "a null text is the empty text";
    PaintScrollSelect("", "WM_SETTEXT with a null text");

    ASSERT_TRUE(SetText(text));
    char buffer[8];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(Send(WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buffer)), 0);
    EXPECT_EQ(buffer[0], 'x') << "capacity 0 writes nothing";
    EXPECT_EQ(Send(WM_GETTEXT, 1, reinterpret_cast<LPARAM>(buffer)), 0);
    EXPECT_EQ(std::string(buffer, 2), std::string("\0x", 2)) << "capacity 1 writes the NUL alone";
    EXPECT_EQ(Send(WM_GETTEXT, 0, 0), 0);
    EXPECT_EQ(Send(WM_GETTEXT, 100, 0), 0) << "a null buffer";
    std::vector<char> whole(text.size() + 1, 'x');
    EXPECT_EQ(Send(WM_GETTEXT, ~static_cast<WPARAM>(0), reinterpret_cast<LPARAM>(whole.data())),
              static_cast<LRESULT>(text.size()))
        << "the largest capacity";
    EXPECT_STREQ(whole.data(), text.c_str());
    PaintScrollSelect(text, "WM_GETTEXT with capacities 0, 1 and the most");
}

TEST_F(TranscriptAttack, FontsNullGoneHugeAndTiny) {
    const std::string text = ChatLinesOf(20000) + EveryByte(2);
    ASSERT_TRUE(SetText(text));
    Send(WM_SETFONT, 0, TRUE);
    EXPECT_EQ(Send(WM_GETFONT), 0);
    PaintScrollSelect(text, "WM_SETFONT with a null font");

    HFONT gone = CreateFontA(20, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Courier");
    Send(WM_SETFONT, reinterpret_cast<WPARAM>(gone), TRUE);
    DeleteObject(gone);
    PaintScrollSelect(text, "WM_SETFONT with a font deleted afterwards");

    Send(WM_SETFONT, 0x12345678, FALSE);
    PaintScrollSelect(text, "WM_SETFONT with a handle that is no font");

    for (const int height : {3000, 1, -1}) {
        HFONT font = CreateFontA(height, height == 3000 ? 2000 : 1, 0, 0, FW_NORMAL, 0, 0, 0,
                                 ANSI_CHARSET, 0, 0, 0, 0, "Arial");
        Send(WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        PaintScrollSelect(text, "WM_SETFONT with a font of height " + std::to_string(height));
        Send(WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(SYSTEM_FIXED_FONT)), FALSE);
        DeleteObject(font);
    }
}

TEST_F(TranscriptAttack, PrivateMessagesWithAnyArguments) {
    const std::string text = ChatLinesOf(5000);
    ASSERT_TRUE(SetText(text));
    DWORD a = 0, b = 0;
    const LPARAM values[] = {
        0, 1, -1, 0x7FFFFFFF, static_cast<LPARAM>(0x80000000u), reinterpret_cast<LPARAM>(&a)};
    for (UINT message = WM_USER; message <= WM_USER + 11; ++message) {
        for (const LPARAM w : values) {
            for (const LPARAM l : values) {
                if (message == CLM_GETSEL) {
                    // It writes the selection through its two pointers: null or real ones only.
                    Send(message, w == 0 ? 0 : reinterpret_cast<WPARAM>(&a),
                         l == 0 ? 0 : reinterpret_cast<LPARAM>(&b));
                    continue;
                }
                if (message == CLM_FIND || message == CLM_GETSELLINE) {
                    // From the own thread they read and write through lParam: any
                    // number with no pointer, else a real record (the other
                    // threads' case is FindAndSelectionLineTrustOnlyTheirOwnThread).
                    SendPointerMessage(message, w, l != 0);
                    continue;
                }
                const LRESULT answer = Send(message, static_cast<WPARAM>(w), l);
                if (message == CLM_SETREADING) {
                    EXPECT_LE(static_cast<WPARAM>(answer), CLREAD_NONE)
                        << "a mode, whatever was asked";
                } else if (message == CLM_ZOOM) {
                    EXPECT_TRUE(answer >= 100 && answer <= 400) << "the level, whatever the value";
                } else if (message > CLM_SETSELCOLORS) {
                    EXPECT_EQ(answer, 0) << "WM_USER+" << message - WM_USER;
                }
            }
        }
        ExpectSelectionWithin(text.size());
    }
    Send(CLM_SETCOLORS, RGB(0, 0, 0), RGB(255, 255, 255));
    PaintScrollSelect(text, "WM_USER to WM_USER+11 with any arguments");
}

// The search and the selection's line read and write through lParam: another
// thread, another program or a posted message may hand any number there, and
// nothing is read or written, whatever it is; the own thread is answered.
TEST_F(TranscriptAttack, FindAndSelectionLineTrustOnlyTheirOwnThread) {
    const std::string text = ChatLinesOf(50);
    ASSERT_TRUE(SetText(text));
    Send(CLM_SETSEL, 0, 40);
    const HWND chat = Chat();
    ChatListSearch search{};
    search.query = FindQuery{"line", 4, false, false, true, nullptr, nullptr};
    search.match.from = 0xA5A5;
    char line[32];
    std::memset(line, 'x', sizeof line);
    const LPARAM junk[] = {1,
                           -1,
                           0x7FFFFFFF,
                           static_cast<LPARAM>(0x80000000u),
                           0x10000,
                           reinterpret_cast<LPARAM>(&search),
                           reinterpret_cast<LPARAM>(line)};
    std::atomic<int> answered{0};
    std::atomic<LRESULT> nonzero{0};
    std::thread other([&] {
        for (const LPARAM l : junk) {
            for (const UINT message : {CLM_FIND, CLM_GETSELLINE}) {
                DWORD_PTR answer = 0;
                SendMessageTimeoutA(chat, message, sizeof line, l, SMTO_NORMAL, 5000, &answer);
                nonzero = nonzero | static_cast<LRESULT>(answer);
                ++g_messages;
            }
        }
        answered = 1;
    });
    EXPECT_TRUE(PumpUntil([&] { return answered.load() == 1; }, kHangMs));
    other.join();
    EXPECT_EQ(nonzero.load(), 0) << "a send from another thread was answered";
    for (const LPARAM l : junk) {
        PostMessageA(chat, CLM_FIND, 0, l);
        PostMessageA(chat, CLM_GETSELLINE, sizeof line, l);
        g_messages += 2;
    }
    PumpMessages(50);
    EXPECT_EQ(search.match.from, 0xA5A5u) << "a foreign search was written";
    EXPECT_EQ(line[0], 'x') << "a foreign buffer was written";

    // The own thread: searched, and the selection's first line copied.
    EXPECT_EQ(Send(CLM_FIND, 0, reinterpret_cast<LPARAM>(&search)), TRUE);
    EXPECT_TRUE(search.match.found);
    const LRESULT n = Send(CLM_GETSELLINE, sizeof line, reinterpret_cast<LPARAM>(line));
    const size_t firstLine = text.find('\r');
    EXPECT_EQ(static_cast<size_t>(n), std::min<size_t>(firstLine, sizeof line - 1));
    EXPECT_EQ(std::string(line, static_cast<size_t>(n)), text.substr(0, static_cast<size_t>(n)));
    ++g_attacks;
    PaintScrollSelect(text, "CLM_FIND and CLM_GETSELLINE from another thread and posted");
}

TEST_F(TranscriptAttack, FiftyMegabytesOfText) {
    const std::string text = ChatLinesOf(50u * 1024u * 1024u);
    ASSERT_TRUE(SetText(text));
    PaintScrollSelect(text, "a text of 50 MB");
    const std::string line = "<User> one more\r\n";
    ASSERT_EQ(AppendText(Chat(), line.c_str()), 1);
    PaintScrollSelect(text + line, "a line appended to 50 MB");
    MoveWindow(Chat(), 0, 0, 1, 1, TRUE);
    PaintScrollSelect(text + line, "50 MB in a pane of 1 x 1");
    MoveWindow(Chat(), 0, 0, 8000, 8000, TRUE);
    PaintScrollSelect(text + line, "50 MB in a pane of 8000 x 8000");
    ASSERT_TRUE(SetText(""));
    PaintScrollSelect("", "50 MB cleared");
}

TEST_F(TranscriptAttack, AMegabyteLineWithoutABlank) {
    std::string text;
    for (size_t i = 0; i < 1024 * 1024; ++i) {
        text += static_cast<char>('!' + i % 94); // every printable sign, no blank
    }
    ASSERT_TRUE(SetText(text));
    PaintScrollSelect(text, "one line of 1 MB without a blank");
    ASSERT_TRUE(SetText(text + "\r\n" + text));
    PaintScrollSelect(text + "\r\n" + text, "two lines of 1 MB");
}

TEST_F(TranscriptAttack, EveryByteValue) {
    const std::string text = EveryByte(64);
    ASSERT_TRUE(SetText(text));
    PaintScrollSelect(text, "every byte 1-255, 64 times");
    // A lone carriage return at the end, then the line feed that completes it.
    ASSERT_TRUE(SetText(text + "\r"));
    ASSERT_EQ(AppendText(Chat(), "\n"), 1);
    PaintScrollSelect(text + "\r\n", "a line end split over two appends");
    for (int c = 1; c < 256; ++c) {
        const std::string one(1000, static_cast<char>(c));
        ASSERT_TRUE(SetText(one)) << c;
        ASSERT_EQ(WindowText(Chat()), one) << c;
        ++g_attacks;
        Paint();
        Scroll();
    }
    PaintScrollSelect(std::string(1000, '\xFF'), "each byte 1-255 alone, 1000 times");
}

TEST_F(TranscriptAttack, PanesFromNothingTo8000By8000) {
    std::string line;
    for (size_t i = 0; i < 200 * 1024; ++i) {
        line += static_cast<char>('a' + i % 26);
    }
    const std::string text = ChatLinesOf(300000) + line + "\r\n" + EveryByte(16);
    ASSERT_TRUE(SetText(text));
    const SIZE sizes[] = {{0, 0},       {1, 1},       {0, 8000},  {8000, 0},  {1, 8000},
                          {8000, 1},    {5, 5},       {2000, 17}, {17, 2000}, {8000, 8000},
                          {4000, 8000}, {8000, 4000}, {300, 200}, {0, 0},     {8000, 8000}};
    for (const SIZE& s : sizes) {
        MoveWindow(Chat(), 0, 0, s.cx, s.cy, TRUE);
        PaintScrollSelect(text, "a pane of " + std::to_string(s.cx) + " x " + std::to_string(s.cy));
    }
    // The main window's own extremes, which lay the pane out afresh.
    for (const SIZE& s : {SIZE{8000, 8000}, SIZE{0, 0}, SIZE{120, 60}}) {
        SetWindowPos(AppState.hwndMain, nullptr, 0, 0, s.cx, s.cy, SWP_NOZORDER | SWP_NOMOVE);
        PaintScrollSelect(text, "a main window of " + std::to_string(s.cx) + " x " +
                                    std::to_string(s.cy));
    }
    for (const int show : {SW_MINIMIZE, SW_MAXIMIZE, SW_RESTORE}) {
        ShowWindow(AppState.hwndMain, show);
        PumpMessages(20);
        PaintScrollSelect(text, "the main window shown with " + std::to_string(show));
    }
}

} // namespace
