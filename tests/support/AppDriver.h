// End-to-end driver: starts a copy of the real bALDRIX.exe in a fresh folder,
// finds its windows, types into it with real input (SendInput, through its
// message loop and accelerators), reads its state with window messages and
// closes it.
#pragma once

#include <windows.h>

#include <functional>
#include <set>
#include <string>

class RunningApp {
public:
    RunningApp();
    // Runs the bALDRIX.exe already in the given folder, and leaves the folder as it is.
    explicit RunningApp(const std::string& folder);
    ~RunningApp(); // ends the process if it still runs and removes a folder of its own
    RunningApp(const RunningApp&) = delete;
    RunningApp& operator=(const RunningApp&) = delete;

    const std::string& Folder() const { return folder_; }
    std::string ExePath() const { return folder_ + "\\bALDRIX.exe"; }
    std::string IniPath() const { return folder_ + "\\bALDRIX.ini"; }
    // Writes the settings file beside the program before it starts.
    void WriteIni(const std::string& bytes) const;
    std::string ReadIni() const;

    // Starts the program and waits for its main window to show; answers success.
    bool Start();
    // Brings the main window to the foreground so real input reaches it.
    bool Activate();

    HWND Main() const { return main_; }
    HWND Input() const;
    HWND Chat() const;
    HWND Toolbar() const;
    std::string Text(HWND hwnd) const;
    std::string ChatText() const { return Text(Chat()); }
    std::string InputText() const { return Text(Input()); }

    // Real keyboard input.
    void Type(const std::string& text);
    void Press(WORD vk, bool ctrl = false, bool shift = false, bool alt = false);
    // Real mouse input: a left click (or a double or triple one) at a point in
    // screen coordinates.
    void ClickAt(POINT screen, int clicks = 1);
    // Types a line into the input field and sends it with Enter.
    void SendTyped(const std::string& line);
    // F2, the path typed into the save dialog's file name box, Enter. Answers
    // the dialog, or nullptr when none showed.
    HWND SaveThroughDialog(const std::string& path);
    // Waits until the program has handled the input given so far.
    void Settle();

    // The program's dialog that has the foreground (class "#32770"), once one
    // shows within the time; nullptr otherwise. Pass the dialog to wait past.
    HWND WaitForDialog(HWND other = nullptr, DWORD timeoutMs = 5000);
    // The texts of a dialog's static controls, one per line.
    std::string DialogStatics(HWND dialog) const;
    // The text of the control that has the keyboard focus in a window's thread
    // (the save dialog's file name box, say).
    std::string FocusedText(HWND window) const;

    // Posts WM_CLOSE; answers the exit code, or STILL_ACTIVE when it did not end in time.
    DWORD Close(DWORD timeoutMs = 10000);
    // Waits for the process to end; answers the exit code or STILL_ACTIVE.
    DWORD WaitForExit(DWORD timeoutMs);
    bool Running() const;
    DWORD ProcessId() const { return pi_.dwProcessId; }
    HANDLE Process() const { return pi_.hProcess; }

private:
    std::string folder_;
    bool ownsFolder_ = true;
    PROCESS_INFORMATION pi_{};
    HWND main_ = nullptr;
};

// Pumps this thread's messages and polls until the condition holds or the time runs out.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 5000);
// The top-level window of a process with the given class (nullptr for any class) that is visible.
HWND FindProcessWindow(DWORD processId, const char* className, const char* title = nullptr);
bool FileExists(const std::string& path);
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ClipboardText();
// The clipboard's CF_UNICODETEXT, as the system gives it to a Unicode program.
std::wstring ClipboardUnicode();
// Marks the clipboard's text with a locale, as the system does with that of
// the keyboard layout active at a copy.
void MarkClipboardLocale(LCID locale);
// The bytes as the program's ANSI code page reads them.
std::wstring AnsiToWide(const std::string& bytes);
// The names in a folder, "." and ".." left out.
std::set<std::string> FolderNames(const std::string& folder);
// The same, less the program and its settings file: a copy or temporary
// file left behind shows here.
std::set<std::string> StrayFiles(const std::string& folder);
// A fresh empty folder under the temporary folder.
std::string MakeTempFolder(const char* prefix);
void RemoveTree(const std::string& folder);
