#include "base/CodePageTables.h"

#include <windows.h>

namespace {

CodePageTables Build() {
    CodePageTables t{};
    for (int c = 0; c < 256; ++c) {
        char b = static_cast<char>(c);
        CharLowerBuffA(&b, 1);
        t.fold[c] = static_cast<unsigned char>(b);
        t.word[c] = c == '_' || (c != 0 && IsCharAlphaNumericA(static_cast<CHAR>(c))) ? 1 : 0;
    }
    return t;
}

} // namespace

const CodePageTables& AnsiCodePageTables() {
    static const CodePageTables tables = Build();
    return tables;
}
