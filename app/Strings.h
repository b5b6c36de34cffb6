// The program's text capacities and constant strings, free of any Windows
// header so that the models share them.
#pragma once

// Text capacities, terminator included.
inline constexpr int kPathCapacity = 260;
inline constexpr int kLineCapacity = 520;
inline constexpr int kNicknameCapacity = 20;
// The input field takes this many characters; the working buffer holds one
// more so that a full line is sent whole.
inline constexpr int kInputLimit = 260;
// A search text of the Find dialog.
inline constexpr int kFindCapacity = 128;

// Constant strings of the program.
namespace Str {
inline constexpr char ProgramName[] = "bALDRIX";
inline constexpr char SectionOptions[] = "Options";
inline constexpr char KeyNickname[] = "Nickname";
inline constexpr char KeyDownload[] = "Download";
inline constexpr char SectionColors[] = "Colors";
inline constexpr char KeyText[] = "Text";
inline constexpr char KeyBackground[] = "Background";
inline constexpr char KeySelectionText[] = "SelectionText";
inline constexpr char KeySelectionBackground[] = "SelectionBackground";
inline constexpr char SectionWindow[] = "Window";
inline constexpr char KeyTop[] = "Top";
inline constexpr char KeyLeft[] = "Left";
inline constexpr char KeyRight[] = "Right";
inline constexpr char KeyBottom[] = "Bottom";
inline constexpr char EditClass[] = "EDIT";
inline constexpr char StatusOnline[] = "ONLINE";
inline constexpr char StatusOffline[] = "OFFLINE";
inline constexpr char IntFormat[] = "%d";
inline constexpr char ColorFormat[] = "%d,%d,%d";
inline constexpr char TitleFormat[] = "%s - [Status: %s]";
inline constexpr char ChatLineFormat[] = "<%s> %s\r\n"; // what ComposeChatLine builds
inline constexpr char Empty[] = "";
inline constexpr char LogExtension[] = "log";
inline constexpr char DefaultLogName[] = "logo.log";
inline constexpr char DefaultNickname[] = "User";
// "All files" in code page 1251, then the pattern; the list ends in two NULs.
inline constexpr char SaveFilter[] = "\xC2\xF1\xE5\x20\xF4\xE0\xE9\xEB\xFB\0*.*\0";
} // namespace Str
