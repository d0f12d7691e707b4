#include "DocumentSearch.h"

#include "Error.h"
#include "TextTrim.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <algorithm>

namespace quvex {

namespace {

bool isSeparator(QChar c) {
    return c.unicode() >= 1 && c.unicode() <= 32;
}

constexpr int loginTimeoutSeconds = 15; // FreeTDS waits forever unless told otherwise

// Removes the connection from Qt's registry when the search ends, on every path.
class ScopedConnection {
public:
    explicit ScopedConnection(const QString& driver)
        : m_name(QStringLiteral("document-search-") + QUuid::createUuid().toString()) {
        QSqlDatabase::addDatabase(driver, m_name);
    }
    ~ScopedConnection() {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    QSqlDatabase database() const { return QSqlDatabase::database(m_name, false); }

private:
    QString m_name;
};

QString driverMessage(const QSqlError& error, const QString& fallback) {
    const QString text = error.text().trimmed();
    return text.isEmpty() ? fallback : text;
}

} // namespace

QStringList splitSearchWords(const QString& text) {
    QStringList words;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        while (i < n && isSeparator(text[i]))
            ++i;
        if (i >= n)
            break;
        QString word;
        if (text[i] == u'"') {
            for (++i; i < n; ++i) {
                if (text[i] != u'"') {
                    word += text[i];
                } else if (i + 1 < n && text[i + 1] == u'"') {
                    word += u'"';
                    ++i;
                } else {
                    ++i;
                    break;
                }
            }
        } else {
            const qsizetype start = i;
            while (i < n && !isSeparator(text[i]))
                ++i;
            word = text.mid(start, i - start);
        }
        words.append(word);
    }
    return words;
}

QStringList searchConditionWords(const QStringList& words) {
    QStringList conditions;
    for (const QString& word : words) {
        // A NUL inside a word would end the pattern in the database and match every row.
        const QString trimmed = trimControlsAndBlanks(QString(word).remove(QChar(0)));
        if (!trimmed.isEmpty())
            conditions.append(trimmed);
    }
    return conditions;
}

QString buildSearchStatement(int conditionCount, SqlDialect dialect) {
    QString statement =
        dialect == SqlDialect::SqlServer
            ? QStringLiteral(
                  "SELECT TOP 1000  search_id, search_path  FROM document_searchindexs WHERE  1=1 ")
            : QStringLiteral(
                  "SELECT  search_id, search_path  FROM document_searchindexs WHERE  1=1 ");
    for (int i = 0; i < conditionCount; ++i)
        statement += QStringLiteral("  AND search_path LIKE ? ESCAPE '\\'");
    if (dialect == SqlDialect::Other)
        statement += QStringLiteral(" LIMIT 1000");
    return statement;
}

QString likePattern(const QString& word) {
    QString pattern = QStringLiteral("%");
    for (const QChar c : word) {
        if (c == u'%' || c == u'_' || c == u'[' || c == u'\\')
            pattern += u'\\';
        pattern += c;
    }
    return pattern + u'%';
}

QStringList sortedForDisplay(QStringList paths, const QLocale& locale) {
    // The C locale has no collation (and its sort keys ignore the case setting).
    if (locale.language() == QLocale::C) {
        std::stable_sort(paths.begin(), paths.end(), [](const QString& a, const QString& b) {
            return QString::compare(a, b, Qt::CaseInsensitive) < 0;
        });
        return paths;
    }
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<std::pair<QCollatorSortKey, qsizetype>> keys;
    keys.reserve(paths.size());
    for (qsizetype i = 0; i < paths.size(); ++i)
        keys.emplace_back(collator.sortKey(paths[i]), i);
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto& a, const auto& b) { return a.first.compare(b.first) < 0; });
    QStringList sorted;
    sorted.reserve(paths.size());
    for (const auto& key : keys)
        sorted.append(std::move(paths[key.second]));
    return sorted;
}

QStringList searchDocumentIndex(const DocumentIndexConnection& index, const QString& typedText) {
    const QStringList words = searchConditionWords(splitSearchWords(typedText));
    if (!QSqlDatabase::isDriverAvailable(index.driver))
        throw Error(QStringLiteral("数据库驱动 %1 不可用").arg(index.driver));

    const ScopedConnection connection(index.driver);
    QSqlDatabase database = connection.database();
    database.setDatabaseName(index.connection);
    if (index.driver == QLatin1String("QODBC"))
        database.setConnectOptions(
            QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1").arg(loginTimeoutSeconds));
    if (!database.open())
        throw Error(driverMessage(database.lastError(), QStringLiteral("无法连接数据库")));

    const SqlDialect dialect = database.driver()->dbmsType() == QSqlDriver::MSSqlServer
                                   ? SqlDialect::SqlServer
                                   : SqlDialect::Other;
    QSqlQuery query(database);
    query.setForwardOnly(true);
    if (!query.prepare(buildSearchStatement(int(words.size()), dialect)))
        throw Error(driverMessage(query.lastError(), QStringLiteral("无法准备搜索")));
    for (const QString& word : words)
        query.addBindValue(likePattern(word));
    if (!query.exec())
        throw Error(driverMessage(query.lastError(), QStringLiteral("搜索失败")));

    QStringList paths;
    while (query.next())
        paths.append(query.value(1).toString());
    if (query.lastError().isValid())
        throw Error(driverMessage(query.lastError(), QStringLiteral("搜索失败")));
    query.finish();
    return paths;
}

} // namespace quvex
