// Finding in the transcript: the search runs on the control's own text, in
// place, and a found match is shown a few lines from the pane's edge.
#include "app/Strings.h"
#include "transcript/ChatList.h"
#include "transcript/ChatListState.h"
#include "transcript/FindModel.h"

#include <algorithm>
#include <cstring>

namespace chatlist {
namespace {

// Lines kept between a shown match and the pane's edge, where the pane has room.
constexpr size_t kShowMargin = 3;

// The record of a transcript of this thread; nullptr for any other window,
// whose slot 0 means something else or whose text another thread changes.
ChatState* OwnTranscript(HWND hwnd) {
    char className[sizeof Str::ChatListClass + 1];
    if (hwnd == nullptr || GetWindowThreadProcessId(hwnd, nullptr) != GetCurrentThreadId() ||
        GetClassNameA(hwnd, className, sizeof className) <= 0 ||
        std::strcmp(className, Str::ChatListClass) != 0) {
        return nullptr;
    }
    return StateOf(hwnd);
}

} // namespace

LRESULT OnShowSelection(HWND hwnd, ChatState& s) {
    if (s.layout.lineCount == 0) {
        return 0;
    }
    const size_t first = LayoutLineOf(s.layout, SelectionFrom(s.sel));
    const size_t to = SelectionTo(s.sel);
    const size_t last = to > SelectionFrom(s.sel) ? LayoutLineOf(s.layout, to - 1) : first;
    const size_t rows = FullRows(s);
    // A pane too low for the margins shows the match's first line in its middle.
    const size_t margin = std::min(kShowMargin, (rows - 1) / 2);
    size_t top = s.top;
    if (first < s.top + margin) {
        top = first > margin ? first - margin : 0;
    } else if (last + margin >= s.top + rows) {
        top = last + margin + 1 - rows;
        top = std::min(top, first > margin ? first - margin : 0);
    }
    ScrollTo(hwnd, s, top);
    s.held = true;
    return 0;
}

LRESULT OnEndHold(HWND hwnd, ChatState& s) {
    if (s.held) {
        s.held = false;
        ScrollTo(hwnd, s, MaxTop(s));
    }
    return 0;
}

} // namespace chatlist

using namespace chatlist;

bool ChatListFind(HWND chat, const FindQuery& query, size_t start, FindMatch& match) {
    const ChatState* s = OwnTranscript(chat);
    if (s == nullptr) {
        return false;
    }
    match = FindInText(s->layout.text, s->layout.length, query, start);
    return true;
}

size_t ChatListSelectionLine(HWND chat, char* out, size_t capacity) {
    const ChatState* s = OwnTranscript(chat);
    if (s == nullptr || out == nullptr || capacity == 0) {
        return 0;
    }
    const size_t from = SelectionFrom(s->sel);
    size_t to = std::min(SelectionTo(s->sel), from + capacity - 1);
    const char* text = s->layout.text;
    for (size_t i = from; i < to; ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            to = i;
            break;
        }
    }
    if (to > from) {
        std::memcpy(out, text + from, to - from);
    }
    out[to > from ? to - from : 0] = '\0';
    return to > from ? to - from : 0;
}
