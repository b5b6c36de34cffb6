// Saving in-process, where the end-to-end tests cannot reach: when memory
// cannot be had, in folders too deep for a temporary name beside the file, and
// over a hidden file.
// The save dialog and the message boxes are driven by a thread timer while the
// program's own modal loops run. After each failure the existing file is byte
// for byte as it was, no temporary file is left, and the user was told.
#include "tests/support/Transcript.h"
#include "tests/support/WindowTest.h"

#include "app/AppState.h"
#include "resources/resource.h"
#include "settings/Settings.h"
#include "tests/support/Folders.h"
#include "tests/support/ImportRedirect.h"
#include "transcript/ChatLines.h"
#include "transcript/ChatList.h"

#include <cderr.h>

#include <climits>
#include <cstdio>
#include <set>
#include <string>

namespace {

using SaveMemoryFault = MainWindowTest;
using SaveDeep = MainWindowTest;
using SaveOver = MainWindowTest;

const std::string kPrecious = "precious line one\r\nprecious line two\r\n";
const std::string kTranscript = "<User> one\r\n<User> two\r\n<User> three\r\n";

// A transcript that claims more text than any memory could hold. On 32-bit
// the longest a length can be (2 GB - 1): its buffer fits in neither half of
// even the 4 GB of a large-address-aware process, which the system's shared
// page at 0x7FFE0000 splits.
WNDPROC g_chatProc;
LRESULT CALLBACK BoastingChat(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETTEXTLENGTH) {
        return static_cast<LRESULT>(~static_cast<ULONG_PTR>(0) >> (sizeof(void*) == 4 ? 1 : 2));
    }
    return CallWindowProcA(g_chatProc, hwnd, message, wParam, lParam);
}

// ---- the modal loops, driven by a thread timer -----------------------------

struct Driver {
    std::string path;     // typed into the save dialog
    std::set<HWND> acted; // each dialog is answered once
    int saveDialogs = 0;
    int confirmations = 0;
    int boxes = 0;
    std::string boxText; // the statics of the program's message box
};
Driver g_driver;

void Press(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void AnswerDialog(HWND hwnd) {
    if (!g_driver.acted.insert(hwnd).second) {
        return; // answered already
    }
    // The file name box: an edit (0x480) or a combo box (0x47C), as the system builds it.
    HWND fileName = GetDlgItem(hwnd, 0x480);
    if (fileName == nullptr) {
        fileName = GetDlgItem(hwnd, 0x47C);
    }
    if (fileName != nullptr) {
        ++g_driver.saveDialogs;
        SetWindowTextA(fileName, g_driver.path.c_str());
        Press(hwnd, IDOK);
    } else if (GetWindow(hwnd, GW_OWNER) == AppState.hwndMain && WindowText(hwnd) == "bALDRIX") {
        ++g_driver.boxes;
        g_driver.boxText += DialogStatics(hwnd);
        Press(hwnd, IDOK);
    } else {
        ++g_driver.confirmations; // "replace the existing file?"
        Press(hwnd, IDYES);
    }
}

void CALLBACK DriveDialogs(HWND, UINT, UINT_PTR, DWORD) {
    for (const HWND dialog : ThreadDialogs()) {
        AnswerDialog(dialog);
    }
}

// Runs the program's save to the path with the dialogs answered; answers its result.
bool SaveDriven(const std::string& path) {
    g_driver = Driver{};
    g_driver.path = path;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, DriveDialogs);
    const bool saved = SaveLogFile();
    KillTimer(nullptr, timer);
    return saved;
}

void ExpectTold(const std::string& path) {
    std::printf("told: %s", g_driver.boxText.c_str());
    EXPECT_EQ(g_driver.boxes, 1) << "one message box";
    const size_t at = g_driver.boxText.find(path);
    ASSERT_NE(at, std::string::npos) << "the box names the file: " << g_driver.boxText;
    const std::string reason = g_driver.boxText.substr(at + path.size());
    EXPECT_NE(reason.find_first_not_of(" \r\n"), std::string::npos)
        << "and gives a reason after it: " << g_driver.boxText;
}

TEST_F(SaveMemoryFault, ARefusedMemoryRequestKeepsTheFileAndTellsTheUser) {
    TempFolder folder("baldrix-memfault");
    const std::string target = folder.File("existing.log");
    WriteFileBytes(target, kPrecious);
    SetText(kTranscript);
    {
        NoPages noPages;
        ASSERT_TRUE(noPages.Active()) << "the program imports VirtualAlloc";
        EXPECT_FALSE(SaveDriven(target));
        EXPECT_GE(noPages.Refused(), 1) << "the save asked for memory and was refused";
    }
    EXPECT_EQ(g_driver.saveDialogs, 1);
    EXPECT_EQ(g_driver.confirmations, 1) << "the replacement was confirmed";
    ExpectTold(target);
    EXPECT_EQ(ReadFileBytes(target), kPrecious);
    EXPECT_EQ(folder.Names(), (std::set<std::string>{"existing.log"})) << "no temporary file";
    EXPECT_EQ(WindowText(AppState.hwndChat), kTranscript);

    // With memory back, the same save goes through.
    EXPECT_TRUE(SaveDriven(target));
    EXPECT_EQ(g_driver.boxes, 0) << g_driver.boxText;
    EXPECT_EQ(ReadFileBytes(target), kTranscript);
    EXPECT_EQ(folder.Names(), (std::set<std::string>{"existing.log"}));
}

// ---- a save dialog that fails -----------------------------------------------

// As the system's dialog fails when the chosen path does not fit the buffer:
// the size it would need in the buffer's first bytes, FALSE, and the reason.
BOOL WINAPI FailingSaveDialog(LPOPENFILENAMEA ofn) {
    *reinterpret_cast<WORD*>(ofn->lpstrFile) = 300;
    return FALSE;
}
DWORD WINAPI BufferTooSmall() {
    return FNERR_BUFFERTOOSMALL;
}

class FailingDialog {
public:
    FailingDialog()
        : dialog_(RedirectImport("comdlg32.dll", "GetSaveFileNameA",
                                 reinterpret_cast<void*>(FailingSaveDialog))),
          error_(RedirectImport("comdlg32.dll", "CommDlgExtendedError",
                                reinterpret_cast<void*>(BufferTooSmall))) {}
    ~FailingDialog() {
        if (dialog_ != nullptr) {
            RedirectImport("comdlg32.dll", "GetSaveFileNameA", dialog_);
        }
        if (error_ != nullptr) {
            RedirectImport("comdlg32.dll", "CommDlgExtendedError", error_);
        }
    }
    bool Active() const { return dialog_ != nullptr && error_ != nullptr; }

private:
    void* dialog_;
    void* error_;
};

// A dialog that fails is not Cancel: the user chose a file and is told why
// nothing was saved, and the next save proposes the last good name, not the
// size number the dialog left in the buffer.
TEST_F(SaveMemoryFault, AFailedSaveDialogIsReportedAndTheLastNameKept) {
    lstrcpyA(AppState.logPath, "Z:\\chat\\kept.log");
    {
        FailingDialog failing;
        ASSERT_TRUE(failing.Active()) << "the program imports both functions";
        EXPECT_FALSE(SaveDriven("unused"));
    }
    EXPECT_EQ(g_driver.boxes, 1) << "the failure is reported";
    EXPECT_NE(g_driver.boxText.find("too long"), std::string::npos) << g_driver.boxText;
    EXPECT_STREQ(AppState.logPath, "Z:\\chat\\kept.log");
}

TEST_F(SaveMemoryFault, ARefusedMemoryRequestMakesNoNewFile) {
    TempFolder folder("baldrix-memfault");
    const std::string target = folder.File("new.log");
    SetText(kTranscript);
    {
        NoPages noPages;
        ASSERT_TRUE(noPages.Active());
        EXPECT_FALSE(SaveDriven(target));
    }
    EXPECT_EQ(g_driver.confirmations, 0);
    ExpectTold(target);
    EXPECT_TRUE(folder.Names().empty()) << "neither the file nor a temporary one";
}

TEST_F(SaveMemoryFault, ATranscriptLongerThanMemoryKeepsTheFileAndTellsTheUser) {
    TempFolder folder("baldrix-memfault");
    const std::string target = folder.File("existing.log");
    WriteFileBytes(target, kPrecious);
    SetText(kTranscript);
    g_chatProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        AppState.hwndChat, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BoastingChat)));
    const bool saved = SaveDriven(target);
    SetWindowLongPtrA(AppState.hwndChat, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_chatProc));
    EXPECT_FALSE(saved);
    ExpectTold(target);
    EXPECT_EQ(ReadFileBytes(target), kPrecious);
    EXPECT_EQ(folder.Names(), (std::set<std::string>{"existing.log"}));
    EXPECT_EQ(WindowText(AppState.hwndChat), kTranscript);
}

// ---- folders too deep for a temporary name ----------------------------------

// Folders from 246 to 253 characters hold a file of 259 at most, yet a
// temporary name (three letters, four digits and ".tmp") beside it passes the
// limit from 248 on. A save there must still go through, whole, and leave
// nothing behind.
constexpr size_t kFolderLengths[] = {246, 247, 248, 250, 253};

// Saves the settings over s.ini in folders of each length, with a file of the
// user's under the given name beside it (none when empty): the settings are
// saved whole, that file stays as it was, and nothing else is left beside them.
void ExpectSettingsSavedDeep(const std::string& theirs) {
    for (const size_t length : kFolderLengths) {
        SCOPED_TRACE(length);
        DeepFolder deep(length);
        ASSERT_TRUE(deep.Ok());
        const std::string path = deep.File("s.ini");
        ASSERT_TRUE(WriteFileBytes(path, "[Other]\r\nkept=yes\r\n"));
        std::set<std::string> names{"s.ini"};
        if (!theirs.empty()) {
            ASSERT_TRUE(WriteFileBytes(deep.File(theirs), "their own\r\n"));
            names.insert(theirs);
        }
        lstrcpyA(AppState.settingsPath, path.c_str());
        lstrcpyA(AppState.nickname, "Deep");
        SaveSettings();
        const std::string now = ReadFileBytes(path);
        EXPECT_NE(now.find("Nickname=Deep"), std::string::npos) << now;
        EXPECT_NE(now.find("kept=yes"), std::string::npos) << now;
        if (!theirs.empty()) {
            EXPECT_EQ(ReadFileBytes(deep.File(theirs)), "their own\r\n");
        }
        EXPECT_EQ(deep.Names(), names) << "nothing left beside it";
    }
}

TEST_F(SaveDeep, SettingsAreSavedWholeInFoldersTooDeepForATemporaryName) {
    ExpectSettingsSavedDeep("");
}

// The copy's fallback name may be a file of the user's: it is passed over.
TEST_F(SaveDeep, SettingsLeaveAFileUnderTheCopysFallbackNameAlone) {
    ExpectSettingsSavedDeep("s.in~");
}

TEST_F(SaveDeep, TheLogIsSavedWholeInFoldersTooDeepForATemporaryName) {
    SetText(kTranscript);
    for (const size_t length : kFolderLengths) {
        SCOPED_TRACE(length);
        DeepFolder deep(length);
        ASSERT_TRUE(deep.Ok());
        const std::string target = deep.File("x.log");
        ASSERT_TRUE(WriteFileBytes(target, kPrecious));
        // A file of the user's under the name a copy beside the target would take.
        const std::string theirs = deep.File("x.lo~");
        ASSERT_TRUE(WriteFileBytes(theirs, "their own\r\n"));
        EXPECT_TRUE(SaveDriven(target)) << g_driver.boxText;
        EXPECT_EQ(g_driver.boxes, 0) << g_driver.boxText;
        EXPECT_EQ(ReadFileBytes(target), kTranscript);
        EXPECT_EQ(ReadFileBytes(theirs), "their own\r\n");
        EXPECT_EQ(deep.Names(), (std::set<std::string>{"x.log", "x.lo~"}))
            << "nothing left beside it";
    }
}

// ---- over a hidden file ------------------------------------------------------

TEST_F(SaveOver, AReplacedLogKeepsItsAttributes) {
    TempFolder folder("baldrix-memfault");
    const std::string target = folder.File("hidden.log");
    WriteFileBytes(target, kPrecious);
    if (!SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_HIDDEN) ||
        (GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_HIDDEN) == 0) {
        GTEST_SKIP() << "this file system does not keep the hidden attribute";
    }
    SetText(kTranscript);
    EXPECT_TRUE(SaveDriven(target)) << g_driver.boxText;
    EXPECT_EQ(ReadFileBytes(target), kTranscript);
    const DWORD attributes = GetFileAttributesA(target.c_str());
    EXPECT_NE(attributes & FILE_ATTRIBUTE_HIDDEN, 0u) << std::hex << attributes;
    EXPECT_EQ(folder.Names(), (std::set<std::string>{"hidden.log"}));
}

// A log reached by more than one name: every name leads to the saved bytes.
TEST_F(SaveOver, EveryNameOfALinkedLogLeadsToTheSavedBytes) {
    TempFolder folder("baldrix-links");
    const std::string target = folder.File("logo.log");
    const std::string other = folder.File("other.log");
    WriteFileBytes(target, kPrecious);
    ASSERT_TRUE(CreateHardLinkA(other.c_str(), target.c_str(), nullptr)) << GetLastError();
    SendMessageA(AppState.hwndChat, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kTranscript.c_str()));
    EXPECT_TRUE(SaveDriven(other)) << g_driver.boxText;
    EXPECT_EQ(ReadFileBytes(target), kTranscript) << "the hard link's other name";
    EXPECT_EQ(folder.Names(), (std::set<std::string>{"logo.log", "other.log"}));

    const std::string link = folder.File("link.log");
    // Wine answers TRUE and makes nothing, and shows a link made on the host as the file itself.
    const DWORD made = CreateSymbolicLinkA(link.c_str(), target.c_str(), 0)
                           ? GetFileAttributesA(link.c_str())
                           : INVALID_FILE_ATTRIBUTES;
    if (made == INVALID_FILE_ATTRIBUTES || (made & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        GTEST_SKIP() << "this system makes no symbolic link a program can see";
    }
    const std::string next = kTranscript + "<User> through the link\r\n";
    SendMessageA(AppState.hwndChat, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(next.c_str()));
    EXPECT_TRUE(SaveDriven(link)) << g_driver.boxText;
    EXPECT_EQ(ReadFileBytes(target), next) << "the file the link names";
    EXPECT_NE(GetFileAttributesA(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT, 0u)
        << "still a link";
}

// ---- a folder that takes no new file ------------------------------------------

using SaveInPlace = MainWindowTest;

// The system's answers as a folder with rights per file gives them: no new
// file beside the target; and, where asked for, a disk that takes no more.
using GetTempFileNameFn = UINT(WINAPI*)(LPCSTR, LPCSTR, UINT, LPSTR);
using WriteFileFn = BOOL(WINAPI*)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
UINT WINAPI RefusedTempName(LPCSTR, LPCSTR, UINT, LPSTR) {
    SetLastError(ERROR_ACCESS_DENIED);
    return 0;
}
BOOL WINAPI FullDiskWrite(HANDLE, LPCVOID, DWORD, LPDWORD written, LPOVERLAPPED) {
    if (written != nullptr) {
        *written = 0;
    }
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

// Saves over the target while the folder refuses new files (and, with
// `fullDisk`, every write fails); answers the save's result.
bool SaveWhereTheFolderRefuses(const std::string& target, bool fullDisk) {
    void* const tempName = RedirectImport("kernel32.dll", "GetTempFileNameA",
                                          reinterpret_cast<void*>(RefusedTempName));
    void* const write = fullDisk ? RedirectImport("kernel32.dll", "WriteFile",
                                                  reinterpret_cast<void*>(FullDiskWrite))
                                 : nullptr;
    EXPECT_NE(tempName, nullptr) << "the program imports GetTempFileNameA";
    const bool saved = SaveDriven(target);
    RedirectImport("kernel32.dll", "GetTempFileNameA", tempName);
    if (write != nullptr) {
        RedirectImport("kernel32.dll", "WriteFile", write);
    }
    return saved;
}

TEST_F(SaveInPlace, TheTargetIsWrittenInPlaceAndAFailureThereIsTold) {
    TempFolder folder("baldrix-inplace");
    const std::string target = folder.File("existing.log");
    WriteFileBytes(target, kPrecious + kPrecious);
    SetText(kTranscript);
    EXPECT_TRUE(SaveWhereTheFolderRefuses(target, false)) << g_driver.boxText;
    EXPECT_EQ(g_driver.confirmations, 1) << "the user chose to replace the file";
    EXPECT_EQ(g_driver.boxes, 0);
    EXPECT_EQ(ReadFileBytes(target), kTranscript) << "whole, with nothing of the old file after it";

    // The disk fills while the file is written in place: the user is told.
    EXPECT_FALSE(SaveWhereTheFolderRefuses(target, true));
    ExpectTold(target);
    EXPECT_EQ(SendMessageA(AppState.hwndChat, WM_GETTEXTLENGTH, 0, 0),
              static_cast<LRESULT>(kTranscript.size()))
        << "the transcript stays to be saved elsewhere";
    EXPECT_EQ(folder.Names(), (std::set<std::string>{"existing.log"}));

    // No memory for the text: the old bytes stay.
    WriteFileBytes(target, kPrecious);
    {
        NoPages noPages;
        EXPECT_FALSE(SaveWhereTheFolderRefuses(target, false));
    }
    ExpectTold(target);
    EXPECT_EQ(ReadFileBytes(target), kPrecious);

    // A read-only target is still not written, in place or otherwise.
    WriteFileBytes(target, kPrecious);
    ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(SaveWhereTheFolderRefuses(target, false));
    ExpectTold(target);
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFileBytes(target), kPrecious);
}

} // namespace

// ---- the address space full ----------------------------------------------------

using AddressSpace = MainWindowTest;

// Every append copies the whole transcript, so the address space, not the
// machine's memory, decides how long a transcript can grow: about a third of a
// 32-bit process's 2 GB. Grows the transcript through the program's own append
// path, in halving chunks and finally with real sends, until one is refused,
// and shows that nothing is lost then. The 64-bit build stops at a cap instead.
TEST_F(AddressSpace, AFullTranscriptRefusesTheLineAndLosesNothing) {
    constexpr size_t kCap = sizeof(void*) == 4 ? ~static_cast<size_t>(0) : size_t{1} << 30;
    // A settings file from an earlier run, so that closing writes one.
    const std::string ini = SettingsPathOfTestProcess();
    StopMainWindow();
    WriteFileBytes(ini, "[Options]\r\nNickname=Ada\r\n");
    StartMainWindow();
    ASSERT_STREQ(AppState.nickname, "Ada");

    const std::string line = "<Ada> " + std::string(120, 'w') + "\r\n";
    size_t chunk = size_t{64} << 20;
    std::string text;
    size_t length = 0;
    while (chunk >= line.size() && length < kCap) {
        if (text.size() != chunk) {
            text.clear();
            text.shrink_to_fit();
            while (text.size() + line.size() <= chunk) {
                text += line;
            }
            text.resize(chunk, 'w');
        }
        if (AppendText(AppState.hwndChat, text.c_str())) {
            length += chunk;
        } else {
            chunk /= 2;
        }
    }
    text.clear();
    text.shrink_to_fit();
    ASSERT_EQ(static_cast<size_t>(SendMessageA(AppState.hwndChat, WM_GETTEXTLENGTH, 0, 0)), length);

    // Now real sends, each a full line, until one is refused (or the cap is reached).
    const std::string typed(kInputLimit, 's');
    int sends = 0;
    bool refused = false;
    const int maxSends = length < kCap ? INT_MAX : 10;
    while (!refused && sends < maxSends) {
        SetWindowTextA(AppState.hwndInput, typed.c_str());
        SendMessageA(AppState.hwndMain, WM_COMMAND, IDM_SEND, 0);
        refused = WindowText(AppState.hwndInput) == typed;
        if (!refused) {
            ++sends;
            length += kInputLimit + 8; // "<Ada> " and CR LF
        }
    }
    const LRESULT held = SendMessageA(AppState.hwndChat, WM_GETTEXTLENGTH, 0, 0);
    std::printf("%d-bit: the transcript held %.1f MB (%zu bytes) when %s; %d sends at the end\n",
                static_cast<int>(sizeof(void*) * 8), static_cast<double>(held) / 1e6,
                static_cast<size_t>(held),
                refused ? "a send was refused" : "the test's cap was reached", sends);
    ASSERT_EQ(static_cast<size_t>(held), length) << "a refused send changed the transcript";
    if (sizeof(void*) == 4) {
        EXPECT_TRUE(refused) << "a 32-bit process cannot hold more";
    }
    if (!refused) {
        return;
    }

    // The line waits in the field, and the program goes on working.
    EXPECT_EQ(WindowText(AppState.hwndInput), typed);
    SendMessageA(AppState.hwndChat, WM_VSCROLL, SB_TOP, 0);
    SendMessageA(AppState.hwndChat, CLM_SETSEL, 0, 5);
    RedrawWindow(AppState.hwndChat, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    char head[8] = "";
    SendMessageA(AppState.hwndChat, WM_GETTEXT, sizeof head, reinterpret_cast<LPARAM>(head));
    EXPECT_STREQ(head, "<Ada> w");
    EXPECT_EQ(SendMessageA(AppState.hwndChat, CLM_GETSEL, 0, 0), 5);

    // A log is saved whole, or the failure is told and the old file kept.
    TempFolder folder("baldrix-memfault");
    const std::string target = folder.File("existing.log");
    WriteFileBytes(target, kPrecious);
    const bool saved = SaveDriven(target);
    std::printf("the log save %s\n", saved ? "went through" : "was refused and reported");
    if (saved) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        ASSERT_TRUE(GetFileAttributesExA(target.c_str(), GetFileExInfoStandard, &data));
        EXPECT_EQ(data.nFileSizeLow, static_cast<DWORD>(held));
        EXPECT_EQ(data.nFileSizeHigh, 0u);
    } else {
        ExpectTold(target);
        EXPECT_EQ(ReadFileBytes(target), kPrecious);
    }
    EXPECT_EQ(folder.Names(), (std::set<std::string>{"existing.log"})) << "no temporary file";

    // F5 still clears, and the settings are written on close.
    SendMessageA(AppState.hwndMain, WM_COMMAND, IDM_CLEAROUTPUT, 0);
    EXPECT_EQ(SendMessageA(AppState.hwndChat, WM_GETTEXTLENGTH, 0, 0), 0);
    SendMessageA(AppState.hwndMain, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(AppState.hwndMain));
    const std::string written = ReadFileBytes(ini);
    EXPECT_NE(written.find("Nickname=Ada"), std::string::npos) << written;
    EXPECT_NE(written.find("[Window]"), std::string::npos) << written;
}
