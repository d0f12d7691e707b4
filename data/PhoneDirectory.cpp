#include "PhoneDirectory.h"

#include "Error.h"
#include "FileSystem.h"
#include "Locations.h"
#include "TextEncoding.h"
#include "TextTrim.h"

#include <QFile>

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

QStringList readPhoneDirectory(const QString& path, const QByteArray& legacyEncoding) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
    return splitLines(decodeText(file.readAll(), legacyEncoding));
}

QString photoNameFromLine(const QString& line) {
    const qsizetype p = line.indexOf(u',') + 1;
    if (p == 0)
        return {};
    return trimControlsAndBlanks(line.mid(p, p));
}

QString GetPhotoPath(const QString& line, const Locations& locations) {
    const QString candidate =
        locations.photoFolder() + photoNameFromLine(line) + FileNames::photoSuffix;
    return FileExists(candidate) ? candidate : locations.placeholderPhoto();
}

} // namespace quvex
