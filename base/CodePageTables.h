// What the system's ANSI code page says of each of the 256 bytes: its lower
// case, and whether it belongs to a word (a letter or digit there, or '_').
// Built once, at first use: the code page does not change while a process runs.
#pragma once

struct CodePageTables {
    unsigned char fold[256]; // each byte's lower case (CharLowerBuffA)
    unsigned char word[256]; // 1 for a word byte (IsCharAlphaNumericA, and '_'), else 0
};

const CodePageTables& AnsiCodePageTables();
