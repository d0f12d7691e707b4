#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

namespace quvex {

// The search words typed by the user: characters of code 1 to 32 separate words; a word that
// begins with a double quote runs to the next one and may hold blanks ("" inside stands for
// one quote; without a closing quote it runs to the end), and the next word starts right after
// its closing quote. A quote inside any other word is an ordinary character.
QStringList splitSearchWords(const QString& text);

// The words that become conditions: each without characters of code 32 and below at its ends
// and without NUL characters, the empty ones dropped.
QStringList searchConditionWords(const QStringList& words);

enum class SqlDialect { SqlServer, Other };

// The statement with one "search_path LIKE ?" condition per condition word, in order.
QString buildSearchStatement(int conditionCount, SqlDialect dialect);

// The bound value of one word: "%" + the word with %, _, [ and \ escaped by \ + "%".
QString likePattern(const QString& word);

// The found paths as the list shows them: sorted by the locale, ignoring case.
QStringList sortedForDisplay(QStringList paths, const QLocale& locale);

struct DocumentIndexConnection {
    QString driver;     // Qt SQL driver name, e.g. QODBC
    QString connection; // database name or ODBC connection string
};

// Runs the search and returns search_path of every row (NULL as an empty text), in the order
// the database returns them; at most 1000. Throws Error with the driver's message on a failure.
QStringList searchDocumentIndex(const DocumentIndexConnection& index, const QString& typedText);

} // namespace quvex
