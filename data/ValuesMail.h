#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace quvex {

// A value group as the mail sees it: its caption and the captions of its ticked behaviours in
// stored order.
struct TickedGroup {
    QString caption;
    QStringList ticked;
};

// "values " followed by "[group]:" + the ticked captions joined with nothing + ";" for every
// group with a tick, in stored order.
QString composeValuesSubject(const QList<TickedGroup>& groups);

// " " + the names + "," + the rating ("好", or "很好").
QString composeValuesTail(const QString& names, bool good);

// Letters, digits and ! $ ' ( ) * - . @ _ stay; a blank becomes "+"; every other byte becomes
// "%" and two upper-case hexadecimal digits. Stops at a zero byte.
QString PercentEncode(const QByteArray& bytes);

// The recognition mail link: encoded (UTF-8, PercentEncode) or as typed.
QString valuesMailLink(const QString& to, const QString& cc, const QString& subjectAndTail,
                       bool encoded);

// The access request to the remote-office administrator, not encoded.
QString remoteAccessMailLink(const QString& administrator, const QString& logonName);

} // namespace quvex
