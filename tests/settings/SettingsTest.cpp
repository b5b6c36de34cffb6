// The settings file in-process: the one-key readers and writers, the load and
// save sequences on a real main window, and saving when the file cannot be
// replaced.
#include "tests/support/WindowTest.h"

#include "app/AppState.h"
#include "settings/Settings.h"
#include "settings/SettingsModel.h"
#include "tests/support/Folders.h"

#include <climits>
#include <set>
#include <string>
#include <vector>

namespace {

using Settings = MainWindowTest;

// The model writes numbers in the program's own formats, the ones the profile
// readers have always read.
TEST(SettingsFormats, AreTheProgramsFormats) {
    char made[kSettingNumberCapacity];
    char expected[32];
    for (const COLORREF c : {RGB(0, 0, 0), RGB(255, 255, 255), RGB(1, 128, 255)}) {
        FormatColorSetting(c, made);
        wsprintfA(expected, Str::ColorFormat, GetRValue(c), GetGValue(c), GetBValue(c));
        EXPECT_STREQ(made, expected);
    }
    for (const int side : {0, -1, INT_MIN, INT_MAX}) {
        FormatSideSetting(side, made);
        wsprintfA(expected, Str::IntFormat, side);
        EXPECT_STREQ(made, expected);
    }
}

TEST(SettingReaders, LeaveTheTargetUnlessAGoodValueIsRead) {
    TempFolder folder("baldrix-settings");
    const std::string path = folder.File("r.ini");
    WriteFileBytes(path, "[S]\r\nplain=42\r\nblanks=  -17xyz \r\nletters=abc\r\nempty=\r\n"
                         "over=2147483648\r\nleast=-2147483648\r\nhuge=99999999999\r\n"
                         "red=255,0,0\r\nspaced= 1 , 2 , 3\r\nshort=1,2\r\nwide=300,0,0\r\n");
    const struct {
        const char* key;
        LONG expected; // 7 is the value before reading
    } ints[] = {{"plain", 42}, {"blanks", -17},     {"letters", 0}, {"empty", 7}, {"missing", 7},
                {"over", 7},   {"least", LONG_MIN}, {"huge", 7},    {"red", 255}};
    for (const auto& c : ints) {
        SCOPED_TRACE(c.key);
        LONG value = 7;
        ReadIntSetting(path.c_str(), "S", c.key, &value);
        EXPECT_EQ(value, c.expected);
    }
    const struct {
        const char* key;
        COLORREF expected; // 0x00ABCDEF before reading
    } colours[] = {{"red", RGB(255, 0, 0)}, {"spaced", RGB(1, 2, 3)}, {"short", 0x00ABCDEF},
                   {"wide", 0x00ABCDEF},    {"empty", 0x00ABCDEF},    {"letters", 0x00ABCDEF},
                   {"missing", 0x00ABCDEF}};
    for (const auto& c : colours) {
        SCOPED_TRACE(c.key);
        COLORREF colour = 0x00ABCDEF;
        ReadColorSetting(path.c_str(), "S", c.key, &colour);
        EXPECT_EQ(colour, c.expected);
    }
    LONG value = 7;
    ReadIntSetting(folder.File("absent.ini").c_str(), "S", "plain", &value);
    EXPECT_EQ(value, 7);
}

TEST(SettingWriters, WriteDecimalsAndColorsRedFirst) {
    TempFolder folder("baldrix-settings");
    const std::string path = folder.File("w.ini");
    EXPECT_TRUE(WriteColorSetting(path.c_str(), "C", "a", RGB(10, 20, 30)));
    // Only the three colour bytes are written, whatever the top byte holds.
    EXPECT_TRUE(WriteColorSetting(path.c_str(), "C", "b", 0x01FF0080));
    EXPECT_TRUE(WriteIntSetting(path.c_str(), "N", "neg", -5));
    EXPECT_TRUE(WriteIntSetting(path.c_str(), "N", "least", INT_MIN));
    const std::string file = ReadFileBytes(path);
    for (const char* line :
         {"a=10,20,30\r\n", "b=128,0,255\r\n", "neg=-5\r\n", "least=-2147483648\r\n"}) {
        EXPECT_NE(file.find(line), std::string::npos) << line << " in\n" << file;
    }
    EXPECT_FALSE(WriteIntSetting(folder.File("no\\such\\folder.ini").c_str(), "N", "x", 1));
}

// Save, change everything, load: the saved values come back, the window is
// placed where it was and left hidden for start-up to show.
TEST_F(Settings, WhatIsSavedIsLoadedBack) {
    const std::string path = SettingsPathOfTestProcess();
    ASSERT_EQ(lstrcmpiA(AppState.settingsPath, path.c_str()), 0);
    AppState.colorText = RGB(1, 2, 3);
    AppState.colorBackground = RGB(4, 5, 6);
    AppState.colorSelectionText = RGB(7, 8, 9);
    AppState.colorSelectionBackground = RGB(10, 11, 12);
    lstrcpyA(AppState.nickname, "Saved");
    lstrcpyA(AppState.downloadDir, "D:\\in");
    SetWindowPos(AppState.hwndMain, nullptr, 33, 44, 321, 234, SWP_NOZORDER);
    ShowWindow(AppState.hwndMain, SW_MAXIMIZE);
    PumpMessages(20);
    SaveSettings();

    AppState.colorText = AppState.colorBackground = 0;
    AppState.colorSelectionText = AppState.colorSelectionBackground = 0;
    lstrcpyA(AppState.nickname, "Other");
    AppState.downloadDir[0] = '\0';
    ShowWindow(AppState.hwndMain, SW_RESTORE);
    SetWindowPos(AppState.hwndMain, nullptr, 0, 0, 400, 350, SWP_NOZORDER);
    PumpMessages(20);
    LoadSettings();

    EXPECT_EQ(AppState.colorText, RGB(1, 2, 3));
    EXPECT_EQ(AppState.colorBackground, RGB(4, 5, 6));
    EXPECT_EQ(AppState.colorSelectionText, RGB(7, 8, 9));
    EXPECT_EQ(AppState.colorSelectionBackground, RGB(10, 11, 12));
    EXPECT_STREQ(AppState.nickname, "Saved");
    EXPECT_STREQ(AppState.downloadDir, "D:\\in");
    EXPECT_FALSE(IsWindowVisible(AppState.hwndMain));
    RECT r;
    GetWindowRect(AppState.hwndMain, &r);
    EXPECT_EQ(r.left, 33);
    EXPECT_EQ(r.top, 44);
    EXPECT_EQ(r.right, 33 + 321);
    EXPECT_EQ(r.bottom, 44 + 234);

    // After a load that found the file the path is lower case, and saving
    // through it keeps the file's own name.
    std::string lower = path;
    CharLowerA(&lower[0]);
    EXPECT_EQ(std::string(AppState.settingsPath), lower);
    SaveSettings();
    const size_t slash = path.rfind('\\');
    const std::string name = path.substr(slash + 1);
    std::vector<std::string> sameName;
    for (const std::string& there : FolderNames(path.substr(0, slash))) {
        if (lstrcmpiA(there.c_str(), name.c_str()) == 0) {
            sameName.push_back(there);
        }
    }
    EXPECT_EQ(sameName, std::vector<std::string>{name}) << "one file, in its own case";
}

// Saving where the file cannot be replaced: the old file stays byte for byte,
// no copy is left behind and the program goes on.
TEST_F(Settings, ASaveThatCannotReplaceTheFileLeavesItAsItWas) {
    TempFolder folder("baldrix-settings");
    const std::string path = folder.File("s.ini");
    const std::string old = "[Options]\r\nNickname=Old\r\n";
    lstrcpyA(AppState.settingsPath, path.c_str());

    WriteFileBytes(path, old);
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    SaveSettings();
    EXPECT_EQ(ReadFileBytes(path), old) << "read-only";
    EXPECT_EQ(folder.Names(), std::set<std::string>{"s.ini"});
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);

    // Held open elsewhere without sharing.
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    SaveSettings();
    CloseHandle(held);
    EXPECT_EQ(ReadFileBytes(path), old) << "held open";
    EXPECT_EQ(folder.Names(), std::set<std::string>{"s.ini"});

    // Held open by a reader that lets others write, as a plain write would.
    held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    SaveSettings();
    CloseHandle(held);
    EXPECT_NE(ReadFileBytes(path).find("Nickname=User"), std::string::npos) << "saved into it";
    EXPECT_EQ(folder.Names(), std::set<std::string>{"s.ini"});

    DeleteFileA(path.c_str());
    ASSERT_TRUE(MakeFolder(path));
    SaveSettings();
    EXPECT_TRUE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) << "a folder";
    EXPECT_EQ(folder.Names(), std::set<std::string>{"s.ini"});

    // A folder that is not there.
    lstrcpyA(AppState.settingsPath, folder.File("gone\\s.ini").c_str());
    SaveSettings();
    EXPECT_FALSE(FileExists(folder.File("gone")));

    // And the program still saves where it can.
    lstrcpyA(AppState.settingsPath, folder.File("t.ini").c_str());
    SaveSettings();
    EXPECT_NE(ReadFileBytes(folder.File("t.ini")).find("Nickname=User"), std::string::npos);
    EXPECT_EQ(folder.Names(), (std::set<std::string>{"s.ini", "t.ini"}));
}

} // namespace
