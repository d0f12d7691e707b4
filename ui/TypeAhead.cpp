#include "TypeAhead.h"

#include <algorithm>

namespace quvex {

void TypeAhead::setLines(const QStringList& lines) {
    m_folded.clear();
    m_byFirstLetter.clear();
    m_folded.reserve(lines.size());
    for (int i = 0; i < lines.size(); ++i) {
        m_folded.append(lines[i].toCaseFolded());
        if (!m_folded.last().isEmpty())
            m_byFirstLetter[m_folded.last().front()].append(i);
    }
}

int TypeAhead::type(QChar c, qint64 nowMs, int current) {
    if (!m_hasTyped || nowMs - m_lastKeyMs >= resetMs)
        m_text.clear();
    m_hasTyped = true;
    m_lastKeyMs = nowMs;

    const QString extended = (m_text + c).toCaseFolded();
    for (const int line : m_byFirstLetter.value(extended.front())) {
        if (m_folded[line].startsWith(extended)) {
            m_text += c;
            return line;
        }
    }
    // The list's own keyboard selection: the next line after the current one with that letter.
    const QList<int> candidates = m_byFirstLetter.value(QString(c).toCaseFolded().front());
    if (candidates.isEmpty())
        return current;
    const auto next = std::upper_bound(candidates.begin(), candidates.end(), current);
    return next != candidates.end() ? *next : candidates.first();
}

void TypeAhead::backspace(qint64 nowMs) {
    m_text.chop(1);
    m_hasTyped = true;
    m_lastKeyMs = nowMs;
}

} // namespace quvex
