#include "ChangeRequest.h"

#include "Locations.h"
#include "ProfileFile.h"
#include "System.h"

#include <QRegularExpression>

namespace quvex {

namespace {

// The locale's long time format as Windows knows it: hours, minutes and seconds (with the
// locale's day-half marker), never a time zone, which Qt's long format adds.
QString longTimeWithoutZone(const QLocale& locale) {
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(QRegularExpression(QStringLiteral("\\s*t+\\s*")));
    return format.trimmed();
}

} // namespace

QString ChangeRequestKey(const QString& logonName, const QDateTime& now, const QLocale& locale) {
    QString stamp = locale.toString(now.date(), QLocale::ShortFormat);
    if (now.time() != QTime(0, 0))
        stamp += u' ' + locale.toString(now.time(), longTimeWithoutZone(locale));
    return logonName + u'_' + stamp;
}

void fileChangeRequest(const Locations& locations, const QByteArray& legacyEncoding,
                       const QString& section, const QString& value) {
    const QString key =
        ChangeRequestKey(GetLogonUserName(), QDateTime::currentDateTime(), QLocale::system());
    // A second request in the same second gets its own key instead of replacing the first.
    ProfileFile(locations.changeRequests(), legacyEncoding)
        .addStringUnderFreeKey(section, key, value);
}

} // namespace quvex
