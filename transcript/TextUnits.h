// The units of the transcript's text, free of any Windows header, beneath the
// selection, the caret, the screen readers' text ranges and finding: each
// byte's class, characters (a CR LF pair is one), words and chat lines, the
// steps by unit that the caret and the text ranges share, and the questions
// the control asks of its text. Offsets are bytes of the text.
#pragma once

#include "transcript/ChatLayout.h"

#include <cstddef>

// ---- bytes ----------------------------------------------------------------

// A line ends at CR LF, at a lone CR or at a lone LF (the layout's rule).
inline bool IsTerminator(char c) {
    return c == '\r' || c == '\n';
}

// Whether the code page's table (256 entries, nonzero for a word byte, as the
// layout holds it and finding is given it) has `c` as a word byte; with no
// table, no byte is one.
inline bool IsWordByte(const unsigned char* wordBytes, unsigned char c) {
    return wordBytes != nullptr && wordBytes[c] != 0;
}

enum class CharClass { Word, Blank, Sign, LineEnd };

// Blanks (space, tab) and line ends are never part of a word, whatever the
// table says; any other byte is a word byte or a sign.
CharClass ClassOf(const unsigned char* wordBytes, char c);

// Whether the byte before `offset` ends a line (false at the text's start).
bool FollowsLineEnd(const ChatLayout& layout, size_t offset);
// Whether a visual line starts at `offset` in the middle of a logical line:
// the offset is then both the end of one visual line and the start of the next.
bool IsWrapPoint(const ChatLayout& layout, size_t offset);

// ---- words and chat lines --------------------------------------------------

// The run of one class around the byte at `offset` (the byte before it at a
// line's or the text's end): word bytes, blanks or signs. Empty on an empty line.
void WordAt(const ChatLayout& layout, size_t offset, size_t& begin, size_t& end);
// The chat line holding `offset`, with its line end; at the text's end or
// inside a CR LF, the line that ends there.
void ChatLineAt(const ChatLayout& layout, size_t offset, size_t& begin, size_t& end);

// ---- steps by unit ---------------------------------------------------------

// Word: as the system's edit controls have it, a run of word bytes or of
// signs with the blanks after it (blanks at a line's start are a unit alone),
// each line end a unit of its own; the caret's word keys step by these.
// Line: the visual lines the pane shows. Paragraph: chat lines.
enum class RangeUnit { Character, Word, Line, Paragraph, Document };

// The first unit boundary after `offset` (the length at the end) and the last
// one before it (0 at the start).
size_t UnitNext(const ChatLayout& layout, RangeUnit unit, size_t offset);
size_t UnitPrev(const ChatLayout& layout, RangeUnit unit, size_t offset);

// ---- questions of a text, by LF ----------------------------------------------
// As the program writes chat lines, each ends at an LF (after its CR), and a
// last line without one counts too.

// The LF bytes among `length` bytes: the chat lines they end.
size_t CountLineEnds(const char* text, size_t length);
// The `nth` chat line from the end (1: the last) as shown, without its line
// end, in [begin, end). False when the text has fewer lines (or nth is 0).
bool ChatLineFromEnd(const char* text, size_t length, size_t nth, size_t& begin, size_t& end);
// Where the text's last `most` bytes start, moved on to the first line start
// among them; 0 for a text of no more than `most` bytes, and the cut itself
// when no line starts among them.
size_t TailFromLineStart(const char* text, size_t length, size_t most);
