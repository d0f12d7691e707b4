#pragma once

#include "Config.h"
#include "Locations.h"

#include <QByteArray>
#include <QTemporaryDir>

namespace quvex::test {

// A program folder and a share in a temporary folder, with the locations and a configuration
// pointing at them.
class TempShare {
public:
    TempShare();

    const Locations& locations() const { return m_locations; }
    const Config& config() const { return m_config; }
    Config& config() { return m_config; }
    QString path(const QString& relative) const { return m_root.filePath(relative); }

    // Writes bytes to a path below the temporary folder, creating folders on the way.
    QString write(const QString& relative, const QByteArray& bytes) const;
    static QByteArray read(const QString& path);

private:
    QTemporaryDir m_root;
    Locations m_locations;
    Config m_config;
};

} // namespace quvex::test
