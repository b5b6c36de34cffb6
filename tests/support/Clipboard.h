// The clipboard as other programs see it, read and set by the tests.
#pragma once

#include <windows.h>

#include <string>

// The clipboard's CF_TEXT, as the system gives it to an ANSI program.
std::string ClipboardText();
// The clipboard's CF_UNICODETEXT, as the system gives it to a Unicode program.
std::wstring ClipboardUnicode();
// Empties the clipboard, so that a fresh copy tells itself from a stale one.
void EmptyTheClipboard();
// Puts a text on the clipboard, as another program's copy does; answers
// whether the clipboard took it.
bool PutOnClipboard(const std::string& text);
// Marks the clipboard's text with a locale, as the system does with that of
// the keyboard layout active at a copy.
void MarkClipboardLocale(LCID locale);
