#pragma once

#include <QString>

namespace quvex {

// The text without the characters at either end for which drop(c) is true.
template <typename Predicate> QString trimmedBy(const QString& text, Predicate drop) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && drop(text[begin]))
        ++begin;
    while (end > begin && drop(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

// The text without characters of code 32 and below (blanks and controls) at either end.
inline QString trimControlsAndBlanks(const QString& text) {
    return trimmedBy(text, [](QChar c) { return c.unicode() <= 32; });
}

} // namespace quvex
