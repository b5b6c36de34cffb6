// The transcript control's window class name, free of any Windows header so
// that the program's table of strings can name it too.
#pragma once

inline constexpr char kChatListClassName[] = "CHATLIST";
