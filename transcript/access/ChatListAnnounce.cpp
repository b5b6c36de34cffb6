// What the transcript tells a listening screen reader unasked: new lines, read
// out once their burst is over as the reading mode allows, a changed text, a
// new selection, a recent line read again on Alt+1 ... Alt+0, and a found
// match's line and place. With no UI Automation client listening, a line or a
// found match costs one question to the system and nothing more.
#include "transcript/ChatList.h"
#include "transcript/TextUnits.h"
#include "transcript/access/ChatListAutomation.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace chatlist {
namespace {

constexpr wchar_t kNewLinesActivity[] = L"bALDRIX.NewLines";
constexpr wchar_t kReadLineActivity[] = L"bALDRIX.ReadLine";
constexpr wchar_t kFoundActivity[] = L"bALDRIX.Found";
constexpr wchar_t kReadingActivity[] = L"bALDRIX.Reading";
// What a change of the reading mode says, by mode.
constexpr const wchar_t* kReadingSaid[] = {
    L"Reading new lines: all", L"Reading new lines: all but mine", L"Reading new lines: none"};
static_assert(CLREAD_ALL == 0 && CLREAD_ALLBUTMINE == 1 && CLREAD_NONE == 2 && CLREAD_NEXT == 3);
constexpr UINT_PTR kAnnounceTimer = 2;
constexpr DWORD kBurstGap = 150;       // a line closer than this to the one before joins its burst
constexpr DWORD kBurstMost = 1000;     // a steady stream is still read out this often
constexpr size_t kAnnounceMost = 4096; // bytes read out at once; a longer burst is counted

void Raise(HWND hwnd, ChatState& s, EVENTID id) {
    const uia::Api& api = uia::Functions();
    TextElement* element = ElementOf(hwnd, s);
    if (element != nullptr && api.RaiseAutomationEvent != nullptr) {
        api.RaiseAutomationEvent(element, id);
    }
}

void Notify(HWND hwnd, ChatState& s, const ScopedBstr& said, uia::NotificationProcessing how,
            const wchar_t* activity) {
    const uia::Api& api = uia::Functions();
    TextElement* element = ElementOf(hwnd, s);
    if (element != nullptr && api.RaiseNotificationEvent != nullptr && said.Get() != nullptr) {
        const ScopedBstr id(activity);
        api.RaiseNotificationEvent(element, uia::NotificationKind_ItemAdded, how, said.Get(),
                                   id.Get());
    }
}

// What a burst of new lines up to `end` says: their text, a line break between
// lines and none after the last (read out, it would be a blank line), or their
// count when long.
ScopedBstr Announcement(const ChatState& s, size_t end) {
    const size_t from = std::min(s.access.announceFrom, end);
    if (end - from <= kAnnounceMost) {
        size_t to = end;
        while (to > from && IsTerminator(s.layout.text[to - 1])) {
            --to;
        }
        return TextOf(s, from, to, -1);
    }
    const size_t lines = CountLineEnds(s.layout.text + from, end - from);
    wchar_t counted[40];
    wsprintfW(counted, L"%u new lines", static_cast<unsigned>(lines));
    return ScopedBstr(counted);
}

void CALLBACK AnnounceTimerProc(HWND hwnd, UINT, UINT_PTR, DWORD);

// Ends the burst: screen readers learn that the text changed, and its lines up
// to `end` are read out unless the mode reads none.
void EndBurst(HWND hwnd, ChatState& s, size_t end) {
    StopAnnouncing(hwnd, s);
    Raise(hwnd, s, uia::kTextChangedEvent);
    if (s.access.reading != CLREAD_NONE && end > s.access.announceFrom) {
        Notify(hwnd, s, Announcement(s, end), uia::NotificationProcessing_All, kNewLinesActivity);
    }
}

void WaitForBurst(HWND hwnd, ChatState& s, DWORD wait) {
    if (SetTimer(hwnd, kAnnounceTimer, wait, AnnounceTimerProc) == 0) {
        s.access.announcing = false;
    }
}

void CALLBACK AnnounceTimerProc(HWND hwnd, UINT, UINT_PTR, DWORD) {
    ChatState* s = StateOf(hwnd);
    if (s == nullptr || !s->access.announcing) {
        KillTimer(hwnd, kAnnounceTimer);
        return;
    }
    // Lines that kept coming moved the burst's end on; the timer is set only
    // here, so a line of a burst costs no more than its time noted.
    const DWORD now = GetTickCount();
    const DWORD quiet = now - s->access.lastLineTime;
    const DWORD lasted = now - s->access.burstStart;
    if (quiet < kBurstGap && lasted < kBurstMost) {
        WaitForBurst(hwnd, *s, std::min(kBurstGap - quiet, kBurstMost - lasted));
        return;
    }
    EndBurst(hwnd, *s, s->layout.length);
}

// A text's fingerprint (FNV-1a), to know a cleared transcript when it comes back.
uint64_t Fingerprint(const char* text, size_t length) {
    uint64_t h = 14695981039346656037ULL;
    for (size_t i = 0; i < length; ++i) {
        h = (h ^ static_cast<unsigned char>(text[i])) * 1099511628211ULL;
    }
    return h;
}

// Whether the text, grown from nothing, is the one the last clear took away:
// Ctrl+Z after F5 puts back old lines, which are no news.
bool Restored(ChatState& s, size_t before) {
    const bool same = before == 0 && s.access.clearedLength != 0 &&
                      s.access.clearedLength == s.layout.length &&
                      s.access.clearedPrint == Fingerprint(s.layout.text, s.layout.length);
    s.access.clearedLength = 0;
    return same;
}

} // namespace

void StopAnnouncing(HWND hwnd, ChatState& s) {
    if (s.access.announcing) {
        KillTimer(hwnd, kAnnounceTimer);
        s.access.announcing = false;
    }
}

void AutomationTextReplacing(ChatState& s, const char* text) {
    if (text[0] == '\0' && s.layout.length != 0 && uia::ClientsListening()) {
        s.access.clearedLength = s.layout.length;
        s.access.clearedPrint = Fingerprint(s.layout.text, s.layout.length);
    }
}

void AutomationTextChanged(HWND hwnd, ChatState& s, bool appended, size_t before) {
    // The user's own line, where it is not to be read: the others' lines that
    // came before it in the burst are read out now, it never is.
    const bool mine = appended && s.access.ownLineNext && s.access.reading == CLREAD_ALLBUTMINE;
    s.access.ownLineNext = false;
    if (s.access.announcing && appended) {
        if (mine) {
            EndBurst(hwnd, s, before);
        } else {
            s.access.lastLineTime = GetTickCount();
        }
        return;
    }
    StopAnnouncing(hwnd, s);
    if (!uia::ClientsListening()) {
        return;
    }
    if (!appended || Restored(s, before) || mine) {
        Raise(hwnd, s, uia::kTextChangedEvent);
        return;
    }
    s.access.announceFrom = before;
    s.access.burstStart = s.access.lastLineTime = GetTickCount();
    s.access.announcing = true;
    WaitForBurst(hwnd, s, kBurstGap);
}

void AutomationSelectionChanged(HWND hwnd, ChatState& s) {
    if (uia::ClientsListening()) {
        Raise(hwnd, s, uia::kTextSelectionChangedEvent);
    }
}

void AutomationSay(HWND hwnd, ChatState& s, const wchar_t* said, const wchar_t* activity) {
    if (uia::ClientsListening()) {
        Notify(hwnd, s, ScopedBstr(said), uia::NotificationProcessing_MostRecent, activity);
    }
}

void AutomationFound(HWND hwnd, ChatState& s, const FindQuery& query, size_t from) {
    if (!uia::ClientsListening()) {
        return;
    }
    const FindCount counted = CountMatches(s.layout.text, s.layout.length, query, from);
    size_t begin = 0, end = 0;
    ChatLineAt(s.layout, from, begin, end);
    while (end > begin && IsTerminator(s.layout.text[end - 1])) {
        --end;
    }
    const ScopedBstr line = TextOf(s, begin, end, -1);
    wchar_t place[48];
    wsprintfW(place, L", %u of %u", static_cast<unsigned>(counted.place),
              static_cast<unsigned>(counted.count));
    const size_t lineLength = line.Get() != nullptr ? static_cast<size_t>(lstrlenW(line.Get())) : 0;
    const size_t placeLength = static_cast<size_t>(lstrlenW(place));
    const ScopedBstr said(nullptr, lineLength + placeLength);
    if (said.Get() != nullptr) {
        std::memcpy(said.Get(), line.Get(), lineLength * sizeof(wchar_t));
        std::memcpy(said.Get() + lineLength, place, placeLength * sizeof(wchar_t));
        Notify(hwnd, s, said, uia::NotificationProcessing_MostRecent, kFoundActivity);
    }
}

LRESULT OnSetReading(HWND hwnd, ChatState& s, WPARAM mode) {
    if (mode == CLREAD_NEXT) {
        mode = (s.access.reading + 1) % CLREAD_NEXT;
    } else if (mode > CLREAD_NONE) {
        return static_cast<LRESULT>(s.access.reading); // a question
    }
    // Lines that came before the change are read as the mode then said.
    if (mode != s.access.reading && s.access.announcing) {
        EndBurst(hwnd, s, s.layout.length);
    }
    s.access.reading = mode;
    // Said even when it stays: a press tells where the user is.
    AutomationSay(hwnd, s, kReadingSaid[mode], kReadingActivity);
    return static_cast<LRESULT>(mode);
}

LRESULT OnOwnLine(ChatState& s) {
    s.access.ownLineNext = true;
    return 0;
}

LRESULT OnReadLine(HWND hwnd, ChatState& s, WPARAM nth) {
    if (nth < 1 || nth > 10 || !uia::ClientsListening()) {
        return FALSE;
    }
    size_t start = 0, shown = 0;
    if (!ChatLineFromEnd(s.layout.text, s.layout.length, nth, start, shown)) {
        return FALSE;
    }
    Notify(hwnd, s, TextOf(s, start, shown, -1), uia::NotificationProcessing_MostRecent,
           kReadLineActivity);
    return TRUE;
}

} // namespace chatlist
