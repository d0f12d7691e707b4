#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QLocale>
#include <QString>

namespace quvex {

struct Locations;

// The sections of the directory change-request file.
inline const QString changeSection = QStringLiteral("修改");
inline const QString addSection = QStringLiteral("添加");

// The line template users fill in for a new directory line.
inline const QString phoneLineTemplate = QStringLiteral("拼音简写  , 中文名 , 内线 , 手机 , 邮箱");

// User name, "_", then the local date in the locale's short format and the time in its long
// format (hours, minutes, seconds; no time zone), separated by a blank; the time is left out at
// exactly midnight.
QString ChangeRequestKey(const QString& logonName, const QDateTime& now, const QLocale& locale);

// Files a request in the shared change-request file under the current user's key ("_2", "_3",
// ... appended when the key is already taken).
void fileChangeRequest(const Locations& locations, const QByteArray& legacyEncoding,
                       const QString& section, const QString& value);

} // namespace quvex
