// What the input line remembers, free of any Windows header: the lines sent in
// this run (the history that Up and Down browse) and what the last clears took
// away, with the rules for when Ctrl+Z gives them back. The window code reads
// and writes the field; everything decided here is about texts.
#pragma once

#include "app/Strings.h"

#include <cstddef>

// How many lines the history keeps.
inline constexpr int kHistoryDepth = 100;
// A text here holds what the input field takes and its terminator.
inline constexpr size_t kInputTextCapacity = kInputLimit + 1;

// The lines sent, newest first: a ring of fixed slots.
struct InputHistory {
    char lines[kHistoryDepth][kInputTextCapacity];
    int newest;                     // slot of the newest line
    int count;                      // lines kept
    int browsing;                   // how far back the field shows (1 = newest); 0 = not browsing
    char draft[kInputTextCapacity]; // what was being typed when browsing started
};

// A line was sent: it becomes the newest unless it is the newest already (byte
// for byte); browsing ends. Empty lines are not kept.
void HistoryRemember(InputHistory& history, const char* line);
// Up: the next older line to show, or nullptr when there is none. The first
// step keeps `field`, the text being typed, as the draft.
const char* HistoryOlder(InputHistory& history, const char* field);
// Down: the next newer line, the draft past the newest, or nullptr when not browsing.
const char* HistoryNewer(InputHistory& history);
void HistoryEndBrowsing(InputHistory& history);
bool HistoryBrowsing(const InputHistory& history);

// What a clear took away. Each clear remembers the field's text as the clear
// left it: only while the field still shows exactly that is Ctrl+Z "right
// after" the clear; once the user has typed, Ctrl+Z is the field's own.
struct ClearedTexts {
    bool draftPending;
    char draft[kInputTextCapacity]; // the line Esc cleared

    bool transcriptPending;
    char* transcript; // the text F5 cleared, owned (malloc)
    size_t transcriptLength;
    char fieldAtTranscriptClear[kInputTextCapacity];

    bool draftIsNewer; // which clear came last: that one is taken back first

    // It owns the transcript's copy: never copied, and the copy goes with it.
    ClearedTexts() = default;
    ClearedTexts(const ClearedTexts&) = delete;
    ClearedTexts& operator=(const ClearedTexts&) = delete;
    ~ClearedTexts();
};

// Esc emptied the field that showed `line` (a non-empty line).
void RememberDraftClear(ClearedTexts& cleared, const char* line);
// F5 emptied a transcript of `length` bytes while the field showed `field`.
// Takes over `text`, a block from malloc (one copy of a long transcript is
// enough to hold); an earlier copy goes.
void RememberTranscriptClear(ClearedTexts& cleared, char* text, size_t length, const char* field);
// A line was sent: nothing cleared before can be taken back any more.
void ForgetClears(ClearedTexts& cleared);

enum class UndoStep {
    None,       // the field undoes its own edit
    Draft,      // show cleared.draft in the field
    Transcript, // put cleared.transcript back in front of the transcript
};
// Ctrl+Z with the field showing `field`: which clear to give back. Deciding
// uses up a draft; a transcript stays until the caller reports it restored.
// A clear not given back stays until a send or the next clear of its kind.
UndoStep NextUndo(ClearedTexts& cleared, const char* field);
// Whether Ctrl+Z would give a clear back now (so the field's menu offers Undo).
bool CanUndoClear(const ClearedTexts& cleared, const char* field);
// The transcript was put back: its copy goes.
void TranscriptRestored(ClearedTexts& cleared);
