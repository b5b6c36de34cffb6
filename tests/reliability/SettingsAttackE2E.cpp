// The settings file under attack through the real program, beyond the hostile
// files of SettingsE2E.cpp: keys of 100,000 characters that begin with the
// program's own key names, the program's sections after thousands of others,
// and the program started from folders whose paths reach the platform's limit.
#include "resources/resource.h"
#include "tests/support/AppDriver.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::istringstream in(bytes);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty()) {
            lines.push_back(line);
        }
    }
    return lines;
}

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
    std::string text(static_cast<size_t>(Ask(chat, WM_GETTEXTLENGTH)) + 1, '\0');
    text.resize(static_cast<size_t>(
        Ask(chat, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]))));
    const size_t close = text.rfind("> probe\r\n");
    const size_t open = text.rfind('<', close);
    if (close == std::string::npos || open == std::string::npos) {
        return "(no line: " + text + ")";
    }
    return text.substr(open + 1, close - open - 1);
}

RECT WindowRect(HWND main) {
    RECT r{};
    GetWindowRect(main, &r);
    return r;
}

std::set<std::string> StrayFiles(const std::string& folder) {
    std::set<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = fd.cFileName;
            if (name != "." && name != ".." && lstrcmpiA(name.c_str(), "bALDRIX.exe") != 0 &&
                lstrcmpiA(name.c_str(), "bALDRIX.ini") != 0) {
                names.insert(name);
            }
        } while (FindNextFileA(find, &fd));
        FindClose(find);
    }
    return names;
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
    EXPECT_EQ(WindowRect(app.Main()).top, 40);
    EXPECT_EQ(WindowRect(app.Main()).left, 30);
    SetWindowPos(app.Main(), nullptr, 31, 41, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_EQ(app.Close(), 0u);

    const std::vector<std::string> lines = Lines(app.ReadIni());
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
    const RECT r = WindowRect(app.Main());
    EXPECT_EQ(r.left, 33);
    EXPECT_EQ(r.top, 44);
    EXPECT_EQ(r.right, 333);
    EXPECT_EQ(r.bottom, 244);
    SetWindowPos(app.Main(), nullptr, 55, 66, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_EQ(app.Close(30000), 0u);
    std::printf("start, one send and close with %d foreign sections: %lu ms\n", 3 * kOthers,
                GetTickCount() - started);

    const std::vector<std::string> lines = Lines(app.ReadIni());
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
    EXPECT_EQ(lines.size(), static_cast<size_t>(6 * kOthers + 3 + 4 + 5 + 3));
    EXPECT_TRUE(StrayFiles(app.Folder()).empty());
}

// ---- the executable's folder at the platform's path limit -------------------

// A folder under the temporary folder made deep enough that the program's full
// path (folder, backslash, "bALDRIX.exe") is exactly `length` characters.
class DeepFolder {
public:
    explicit DeepFolder(size_t length) : root_(MakeTempFolder("baldrix-deep")) {
        std::string folder = root_;
        // Levels of at most 120 characters, each with its backslash.
        size_t remaining = length - std::string("\\bALDRIX.exe").size() - folder.size();
        ok_ = !root_.empty() && remaining != 1;
        while (ok_ && remaining > 0) {
            const size_t name = remaining <= 121 ? remaining - 1 : remaining == 122 ? 119 : 120;
            folder += "\\" + std::string(name, 'd');
            remaining -= name + 1;
            ok_ = CreateDirectoryW(LongName(folder).c_str(), nullptr) != FALSE;
        }
        folder_ = folder;
    }
    ~DeepFolder() { RemoveWide(LongName(root_)); }
    bool Ok() const { return ok_; }
    std::string Exe() const { return folder_ + "\\bALDRIX.exe"; }
    std::string Ini() const { return folder_ + "\\bALDRIX.ini"; }
    static std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }
    static std::wstring LongName(const std::string& path) { return Wide("\\\\?\\" + path); }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        WIN32_FIND_DATAW fd;
        HANDLE find = FindFirstFileW(LongName(folder_ + "\\*").c_str(), &fd);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring w = fd.cFileName;
                const std::string name(w.begin(), w.end());
                if (name != "." && name != "..") {
                    names.push_back(name);
                }
            } while (FindNextFileW(find, &fd));
            FindClose(find);
        }
        return names;
    }
    std::string Read(const std::string& path) const {
        std::string bytes;
        HANDLE f = CreateFileW(LongName(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        if (f == INVALID_HANDLE_VALUE) {
            return bytes;
        }
        char buffer[65536];
        DWORD n = 0;
        while (ReadFile(f, buffer, sizeof buffer, &n, nullptr) && n > 0) {
            bytes.append(buffer, n);
        }
        CloseHandle(f);
        return bytes;
    }
    bool Write(const std::string& path, const std::string& bytes) const {
        HANDLE f = CreateFileW(LongName(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               0, nullptr);
        DWORD n = 0;
        const bool ok = f != INVALID_HANDLE_VALUE &&
                        WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr) &&
                        n == bytes.size();
        CloseHandle(f);
        return ok;
    }

private:
    static void RemoveWide(const std::wstring& folder) {
        WIN32_FIND_DATAW fd;
        HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &fd);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = fd.cFileName;
                if (name == L"." || name == L"..") {
                    continue;
                }
                const std::wstring path = folder + L"\\" + name;
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    RemoveWide(path);
                } else {
                    DeleteFileW(path.c_str());
                }
            } while (FindNextFileW(find, &fd));
            FindClose(find);
        }
        RemoveDirectoryW(folder.c_str());
    }

    std::string root_;
    std::string folder_;
    bool ok_ = true;
};

TEST(SettingsAttack, TheProgramRunsFromFoldersUpToThePathLimit) {
    RunningApp source; // never started: it holds a copy of the program
    for (const size_t length : {200u, 240u, 250u, 255u, 258u, 259u, 260u, 261u, 300u, 400u}) {
        SCOPED_TRACE("path of " + std::to_string(length) + " characters");
        DeepFolder deep(length);
        ASSERT_TRUE(deep.Ok());
        ASSERT_EQ(deep.Exe().size(), length);
        ASSERT_TRUE(CopyFileW(DeepFolder::Wide(source.ExePath()).c_str(),
                              deep.LongName(deep.Exe()).c_str(), FALSE));
        const std::string old = "[Options]\r\nNickname=Deep\r\n[Other]\r\nkept=yes\r\n";
        ASSERT_TRUE(deep.Write(deep.Ini(), old));

        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        std::wstring exe = DeepFolder::Wide(deep.Exe());
        std::wstring command = L"\"" + exe + L"\"";
        if (!CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &si, &pi)) {
            // Past the limit the system itself refuses to start a program.
            const DWORD error = GetLastError();
            EXPECT_GE(length, static_cast<size_t>(MAX_PATH)) << "refused with error " << error;
            std::printf("%zu characters: the system does not start it (error %lu)\n", length,
                        error);
            continue;
        }
        HWND main = nullptr;
        WaitFor([&] { return (main = FindProcessWindow(pi.dwProcessId, "bALDRIX")) != nullptr; },
                15000);
        ASSERT_NE(main, nullptr);
        const HWND input = FindWindowExA(main, nullptr, "EDIT", nullptr);
        const HWND chat = FindWindowExA(main, nullptr, "CHATLIST", nullptr);
        // Its settings are read where the path fits, and it works either way.
        const std::string nick = NicknameInUse(main, input, chat);
        EXPECT_EQ(nick, length < MAX_PATH ? "Deep" : "User");
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
        std::printf("%zu characters: started, sent as %s, closed with %lu\n", length, nick.c_str(),
                    code);

        const std::string now = deep.Read(deep.Ini());
        if (length < MAX_PATH) {
            const std::vector<std::string> lines = Lines(now);
            EXPECT_TRUE(Has(lines, "Nickname=Deep") && Has(lines, "kept=yes") &&
                        Has(lines, "Top=34") && Has(lines, "Left=12"))
                << now;
        } else {
            EXPECT_EQ(now, old) << "a path the program cannot hold whole names no file of it";
        }
        const std::vector<std::string> listed = deep.Names();
        const std::set<std::string> names(listed.begin(), listed.end());
        EXPECT_EQ(names, (std::set<std::string>{"bALDRIX.exe", "bALDRIX.ini"}));
    }
}

} // namespace
