#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace quvex {

// One behaviour of the values catalogue: a check box of the values page.
struct ValueBehaviour {
    QString name; // the check box's control name
    QString caption;
    int row = 0;         // displayed row within its box, from 1
    QString explanation; // lines separated by CR LF
};

// One value group: a group box, with its behaviours in stored order.
struct ValueGroup {
    QString panel; // the panel it stands on
    QString name;  // the group box's control name
    QString caption;
    int column = 0; // displayed column within its panel, from 1
    int width = 0;
    QList<ValueBehaviour> behaviours;
};

// The catalogue in stored order (panels, then groups, then behaviours). Empty when the text is
// not a catalogue.
QList<ValueGroup> parseValuesCatalogue(const QByteArray& json);

} // namespace quvex
