#include "settings/Settings.h"

#include "app/AppState.h"
#include "app/ReplacementFile.h"
#include "settings/SettingParsers.h"

namespace {

constexpr char kSettingsExtension[] = ".ini";
constexpr int kExtensionLength = 4;
// Free space a save wants beyond the size of the old file: the ten keys take a
// few KB at most (twice that in a UTF-16 file); the rest is for allocation.
constexpr ULONGLONG kSaveHeadroom = 64u * 1024u;
// Never a value as read: lines end at line feeds.
constexpr char kMissing[] = "\n";

// The keys of the Colors and Window sections, in the order they are read and written.
const LPCSTR kColourKeys[] = {Str::KeyText, Str::KeyBackground, Str::KeySelectionText,
                              Str::KeySelectionBackground};
COLORREF* const kColours[] = {&AppState.colorText, &AppState.colorBackground,
                              &AppState.colorSelectionText, &AppState.colorSelectionBackground};
const LPCSTR kSideKeys[] = {Str::KeyTop, Str::KeyLeft, Str::KeyRight, Str::KeyBottom};
LONG RECT::*const kSides[] = {&RECT::top, &RECT::left, &RECT::right, &RECT::bottom};

// The executable's path with its last four characters replaced by ".ini".
// A path that GetModuleFileNameA had to cut short would name some other file,
// so it gives no settings path at all.
bool DeriveSettingsPath(char* path) {
    const DWORD length = GetModuleFileNameA(nullptr, path, kPathCapacity);
    if (length < kExtensionLength || length >= static_cast<DWORD>(kPathCapacity)) {
        path[0] = '\0';
        return false;
    }
    lstrcpyA(path + length - kExtensionLength, kSettingsExtension);
    return true;
}

// Reads a text setting through the scratch buffer, so that the value it
// replaces can serve as the default without the two overlapping.
void ReadTextSetting(LPCSTR path, LPCSTR key, char* target, int capacity) {
    GetPrivateProfileStringA(Str::SectionOptions, key, target, AppState.textBuffer,
                             static_cast<DWORD>(capacity), path);
    lstrcpynA(target, AppState.textBuffer, capacity);
}

bool WriteAllSettings(LPCSTR path) {
    for (size_t i = 0; i < ARRAYSIZE(kColours); ++i) {
        if (!WriteColorSetting(path, Str::SectionColors, kColourKeys[i], *kColours[i])) {
            return false;
        }
    }
    AppState.placement.length = sizeof(WINDOWPLACEMENT);
    if (!GetWindowPlacement(AppState.hwndMain, &AppState.placement)) {
        return false;
    }
    for (size_t i = 0; i < ARRAYSIZE(kSides); ++i) {
        if (!WriteIntSetting(path, Str::SectionWindow, kSideKeys[i],
                             AppState.placement.rcNormalPosition.*kSides[i])) {
            return false;
        }
    }
    return WritePrivateProfileStringA(Str::SectionOptions, Str::KeyNickname, AppState.nickname,
                                      path) &&
           WritePrivateProfileStringA(Str::SectionOptions, Str::KeyDownload, AppState.downloadDir,
                                      path);
}

// Whether a text comes back from the profile functions exactly as written:
// they trim blanks at both ends and strip quotes around a value.
bool ReadsBackExactly(const char* text) {
    const int length = lstrlenA(text);
    if (length == 0) {
        return true;
    }
    const auto plain = [](char c) { return c > ' ' && c < 0x7F; };
    return plain(text[0]) && plain(text[length - 1]) && text[0] != '"' && text[0] != '\'';
}

// Reads one key back from the file; a value the profile functions could have
// reshaped only has to be there.
bool KeyReadsBack(LPCSTR path, LPCSTR section, LPCSTR key, const char* expected) {
    char found[kPathCapacity];
    GetPrivateProfileStringA(section, key, kMissing, found, sizeof found, path);
    if (lstrcmpA(found, kMissing) == 0) {
        return false;
    }
    return !ReadsBackExactly(expected) || lstrcmpA(found, expected) == 0;
}

// The profile functions report success for a write the disk refused, so every
// key is read back from the file itself before a copy may take the file's
// place. The bytes are then forced out to the disk.
bool FileIsWhole(LPCSTR path) {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path); // their cache, flushed
    char expected[kPathCapacity];
    for (size_t i = 0; i < ARRAYSIZE(kColours); ++i) {
        const COLORREF c = *kColours[i];
        wsprintfA(expected, Str::ColorFormat, GetRValue(c), GetGValue(c), GetBValue(c));
        if (!KeyReadsBack(path, Str::SectionColors, kColourKeys[i], expected)) {
            return false;
        }
    }
    for (size_t i = 0; i < ARRAYSIZE(kSides); ++i) {
        wsprintfA(expected, Str::IntFormat, AppState.placement.rcNormalPosition.*kSides[i]);
        if (!KeyReadsBack(path, Str::SectionWindow, kSideKeys[i], expected)) {
            return false;
        }
    }
    if (!KeyReadsBack(path, Str::SectionOptions, Str::KeyNickname, AppState.nickname) ||
        !KeyReadsBack(path, Str::SectionOptions, Str::KeyDownload, AppState.downloadDir)) {
        return false;
    }

    const HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const BOOL flushed = FlushFileBuffers(file);
    CloseHandle(file);
    return flushed != FALSE;
}

// A full disk would cut the copy short; a save that could not finish is not started.
bool HasRoomToSave(LPCSTR folder, ULONGLONG oldSize) {
    ULARGE_INTEGER available;
    if (!GetDiskFreeSpaceExA(folder, &available, nullptr, nullptr)) {
        return true; // not known: the read-back still guards the file
    }
    return available.QuadPart >= oldSize + kSaveHeadroom;
}

// Where the folder takes no new file (a shared install folder, a read-only
// mount) the file itself may still take writes: the keys go into it in place.
bool FolderRefusesNewFiles(DWORD error) {
    return error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT;
}

// Reads a value into the text buffer; answers whether it holds one.
bool ReadValue(LPCSTR path, LPCSTR section, LPCSTR key) {
    AppState.textBuffer[0] = '\0';
    GetPrivateProfileStringA(section, key, Str::Empty, AppState.textBuffer, kPathCapacity, path);
    return AppState.textBuffer[0] != '\0';
}

} // namespace

void ReadIntSetting(LPCSTR path, LPCSTR section, LPCSTR key, LONG* target) {
    const char* cursor = AppState.textBuffer;
    int32_t value = 0;
    if (ReadValue(path, section, key) && ParseInt(cursor, value)) {
        *target = value;
    }
}

void ReadColorSetting(LPCSTR path, LPCSTR section, LPCSTR key, COLORREF* target) {
    uint32_t colour = 0;
    if (ReadValue(path, section, key) && ParseColor(AppState.textBuffer, colour)) {
        *target = colour;
    }
}

BOOL WriteIntSetting(LPCSTR path, LPCSTR section, LPCSTR key, int value) {
    wsprintfA(AppState.textBuffer, Str::IntFormat, value);
    return WritePrivateProfileStringA(section, key, AppState.textBuffer, path);
}

BOOL WriteColorSetting(LPCSTR path, LPCSTR section, LPCSTR key, COLORREF colour) {
    wsprintfA(AppState.textBuffer, Str::ColorFormat, GetRValue(colour), GetGValue(colour),
              GetBValue(colour));
    return WritePrivateProfileStringA(section, key, AppState.textBuffer, path);
}

void LoadSettings() {
    char* const path = AppState.settingsPath;
    if (!DeriveSettingsPath(path) || GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) {
        return;
    }
    CharLowerA(path);

    for (size_t i = 0; i < ARRAYSIZE(kColours); ++i) {
        ReadColorSetting(path, Str::SectionColors, kColourKeys[i], kColours[i]);
    }

    WINDOWPLACEMENT& placement = AppState.placement;
    placement.length = sizeof(WINDOWPLACEMENT);
    if (GetWindowPlacement(AppState.hwndMain, &placement)) {
        for (size_t i = 0; i < ARRAYSIZE(kSides); ++i) {
            ReadIntSetting(path, Str::SectionWindow, kSideKeys[i],
                           &(placement.rcNormalPosition.*kSides[i]));
        }
        // Start-up shows the window; until then it stays hidden.
        placement.showCmd = SW_HIDE;
        SetWindowPlacement(AppState.hwndMain, &placement);
    }

    ReadTextSetting(path, Str::KeyNickname, AppState.nickname, kNicknameCapacity);
    ReadTextSetting(path, Str::KeyDownload, AppState.downloadDir, kPathCapacity);
}

void SaveSettings() {
    if (AppState.settingsPath[0] == '\0') {
        return;
    }
    // The file keeps the name it has: a lower-cased path from the load names
    // the same file, and replacing it must not rename it.
    char target[kPathCapacity];
    if (!DeriveSettingsPath(target) || lstrcmpiA(target, AppState.settingsPath) != 0) {
        lstrcpyA(target, AppState.settingsPath);
    }

    // A read-only file or a folder in the file's place stays as it is.
    WIN32_FILE_ATTRIBUTE_DATA data;
    const bool exists = GetFileAttributesExA(target, GetFileExInfoStandard, &data) != FALSE;
    if (!exists && GetLastError() != ERROR_FILE_NOT_FOUND) {
        return;
    }
    if (exists &&
        (data.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        return;
    }
    char folder[kPathCapacity];
    FolderOf(target, folder);
    const ULONGLONG oldSize =
        exists ? (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow : 0;
    if (!HasRoomToSave(folder, oldSize)) {
        return;
    }
    ReplacementFile copy(target);
    if (exists && FolderRefusesNewFiles(copy.Error())) {
        if (WriteAllSettings(target)) {
            FileIsWhole(target); // flushed; a key that did not stick cannot be undone here
        }
        return;
    }
    // Sections and keys that other tools keep in the file go along.
    if (copy.Error() == ERROR_SUCCESS && copy.Close() == ERROR_SUCCESS &&
        (!exists || CopyFileA(target, copy.Path(), FALSE)) && WriteAllSettings(copy.Path()) &&
        FileIsWhole(copy.Path())) {
        copy.TakePlace();
    }
}
