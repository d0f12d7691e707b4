#include "PhoneDirectory.h"

#include "Error.h"
#include "FileSystem.h"
#include "Locations.h"
#include "TextEncoding.h"
#include "TextTrim.h"

namespace quvex {

namespace {

// Lines ended by CR LF, LF or CR; a final line end does not start another line.
QStringList splitLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

} // namespace

QStringList phoneDirectoryLines(const QByteArray& bytes, const QByteArray& legacyEncoding) {
    return splitLines(decodeText(bytes, legacyEncoding));
}

QStringList readPhoneDirectory(const QString& path, const QByteArray& legacyEncoding) {
    QString reason;
    const std::optional<QByteArray> bytes = readRegularFile(path, &reason, maxDirectorySize);
    if (!bytes)
        throw Error(QStringLiteral("Cannot open file \"%1\". %2").arg(path, reason));
    return phoneDirectoryLines(*bytes, legacyEncoding);
}

QString photoNameFromLine(const QString& line) {
    const qsizetype p = line.indexOf(u',') + 1;
    if (p == 0)
        return {};
    return trimControlsAndBlanks(line.mid(p, p));
}

std::optional<QString> photoFileFor(const QString& line, const Locations& locations) {
    const QString name = photoNameFromLine(line);
    // A name is one file in the photo folder, never a way out of it.
    if (name.contains(u'/') || name.contains(u'\\') || name.contains(QChar(0)) ||
        name == QLatin1String(".."))
        return std::nullopt;
    return locations.photoFolder() + name + FileNames::photoSuffix;
}

QString GetPhotoPath(const QString& line, const Locations& locations) {
    const std::optional<QString> photo = photoFileFor(line, locations);
    return photo && FileExists(*photo) ? *photo : locations.placeholderPhoto();
}

} // namespace quvex
