#include "base/ReplacementFile.h"

#include "base/ScopedHandles.h"

namespace {

// Room for what GetTempFileNameA adds after a folder's separator (up to 11
// characters), the terminator and two to spare. Past the limit some systems neither fail nor fit
// the name in the buffer, but cut it short after making the file under its full name; such a folder
// gets a name from CreateBeside.
constexpr int kUniqueNameRoom = 14;

// What the target's owner set on it; a file made anew would lose it.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

HANDLE OpenForWriting(const char* path, DWORD disposition) {
    return CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Creates the file under the target's name with its last character replaced,
// never over a file that is there already.
HANDLE CreateBeside(const char* target, char* path) {
    lstrcpynA(path, target, MAX_PATH);
    const int last = lstrlenA(path) - 1;
    static constexpr char kMarks[] = "~#!";
    for (const char* mark = kMarks; *mark != '\0'; ++mark) {
        if (last < 0 || path[last] == *mark) {
            continue;
        }
        path[last] = *mark;
        const HANDLE file = OpenForWriting(path, CREATE_NEW);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) {
            return file;
        }
    }
    SetLastError(ERROR_FILE_EXISTS);
    return INVALID_HANDLE_VALUE;
}

// The system's reason for the last failure; one that left none still failed.
DWORD LastError() {
    const DWORD error = GetLastError();
    return error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT;
}

// The folder takes no new file, which says nothing of the files already in it.
bool FolderRefusesNewFiles(DWORD error) {
    return error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT;
}

// The rename was refused for the target's sake: another program has it open
// (a log follower), which says nothing of whether it takes writes.
bool TargetHeld(DWORD error) {
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
}

// The file is reached by more than its own name (a symbolic link or another
// reparse point, a hard link's other names): a file moved into its place would
// leave them on the old bytes.
bool ReachedByOtherNames(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return false;
    }
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return true;
    }
    const ScopedFile file(CreateFileA(path, 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    return file.IsOpen() && GetFileInformationByHandle(file.Handle(), &info) &&
           info.nNumberOfLinks > 1;
}

// Copies the whole of one open file into another from its start, cutting what
// was there; answers ERROR_SUCCESS once the bytes are on disk.
DWORD CopyBytes(HANDLE from, HANDLE to) {
    char chunk[16384];
    DWORD got = 0;
    BOOL ok = SetEndOfFile(to);
    while (ok && (ok = ReadFile(from, chunk, sizeof chunk, &got, nullptr)) && got > 0) {
        DWORD put = 0;
        ok = WriteFile(to, chunk, got, &put, nullptr) && put == got;
    }
    return ok && FlushFileBuffers(to) ? ERROR_SUCCESS : LastError();
}

} // namespace

void FolderOf(const char* path, char* folder) {
    lstrcpynA(folder, path, MAX_PATH);
    char* end = folder;
    // CharNextA steps over double-byte characters, whose second byte may be a '\'.
    for (char* p = folder; *p != '\0'; p = CharNextA(p)) {
        if (*p == '\\' || *p == '/') {
            end = p + 1;
        }
    }
    lstrcpyA(end, end == folder ? ".\\" : "");
}

ReplacementFile::ReplacementFile(const char* target, const char* prefix) : target_(target) {
    if (ReachedByOtherNames(target)) {
        if (!OpenInPlace()) {
            error_ = LastError();
        }
        return;
    }
    char folder[MAX_PATH];
    FolderOf(target, folder);
    if (lstrlenA(folder) > MAX_PATH - kUniqueNameRoom) {
        handle_ = CreateBeside(target, path_);
    } else if (GetTempFileNameA(folder, prefix, 0, path_) != 0) {
        owned_ = true;
        handle_ = OpenForWriting(path_, CREATE_ALWAYS);
    }
    owned_ = owned_ || handle_ != INVALID_HANDLE_VALUE;
    error_ = handle_ != INVALID_HANDLE_VALUE ? ERROR_SUCCESS : LastError();
    if (FolderRefusesNewFiles(error_)) {
        OpenInPlace();
    }
}

bool ReplacementFile::OpenInPlace() {
    const HANDLE file = OpenForWriting(target_, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    if (owned_) {
        DeleteFileA(path_); // named by the system, then not to be opened
    }
    owned_ = false;
    lstrcpynA(path_, target_, MAX_PATH);
    handle_ = file;
    error_ = ERROR_SUCCESS;
    inPlace_ = true;
    return true;
}

DWORD ReplacementFile::CopyInPlace(DWORD refused) {
    const ScopedFile to(OpenForWriting(target_, OPEN_EXISTING));
    if (!to.IsOpen()) {
        return refused;
    }
    const ScopedFile from(CreateFileA(path_, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    return from.IsOpen() ? CopyBytes(from.Handle(), to.Handle()) : LastError();
}

ReplacementFile::~ReplacementFile() {
    Close();
    if (owned_ && !placed_) {
        DeleteFileA(path_);
    }
}

DWORD ReplacementFile::Close() {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return handle == INVALID_HANDLE_VALUE || CloseHandle(handle) ? ERROR_SUCCESS : LastError();
}

DWORD ReplacementFile::TakePlace() {
    if (error_ != ERROR_SUCCESS) {
        return error_;
    }
    const DWORD closed = Close();
    if (closed != ERROR_SUCCESS || inPlace_) {
        return closed;
    }
    const DWORD old = GetFileAttributesA(target_);
    const DWORD kept = old != INVALID_FILE_ATTRIBUTES ? old & kKeptAttributes : 0;
    if (!MoveFileExA(path_, target_, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        // Held open by another program, the target may still take writes, as
        // a plain write over it would: the whole new file goes into it.
        const DWORD error = LastError();
        return TargetHeld(error) ? CopyInPlace(error) : error;
    }
    placed_ = true;
    // The bytes are in place by now: an attribute that does not stick fails nothing.
    const DWORD now = GetFileAttributesA(target_);
    if (now != INVALID_FILE_ATTRIBUTES && (kept & ~now) != 0) {
        SetFileAttributesA(target_, (now & ~FILE_ATTRIBUTE_NORMAL) | kept);
    }
    return ERROR_SUCCESS;
}
