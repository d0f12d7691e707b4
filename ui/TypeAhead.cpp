#include "TypeAhead.h"

namespace quvex {

int TypeAhead::type(QChar c, qint64 nowMs, const QStringList& lines, int current) {
    if (!m_hasTyped || nowMs - m_lastKeyMs >= resetMs)
        m_text.clear();
    m_hasTyped = true;
    m_lastKeyMs = nowMs;

    const QString extended = m_text + c;
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].startsWith(extended, Qt::CaseInsensitive)) {
            m_text = extended;
            return i;
        }
    }
    const int count = int(lines.size());
    for (int step = 1; step <= count; ++step) {
        const int i = (current + step + count) % count;
        if (lines[i].startsWith(c, Qt::CaseInsensitive))
            return i;
    }
    return current;
}

void TypeAhead::backspace(qint64 nowMs) {
    m_text.chop(1);
    m_hasTyped = true;
    m_lastKeyMs = nowMs;
}

} // namespace quvex
