#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace quvex {

// Incremental search over list lines by typed prefixes, as a drop-down list does it: keys typed
// within the reset time extend the search text; a key after a pause starts it afresh.
class TypeAhead {
public:
    static constexpr qint64 resetMs = 500;

    // The lines to search, in list order.
    void setLines(const QStringList& lines);

    // The line to select after typing c at time nowMs (milliseconds on any steady clock), with
    // current the selected line (-1 for none). The first line beginning with the extended text
    // wins, ignoring case; with none, the text stays as it was and the next line after current
    // beginning with c is chosen. Returns current when nothing matches.
    int type(QChar c, qint64 nowMs, int current);

    // Removes the last character of the search text.
    void backspace(qint64 nowMs);

    const QString& text() const { return m_text; }

private:
    QString m_text;
    qint64 m_lastKeyMs = 0;
    bool m_hasTyped = false;
    QStringList m_folded;                     // the lines, case-folded
    QHash<QChar, QList<int>> m_byFirstLetter; // line numbers by folded first character, ascending
};

} // namespace quvex
