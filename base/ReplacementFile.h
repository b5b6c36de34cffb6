// A new file beside a target, filled by the caller, that takes the target's
// place only when every byte is on disk: a save that fails leaves the old file
// as it was and nothing beside it.
//
// Where the folder takes no new file (a shared folder with rights per file, a
// read-only mount holding a writable file) but the target exists and takes
// writes, the file is the target itself, opened in place and not cut short:
// the caller, who was asked to replace it, writes into it directly. So is a
// target reached by other names too (a symbolic link, a hard link), which
// must go on naming the bytes written. A target that another program holds
// open cannot be replaced, but takes the new file's bytes when it takes writes.
#pragma once

#include <windows.h>

// The folder part of a path (at most MAX_PATH bytes), with its final
// separator (".\" for a bare name).
void FolderOf(const char* path, char* folder);

class ReplacementFile {
public:
    // Makes the new, empty file in the target's folder, open for writing; its
    // name starts with `prefix` (the system uses the first three characters).
    // Failing that for want of rights in the folder: the target, in place.
    ReplacementFile(const char* target, const char* prefix);
    ~ReplacementFile(); // closes it, and deletes it unless it took the target's place
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // ERROR_SUCCESS once the file is made, otherwise the system's reason.
    DWORD Error() const { return error_; }
    HANDLE Handle() const { return handle_; }
    const char* Path() const { return path_; }
    // The file is the target itself: its bytes change as they are written.
    bool InPlace() const { return inPlace_; }
    // Closes the handle, so the file can be filled by name; answers as Error() does.
    DWORD Close();
    // Closes the file and moves it onto the target, which keeps the attributes
    // its owner gave it (in place: only closes it); where the target is held
    // open, copies the file's bytes into it. Answers ERROR_SUCCESS or the
    // system's reason.
    DWORD TakePlace();

private:
    bool OpenInPlace();               // the target itself, where it takes writes
    DWORD CopyInPlace(DWORD refused); // the file's bytes into the target, else `refused`

    const char* target_;
    char path_[MAX_PATH] = "";
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    DWORD error_ = ERROR_SUCCESS;
    bool owned_ = false;   // the file at path_ is ours to delete
    bool placed_ = false;  // it is the target now
    bool inPlace_ = false; // it is the target, written where it lies
};
