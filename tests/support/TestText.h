// Small texts and measures that several tests share.
#pragma once

#include <windows.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

// Chat lines that tell themselves apart: "<User> L00042 the quick brown fox".
inline std::string NumberedChatLines(int from, int count) {
    std::string all;
    char line[96];
    for (int i = from; i < from + count; ++i) {
        std::snprintf(line, sizeof line, "<User> L%05d the quick brown fox\r\n", i);
        all += line;
    }
    return all;
}

// The bytes as the program's ANSI code page reads them.
inline std::wstring AnsiToWide(const std::string& bytes) {
    const int n =
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
    return wide;
}

// A file's lines without their line ends, blank lines left out.
inline std::vector<std::string> TextLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::istringstream in(bytes);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty()) {
            lines.push_back(line);
        }
    }
    return lines;
}

// The width of an 'x' and the line height of the stock fixed font, in which
// the program draws the transcript; measured in the test's own process.
inline SIZE FixedFontCell() {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, GetStockObject(SYSTEM_FIXED_FONT));
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    SIZE x;
    GetTextExtentPoint32A(dc, "x", 1, &x);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return SIZE{x.cx, tm.tmHeight};
}
