// The settings file beside the executable: read while the main window is
// created, written when it closes.
#pragma once

#include <windows.h>

// Derives AppState.settingsPath and, when the file is there, reads the colors,
// the window's restored rectangle, the nickname and the download folder. The
// main window (AppState.hwndMain) is placed but left hidden.
void LoadSettings();

// Writes every setting into a copy of the file and puts the copy in its place
// only when all of it reached the disk, so the file is always either the old
// one or the new one, whole. Failures leave the old file as it was. Where the
// folder takes no new file but the file takes writes, the keys go in in place.
void SaveSettings();

// Leave the target as it was unless a good value is read.
void ReadIntSetting(LPCSTR path, LPCSTR section, LPCSTR key, LONG* target);
void ReadColorSetting(LPCSTR path, LPCSTR section, LPCSTR key, COLORREF* target);

// Answer whether the profile functions accepted the value.
BOOL WriteIntSetting(LPCSTR path, LPCSTR section, LPCSTR key, int value);
BOOL WriteColorSetting(LPCSTR path, LPCSTR section, LPCSTR key, COLORREF color);
