#include "ChangeRequest.h"

#include "Locations.h"
#include "ProfileFile.h"
#include "System.h"

namespace quvex {

QString ChangeRequestKey(const QString& logonName, const QDateTime& now, const QLocale& locale) {
    QString stamp = locale.toString(now.date(), QLocale::ShortFormat);
    if (now.time() != QTime(0, 0))
        stamp += u' ' + locale.toString(now.time(), QLocale::LongFormat);
    return logonName + u'_' + stamp;
}

void fileChangeRequest(const Locations& locations, const QByteArray& legacyEncoding,
                       const QString& section, const QString& value) {
    const QString key =
        ChangeRequestKey(GetLogonUserName(), QDateTime::currentDateTime(), QLocale::system());
    ProfileFile(locations.changeRequests(), legacyEncoding).WriteString(section, key, value);
}

} // namespace quvex
