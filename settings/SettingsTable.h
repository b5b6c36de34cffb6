// The program's settings, one line each: section, key, kind, and the field of
// the application state that holds the value. Loading, saving and the
// read-back all walk this list in its order (the file's sections Colors,
// Window, Options), so adding a setting is one line here.
//   Color: "r,g,b", 0-255 each; Side: a signed 32-bit integer, a side of the
//   window's restored rectangle; Text: the value as it stands.
#pragma once

#define BALDRIX_SETTINGS(X)                                                                        \
    X(SectionColors, KeyText, Color, colorText)                                                    \
    X(SectionColors, KeyBackground, Color, colorBackground)                                        \
    X(SectionColors, KeySelectionText, Color, colorSelectionText)                                  \
    X(SectionColors, KeySelectionBackground, Color, colorSelectionBackground)                      \
    X(SectionWindow, KeyTop, Side, placement.rcNormalPosition.top)                                 \
    X(SectionWindow, KeyLeft, Side, placement.rcNormalPosition.left)                               \
    X(SectionWindow, KeyRight, Side, placement.rcNormalPosition.right)                             \
    X(SectionWindow, KeyBottom, Side, placement.rcNormalPosition.bottom)                           \
    X(SectionOptions, KeyNickname, Text, nickname)                                                 \
    X(SectionOptions, KeyDownload, Text, downloadDir)
