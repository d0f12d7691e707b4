#include "ValuesCatalogue.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace quvex {

QList<ValueGroup> parseValuesCatalogue(const QByteArray& json) {
    QList<ValueGroup> groups;
    const QJsonArray entries = QJsonDocument::fromJson(json).object().value(u"groups").toArray();
    for (const QJsonValue& entry : entries) {
        const QJsonObject group = entry.toObject();
        ValueGroup value{group.value(u"panel").toString(),   group.value(u"name").toString(),
                         group.value(u"caption").toString(), group.value(u"column").toInt(),
                         group.value(u"width").toInt(),      {}};
        for (const QJsonValue& check : group.value(u"checks").toArray()) {
            const QJsonObject behaviour = check.toObject();
            value.behaviours.append(
                {behaviour.value(u"name").toString(), behaviour.value(u"caption").toString(),
                 behaviour.value(u"row").toInt(), behaviour.value(u"explanation").toString()});
        }
        groups.append(value);
    }
    return groups;
}

} // namespace quvex
