#include "transcript/ChatLines.h"

#include "app/AppState.h"
#include "app/InputField.h"
#include "transcript/ChatLineModel.h"

#include <cderr.h>

namespace {

// A page buffer for the length of one operation.
BYTE* TakePages(SIZE_T size) {
    return static_cast<BYTE*>(VirtualAlloc(nullptr, size, MEM_COMMIT, PAGE_READWRITE));
}

void ReleasePages(BYTE* buffer) {
    if (buffer != nullptr) {
        VirtualFree(buffer, 0, MEM_RELEASE);
    }
}

SIZE_T TextLength(HWND window) {
    const LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
    return length > 0 ? static_cast<SIZE_T>(length) : 0;
}

// Copies the window's text into the buffer; answers the count of characters copied.
SIZE_T ReadText(HWND window, BYTE* buffer, SIZE_T capacity) {
    const LRESULT copied =
        SendMessageA(window, WM_GETTEXT, capacity, reinterpret_cast<LPARAM>(buffer));
    if (copied <= 0) {
        return 0;
    }
    return static_cast<SIZE_T>(copied) < capacity ? static_cast<SIZE_T>(copied) : capacity - 1;
}

// Deletes the temporary file of a save unless it was put in place.
struct TempFileGuard {
    const char* path;
    bool keep = false;
    ~TempFileGuard() {
        if (!keep) {
            DeleteFileA(path);
        }
    }
};

// Writes the transcript's bytes to the open file; answers FALSE with the
// system's error code set when anything fails.
BOOL WriteTranscript(HANDLE file) {
    const SIZE_T length = TextLength(AppState.hwndChat);
    if (length >= MAXDWORD) {
        SetLastError(ERROR_FILE_TOO_LARGE);
        return FALSE;
    }
    AppState.scratchSize = static_cast<DWORD>(length + 1);
    AppState.scratchBuffer = TakePages(AppState.scratchSize);
    if (AppState.scratchBuffer == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    const SIZE_T count = ReadText(AppState.hwndChat, AppState.scratchBuffer, AppState.scratchSize);
    BOOL ok = TRUE;
    SIZE_T done = 0;
    while (ok && done < count) {
        DWORD written = 0;
        ok = WriteFile(file, AppState.scratchBuffer + done, static_cast<DWORD>(count - done),
                       &written, nullptr);
        if (ok && written == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            ok = FALSE;
        }
        done += written;
    }
    AppState.scratchSize = static_cast<DWORD>(done);
    ReleasePages(AppState.scratchBuffer);
    return ok && FlushFileBuffers(file);
}

// The one failure the user is told of: a save that fails in silence would look like success.
void ReportSaveFailure(DWORD error) {
    char reason[512];
    if (FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                       0, reason, sizeof reason, nullptr) == 0) {
        wsprintfA(reason, "Error %lu.", static_cast<unsigned long>(error));
    }
    char message[1024];
    wsprintfA(message, "The log file could not be saved:\r\n%s\r\n\r\n%s", AppState.logPath,
              reason);
    MessageBoxA(AppState.hwndMain, message, Str::ProgramName, MB_OK | MB_ICONERROR);
}

// The dialog itself failed: the user chose a file but nothing was saved, so
// say why rather than look like Cancel.
void ReportDialogFailure(DWORD error) {
    char message[512];
    if (error == FNERR_BUFFERTOOSMALL) {
        wsprintfA(message,
                  "The log file could not be saved: the chosen path is too long.\r\n\r\n"
                  "Choose a path of at most %d characters.",
                  kPathCapacity - 1);
    } else if (error == FNERR_INVALIDFILENAME) {
        lstrcpyA(message, "The log file could not be saved: the chosen file name is not valid.");
    } else {
        wsprintfA(message, "The save dialog failed (error 0x%04lX); the log file was not saved.",
                  static_cast<unsigned long>(error));
    }
    MessageBoxA(AppState.hwndMain, message, Str::ProgramName, MB_OK | MB_ICONERROR);
}

// The folder part of a path, without its last separator ("." for a bare name).
void FolderOf(const char* path, char* folder) {
    lstrcpynA(folder, path, kPathCapacity);
    char* cut = nullptr;
    for (char* p = folder; *p != '\0'; p = CharNextA(p)) {
        if (*p == '\\' || *p == '/') {
            cut = p;
        }
    }
    if (cut == nullptr) {
        lstrcpyA(folder, ".");
    } else if (cut == folder || cut[-1] == ':') {
        cut[1] = '\0'; // keep the root's separator
    } else {
        *cut = '\0';
    }
}

// GetTempFileNameA adds up to 13 characters to a folder. Past the limit some
// systems neither fail nor fit the name in the buffer, but cut it short after
// making the file under its full name; such a folder gets a name from CreateBeside.
constexpr int kUniqueNameRoom = 14;

// Creates the file to write into under the target's name with its last
// character replaced, never over a file that is there already.
HANDLE CreateBeside(const char* target, char* temp) {
    lstrcpynA(temp, target, kPathCapacity);
    const int last = lstrlenA(temp) - 1;
    static constexpr char kMarks[] = "~#!";
    for (const char* mark = kMarks; *mark != '\0'; ++mark) {
        if (last < 0 || temp[last] == *mark) {
            continue;
        }
        temp[last] = *mark;
        const HANDLE file = CreateFileA(temp, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) {
            return file;
        }
    }
    SetLastError(ERROR_FILE_EXISTS);
    return INVALID_HANDLE_VALUE;
}

// Writes the log beside its target and replaces the target only when every
// byte is on disk, so a failed save leaves an existing file as it was.
DWORD SaveTo() {
    // A read-only file is not ours to replace, though a rename would replace it.
    const DWORD attributes = GetFileAttributesA(AppState.logPath);
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        return ERROR_ACCESS_DENIED;
    }
    char folder[kPathCapacity];
    char temp[MAX_PATH];
    FolderOf(AppState.logPath, folder);
    if (lstrlenA(folder) > MAX_PATH - kUniqueNameRoom) {
        AppState.hLogFile = CreateBeside(AppState.logPath, temp);
        if (AppState.hLogFile == INVALID_HANDLE_VALUE) {
            return GetLastError();
        }
    } else if (GetTempFileNameA(folder, "bal", 0, temp) == 0) {
        return GetLastError();
    } else {
        AppState.hLogFile = CreateFileA(temp, GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    TempFileGuard guard{temp};
    if (AppState.hLogFile == INVALID_HANDLE_VALUE) {
        return GetLastError();
    }
    BOOL ok = WriteTranscript(AppState.hLogFile);
    DWORD error = ok ? ERROR_SUCCESS : GetLastError();
    if (!CloseHandle(AppState.hLogFile) && ok) {
        ok = FALSE;
        error = GetLastError();
    }
    if (ok &&
        !MoveFileExA(temp, AppState.logPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ok = FALSE;
        error = GetLastError();
    }
    guard.keep = ok;
    return ok ? ERROR_SUCCESS : (error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT);
}

} // namespace

int AppendText(HWND window, const char* text) {
    const SIZE_T length = TextLength(window);
    const SIZE_T added = static_cast<SIZE_T>(lstrlenA(text));
    AppState.scratchBuffer = TakePages(length + added + 1);
    if (AppState.scratchBuffer == nullptr) {
        return 0;
    }
    const SIZE_T copied = ReadText(window, AppState.scratchBuffer, length + 1);
    lstrcpyA(reinterpret_cast<char*>(AppState.scratchBuffer + copied), text);
    const LRESULT taken =
        SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(AppState.scratchBuffer));
    ReleasePages(AppState.scratchBuffer);
    return taken ? 1 : 0;
}

bool SendLine() {
    // The buffer holds one more than the field accepts, so a full line goes whole.
    if (GetWindowTextA(AppState.hwndInput, AppState.textBuffer, sizeof AppState.textBuffer) == 0) {
        return false;
    }
    // A line that could not be made or appended stays in the field to be sent again.
    if (ComposeChatLine(AppState.lineBuffer, sizeof AppState.lineBuffer, AppState.nickname,
                        AppState.textBuffer) == 0 ||
        !AppendText(AppState.hwndChat, AppState.lineBuffer)) {
        return false;
    }
    ClearInput();
    RememberSentLine(AppState.hwndInput,
                     AppState.textBuffer); // input history; also ends what Ctrl+Z could take back
    return true;
}

void ClearInput() {
    RememberClearedDraft(AppState.hwndInput); // for Ctrl+Z
    SetWindowTextA(AppState.hwndInput, Str::Empty);
}

void ClearOutput() {
    RememberClearedTranscript(AppState.hwndInput); // for Ctrl+Z
    SetWindowTextA(AppState.hwndChat, Str::Empty);
}

bool SaveLogFile() {
    // A failing dialog may leave a size number in the path buffer, and the
    // next F2 would propose that: the last good name is put back.
    char lastGood[kPathCapacity];
    lstrcpynA(lastGood, AppState.logPath, kPathCapacity);
    if (!GetSaveFileNameA(&AppState.saveDialog)) {
        const DWORD error = CommDlgExtendedError();
        lstrcpyA(AppState.logPath, lastGood);
        if (error != 0) { // 0 is the user's Cancel
            ReportDialogFailure(error);
        }
        return false;
    }
    const DWORD error = SaveTo();
    if (error != ERROR_SUCCESS) {
        ReportSaveFailure(error);
        return false;
    }
    return true;
}
