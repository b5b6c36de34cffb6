#include "settings/Settings.h"

#include "app/AppState.h"
#include "base/ReplacementFile.h"
#include "base/ScopedHandles.h"
#include "settings/SettingParsers.h"
#include "settings/SettingsModel.h"
#include "settings/SettingsTable.h"

#include <cstring>

namespace {

constexpr char kSettingsExtension[] = ".ini";
constexpr int kExtensionLength = 4;
// Free space a save wants beyond the size of the old file: the ten keys take a
// few KB at most (twice that in a UTF-16 file); the rest is for allocation.
constexpr ULONGLONG kSaveHeadroom = 64u * 1024u;
// Never a value as read: lines end at line feeds.
constexpr char kMissing[] = "\n";

// Where each setting of the table lives in the application state.
struct SettingBinding {
    void* value;
    int capacity; // of a Text value, terminator included
};
#define BALDRIX_SETTING_BINDING(section, key, kind, field)                                         \
    {&AppState.field, static_cast<int>(sizeof AppState.field)},
const SettingBinding kBindings[] = {BALDRIX_SETTINGS(BALDRIX_SETTING_BINDING)};
#undef BALDRIX_SETTING_BINDING

const SettingEntry& Entry(size_t i) {
    return kSettingEntries[i];
}
LONG& Side(const SettingBinding& b) {
    return *static_cast<LONG*>(b.value);
}
COLORREF& ColorOf(const SettingBinding& b) {
    return *static_cast<COLORREF*>(b.value);
}
char* Text(const SettingBinding& b) {
    return static_cast<char*>(b.value);
}

// The text a setting is written as; numbers go through `number`.
const char* ValueText(size_t i, char (&number)[kSettingNumberCapacity]) {
    const SettingBinding& b = kBindings[i];
    switch (Entry(i).kind) {
    case SettingKind::Color: FormatColorSetting(ColorOf(b), number); return number;
    case SettingKind::Side: FormatSideSetting(Side(b), number); return number;
    case SettingKind::Text: break;
    }
    return Text(b);
}

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
void ReadTextSetting(LPCSTR path, LPCSTR section, LPCSTR key, char* target, int capacity) {
    GetPrivateProfileStringA(section, key, target, AppState.textBuffer,
                             static_cast<DWORD>(capacity), path);
    lstrcpynA(target, AppState.textBuffer, capacity);
}

bool WriteAllSettings(LPCSTR path) {
    AppState.placement.length = sizeof(WINDOWPLACEMENT);
    if (!GetWindowPlacement(AppState.hwndMain, &AppState.placement)) {
        return false;
    }
    for (size_t i = 0; i < kSettingCount; ++i) {
        char number[kSettingNumberCapacity];
        if (!WritePrivateProfileStringA(Entry(i).section, Entry(i).key, ValueText(i, number),
                                        path)) {
            return false;
        }
    }
    return true;
}

// Reads one key back from the file; a value the profile functions could have
// reshaped only has to be there.
bool KeyReadsBack(LPCSTR path, LPCSTR section, LPCSTR key, const char* expected) {
    char found[kPathCapacity];
    GetPrivateProfileStringA(section, key, kMissing, found, sizeof found, path);
    // Bytes, not a locale's idea of equal: a key that did not stick must not pass.
    if (std::strcmp(found, kMissing) == 0) {
        return false;
    }
    return !ReadsBackExactly(expected) || std::strcmp(found, expected) == 0;
}

// The profile functions report success for a write the disk refused, so every
// key is read back from the file itself before a copy may take the file's
// place. The bytes are then forced out to the disk.
bool FileIsWhole(LPCSTR path) {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path); // their cache, flushed
    for (size_t i = 0; i < kSettingCount; ++i) {
        char number[kSettingNumberCapacity];
        if (!KeyReadsBack(path, Entry(i).section, Entry(i).key, ValueText(i, number))) {
            return false;
        }
    }

    const ScopedFile file(CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.IsOpen() && FlushFileBuffers(file.Handle()) != FALSE;
}

// A full disk would cut the copy short; a save that could not finish is not started.
bool HasRoomToSave(LPCSTR folder, ULONGLONG oldSize) {
    ULARGE_INTEGER available;
    if (!GetDiskFreeSpaceExA(folder, &available, nullptr, nullptr)) {
        return true; // not known: the read-back still guards the file
    }
    return available.QuadPart >= oldSize + kSaveHeadroom;
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
    uint32_t color = 0;
    if (ReadValue(path, section, key) && ParseColor(AppState.textBuffer, color)) {
        *target = color;
    }
}

BOOL WriteIntSetting(LPCSTR path, LPCSTR section, LPCSTR key, int value) {
    char text[kSettingNumberCapacity];
    FormatSideSetting(value, text);
    return WritePrivateProfileStringA(section, key, text, path);
}

BOOL WriteColorSetting(LPCSTR path, LPCSTR section, LPCSTR key, COLORREF color) {
    char text[kSettingNumberCapacity];
    FormatColorSetting(color, text);
    return WritePrivateProfileStringA(section, key, text, path);
}

void LoadSettings() {
    char* const path = AppState.settingsPath;
    if (!DeriveSettingsPath(path) || GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) {
        return;
    }
    CharLowerA(path);

    // The table's order: colors, then the window's rectangle (placed in one
    // go, hidden until start-up shows it), then the texts.
    WINDOWPLACEMENT& placement = AppState.placement;
    placement.length = sizeof(WINDOWPLACEMENT);
    const bool placed = GetWindowPlacement(AppState.hwndMain, &placement) != FALSE;
    for (size_t i = 0; i < kSettingCount; ++i) {
        const SettingBinding& b = kBindings[i];
        const SettingEntry& entry = Entry(i);
        switch (entry.kind) {
        case SettingKind::Color:
            ReadColorSetting(path, entry.section, entry.key, &ColorOf(b));
            break;
        case SettingKind::Side:
            if (placed) {
                ReadIntSetting(path, entry.section, entry.key, &Side(b));
            }
            break;
        case SettingKind::Text:
            ReadTextSetting(path, entry.section, entry.key, Text(b), b.capacity);
            break;
        }
    }
    if (placed) {
        placement.showCmd = SW_HIDE;
        SetWindowPlacement(AppState.hwndMain, &placement);
    }
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
    ReplacementFile copy(target, Str::ProgramName);
    // Where the folder takes no new file (a shared install folder, a read-only
    // mount) the file itself may still take writes: the keys go into it in place.
    if (copy.InPlace()) {
        copy.Close();
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
