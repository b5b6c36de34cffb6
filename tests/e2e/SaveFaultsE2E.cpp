// Saving the log when the file system says no: the user's existing file stays
// byte for byte as it was, no temporary file is left behind, and a message box
// names the file and the system's reason.
#include "tests/support/AppDriver.h"

#include "base/ScopedHandles.h"

#include <set>

namespace {

const std::string kFaults = "Z:\\tmp\\baldrix-faults";
const std::string kPrecious = "precious line one\r\nprecious line two\r\n";

// Why the fault folders cannot be used here; empty when they can.
std::string FaultFoldersMissing() {
    const std::string why = ReadFileBytes(kFaults + "\\UNAVAILABLE");
    if (!why.empty()) {
        return why;
    }
    if (!FileExists(kFaults + "\\small\\existing.log")) {
        return "the fault folders were not prepared (tests/fault-dirs.sh up)";
    }
    return std::string();
}

// Saves over the target, confirms the replacement, and answers the text of the
// message box that reports the failure (empty when none showed).
std::string SaveExpectingFailure(RunningApp& app, const std::string& target, bool exists) {
    HWND dialog = app.SaveThroughDialog(target);
    if (dialog == nullptr) {
        return std::string();
    }
    if (exists) {
        HWND confirm = app.WaitForDialog(dialog);
        if (confirm == nullptr) {
            return std::string();
        }
        app.Press('Y');
    }
    HWND box = nullptr;
    WaitFor(
        [&] {
            box = app.WaitForDialog(dialog, 200);
            return box != nullptr && WindowText(box) == "bALDRIX";
        },
        8000);
    if (box == nullptr || WindowText(box) != "bALDRIX") {
        return std::string();
    }
    const std::string text = DialogStatics(box);
    app.Press(VK_RETURN);
    WaitFor([&] { return GetForegroundWindow() == app.Main(); }, 3000);
    return text;
}

// Saves over the existing target and expects the refusal: the box names the
// file, and the folder holds the same names as before (no temporary file is
// left). Answers what the box said.
std::string ExpectRefusedSave(RunningApp& app, const std::string& target) {
    const std::string folder = target.substr(0, target.rfind('\\'));
    const std::set<std::string> before = FolderNames(folder);
    const std::string message = SaveExpectingFailure(app, target, true);
    EXPECT_NE(message.find(target), std::string::npos) << "the box names the file: " << message;
    EXPECT_EQ(FolderNames(folder), before);
    return message;
}

using SaveFaults = StartedApp;

TEST_F(SaveFaults, AFolderThatCannotBeWrittenKeepsTheFileAndTellsTheUser) {
    const std::string missing = FaultFoldersMissing();
    if (!missing.empty()) {
        GTEST_SKIP() << missing;
    }
    const std::string target = kFaults + "\\readonly\\existing.log";
    app.SendTyped("this must not land");
    const std::string message = ExpectRefusedSave(app, target);
    EXPECT_GT(message.size(), target.size() + 40) << "and gives a reason: " << message;
    EXPECT_EQ(ReadFileBytes(target), kPrecious);
    EXPECT_EQ(app.ChatText(), "<User> this must not land\r\n") << "the transcript is untouched";
}

TEST_F(SaveFaults, ADiskThatFillsUpKeepsTheFileAndLeavesNoTemporaryFile) {
    const std::string missing = FaultFoldersMissing();
    if (!missing.empty()) {
        GTEST_SKIP() << missing;
    }
    const std::string target = kFaults + "\\small\\existing.log";
    // A transcript three times the size of the whole file system.
    std::string big;
    while (big.size() < 200 * 1024) {
        big += "<User> a line long enough to fill the small disk quickly, and more\r\n";
    }
    app.SetChatText(big);
    ASSERT_EQ(app.ChatText().size(), big.size());
    ExpectRefusedSave(app, target);
    EXPECT_EQ(ReadFileBytes(target), kPrecious);
}

TEST_F(SaveFaults, AReadOnlyTargetIsNotReplaced) {
    const std::string target = app.File("readonly.log");
    ASSERT_TRUE(WriteFileBytes(target, kPrecious));
    ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));
    app.SendTyped("over a read-only file");
    ExpectRefusedSave(app, target);
    EXPECT_EQ(ReadFileBytes(target), kPrecious);
}

// A file another program holds open: without sharing it is not replaced; a
// follower that lets others write (and delete) takes the log, as the plain
// write of the file would.
TEST_F(SaveFaults, AFileHeldOpenIsSavedWhereAPlainWriteWould) {
    const std::string target = app.File("held.log");
    app.SendTyped("over a file in use");
    const std::string saved = app.ChatText();
    for (const DWORD sharing : {0ul, 0ul + (FILE_SHARE_READ | FILE_SHARE_WRITE),
                                0ul + (FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE)}) {
        SCOPED_TRACE(sharing);
        ASSERT_TRUE(WriteFileBytes(target, kPrecious));
        const std::set<std::string> before = FolderNames(app.Folder());
        {
            const ScopedFile held(CreateFileA(target.c_str(), GENERIC_READ, sharing, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            ASSERT_TRUE(held.IsOpen());
            if (sharing == 0) {
                ExpectRefusedSave(app, target);
            } else {
                const HWND dialog = app.SaveThroughDialog(target);
                ASSERT_NE(dialog, nullptr);
                ASSERT_NE(app.WaitForDialog(dialog), nullptr) << "replace it?";
                app.Press('Y');
                EXPECT_TRUE(WaitFor([&] { return ReadFileBytes(target) == saved; }, 8000));
                EXPECT_EQ(app.ShownDialog(), nullptr) << "no message box";
            }
        }
        EXPECT_EQ(ReadFileBytes(target), sharing == 0 ? kPrecious : saved);
        EXPECT_EQ(FolderNames(app.Folder()), before) << "nothing left beside it";
    }
}

// A log file that can be written, in a folder that takes no new file (a shared
// folder with rights per file, a read-only mount). tests/e2e/readonly-folder.sh
// names such a folder, holding a writable chat.log, in BALDRIX_READONLY_FOLDER;
// elsewhere this case skips. Replacing the file, as the user chose, writes it
// in place: every byte of the transcript and nothing of the old file after them.
TEST(LogReadOnlyFolder, TheLogIsWrittenInPlace) {
    char folder[MAX_PATH] = "";
    if (GetEnvironmentVariableA("BALDRIX_READONLY_FOLDER", folder, sizeof folder) == 0) {
        GTEST_SKIP() << "needs a read-only folder: run tests/e2e/readonly-folder.sh";
    }
    const std::string target = std::string(folder) + "\\chat.log";
    ASSERT_TRUE(WriteFileBytes(target, kPrecious + kPrecious)) << "the log file takes writes";
    const std::string probe = std::string(folder) + "\\probe";
    const HANDLE made = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_EQ(made, INVALID_HANDLE_VALUE) << "the folder takes new files";
    const std::set<std::string> before = FolderNames(folder);

    RunningApp app;
    ASSERT_TRUE(app.Start());
    app.SendTyped("written in place");
    HWND dialog = app.SaveThroughDialog(target);
    ASSERT_NE(dialog, nullptr);
    ASSERT_NE(app.WaitForDialog(dialog), nullptr) << "replacing the file asks first";
    app.Press('Y');
    const std::string expected = "<User> written in place\r\n";
    EXPECT_TRUE(WaitFor([&] { return ReadFileBytes(target) == expected; }, 5000))
        << ReadFileBytes(target);
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == app.Main(); }, 3000))
        << "no message box: the save went through";
    EXPECT_EQ(FolderNames(folder), before);
    EXPECT_EQ(app.Close(), 0u);
}

} // namespace
