// The transcript's selection as a record, free of any Windows header: an
// anchor where it began and a caret where it ends, in byte offsets, and the
// unit a drag extends it by. The mouse's rules (SelectionModel) and the
// keys' (CaretModel) both change it; neither needs the other.
#pragma once

#include <algorithm>
#include <cstddef>

enum class SelectionUnit { Byte, Word, Line };

struct Selection {
    size_t anchor;
    size_t caret;
    SelectionUnit unit;
    size_t unitBegin; // the word or line the double or triple click selected
    size_t unitEnd;
};

// The selected bytes [From, To), in text order.
inline size_t SelectionFrom(const Selection& s) {
    return std::min(s.anchor, s.caret);
}
inline size_t SelectionTo(const Selection& s) {
    return std::max(s.anchor, s.caret);
}
inline bool SelectionEmpty(const Selection& s) {
    return s.anchor == s.caret;
}
