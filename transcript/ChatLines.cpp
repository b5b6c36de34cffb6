#include "transcript/ChatLines.h"

#include "app/AppState.h"
#include "app/InputField.h"
#include "base/ReplacementFile.h"
#include "base/ScopedHandles.h"
#include "transcript/ChatLineModel.h"
#include "transcript/ChatList.h"

#include <cderr.h>

namespace {

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

// Writes the bytes to the open file and flushes them; answers FALSE with the
// system's error code set when anything fails.
BOOL WriteBytes(HANDLE file, const BYTE* bytes, SIZE_T count) {
    BOOL ok = TRUE;
    SIZE_T done = 0;
    while (ok && done < count) {
        DWORD written = 0;
        ok = WriteFile(file, bytes + done, static_cast<DWORD>(count - done), &written, nullptr);
        if (ok && written == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            ok = FALSE;
        }
        done += written;
    }
    AppState.scratchSize = static_cast<DWORD>(done);
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

// Writes the log beside its target and replaces the target only when every
// byte is on disk, so a failed save leaves an existing file as it was. Where
// the folder takes no new file, the target the user chose to replace is
// written in place.
DWORD SaveTo() {
    // A read-only file is not ours to replace, though a rename would replace it.
    const DWORD attributes = GetFileAttributesA(AppState.logPath);
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        return ERROR_ACCESS_DENIED;
    }
    ReplacementFile file(AppState.logPath, Str::ProgramName);
    AppState.hLogFile = file.Handle();
    if (file.Error() != ERROR_SUCCESS) {
        return file.Error();
    }
    const SIZE_T length = TextLength(AppState.hwndChat);
    if (length >= MAXDWORD) {
        return ERROR_FILE_TOO_LARGE;
    }
    AppState.scratchSize = static_cast<DWORD>(length + 1);
    const ScopedPages pages(AppState.scratchSize);
    AppState.scratchBuffer = pages.Bytes();
    if (AppState.scratchBuffer == nullptr) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    const SIZE_T count = ReadText(AppState.hwndChat, AppState.scratchBuffer, AppState.scratchSize);
    // In place, the old bytes go only once the new ones are in hand, and before
    // they are written, so that a write cut short leaves none of them behind the new.
    if ((file.InPlace() && !SetEndOfFile(AppState.hLogFile)) ||
        !WriteBytes(AppState.hLogFile, AppState.scratchBuffer, count)) {
        const DWORD error = GetLastError();
        return error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT;
    }
    return file.TakePlace();
}

} // namespace

int AppendText(HWND window, const char* text) {
    const SIZE_T length = TextLength(window);
    const SIZE_T added = static_cast<SIZE_T>(lstrlenA(text));
    const ScopedPages pages(length + added + 1);
    AppState.scratchBuffer = pages.Bytes();
    if (AppState.scratchBuffer == nullptr) {
        return 0;
    }
    const SIZE_T copied = ReadText(window, AppState.scratchBuffer, length + 1);
    if (copied != length) {
        return 0; // read short: writing it back would cut the text
    }
    lstrcpyA(reinterpret_cast<char*>(AppState.scratchBuffer + copied), text);
    const LRESULT taken =
        SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(AppState.scratchBuffer));
    return taken ? 1 : 0;
}

bool SendLine() {
    // The buffer holds one more than the field accepts, so a full line goes whole.
    if (GetWindowTextA(AppState.hwndInput, AppState.textBuffer, sizeof AppState.textBuffer) == 0) {
        return false;
    }
    // A line that could not be made or appended stays in the field to be sent again.
    if (ComposeChatLine(AppState.lineBuffer, sizeof AppState.lineBuffer, AppState.nickname,
                        AppState.textBuffer) == 0) {
        return false;
    }
    SendMessageA(AppState.hwndChat, CLM_OWNLINE, 0, 0); // so the user may choose not to hear it
    if (!AppendText(AppState.hwndChat, AppState.lineBuffer)) {
        return false;
    }
    SendMessageA(AppState.hwndChat, CLM_ENDHOLD, 0, 0); // the user sees the line just sent
    ClearInput();
    // Input history; also ends what Ctrl+Z could take back.
    SendMessageA(AppState.hwndInput, ILM_SENTLINE, 0,
                 reinterpret_cast<LPARAM>(AppState.textBuffer));
    return true;
}

void ClearInput() {
    SendMessageA(AppState.hwndInput, ILM_CLEARINGDRAFT, 0, 0); // for Ctrl+Z
    SetWindowTextA(AppState.hwndInput, Str::Empty);
}

void ClearOutput() {
    SendMessageA(AppState.hwndInput, ILM_CLEARINGTRANSCRIPT, 0, 0); // for Ctrl+Z
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
