#include "settings/Settings.h"

#include "app/AppState.h"
#include "settings/SettingParsers.h"

namespace {

constexpr char kSettingsExtension[] = ".ini";
constexpr int kExtensionLength = 4;
// A settings file larger than this is not ours to rewrite: saving leaves it be.
constexpr DWORD kLargestRewrite = 16u * 1024u * 1024u;

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
    const COLORREF* const colours[] = {&AppState.colorText, &AppState.colorBackground,
                                       &AppState.colorSelectionText,
                                       &AppState.colorSelectionBackground};
    const LPCSTR colourKeys[] = {Str::KeyText, Str::KeyBackground, Str::KeySelectionText,
                                 Str::KeySelectionBackground};
    for (size_t i = 0; i < ARRAYSIZE(colours); ++i) {
        if (!WriteColorSetting(path, Str::SectionColors, colourKeys[i], *colours[i])) {
            return false;
        }
    }

    AppState.placement.length = sizeof(WINDOWPLACEMENT);
    if (!GetWindowPlacement(AppState.hwndMain, &AppState.placement)) {
        return false;
    }
    const RECT& r = AppState.placement.rcNormalPosition;
    return WriteIntSetting(path, Str::SectionWindow, Str::KeyTop, r.top) &&
           WriteIntSetting(path, Str::SectionWindow, Str::KeyLeft, r.left) &&
           WriteIntSetting(path, Str::SectionWindow, Str::KeyRight, r.right) &&
           WriteIntSetting(path, Str::SectionWindow, Str::KeyBottom, r.bottom) &&
           WritePrivateProfileStringA(Str::SectionOptions, Str::KeyNickname, AppState.nickname,
                                      path) &&
           WritePrivateProfileStringA(Str::SectionOptions, Str::KeyDownload, AppState.downloadDir,
                                      path);
}

// Everything the profile functions make of the file: the section names, then
// each section's lines. Answers the length used, or 0 when it did not fit.
DWORD ReadWholeProfile(LPCSTR path, char* buffer, DWORD capacity) {
    DWORD used = GetPrivateProfileSectionNamesA(buffer, capacity, path);
    // A list that filled the buffer to within two bytes may have been cut.
    if (used + 2 >= capacity) {
        return 0;
    }
    ++used;
    for (const char* name = buffer; *name != '\0'; name += lstrlenA(name) + 1) {
        const DWORD room = capacity - used;
        const DWORD length = GetPrivateProfileSectionA(name, buffer + used, room, path);
        if (length + 2 >= room) {
            return 0;
        }
        used += length + 1;
    }
    return used;
}

// The profile functions may report success for a write that did not reach the
// disk (a full disk among them), and answer later reads from what they meant
// to write. So compare what they hold with what they read back from the file
// itself after flushing their cache, and force the bytes out before the copy
// takes the file's place.
bool CopyIsWhole(LPCSTR copy) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(copy, GetFileExInfoStandard, &data) || data.nFileSizeHigh != 0 ||
        data.nFileSizeLow > kLargestRewrite) {
        return false;
    }
    // What the file holds is never longer than the file; twice its size leaves
    // room for the profile functions' view of a copy the disk cut short.
    const DWORD capacity = 2 * data.nFileSizeLow + 4096;
    char* const held = static_cast<char*>(
        VirtualAlloc(nullptr, 2 * static_cast<SIZE_T>(capacity), MEM_COMMIT, PAGE_READWRITE));
    if (held == nullptr) {
        return false;
    }
    char* const onDisk = held + capacity;
    const DWORD heldLength = ReadWholeProfile(copy, held, capacity);
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, copy); // flushes the cache
    const DWORD diskLength = ReadWholeProfile(copy, onDisk, capacity);
    bool whole = heldLength != 0 && heldLength == diskLength;
    for (DWORD i = 0; whole && i < heldLength; ++i) {
        whole = held[i] == onDisk[i];
    }
    VirtualFree(held, 0, MEM_RELEASE);
    if (!whole) {
        return false;
    }

    const HANDLE file = CreateFileA(copy, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const BOOL flushed = FlushFileBuffers(file);
    CloseHandle(file);
    return flushed != FALSE;
}

// A new, empty file beside the target to write into. A folder too long for a
// unique name gets a fixed one instead.
bool CreateCopy(LPCSTR target, char* copy) {
    char folder[kPathCapacity];
    lstrcpynA(folder, target, kPathCapacity);
    int cut = 0;
    for (int i = 0; folder[i] != '\0'; ++i) {
        if (folder[i] == '\\' || folder[i] == '/') {
            cut = i + 1;
        }
    }
    if (cut == 0) {
        lstrcpyA(folder, ".");
    } else {
        folder[cut] = '\0';
    }
    if (GetTempFileNameA(folder, Str::ProgramName, 0, copy) != 0) {
        return true;
    }
    lstrcpyA(copy, target);
    copy[lstrlenA(copy) - 1] = '~';
    const HANDLE file =
        CreateFileA(copy, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

} // namespace

void ReadIntSetting(LPCSTR path, LPCSTR section, LPCSTR key, LONG* target) {
    AppState.textBuffer[0] = '\0';
    GetPrivateProfileStringA(section, key, Str::Empty, AppState.textBuffer, kPathCapacity, path);
    if (AppState.textBuffer[0] == '\0') {
        return;
    }
    const char* cursor = AppState.textBuffer;
    int32_t value = 0;
    if (ParseInt(cursor, value)) {
        *target = value;
    }
}

void ReadColorSetting(LPCSTR path, LPCSTR section, LPCSTR key, COLORREF* target) {
    AppState.textBuffer[0] = '\0';
    GetPrivateProfileStringA(section, key, Str::Empty, AppState.textBuffer, kPathCapacity, path);
    if (AppState.textBuffer[0] == '\0') {
        return;
    }
    uint32_t colour = 0;
    if (ParseColor(AppState.textBuffer, colour)) {
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

    ReadColorSetting(path, Str::SectionColors, Str::KeyText, &AppState.colorText);
    ReadColorSetting(path, Str::SectionColors, Str::KeyBackground, &AppState.colorBackground);
    ReadColorSetting(path, Str::SectionColors, Str::KeySelectionText, &AppState.colorSelectionText);
    ReadColorSetting(path, Str::SectionColors, Str::KeySelectionBackground,
                     &AppState.colorSelectionBackground);

    WINDOWPLACEMENT& placement = AppState.placement;
    placement.length = sizeof(WINDOWPLACEMENT);
    if (GetWindowPlacement(AppState.hwndMain, &placement)) {
        RECT& r = placement.rcNormalPosition;
        ReadIntSetting(path, Str::SectionWindow, Str::KeyTop, &r.top);
        ReadIntSetting(path, Str::SectionWindow, Str::KeyLeft, &r.left);
        ReadIntSetting(path, Str::SectionWindow, Str::KeyRight, &r.right);
        ReadIntSetting(path, Str::SectionWindow, Str::KeyBottom, &r.bottom);
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
    const DWORD attributes = GetFileAttributesA(target);
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        return;
    }
    if (!exists && GetLastError() != ERROR_FILE_NOT_FOUND) {
        return;
    }

    char copy[MAX_PATH];
    if (!CreateCopy(target, copy)) {
        return;
    }
    // Sections and keys that other tools keep in the file go along.
    const bool written =
        (!exists || CopyFileA(target, copy, FALSE)) && WriteAllSettings(copy) &&
        CopyIsWhole(copy) &&
        MoveFileExA(copy, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!written) {
        DeleteFileA(copy);
    }
}
