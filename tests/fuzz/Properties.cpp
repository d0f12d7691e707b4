#include "Properties.h"

#include "DocumentSearch.h"
#include "Locations.h"
#include "PhoneDirectory.h"
#include "ProfileDocument.h"
#include "TextEncoding.h"
#include "TextTrim.h"
#include "ValuesMail.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

namespace quvex::properties {

namespace {

constexpr char legacy[] = "GB18030";

QString quoted(const QString& text) {
    QString shown;
    for (const QChar c : text)
        shown +=
            c.isPrint() ? QString(c) : QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QChar(u'0'));
    return u'"' + shown + u'"';
}

// A string of any UTF-16 code units, lone surrogates included.
QString utf16(QByteArrayView bytes) {
    QString text;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        text += QChar(char16_t(uchar(bytes[i]) | uchar(bytes[i + 1]) << 8));
    return text;
}

QByteArray utf16Bytes(const QString& text) {
    QByteArray bytes;
    for (const QChar c : text) {
        bytes += char(c.unicode() & 0xFF);
        bytes += char(c.unicode() >> 8);
    }
    return bytes;
}

QList<std::pair<QString, QString>> walk(const ProfileDocument& document) {
    QList<std::pair<QString, QString>> entries;
    for (const QString& section : document.sections()) {
        entries.append({u'[' + section + u']', QString()});
        for (const QString& key : document.keys(section))
            entries.append({key, document.value(section, key).value_or(QString())});
    }
    return entries;
}

QList<std::pair<QString, QString>> onePass(const QByteArray& bytes) {
    QList<std::pair<QString, QString>> entries;
    for (const ProfileSection& section : ProfileDocument::readSections(bytes, legacy)) {
        entries.append({u'[' + section.name + u']', QString()});
        entries += section.entries;
    }
    return entries;
}

QString readBack(const QString& value) {
    QString text = trimmedBy(value, [](QChar c) { return c == u' ' || c == u'\t' || c == u'\v'; });
    if (text.size() >= 2 && text.front() == text.back() &&
        (text.front() == u'"' || text.front() == u'\''))
        text = text.mid(1, text.size() - 2);
    return text.left(ProfileDocument::maxValueLength);
}

bool sameName(const QString& a, const QString& b) {
    return a.toCaseFolded() == b.toCaseFolded();
}

QString spacesTrimmed(const QString& name) {
    return trimmedBy(name, [](QChar c) { return c == u' '; });
}

} // namespace

Violation profileReads(const QByteArray& input) {
    const ProfileDocument document = ProfileDocument::fromBytes(input, legacy);
    if (document.toBytes() != input)
        return QStringLiteral("parsing and writing back changed the bytes");
    if (onePass(input) != walk(document))
        return QStringLiteral("the one-pass reading differs from the walk");
    return std::nullopt;
}

QByteArray framedWrite(const QByteArray& file, const QString& section, const QString& key,
                       const QString& value) {
    QByteArray framed;
    for (const QString& text : {section, key, value}) {
        const QByteArray bytes = utf16Bytes(text);
        framed += char(bytes.size() >> 8);
        framed += char(bytes.size() & 0xFF);
        framed += bytes;
    }
    return framed + file;
}

Violation profileWrites(const QByteArray& input) {
    QStringList parts;
    qsizetype at = 0;
    for (int i = 0; i < 3; ++i) {
        if (at + 2 > input.size())
            return std::nullopt;
        const qsizetype length = uchar(input[at]) << 8 | uchar(input[at + 1]);
        at += 2;
        parts << utf16(QByteArrayView(input).sliced(at, std::min(length, input.size() - at)));
        at = std::min(at + length, input.size());
    }
    const QByteArray file = input.mid(at);
    const QString& section = parts[0];
    const QString& key = parts[1];
    const QString& value = parts[2];

    ProfileDocument document = ProfileDocument::fromBytes(file, legacy);
    const ProfileDocument before = document;
    if (document.setValue(section, key, value)) {
        if (document.toBytes() != file)
            return QStringLiteral("a refused write changed the bytes");
        return std::nullopt;
    }
    const ProfileDocument after = ProfileDocument::fromBytes(document.toBytes(), legacy);
    if (after.value(section, key) != readBack(value))
        return QStringLiteral("%1/%2 reads back as %3, not %4")
            .arg(quoted(section), quoted(key),
                 quoted(after.value(section, key).value_or(QStringLiteral("(nothing)"))),
                 quoted(readBack(value)));
    // Every other entry reads as before, and no section is lost.
    const QStringList sections = after.sections();
    const QStringList old = before.sections();
    if (sections.mid(0, old.size()) != old || sections.size() > old.size() + 1)
        return QStringLiteral("the write changed the list of sections");
    for (const ProfileSection& oldSection : ProfileDocument::readSections(file, legacy)) {
        for (const auto& [name, oldValue] : oldSection.entries) {
            if (sameName(oldSection.name, spacesTrimmed(section)) &&
                sameName(name, spacesTrimmed(key)))
                continue;
            if (after.value(oldSection.name, name) != oldValue &&
                before.value(oldSection.name, name) == oldValue)
                return QStringLiteral("%1/%2 changed").arg(quoted(oldSection.name), quoted(name));
        }
    }
    return std::nullopt;
}

Violation textDecoding(const QByteArray& input) {
    const TextEncoding encoding = detectEncoding(input, legacy);
    const QByteArrayView body = QByteArrayView(input).sliced(encoding.bomLength());
    const TextEncoding legacyLines{TextEncoding::Kind::Legacy, legacy};
    Violation violation;
    QString whole;
    splitLines(body, encoding.unitSize(), encoding.kind == TextEncoding::Kind::Utf16BE,
               [&](QByteArrayView line, QByteArrayView end) {
                   const QString text = encoding.decodeLine(line);
                   whole += text + encoding.decodeLine(end);
                   // The same bytes as the only line of a file of their own encoding decode
                   // the same: nothing carries over from the lines before.
                   if (encoding.decodeLine(line.toByteArray()) != text)
                       violation = QStringLiteral("a line decodes differently on its own");
                   if (text.contains(QChar::ReplacementCharacter) || violation)
                       return;
                   const bool ownUtf8 =
                       encoding.kind != TextEncoding::Kind::Mixed || line.isValidUtf8();
                   const std::optional<QByteArray> again =
                       (ownUtf8 ? encoding : legacyLines).encode(text);
                   if (!again || *again != line)
                       violation = QStringLiteral("a line does not encode back to its bytes: %1")
                                       .arg(QString::fromLatin1(line.toByteArray().toHex()));
               });
    if (!violation && whole != decodeText(input, legacy))
        violation = QStringLiteral("the lines decode differently from the whole file");
    return violation;
}

Violation phoneDirectory(const QByteArray& input) {
    Locations locations;
    locations.programFolder = QStringLiteral("/opt/quvex/");
    locations.shareRoot = QStringLiteral("/mnt/share/");
    for (const QString& line : phoneDirectoryLines(input, legacy)) {
        if (line.contains(u'\r') || line.contains(u'\n'))
            return QStringLiteral("a line holds a line end");
        const std::optional<QString> photo = photoFileFor(line, locations);
        if (!photo)
            continue;
        const QString folder = locations.photoFolder();
        const QString name = photo->mid(folder.size());
        if (!photo->startsWith(folder) || name.contains(u'/') || name == QLatin1String("..") ||
            QFileInfo(*photo).path() + u'/' != folder)
            return QStringLiteral("the photo %1 leaves the photo folder").arg(quoted(*photo));
    }
    return std::nullopt;
}

Violation documentSearch(const QByteArray& input) {
    // One SQLite database per process, with rows that stress the escaping.
    static const QTemporaryDir folder;
    static const QString path = folder.filePath(QStringLiteral("index.sqlite"));
    static const bool created = [] {
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "fill");
        database.setDatabaseName(path);
        database.open();
        QSqlQuery query(database);
        query.exec(QStringLiteral("CREATE TABLE document_searchindexs (search_id INTEGER, "
                                  "search_path TEXT)"));
        for (const char* row : {"\\\\fs\\a\\report 2024.doc", "100%_done[1].txt", "a_b%c",
                                "say \"hi\"", "中文文档.doc", "x\\y", "'quoted'", "[abc]"}) {
            query.prepare(QStringLiteral("INSERT INTO document_searchindexs VALUES (1, ?)"));
            query.addBindValue(QString::fromUtf8(row));
            query.exec();
        }
        database.close();
        return true;
    }();
    Q_UNUSED(created);
    const QString typed = QString::fromUtf8(input).left(200);
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "typed");
        database.setDatabaseName(path);
        database.open();
        QSqlQuery query(database);
        query.exec(QStringLiteral("DELETE FROM document_searchindexs WHERE search_id = 2"));
        query.prepare(QStringLiteral("INSERT INTO document_searchindexs VALUES (2, ?)"));
        query.addBindValue(typed);
        query.exec();
        database.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("typed"));
    const QStringList words = searchConditionWords(splitSearchWords(typed));
    const QStringList found = searchDocumentIndex({QStringLiteral("QSQLITE"), path}, typed);
    // SQLite's LIKE ignores the case of ASCII letters only.
    const auto fold = [](QString text) {
        for (QChar& c : text) {
            if (c.unicode() < 128)
                c = c.toLower();
        }
        return text;
    };
    for (const QString& row : found) {
        for (const QString& word : words) {
            if (!fold(row).contains(fold(word)))
                return QStringLiteral("%1 was found for %2").arg(quoted(row), quoted(word));
        }
    }
    // Without quotes every word is part of the typed text, so its own row must be found.
    if (!typed.contains(QChar(0)) && !typed.contains(u'"') && !found.contains(typed))
        return QStringLiteral("the row %1 itself was not found").arg(quoted(typed));
    return std::nullopt;
}

Violation mailLink(const QByteArray& input) {
    const QString text = QString::fromUtf8(input);
    const QString encoded = PercentEncode(text.toUtf8());
    static const QByteArray unreserved("!$'()*-.@_");
    QByteArray decoded;
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        const QChar c = encoded[i];
        if (c == u'%') {
            bool ok = false;
            const int byte = encoded.mid(i + 1, 2).toInt(&ok, 16);
            if (!ok || encoded.mid(i + 1, 2) != encoded.mid(i + 1, 2).toUpper())
                return QStringLiteral("a bad escape in %1").arg(quoted(encoded));
            decoded += char(byte);
            i += 2;
        } else if (c == u'+') {
            decoded += ' ';
        } else if (c.isLetterOrNumber() && c.unicode() < 128) {
            decoded += char(c.unicode());
        } else if (c.unicode() < 128 && unreserved.contains(char(c.unicode()))) {
            decoded += char(c.unicode());
        } else {
            return QStringLiteral("%1 holds %2").arg(quoted(encoded), quoted(QString(c)));
        }
    }
    // Encoding stops at a zero byte.
    const QByteArray expected = text.toUtf8().split('\0').first();
    if (decoded != expected)
        return QStringLiteral("%1 does not decode back").arg(quoted(encoded));

    const QString link = valuesMailLink(QStringLiteral("values@example.com"),
                                        QStringLiteral("hr@example.com"), text, true);
    const QString prefix = QStringLiteral("mailto:values@example.com?");
    if (!link.startsWith(prefix))
        return QStringLiteral("the link does not start with the address");
    const QStringList items = link.mid(prefix.size()).split(u'&');
    if (items.size() != 2 || items[0] != QLatin1String("cc=hr@example.com") ||
        items[1] != QStringLiteral("subject=") + encoded)
        return QStringLiteral("the link's query is %1").arg(quoted(link.mid(prefix.size())));
    return std::nullopt;
}

} // namespace quvex::properties
