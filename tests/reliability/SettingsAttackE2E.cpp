// The settings file under attack through the real program, beyond the hostile
// files of SettingsE2E.cpp: keys of 100,000 characters that begin with the
// program's own key names, the program's sections after thousands of others,
// and the program started from folders whose paths reach the platform's limit.
#include "resources/resource.h"
#include "tests/support/AppDriver.h"
#include "tests/support/TestText.h"

#include <set>
#include <string>
#include <vector>

namespace {

size_t CountLine(const std::vector<std::string>& lines, const std::string& wanted) {
    size_t n = 0;
    for (const std::string& l : lines) {
        n += l == wanted;
    }
    return n;
}

bool Has(const std::vector<std::string>& lines, const std::string& wanted) {
    return CountLine(lines, wanted) != 0;
}

LRESULT Ask(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, 10000, &result);
    return static_cast<LRESULT>(result);
}

// Sends a line through the program's own command and answers the nickname it was tagged with.
std::string NicknameInUse(HWND main, HWND input, HWND chat) {
    Ask(input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("probe"));
    Ask(main, WM_COMMAND, IDM_SEND);
    const std::string text = WindowText(chat);
    const size_t close = text.rfind("> probe\r\n");
    const size_t open = text.rfind('<', close);
    if (close == std::string::npos || open == std::string::npos) {
        return "(no line: " + text + ")";
    }
    return text.substr(open + 1, close - open - 1);
}

TEST(SettingsAttack, KeysOfAHundredThousandCharactersAreNeitherOursNorLost) {
    // Each begins with one of the program's key names; one section name is as long.
    const std::string tail(100000 - 8, 'x');
    const std::string longText = "Text" + std::string(100000 - 4, 't');
    const std::string longTop = "Top" + std::string(100000 - 3, 'p');
    const std::string longNick = "Nickname" + tail;
    const std::string longSection = "Options" + std::string(100000 - 7, 'o');
    RunningApp app;
    app.WriteIni("[Colors]\r\n" + longText + "=9,9,9\r\nText=1,2,3\r\n[Window]\r\n" + longTop +
                 "=77\r\nTop=40\r\nLeft=30\r\n[Options]\r\n" + longNick +
                 "=Impostor\r\nNickname=Real\r\n[" + longSection + "]\r\nNickname=Other\r\n");
    ASSERT_TRUE(app.Start());
    EXPECT_EQ(NicknameInUse(app.Main(), app.Input(), app.Chat()), "Real");
    EXPECT_EQ(ScreenRect(app.Main()).top, 40);
    EXPECT_EQ(ScreenRect(app.Main()).left, 30);
    SetWindowPos(app.Main(), nullptr, 31, 41, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_EQ(app.Close(), 0u);

    const std::vector<std::string> lines = TextLines(app.ReadIni());
    EXPECT_TRUE(Has(lines, "Text=1,2,3"));
    EXPECT_TRUE(Has(lines, "Top=41") && Has(lines, "Left=31")) << "the new rectangle is saved";
    EXPECT_TRUE(Has(lines, "Nickname=Real"));
    // The other tools' keys and section go along whole.
    EXPECT_TRUE(Has(lines, longText + "=9,9,9"));
    EXPECT_TRUE(Has(lines, longTop + "=77"));
    EXPECT_TRUE(Has(lines, longNick + "=Impostor"));
    EXPECT_TRUE(Has(lines, "[" + longSection + "]"));
    EXPECT_TRUE(Has(lines, "Nickname=Other"));
    EXPECT_TRUE(StrayFiles(app.Folder()).empty());
}

TEST(SettingsAttack, OurSectionsAfterThousandsOfOthersAreFoundAndWritten) {
    constexpr int kOthers = 5000;
    std::string file;
    for (int i = 0; i < kOthers; ++i) {
        // Names and keys close to the program's own.
        const std::string n = std::to_string(i);
        file += "[Colors" + n + "]\r\nText=9,9,9\r\n[Window " + n + "]\r\nTop=999\r\n[Opt" + n +
                "]\r\nNickname=Wrong" + n + "\r\n";
    }
    file += "[Colors]\r\nText=1,2,3\r\n[Window]\r\nTop=44\r\nLeft=33\r\nRight=333\r\n"
            "Bottom=244\r\n[Options]\r\nNickname=Last\r\nDownload=C:\\dl\r\n";
    RunningApp app;
    app.WriteIni(file);
    const DWORD started = GetTickCount();
    ASSERT_TRUE(app.Start());
    EXPECT_EQ(NicknameInUse(app.Main(), app.Input(), app.Chat()), "Last");
    const RECT r = ScreenRect(app.Main());
    EXPECT_EQ(r.left, 33);
    EXPECT_EQ(r.top, 44);
    EXPECT_EQ(r.right, 333);
    EXPECT_EQ(r.bottom, 244);
    SetWindowPos(app.Main(), nullptr, 55, 66, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_EQ(app.Close(30000), 0u);
    std::printf("start, one send and close with %d foreign sections: %lu ms\n", 3 * kOthers,
                GetTickCount() - started);

    const std::vector<std::string> lines = TextLines(app.ReadIni());
    EXPECT_EQ(CountLine(lines, "Text=9,9,9"), static_cast<size_t>(kOthers));
    EXPECT_EQ(CountLine(lines, "Top=999"), static_cast<size_t>(kOthers));
    EXPECT_TRUE(Has(lines, "[Opt0]") && Has(lines, "Nickname=Wrong4999"));
    EXPECT_EQ(CountLine(lines, "[Colors]"), 1u);
    EXPECT_EQ(CountLine(lines, "[Window]"), 1u);
    EXPECT_EQ(CountLine(lines, "[Options]"), 1u);
    EXPECT_TRUE(Has(lines, "Text=1,2,3"));
    EXPECT_TRUE(Has(lines, "Top=66") && Has(lines, "Left=55") && Has(lines, "Right=355") &&
                Has(lines, "Bottom=266"));
    EXPECT_TRUE(Has(lines, "Nickname=Last") && Has(lines, "Download=C:\\dl"));
    EXPECT_EQ(lines.size(), static_cast<size_t>(6 * kOthers + 5 + 5 + 3));
    EXPECT_TRUE(StrayFiles(app.Folder()).empty());
}

// ---- the executable's folder at the platform's path limits -----------------

bool StartProgram(const std::wstring& exe, PROCESS_INFORMATION& pi, DWORD& error) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    std::wstring command = L"\"" + exe + L"\"";
    if (CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                       &pi)) {
        return true;
    }
    error = GetLastError();
    return false;
}

// The file's 8.3 path, without the \\?\ prefix; empty when the system has none.
std::wstring ShortPath(const std::string& path) {
    wchar_t buffer[1024];
    const DWORD n = GetShortPathNameW(LongName(path).c_str(), buffer, 1024);
    if (n == 0 || n >= 1024) {
        return std::wstring();
    }
    const std::wstring shortPath(buffer, n);
    return shortPath.compare(0, 4, L"\\\\?\\") == 0 ? shortPath.substr(4) : shortPath;
}

// The program, under the given name, in a folder of the given length: it
// starts, reads its settings beside itself, sends, saves them whole and closes
// with 0. Past the system's limit for a program's path it is started by its
// short (8.3) path where the system allows that; where it starts no program at
// all, that is reported and the case ends.
void RunFromDeepFolder(const std::string& program, size_t folderLength, const std::string& name) {
    const size_t length = folderLength + 1 + name.size();
    SCOPED_TRACE(name + " in a folder of " + std::to_string(folderLength) + " characters");
    DeepFolder deep(folderLength);
    ASSERT_TRUE(deep.Ok());
    const std::string exePath = deep.File(name);
    const std::string iniPath = deep.File(name.substr(0, name.size() - 4) + ".ini");
    ASSERT_EQ(exePath.size(), length);
    ASSERT_TRUE(CopyFileW(LongName(program).c_str(), LongName(exePath).c_str(), FALSE));
    const std::string old = "[Options]\r\nNickname=Deep\r\n[Other]\r\nkept=yes\r\n";
    ASSERT_TRUE(WriteFileBytes(iniPath, old));

    PROCESS_INFORMATION pi{};
    DWORD error = 0;
    std::string how = "by its full path";
    if (!StartProgram(AnsiToWide(exePath), pi, error)) {
        EXPECT_GE(length, static_cast<size_t>(MAX_PATH)) << "refused with error " << error;
        const std::wstring shortPath = ShortPath(exePath);
        DWORD shortError = 0;
        if (shortPath.empty() || !StartProgram(shortPath, pi, shortError)) {
            std::printf("%s, %zu characters: the system starts no program there (error %lu, by "
                        "the short path %lu)\n",
                        name.c_str(), length, error, shortError);
            EXPECT_EQ(ReadFileBytes(iniPath), old);
            return;
        }
        how = "by its short path";
    }
    HWND main = nullptr;
    WaitFor([&] { return (main = FindProcessWindow(pi.dwProcessId, "bALDRIX")) != nullptr; },
            15000);
    ASSERT_NE(main, nullptr);
    const HWND input = FindWindowExA(main, nullptr, "EDIT", nullptr);
    const HWND chat = FindWindowExA(main, nullptr, "CHATLIST", nullptr);
    const std::string nick = NicknameInUse(main, input, chat);
    EXPECT_EQ(nick, "Deep") << "the settings beside it were read";
    SetWindowPos(main, nullptr, 12, 34, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
    PostMessageA(main, WM_CLOSE, 0, 0);
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(pi.hProcess, 15000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(pi.hProcess, &code);
    } else {
        TerminateProcess(pi.hProcess, 1);
    }
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    EXPECT_EQ(code, 0u);
    std::printf("%s, %zu characters: started %s, sent as %s, closed with %lu\n", name.c_str(),
                length, how.c_str(), nick.c_str(), code);

    const std::string now = ReadFileBytes(iniPath);
    const std::vector<std::string> lines = TextLines(now);
    EXPECT_TRUE(Has(lines, "Nickname=Deep") && Has(lines, "kept=yes") && Has(lines, "Top=34") &&
                Has(lines, "Left=12"))
        << now;
    const std::string iniName = iniPath.substr(iniPath.rfind('\\') + 1);
    EXPECT_EQ(deep.Names(), (std::set<std::string>{name, iniName})) << "nothing left beside it";
}

// The program's path up to and past 260 characters; a short-named copy in
// folders past the 248 characters the system allows a folder it makes, where
// no temporary file name fits beside the settings file.
TEST(SettingsAttack, TheProgramRunsFromFoldersAtAndPastThePathLimits) {
    RunningApp source; // never started: it holds a copy of the program
    for (const size_t exeLength : {200u, 240u, 250u, 255u, 258u, 259u, 260u, 261u, 300u, 400u}) {
        RunFromDeepFolder(source.ExePath(), exeLength - 12, "bALDRIX.exe");
    }
    for (const size_t folderLength : {248u, 250u, 253u}) {
        RunFromDeepFolder(source.ExePath(), folderLength, "b.exe");
    }
}

} // namespace
