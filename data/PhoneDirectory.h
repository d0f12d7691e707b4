#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace quvex {

struct Locations;

// The largest directory read: far beyond any company's, small enough to load at once.
inline constexpr qint64 maxDirectorySize = 32 << 20;

// The lines of a phone directory's bytes in file order, empty lines included.
QStringList phoneDirectoryLines(const QByteArray& bytes, const QByteArray& legacyEncoding);

// The lines of a phone directory file. Throws Error "Cannot open file "<path>". <reason>" when
// it cannot be opened or is larger than maxDirectorySize.
QStringList readPhoneDirectory(const QString& path, const QByteArray& legacyEncoding);

// The name a directory line yields for its photo: the p characters after the first comma, where
// p is that comma's position counted from 1, without characters of code 32 and below at the ends.
QString photoNameFromLine(const QString& line);

// The file in the photo folder that would hold the line's photo; nothing when the name is not a
// plain file name (it would reach outside the folder).
std::optional<QString> photoFileFor(const QString& line, const Locations& locations);

// The photo of the line's colleague on the share, else the placeholder beside the program.
QString GetPhotoPath(const QString& line, const Locations& locations);

} // namespace quvex
