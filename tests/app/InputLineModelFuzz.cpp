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

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ClearedTexts model{};
    std::string field, chat;
    std::string esc, f5, atF5; // what Esc and F5 took, and the field F5 left
    bool escKept = false, f5Kept = false, escNewer = false;
    for (size_t i = 0; i < size; ++i) {
        const bool empty = field.empty();
        switch (data[i] % 6) {
        case 0:
            field.append(field.size() < 200 ? 1 : 0, static_cast<char>('a' + data[i] / 6 % 3));
            break;
        case 1: field.resize(empty ? 0 : field.size() - 1); break;
        case 2: // Esc, which takes nothing from an empty field
            if (!empty) {
                RememberDraftClear(model, field.c_str());
                esc = field, escKept = escNewer = true, field.clear();
            }
            break;
        case 3: // F5, which takes nothing from an empty transcript
            if (!chat.empty()) {
                char* copy = static_cast<char*>(std::malloc(chat.size() + 1));
                std::memcpy(copy, chat.c_str(), chat.size() + 1);
                RememberTranscriptClear(model, copy, chat.size(), field.c_str());
                f5 = chat, atF5 = field, f5Kept = true, escNewer = false, chat.clear();
            }
            break;
        case 4: // Enter
            if (!empty) {
                ForgetClears(model);
                chat += field + "\r\n", escKept = f5Kept = false, field.clear();
            }
            break;
        default: { // Ctrl+Z
            const bool escNow = escKept && empty, f5Now = f5Kept && field == atF5;
            switch (NextUndo(model, field.c_str())) {
            case UndoStep::Draft:
                Check(escNow && (escNewer || !f5Now));
                field = esc, escKept = false;
                break;
            case UndoStep::Transcript:
                Check(f5Now && !(escNow && escNewer));
                chat = f5 + chat, f5Kept = false;
                TranscriptRestored(model);
                break;
            case UndoStep::None: Check(!escNow && !f5Now); break;
            }
        }
        }
        // Nothing the rule can still give back is gone, and Undo is offered just when it can.
        Check(model.draftPending == escKept && (!escKept || esc == model.draft));
        Check(model.transcriptPending == f5Kept &&
              (!f5Kept || f5 == std::string(model.transcript, model.transcriptLength)));
        Check(CanUndoClear(model, field.c_str()) ==
              ((escKept && field.empty()) || (f5Kept && field == atF5)));
    }
    ForgetClears(model);
    return 0;
}
