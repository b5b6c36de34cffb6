// The settings file through the real program: each case starts a copy of
// bALDRIX.exe in a fresh folder, with the settings file written beside it first.
#include "tests/support/AppDriver.h"
#include "tests/support/Pixels.h"
#include "tests/support/TestText.h"

#include <set>
#include <vector>

namespace {

std::string Rgb(COLORREF c) {
    return std::to_string(GetRValue(c)) + "," + std::to_string(GetGValue(c)) + "," +
           std::to_string(GetBValue(c));
}

// The ten keys as a run that found no file writes them.
std::vector<std::string> FreshFile(const RECT& r, const std::string& nick,
                                   const std::string& download) {
    return {"[Colors]",
            "Text=" + Rgb(GetSysColor(COLOR_WINDOWTEXT)),
            "Background=" + Rgb(GetSysColor(COLOR_WINDOW)),
            "SelectionText=" + Rgb(GetSysColor(COLOR_HIGHLIGHTTEXT)),
            "SelectionBackground=" + Rgb(GetSysColor(COLOR_HIGHLIGHT)),
            "[Window]",
            "Top=" + std::to_string(r.top),
            "Left=" + std::to_string(r.left),
            "Right=" + std::to_string(r.right),
            "Bottom=" + std::to_string(r.bottom),
            "[Options]",
            "Nickname=" + nick,
            "Download=" + download};
}

bool Has(const std::vector<std::string>& lines, const std::string& line) {
    for (const std::string& l : lines) {
        if (l == line) {
            return true;
        }
    }
    return false;
}

void ExpectRect(const RunningApp& app, LONG left, LONG top, LONG right, LONG bottom) {
    const RECT r = ScreenRect(app.Main());
    EXPECT_EQ(r.left, left);
    EXPECT_EQ(r.top, top);
    EXPECT_EQ(r.right, right);
    EXPECT_EQ(r.bottom, bottom);
}

// The nickname the program uses, seen in the line it sends.
std::string NicknameInUse(RunningApp& app) {
    app.Type("n");
    app.Press(VK_RETURN);
    const std::string text = app.ChatText();
    const size_t close = text.rfind("> n\r\n");
    const size_t open = text.rfind('<', close);
    if (close == std::string::npos || open == std::string::npos) {
        return "(no line: " + text + ")";
    }
    return text.substr(open + 1, close - open - 1);
}

void MoveTo(RunningApp& app, int x, int y, int w, int h) {
    SetWindowPos(app.Main(), nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    app.Settle();
}

// A file with values of its own and a section of another tool's ...
const std::string kOldFile =
    "[Colors]\r\nText=1,2,3\r\n[Window]\r\nTop=10\r\nLeft=20\r\nRight=320\r\nBottom=210\r\n"
    "[Options]\r\nNickname=Old\r\nDownload=C:\\x\r\n[Other]\r\nkept=yes\r\n";

// ... as a run that moved the window to (50, 60), 300 by 200, writes it back.
std::vector<std::string> OldFileMovedTo50x60() {
    std::vector<std::string> lines = FreshFile(RECT{50, 60, 350, 260}, "Old", "C:\\x");
    lines[1] = "Text=1,2,3";
    lines.insert(lines.end(), {"[Other]", "kept=yes"});
    return lines;
}

TEST(SettingsFile, WithoutOneTheWindowOpensAtItsDefaultsAndClosingWritesAllTenKeysInOrder) {
    RunningApp app;
    ASSERT_TRUE(app.Start());
    ExpectRect(app, 0, 0, 400, 350);
    EXPECT_EQ(NicknameInUse(app), "User");
    EXPECT_FALSE(FileExists(app.IniPath())) << "nothing is written before the close";
    ASSERT_EQ(app.Close(), 0u);
    EXPECT_EQ(TextLines(app.ReadIni()), FreshFile(RECT{0, 0, 400, 350}, "User", ""));
    EXPECT_TRUE(StrayFiles(app.Folder()).empty());
}

TEST(SettingsFile, ColoursFromTheFileShowInTheTranscript) {
    const COLORREF text = RGB(255, 0, 0);
    const COLORREF background = RGB(0, 0, 255);
    RunningApp app;
    app.WriteIni("[Colors]\r\nText=255,0,0\r\nBackground= 0 , 0 , 255\r\n");
    ASSERT_TRUE(app.Start());
    app.Type("MMMMMMMMMMMMMMMM");
    app.Press(VK_RETURN);
    ASSERT_TRUE(app.Activate());
    InvalidateRect(app.Chat(), nullptr, TRUE);
    app.Settle();
    const Image pane = CaptureClientOnScreen(app.Chat());
    const size_t total = static_cast<size_t>(pane.Width()) * pane.Height();
    ASSERT_GT(total, 1000u);
    EXPECT_GT(pane.Count(background), total / 2) << "the pane is painted in the file's background";
    EXPECT_GT(pane.Count(text), 20u) << "the line is drawn in the file's text colour";
    ASSERT_EQ(app.Close(), 0u);
    const std::vector<std::string> lines = TextLines(app.ReadIni());
    EXPECT_TRUE(Has(lines, "Text=255,0,0"));
    EXPECT_TRUE(Has(lines, "Background=0,0,255"));
}

TEST(SettingsFile, TheStoredRectangleIsWhereTheWindowOpens) {
    RunningApp app;
    app.WriteIni("[Window]\r\nTop=50\r\nLeft=60\r\nRight=560\r\nBottom=400\r\n");
    ASSERT_TRUE(app.Start());
    ExpectRect(app, 60, 50, 560, 400);
    EXPECT_TRUE(IsWindowVisible(app.Main()));
    EXPECT_FALSE(IsIconic(app.Main()) || IsZoomed(app.Main()));
    ASSERT_EQ(app.Close(), 0u);
    const std::vector<std::string> lines = TextLines(app.ReadIni());
    EXPECT_TRUE(Has(lines, "Top=50") && Has(lines, "Left=60") && Has(lines, "Right=560") &&
                Has(lines, "Bottom=400"))
        << app.ReadIni();
}

TEST(SettingsFile, ClosingStoresTheRectangleTheWindowWouldBeRestoredTo) {
    const struct {
        const char* name;
        int show; // 0: just moved
    } cases[] = {{"moved", 0}, {"maximised", SW_MAXIMIZE}, {"minimised", SW_MINIMIZE}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RunningApp app;
        ASSERT_TRUE(app.Start());
        MoveTo(app, 100, 120, 300, 200);
        if (c.show != 0) {
            ShowWindowAsync(app.Main(), c.show);
            EXPECT_TRUE(WaitFor([&] {
                return c.show == SW_MAXIMIZE ? IsZoomed(app.Main()) : IsIconic(app.Main());
            }));
            app.Settle();
        }
        ASSERT_EQ(app.Close(), 0u);
        EXPECT_EQ(TextLines(app.ReadIni()), FreshFile(RECT{100, 120, 400, 320}, "User", ""));
    }
}

TEST(SettingsFile, TheNicknameIsCutTo19AndTheDownloadFolderSurvives) {
    const std::string download = "C:\\Users\\Somebody\\My Downloads\\" + std::string(200, 'd');
    RunningApp app;
    app.WriteIni("[Options]\r\nNickname=ABCDEFGHIJKLMNOPQRSTUVWXY\r\nDownload=" + download +
                 "\r\n");
    ASSERT_TRUE(app.Start());
    EXPECT_EQ(NicknameInUse(app), "ABCDEFGHIJKLMNOPQRS");
    ASSERT_EQ(app.Close(), 0u);
    const std::vector<std::string> lines = TextLines(app.ReadIni());
    EXPECT_TRUE(Has(lines, "Nickname=ABCDEFGHIJKLMNOPQRS")) << app.ReadIni();
    EXPECT_TRUE(Has(lines, "Download=" + download));
}

// Values that do not come back from the profile functions as written (a blank
// at the end after the cut to 19, blanks inside quotes) must not stop the save.
TEST(SettingsFile, ValuesTheProfileFunctionsReshapeAreStillSaved) {
    RunningApp app;
    app.WriteIni("[Options]\r\nNickname=ABCDEFGHIJKLMNOPQR STUVW\r\nDownload=\"  spaced  \"\r\n");
    ASSERT_TRUE(app.Start());
    EXPECT_EQ(NicknameInUse(app), "ABCDEFGHIJKLMNOPQR ");
    MoveTo(app, 11, 12, 300, 200);
    ASSERT_EQ(app.Close(), 0u);
    const std::vector<std::string> lines = TextLines(app.ReadIni());
    EXPECT_TRUE(Has(lines, "Top=12") && Has(lines, "Left=11")) << app.ReadIni();
    EXPECT_TRUE(StrayFiles(app.Folder()).empty());
}

TEST(SettingsFile, ASideThatCannotBeReadKeepsTheWindowsOwnValue) {
    const struct {
        const char* file;
        RECT expected;
    } cases[] = {
        // No digits read as 0, so 'abc' gives a top of 0 ...
        {"[Window]\r\nTop=abc\r\nLeft=10\r\nRight=410\r\nBottom=300\r\n", {10, 0, 410, 300}},
        // ... while an empty side keeps the value the window has.
        {"[Window]\r\nTop=20\r\nLeft=10\r\nRight=\r\nBottom=300\r\n", {10, 20, 400, 300}},
        {"[Window]\r\nTop=\r\nLeft=\r\nRight=\r\nBottom=\r\n", {0, 0, 400, 350}},
        // A number beyond 32 bits keeps the side; 2147483648 is not a negative number.
        {"[Window]\r\nTop=20\r\nLeft=2147483648\r\nRight=99999999999\r\nBottom=300\r\n",
         {0, 20, 400, 300}},
        {"[Window]\r\nTop=20x\r\nLeft=-5 \r\nRight=+395\r\nBottom=300,7\r\n", {-5, 20, 395, 300}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        RunningApp app;
        app.WriteIni(c.file);
        ASSERT_TRUE(app.Start());
        ExpectRect(app, c.expected.left, c.expected.top, c.expected.right, c.expected.bottom);
        ASSERT_EQ(app.Close(), 0u);
    }
}

TEST(SettingsFile, ABadColourKeepsTheSystemColour) {
    for (const char* bad : {"300,0,0", "1,2", "-1,0,0", "0,0,256x", "2147483648,0,0"}) {
        SCOPED_TRACE(bad);
        RunningApp app;
        app.WriteIni(std::string("[Colors]\r\nText=") + bad + "\r\nBackground=1,2,3\r\n");
        ASSERT_TRUE(app.Start());
        ASSERT_EQ(app.Close(), 0u);
        const std::vector<std::string> lines = TextLines(app.ReadIni());
        EXPECT_TRUE(Has(lines, "Text=" + Rgb(GetSysColor(COLOR_WINDOWTEXT)))) << app.ReadIni();
        EXPECT_TRUE(Has(lines, "Background=1,2,3")) << "the good colour beside it is read";
    }
}

TEST(SettingsFile, SectionsAndKeysOfOtherToolsAreKept) {
    std::string file = "; written by hand\r\n[Colors]\r\nText=1,2,3\r\nAccent=9,9,9\r\n";
    for (int i = 0; i < 3000; ++i) {
        file += "[Tool" + std::to_string(i) + "]\r\nkey=value " + std::to_string(i) + "\r\n";
    }
    file += "[Options]\r\nNickname=Many\r\nTheme=dark\r\n";
    RunningApp app;
    app.WriteIni(file);
    ASSERT_TRUE(app.Start());
    EXPECT_EQ(NicknameInUse(app), "Many");
    MoveTo(app, 30, 40, 300, 250);
    ASSERT_EQ(app.Close(), 0u);
    const std::vector<std::string> lines = TextLines(app.ReadIni());
    EXPECT_TRUE(Has(lines, "Accent=9,9,9"));
    EXPECT_TRUE(Has(lines, "Theme=dark"));
    EXPECT_TRUE(Has(lines, "[Tool0]") && Has(lines, "[Tool2999]") && Has(lines, "key=value 2999"));
    EXPECT_TRUE(Has(lines, "Text=1,2,3"));
    EXPECT_TRUE(Has(lines, "Top=40") && Has(lines, "Left=30") && Has(lines, "Right=330") &&
                Has(lines, "Bottom=290"));
    EXPECT_TRUE(StrayFiles(app.Folder()).empty());
}

// Hostile files: the program runs and closes normally, reads what can be read
// and keeps its own value for everything else.
TEST(HostileSettingsFile, BinaryBytesAreSurvived) {
    std::string junk;
    unsigned seed = 12345;
    for (int i = 0; i < 8192; ++i) {
        seed = seed * 1103515245u + 12345u;
        const char c = static_cast<char>(seed >> 16);
        junk += c == '\n' || c == '=' || c == '[' ? '\x01' : c; // no line makes a key
    }
    for (const std::string& tail :
         {std::string(), std::string("\r\n[Options]\r\nNickname=Bin\r\n")}) {
        SCOPED_TRACE(tail.empty() ? "junk alone" : "junk, then a good key");
        RunningApp app;
        app.WriteIni(junk + tail);
        ASSERT_TRUE(app.Start());
        ExpectRect(app, 0, 0, 400, 350);
        EXPECT_EQ(NicknameInUse(app), tail.empty() ? "User" : "Bin");
        EXPECT_EQ(app.Close(), 0u);
        EXPECT_TRUE(StrayFiles(app.Folder()).empty());
    }
}

TEST(HostileSettingsFile, HugeValuesAndKeysAreCutOrRefused) {
    const std::string huge(100000, '7');
    RunningApp app;
    app.WriteIni("[Colors]\r\nText=" + huge + "\r\n" + std::string(100000, 'K') +
                 "=x\r\n[Window]\r\nTop=" + huge + "\r\nLeft=8\r\n[Options]\r\nNickname=" +
                 std::string(100000, 'N') + "\r\nDownload=" + std::string(100000, 'D') + "\r\n");
    ASSERT_TRUE(app.Start());
    const RECT r = ScreenRect(app.Main());
    EXPECT_EQ(r.top, 0) << "a 100,000-digit number keeps the top";
    EXPECT_EQ(r.left, 8);
    EXPECT_EQ(NicknameInUse(app), std::string(19, 'N'));
    ASSERT_EQ(app.Close(), 0u);
    const std::vector<std::string> lines = TextLines(app.ReadIni());
    EXPECT_TRUE(Has(lines, "Text=" + Rgb(GetSysColor(COLOR_WINDOWTEXT))));
    EXPECT_TRUE(Has(lines, "Download=" + std::string(259, 'D')));
}

TEST(HostileSettingsFile, UnicodeFilesAreReadAsText) {
    const std::string ansi =
        "[Window]\r\nTop=30\r\nLeft=40\r\n[Options]\r\nNickname=Wide\r\nDownload=C:\\dl\r\n";
    std::string utf16 = "\xFF\xFE";
    for (const char c : ansi) {
        utf16 += c;
        utf16 += '\0';
    }
    for (const std::string& bytes : {utf16, "\xEF\xBB\xBF" + ansi}) {
        SCOPED_TRACE(bytes[0] == '\xFF' ? "UTF-16" : "UTF-8");
        RunningApp app;
        app.WriteIni(bytes);
        ASSERT_TRUE(app.Start());
        EXPECT_EQ(NicknameInUse(app), "Wide");
        const RECT r = ScreenRect(app.Main());
        EXPECT_EQ(r.top, 30);
        EXPECT_EQ(r.left, 40);
        ASSERT_EQ(app.Close(), 0u);
        // Written back in the file's own encoding, readable the same way.
        RunningApp again;
        again.WriteIni(app.ReadIni());
        ASSERT_TRUE(again.Start());
        EXPECT_EQ(NicknameInUse(again), "Wide");
        EXPECT_EQ(ScreenRect(again.Main()).top, 30);
        ASSERT_EQ(again.Close(), 0u);
    }
}

TEST(HostileSettingsFile, AReadOnlyFileIsReadAndLeftAsItWas) {
    const std::string file = "[Options]\r\nNickname=Frozen\r\n[Window]\r\nTop=15\r\n";
    RunningApp app;
    app.WriteIni(file);
    ASSERT_TRUE(SetFileAttributesA(app.IniPath().c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(app.Start());
    EXPECT_EQ(NicknameInUse(app), "Frozen");
    EXPECT_EQ(ScreenRect(app.Main()).top, 15);
    MoveTo(app, 5, 6, 300, 300);
    EXPECT_EQ(app.Close(), 0u);
    EXPECT_EQ(app.ReadIni(), file);
    EXPECT_TRUE(StrayFiles(app.Folder()).empty());
}

TEST(HostileSettingsFile, AFolderInTheFilesPlaceIsLeftAlone) {
    RunningApp app;
    ASSERT_TRUE(MakeFolder(app.IniPath()));
    ASSERT_TRUE(app.Start());
    ExpectRect(app, 0, 0, 400, 350);
    EXPECT_EQ(NicknameInUse(app), "User");
    EXPECT_EQ(app.Close(), 0u);
    const DWORD attributes = GetFileAttributesA(app.IniPath().c_str());
    EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(StrayFiles(app.Folder()).empty());
}

// The process is killed at moments spread over its close: whatever moment it
// dies, the file is the old one or the new one, never a mix or a part.
TEST(SettingsFileWhole, AProcessKilledWhileSavingLeavesTheOldFileOrTheNewOne) {
    const std::string old = kOldFile;
    int sawOld = 0;
    int sawNew = 0;
    int interrupted = 0;
    // The save takes a few milliseconds once WM_CLOSE arrives; three tries at
    // each delay from 0 to 14 ms land before, inside and after it.
    for (int attempt = 0; attempt < 45; ++attempt) {
        const DWORD delay = static_cast<DWORD>(attempt / 3);
        SCOPED_TRACE(delay);
        RunningApp app;
        app.WriteIni(old);
        ASSERT_TRUE(app.Start());
        MoveTo(app, 50, 60, 300, 200);
        PostMessageA(app.Main(), WM_CLOSE, 0, 0);
        Sleep(delay);
        TerminateProcess(app.Process(), 9);
        WaitForSingleObject(app.Process(), 5000);
        const std::string now = app.ReadIni();
        // A copy left beside the file shows a death in the middle of the save.
        interrupted += !StrayFiles(app.Folder()).empty();
        if (now == old) {
            ++sawOld;
            continue;
        }
        ++sawNew;
        EXPECT_EQ(TextLines(now), OldFileMovedTo50x60())
            << "neither the old file nor the whole new one";
    }
    std::printf("killed while closing: %d times the old file (%d of them during the save), %d "
                "times the new one\n",
                sawOld, interrupted, sawNew);
}

// Saving on a full disk. tests/e2e/settings-full-disk.sh mounts a small file
// system and names it in BALDRIX_FULL_DISK; elsewhere these cases skip.
class SettingsFullDisk : public ::testing::Test {
protected:
    void SetUp() override {
        char folder[MAX_PATH] = "";
        if (GetEnvironmentVariableA("BALDRIX_FULL_DISK", folder, sizeof folder) == 0) {
            GTEST_SKIP() << "needs a small file system: run tests/e2e/settings-full-disk.sh";
        }
        folder_ = folder;
        // The program is copied from a folder the driver prepares. The last
        // case's program, gone but not yet unmapped, may hold its room a while.
        ASSERT_TRUE(
            WaitFor([&] { return CopyFileA(source_.ExePath().c_str(), Exe().c_str(), FALSE); }));
    }
    void TearDown() override {
        DeleteFileA(Filler().c_str());
        SetFileAttributesA(Ini().c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(Ini().c_str());
        DeleteFileA(Exe().c_str());
    }

    std::string Exe() const { return folder_ + "\\bALDRIX.exe"; }
    std::string Ini() const { return folder_ + "\\bALDRIX.ini"; }
    std::string Filler() const { return folder_ + "\\filler"; }

    // Writes page by page until the disk refuses, then gives back the given number of pages.
    void FillLeaving(LONGLONG pages) {
        HANDLE file = CreateFileA(Filler().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        static char page[4096];
        LARGE_INTEGER size{};
        DWORD written = 0;
        while (WriteFile(file, page, sizeof page, &written, nullptr) && written == sizeof page) {
            size.QuadPart += written;
        }
        size.QuadPart -= pages * static_cast<LONGLONG>(sizeof page);
        const bool cut =
            pages == 0 || (size.QuadPart >= 0 &&
                           SetFilePointerEx(file, size, nullptr, FILE_BEGIN) && SetEndOfFile(file));
        CloseHandle(file);
        ASSERT_TRUE(cut);
        ULARGE_INTEGER free{};
        GetDiskFreeSpaceExA((folder_ + "\\").c_str(), &free, nullptr, nullptr);
        ASSERT_EQ(free.QuadPart, static_cast<ULONGLONG>(pages) * sizeof page);
    }

    // Starts the program, moves its window and closes it; answers the exit code.
    DWORD RunAndClose() {
        RunningApp app(folder_);
        if (!app.Start()) {
            return STILL_ACTIVE;
        }
        MoveTo(app, 70, 80, 300, 200);
        return app.Close();
    }

    std::set<std::string> Listing() const { return FolderNames(folder_); }

    RunningApp source_; // never started: it only holds a copy of the program
    std::string folder_;
};

TEST_F(SettingsFullDisk, WithRoomTheFileIsWritten) {
    EXPECT_EQ(RunAndClose(), 0u);
    EXPECT_EQ(TextLines(ReadFileBytes(Ini())), FreshFile(RECT{70, 80, 370, 280}, "User", ""));
    EXPECT_EQ(Listing(), (std::set<std::string>{"bALDRIX.exe", "bALDRIX.ini"}));
}

TEST_F(SettingsFullDisk, NoFileIsMadeWhenTheDiskIsFull) {
    FillLeaving(0);
    EXPECT_EQ(RunAndClose(), 0u);
    EXPECT_FALSE(FileExists(Ini()))
        << "a settings file that is not whole: " << ReadFileBytes(Ini());
    EXPECT_EQ(Listing(), (std::set<std::string>{"bALDRIX.exe", "filler"}));
}

// Room for a copy of the old file, not for the keys added to it: the disk
// fills in the middle of the profile functions' rewrite of the copy.
TEST_F(SettingsFullDisk, TheOldFileStaysWhenTheDiskFillsDuringTheSave) {
    std::string old = "[Other]\r\n";
    while (old.size() < 4000) {
        old += "key" + std::to_string(old.size()) + "=value\r\n";
    }
    WriteFileBytes(Ini(), old);
    ASSERT_EQ(ReadFileBytes(Ini()), old);
    FillLeaving(1);
    EXPECT_EQ(RunAndClose(), 0u);
    const std::string now = ReadFileBytes(Ini());
    EXPECT_TRUE(now == old) << "the file changed; it now ends in: "
                            << now.substr(now.size() > 80 ? now.size() - 80 : 0);
    EXPECT_EQ(Listing(), (std::set<std::string>{"bALDRIX.exe", "bALDRIX.ini", "filler"}));
}

// A settings file that can be written, in a folder that takes no new file (a
// shared install folder, a read-only mount). tests/e2e/readonly-folder.sh
// names such a folder, holding the program, in BALDRIX_READONLY_FOLDER;
// elsewhere this case skips.
TEST(SettingsReadOnlyFolder, TheFileIsWrittenInPlace) {
    char folder[MAX_PATH] = "";
    if (GetEnvironmentVariableA("BALDRIX_READONLY_FOLDER", folder, sizeof folder) == 0) {
        GTEST_SKIP() << "needs a read-only folder: run tests/e2e/readonly-folder.sh";
    }
    RunningApp app(folder);
    app.WriteIni(kOldFile);
    ASSERT_EQ(app.ReadIni(), kOldFile) << "the settings file takes writes";
    const HANDLE probe = CreateFileA(app.File("probe").c_str(), GENERIC_WRITE, 0, nullptr,
                                     CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_EQ(probe, INVALID_HANDLE_VALUE) << "the folder takes new files";
    const std::set<std::string> before = FolderNames(app.Folder());
    ASSERT_TRUE(app.Start());
    MoveTo(app, 50, 60, 300, 200);
    ASSERT_EQ(app.Close(), 0u);
    EXPECT_EQ(TextLines(app.ReadIni()), OldFileMovedTo50x60()) << app.ReadIni();
    EXPECT_EQ(FolderNames(app.Folder()), before);
}

} // namespace
