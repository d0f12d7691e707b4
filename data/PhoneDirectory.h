#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace quvex {

struct Locations;

// The lines of a phone directory file in file order, empty lines included. Throws Error
// "Cannot open file "<path>". <reason>" when it cannot be opened.
QStringList readPhoneDirectory(const QString& path, const QByteArray& legacyEncoding);

// The name a directory line yields for its photo: the p characters after the first comma, where
// p is that comma's position counted from 1, without characters of code 32 and below at the ends.
QString photoNameFromLine(const QString& line);

// The photo of the line's colleague on the share, else the placeholder beside the program.
QString GetPhotoPath(const QString& line, const Locations& locations);

} // namespace quvex
