// What the transcript layout's fuzz targets share: the input read as bytes
// and numbers, the run of one input and the check every step must pass.
#pragma once

#include "tests/transcript/ChatLayoutModel.h"
#include "transcript/ChatLayout.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

struct FuzzInput {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    uint8_t Byte() { return at < size ? data[at++] : 0; }
    int32_t Int() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            v = (v << 8) | Byte();
        }
        return static_cast<int32_t>(v);
    }
    bool Done() const { return at >= size; }
    std::string Bytes(size_t n) {
        n = n < size - at ? n : size - at;
        std::string s(reinterpret_cast<const char*>(data + at), n);
        at += n;
        return s;
    }
};

// The layout holds exactly the shadow's text, NUL-terminated, broken into the
// lines the plain model gives.
inline void CheckTextAndLines(const ChatLayout& layout, const std::string& shadow) {
    if (layout.length != shadow.size() ||
        (!shadow.empty() && (std::memcmp(layout.text, shadow.data(), shadow.size()) != 0 ||
                             layout.text[layout.length] != '\0'))) {
        std::abort();
    }
    if (LayoutLineStarts(layout) != ModelLineStarts(shadow, layout.metrics, layout.width)) {
        std::abort();
    }
}

// One input: a layout with the metrics and width the input gives first, then
// steps (each changing the layout and its shadow text) until the input is
// used up, each followed by the check.
template <class Metrics, class Width, class Step, class Check>
void RunLayoutFuzz(const uint8_t* data, size_t size, Metrics metrics, Width width, Step step,
                   Check check) {
    FuzzInput in{data, size};
    ChatLayout layout;
    LayoutInit(layout);
    std::string shadow;
    if (!LayoutSetMetrics(layout, metrics(in)) || !LayoutSetWidth(layout, width(in))) {
        std::abort();
    }
    while (!in.Done()) {
        step(in, layout, shadow);
        check(layout, shadow);
    }
    LayoutFree(layout);
}
