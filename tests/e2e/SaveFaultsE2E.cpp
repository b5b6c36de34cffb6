// Saving the log when the file system says no: the user's existing file stays
// byte for byte as it was, no temporary file is left behind, and a message box
// names the file and the system's reason.
#include "tests/support/AppDriver.h"

#include <set>

namespace {

const std::string kFaults = "Z:\\tmp\\baldrix-faults";
const std::string kPrecious = "precious line one\r\nprecious line two\r\n";

void SkipWithoutFaultFolders() {
    const std::string why = ReadFileBytes(kFaults + "\\UNAVAILABLE");
    if (!why.empty()) {
        GTEST_SKIP() << why;
    }
    if (!FileExists(kFaults + "\\small\\existing.log")) {
        GTEST_SKIP() << "the fault folders were not prepared (tests/fault-dirs.sh up)";
    }
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

TEST(SaveFaults, AFolderThatCannotBeWrittenKeepsTheFileAndTellsTheUser) {
    SkipWithoutFaultFolders();
    const std::string folder = kFaults + "\\readonly";
    const std::string target = folder + "\\existing.log";
    const auto before = FolderNames(folder);
    RunningApp app;
    ASSERT_TRUE(app.Start());
    app.SendTyped("this must not land");
    const std::string message = SaveExpectingFailure(app, target, true);
    EXPECT_NE(message.find(target), std::string::npos) << "the box names the file: " << message;
    EXPECT_GT(message.size(), target.size() + 40) << "and gives a reason: " << message;
    EXPECT_EQ(ReadFileBytes(target), kPrecious);
    EXPECT_EQ(FolderNames(folder), before);
    EXPECT_EQ(app.ChatText(), "<User> this must not land\r\n") << "the transcript is untouched";
    EXPECT_EQ(app.Close(), 0u);
}

TEST(SaveFaults, ADiskThatFillsUpKeepsTheFileAndLeavesNoTemporaryFile) {
    SkipWithoutFaultFolders();
    const std::string folder = kFaults + "\\small";
    const std::string target = folder + "\\existing.log";
    const auto before = FolderNames(folder);
    RunningApp app;
    ASSERT_TRUE(app.Start());
    // A transcript three times the size of the whole file system.
    std::string big;
    while (big.size() < 200 * 1024) {
        big += "<User> a line long enough to fill the small disk quickly, and more\r\n";
    }
    DWORD_PTR ignored;
    SendMessageTimeoutA(app.Chat(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(big.c_str()),
                        SMTO_ABORTIFHUNG, 5000, &ignored);
    ASSERT_EQ(app.ChatText().size(), big.size());
    const std::string message = SaveExpectingFailure(app, target, true);
    EXPECT_NE(message.find(target), std::string::npos) << message;
    EXPECT_EQ(ReadFileBytes(target), kPrecious);
    EXPECT_EQ(FolderNames(folder), before);
    EXPECT_EQ(app.Close(), 0u);
}

TEST(SaveFaults, AReadOnlyTargetIsNotReplaced) {
    RunningApp app;
    const std::string target = app.File("readonly.log");
    WriteFileBytes(target, kPrecious);
    ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));
    const auto before = FolderNames(app.Folder());
    ASSERT_TRUE(app.Start());
    app.SendTyped("over a read-only file");
    const std::string message = SaveExpectingFailure(app, target, true);
    EXPECT_NE(message.find(target), std::string::npos) << message;
    EXPECT_EQ(ReadFileBytes(target), kPrecious);
    EXPECT_EQ(FolderNames(app.Folder()), before);
    EXPECT_EQ(app.Close(), 0u);
}

TEST(SaveFaults, AFileHeldOpenWithoutSharingIsNotReplaced) {
    RunningApp app;
    const std::string target = app.File("held.log");
    WriteFileBytes(target, kPrecious);
    HANDLE held = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const auto before = FolderNames(app.Folder());
    ASSERT_TRUE(app.Start());
    app.SendTyped("over a file in use");
    const std::string message = SaveExpectingFailure(app, target, true);
    CloseHandle(held);
    EXPECT_NE(message.find(target), std::string::npos) << message;
    EXPECT_EQ(ReadFileBytes(target), kPrecious);
    EXPECT_EQ(FolderNames(app.Folder()), before);
    EXPECT_EQ(app.Close(), 0u);
}

} // namespace
