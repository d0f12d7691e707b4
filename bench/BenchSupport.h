#pragma once

#include "Config.h"
#include "Locations.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

class QWidget;

namespace quvex::bench {

// The temporary folder every benchmark works in: program/ and share/ below it.
QString benchRoot();
Locations benchLocations();
Config benchConfig();

void writeFile(const QString& path, const QByteArray& bytes);

// A link list of `groups` sections of `linksPerGroup` links, UTF-8 with Chinese captions, as
// the share holds it.
QByteArray linkListBytes(int groups, int linksPerGroup);
// Phone-directory lines "ab , 员工0 , 8000 , …", initials running aa, ba, … za, ab, ….
QStringList directoryLines(int count);

// Shows the window and returns once it is exposed: on the offscreen platform the expose paints
// the first frame synchronously. No polling sleeps.
bool showFirstFrame(QWidget* window);

double median(std::vector<double> values);

} // namespace quvex::bench
