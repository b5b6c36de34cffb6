// The transcript control's window class name, free of any Windows header so
// that its owner can name it without the control's messages.
#pragma once

inline constexpr char kChatListClassName[] = "CHATLIST";
