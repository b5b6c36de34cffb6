// libFuzzer target for taking a clear back: random typing, Backspace, Esc,
// F5, Ctrl+Z and sends, against the guide's rule. A clear stays until it is
// given back, a line is sent or a clear of its kind comes after it; Ctrl+Z
// gives one back exactly when the field shows what that clear left (empty
// after Esc, the text of the moment after F5), the later clear first.
#include "app/InputLineModel.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Kept {
    bool pending = false;
    std::string text, field; // what the clear took, and the field it left
};

char* Copy(const std::string& s) {
    char* copy = static_cast<char*>(std::malloc(s.size() + 1));
    std::memcpy(copy, s.c_str(), s.size() + 1);
    return copy;
}

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ClearedTexts model{};
    std::string field, transcript;
    Kept esc, f5;
    bool escNewer = false;
    for (size_t i = 0; i < size; ++i) {
        switch (data[i] % 6) {
        case 0: // typing, within what the field takes
            if (field.size() + 1 < kInputTextCapacity) {
                field += static_cast<char>('a' + data[i] / 6 % 3);
            }
            break;
        case 1: // Backspace, or the field's own undo of a letter
            if (!field.empty()) {
                field.pop_back();
            }
            break;
        case 2: // Esc
            if (!field.empty()) {
                RememberDraftClear(model, field.c_str());
                esc = {true, field, ""}, escNewer = true, field.clear();
            }
            break;
        case 3: // F5
            if (!transcript.empty()) {
                RememberTranscriptClear(model, Copy(transcript), transcript.size(), field.c_str());
                f5 = {true, transcript, field}, escNewer = false, transcript.clear();
            }
            break;
        case 4: // Enter
            if (!field.empty()) {
                ForgetClears(model);
                transcript += field + "\r\n", esc.pending = f5.pending = false, field.clear();
            }
            break;
        default: { // Ctrl+Z
            const bool escNow = esc.pending && field.empty();
            const bool f5Now = f5.pending && field == f5.field;
            const UndoStep step = NextUndo(model, field.c_str());
            Check(CanUndoClear(model, field.c_str()) ==
                  (f5Now || (escNow && step != UndoStep::Draft)));
            if (step == UndoStep::Draft) {
                Check(escNow && (escNewer || !f5Now) && model.draft == esc.text);
                field = esc.text, esc.pending = false;
            } else if (step == UndoStep::Transcript) {
                Check(f5Now && !(escNow && escNewer));
                transcript = f5.text + transcript, f5.pending = false;
                TranscriptRestored(model);
            } else {
                Check(!escNow && !f5Now);
            }
        }
        }
        // Nothing the rule can still give back is gone.
        Check(model.draftPending == esc.pending && model.transcriptPending == f5.pending);
        Check(!f5.pending || std::string(model.transcript, model.transcriptLength) == f5.text);
    }
    ForgetClears(model);
    return 0;
}
