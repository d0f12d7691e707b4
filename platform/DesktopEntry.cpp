#include "DesktopEntry.h"

#include <QFile>
#include <QSaveFile>

namespace quvex {

namespace {

const QString groupHeader = QStringLiteral("[Desktop Entry]");

// The escapes of the string type: applied after the Exec quoting rule.
QString escapeString(QString value) {
    value.replace(u'\\', QLatin1String("\\\\"));
    value.replace(u'\n', QLatin1String("\\n"));
    value.replace(u'\t', QLatin1String("\\t"));
    value.replace(u'\r', QLatin1String("\\r"));
    return value;
}

QString quoteExecArgument(QString argument) {
    for (const char16_t reserved : {u'\\', u'"', u'`', u'$'})
        argument.replace(QChar(reserved), QStringLiteral("\\") + QChar(reserved));
    argument.replace(u'%', QLatin1String("%%"));
    return u'"' + argument + u'"';
}

// Lines of the text with comments and blank lines dropped.
QStringList significantLines(const QByteArray& text) {
    QStringList lines;
    for (const QString& line : QString::fromUtf8(text).split(u'\n')) {
        const QString trimmed = line.trimmed();
        if (!trimmed.isEmpty() && !trimmed.startsWith(u'#'))
            lines.append(trimmed);
    }
    return lines;
}

} // namespace

QByteArray desktopEntryText(const DesktopEntry& entry) {
    const QString text =
        groupHeader + u'\n' + QStringLiteral("Type=Application\n") + QStringLiteral("Name=") +
        escapeString(entry.name) + u'\n' + QStringLiteral("Comment=") +
        escapeString(entry.comment) + u'\n' + QStringLiteral("Exec=") +
        escapeString(quoteExecArgument(entry.executable)) + u'\n' + QStringLiteral("Path=") +
        escapeString(entry.workingFolder) + u'\n' + QStringLiteral("Terminal=false\n");
    return text.toUtf8();
}

bool writeDesktopEntry(const QString& path, const DesktopEntry& entry) {
    QSaveFile file(path);
    const QByteArray text = desktopEntryText(entry);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        return false;
    return QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner | QFile::ExeUser |
                                           QFile::ExeGroup | QFile::ExeOther);
}

bool isDesktopEntry(const QByteArray& text) {
    const QStringList lines = significantLines(text);
    return !lines.isEmpty() && lines.first() == groupHeader;
}

std::optional<QString> desktopEntryValue(const QByteArray& text, const QString& key) {
    bool inGroup = false;
    for (const QString& line : significantLines(text)) {
        if (line.startsWith(u'[')) {
            inGroup = line == groupHeader;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (inGroup && equals > 0 && line.left(equals).trimmed() == key)
            return line.mid(equals + 1).trimmed();
    }
    return std::nullopt;
}

} // namespace quvex
