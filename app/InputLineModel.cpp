#include "app/InputLineModel.h"

#include <cstdlib>
#include <cstring>

namespace {

const char* Line(const InputHistory& h, int back) {
    return h.lines[(h.newest + back - 1) % kHistoryDepth];
}

void CopyText(char* to, const char* from) {
    const size_t n = strnlen(from, kInputTextCapacity - 1);
    std::memcpy(to, from, n);
    to[n] = '\0';
}

bool Same(const char* a, const char* b) {
    return std::strcmp(a, b) == 0; // bytes, not a locale's idea of equal
}

void DropTranscript(ClearedTexts& c) {
    std::free(c.transcript);
    c.transcript = nullptr;
    c.transcriptLength = 0;
    c.transcriptPending = false;
}

} // namespace

ClearedTexts::~ClearedTexts() {
    DropTranscript(*this);
}

void HistoryRemember(InputHistory& h, const char* line) {
    HistoryEndBrowsing(h);
    if (line == nullptr || line[0] == '\0' || (h.count > 0 && Same(Line(h, 1), line))) {
        return;
    }
    h.newest = (h.newest + kHistoryDepth - 1) % kHistoryDepth;
    CopyText(h.lines[h.newest], line);
    if (h.count < kHistoryDepth) {
        ++h.count;
    }
}

const char* HistoryOlder(InputHistory& h, const char* field) {
    if (h.browsing >= h.count) {
        return nullptr;
    }
    if (h.browsing == 0) {
        CopyText(h.draft, field);
    }
    ++h.browsing;
    return Line(h, h.browsing);
}

const char* HistoryNewer(InputHistory& h) {
    if (h.browsing == 0) {
        return nullptr;
    }
    --h.browsing;
    return h.browsing > 0 ? Line(h, h.browsing) : h.draft; // the draft stays until the next end
}

void HistoryEndBrowsing(InputHistory& h) {
    h.browsing = 0;
    h.draft[0] = '\0';
}

bool HistoryBrowsing(const InputHistory& h) {
    return h.browsing != 0;
}

void RememberDraftClear(ClearedTexts& c, const char* line) {
    CopyText(c.draft, line);
    c.draftPending = true;
    c.draftIsNewer = true;
}

void RememberTranscriptClear(ClearedTexts& c, char* text, size_t length, const char* field) {
    DropTranscript(c);
    c.transcript = text;
    c.transcriptLength = length;
    c.transcriptPending = true;
    CopyText(c.fieldAtTranscriptClear, field);
    c.draftIsNewer = false;
}

void ForgetClears(ClearedTexts& c) {
    c.draftPending = false;
    DropTranscript(c);
}

UndoStep NextUndo(ClearedTexts& c, const char* field) {
    // A clear that cannot come back now stays for later: the user may still
    // bring the field back to what it showed at the clear.
    const bool draftNow = c.draftPending && field[0] == '\0';
    const bool transcriptNow = c.transcriptPending && Same(field, c.fieldAtTranscriptClear);
    if (draftNow && (c.draftIsNewer || !transcriptNow)) {
        c.draftPending = false;
        return UndoStep::Draft;
    }
    return transcriptNow ? UndoStep::Transcript : UndoStep::None;
}

bool CanUndoClear(const ClearedTexts& c, const char* field) {
    return (c.draftPending && field[0] == '\0') ||
           (c.transcriptPending && Same(field, c.fieldAtTranscriptClear));
}

void TranscriptRestored(ClearedTexts& c) {
    DropTranscript(c);
}
