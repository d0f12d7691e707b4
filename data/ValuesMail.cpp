#include "ValuesMail.h"

namespace quvex {

QString composeValuesSubject(const QList<TickedGroup>& groups) {
    QString subject = QStringLiteral("values ");
    for (const TickedGroup& group : groups) {
        const QString checked = group.ticked.join(QString());
        if (!checked.isEmpty() && !group.caption.isEmpty())
            subject += u'[' + group.caption + QStringLiteral("]:") + checked + u';';
    }
    return subject;
}

QString composeValuesTail(const QString& names, bool good) {
    return u' ' + names + u',' + (good ? QStringLiteral("好") : QStringLiteral("很好"));
}

QString PercentEncode(const QByteArray& bytes) {
    static constexpr char hex[] = "0123456789ABCDEF";
    static const QByteArray unchanged("!$'()*-.@_");
    QString encoded;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == 0)
            break;
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
            (byte >= '0' && byte <= '9') || unchanged.contains(c)) {
            encoded += QLatin1Char(c);
        } else if (byte == ' ') {
            encoded += u'+';
        } else {
            encoded += u'%';
            encoded += QLatin1Char(hex[byte >> 4]);
            encoded += QLatin1Char(hex[byte & 15]);
        }
    }
    return encoded;
}

QString valuesMailLink(const QString& to, const QString& cc, const QString& subjectAndTail,
                       bool encoded) {
    return QStringLiteral("mailto:") + to + QStringLiteral("?cc=") + cc +
           QStringLiteral("&subject=") +
           (encoded ? PercentEncode(subjectAndTail.toUtf8()) : subjectAndTail);
}

QString remoteAccessMailLink(const QString& administrator, const QString& logonName) {
    return QStringLiteral("mailto:") + administrator + QStringLiteral("?subject=Remote OA: ") +
           logonName + QStringLiteral("&body=Just send it!");
}

} // namespace quvex
