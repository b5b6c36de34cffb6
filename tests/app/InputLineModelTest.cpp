// The input line's memory without a window: the history Up and Down browse,
// and the rules for taking a clear back with Ctrl+Z.
#include "app/InputLineModel.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string Shown(const char* line) {
    return line != nullptr ? line : "(unchanged)";
}

TEST(InputHistory, BrowsesNewestFirstAndBringsTheDraftBack) {
    InputHistory h{};
    EXPECT_EQ(Shown(HistoryOlder(h, "typed")), "(unchanged)") << "nothing sent yet";
    EXPECT_FALSE(HistoryBrowsing(h));
    for (const char* line : {"one", "two", "three"}) {
        HistoryRemember(h, line);
    }
    EXPECT_EQ(Shown(HistoryOlder(h, "draft")), "three");
    EXPECT_EQ(Shown(HistoryOlder(h, "three")), "two");
    EXPECT_EQ(Shown(HistoryOlder(h, "two")), "one");
    EXPECT_EQ(Shown(HistoryOlder(h, "one")), "(unchanged)") << "the oldest stays";
    EXPECT_EQ(Shown(HistoryNewer(h)), "two");
    EXPECT_EQ(Shown(HistoryNewer(h)), "three");
    EXPECT_EQ(Shown(HistoryNewer(h)), "draft") << "past the newest: what was being typed";
    EXPECT_FALSE(HistoryBrowsing(h));
    EXPECT_EQ(Shown(HistoryNewer(h)), "(unchanged)");
}

TEST(InputHistory, KeepsAHundredLinesAndConsecutiveRepeatsOnce) {
    InputHistory h{};
    for (int i = 0; i < kHistoryDepth + 5; ++i) {
        HistoryRemember(h, ("line " + std::to_string(i)).c_str());
    }
    HistoryRemember(h, "line 104"); // the newest again: kept once
    HistoryRemember(h, "");         // nothing to keep
    std::string last;
    int steps = 0;
    while (const char* line = HistoryOlder(h, "")) {
        last = line;
        ++steps;
    }
    EXPECT_EQ(steps, kHistoryDepth);
    EXPECT_EQ(last, "line 5");
}

TEST(InputHistory, RepeatsAreJudgedByBytes) {
    // Texts a locale's comparison can take for equal are different lines.
    InputHistory h{};
    HistoryRemember(h, "ab");
    HistoryRemember(h, "a\xAD"
                       "b");
    HistoryRemember(h, "AB");
    EXPECT_EQ(Shown(HistoryOlder(h, "")), "AB");
    EXPECT_EQ(Shown(HistoryOlder(h, "")), "a\xAD"
                                          "b");
    EXPECT_EQ(Shown(HistoryOlder(h, "")), "ab");
}

TEST(InputHistory, AFullLineIsKeptWhole) {
    InputHistory h{};
    const std::string full(kInputTextCapacity - 1, 'w');
    HistoryRemember(h, full.c_str());
    EXPECT_EQ(Shown(HistoryOlder(h, full.c_str())), full);
    EXPECT_EQ(Shown(HistoryNewer(h)), full) << "a full draft too";
}

char* Copy(const char* text) {
    const size_t n = std::strlen(text);
    char* copy = static_cast<char*>(std::malloc(n + 1));
    std::memcpy(copy, text, n + 1);
    return copy;
}

struct Cleared : ClearedTexts {
    Cleared() : ClearedTexts{} {}
    ~Cleared() { ForgetClears(*this); }
};

TEST(ClearUndo, EscIsTakenBackWhileTheFieldIsStillEmpty) {
    Cleared c;
    EXPECT_FALSE(CanUndoClear(c, ""));
    EXPECT_EQ(NextUndo(c, ""), UndoStep::None);
    RememberDraftClear(c, "half a thought");
    EXPECT_TRUE(CanUndoClear(c, ""));
    EXPECT_FALSE(CanUndoClear(c, "x")) << "typed since: the field's own undo";
    EXPECT_EQ(NextUndo(c, ""), UndoStep::Draft);
    EXPECT_STREQ(c.draft, "half a thought");
    EXPECT_EQ(NextUndo(c, "half a thought"), UndoStep::None) << "given back once";

    RememberDraftClear(c, "again");
    EXPECT_EQ(NextUndo(c, "typed"), UndoStep::None) << "typed over: the field's own undo";
    EXPECT_EQ(NextUndo(c, ""), UndoStep::Draft) << "empty again: the line comes back";
}

TEST(ClearUndo, F5IsTakenBackWhileTheFieldShowsWhatItShowedThen) {
    Cleared c;
    RememberTranscriptClear(c, Copy("<User> one\r\n"), 12, "draft");
    EXPECT_TRUE(CanUndoClear(c, "draft"));
    EXPECT_FALSE(CanUndoClear(c, "draft!"));
    EXPECT_EQ(NextUndo(c, "draft"), UndoStep::Transcript);
    EXPECT_EQ(NextUndo(c, "draft"), UndoStep::Transcript) << "until reported restored";
    EXPECT_EQ(std::string(c.transcript, c.transcriptLength), "<User> one\r\n");
    TranscriptRestored(c);
    EXPECT_EQ(NextUndo(c, "draft"), UndoStep::None);

    RememberTranscriptClear(c, Copy("old"), 3, "");
    EXPECT_EQ(NextUndo(c, "typed"), UndoStep::None) << "typed over: the field's own undo";
    EXPECT_EQ(NextUndo(c, ""), UndoStep::Transcript) << "the field as at F5 again";
}

TEST(ClearUndo, TheLaterClearComesBackFirst) {
    Cleared c;
    RememberTranscriptClear(c, Copy("text"), 4, "");
    RememberDraftClear(c, "line");
    EXPECT_EQ(NextUndo(c, ""), UndoStep::Draft) << "Esc came last";
    EXPECT_EQ(NextUndo(c, "line"), UndoStep::None)
        << "the field now shows the line, not what it showed at F5";
    EXPECT_EQ(NextUndo(c, ""), UndoStep::Transcript) << "emptied again: the transcript";

    Cleared d;
    RememberDraftClear(d, "line");
    RememberTranscriptClear(d, Copy("text"), 4, "");
    EXPECT_EQ(NextUndo(d, ""), UndoStep::Transcript) << "F5 came last";
    TranscriptRestored(d);
    EXPECT_EQ(NextUndo(d, ""), UndoStep::Draft) << "then the line";
}

TEST(ClearUndo, ASentLineForgetsEveryClear) {
    Cleared c;
    RememberDraftClear(c, "line");
    RememberTranscriptClear(c, Copy("text"), 4, "");
    ForgetClears(c);
    EXPECT_FALSE(CanUndoClear(c, ""));
    EXPECT_EQ(NextUndo(c, ""), UndoStep::None);
}

} // namespace
