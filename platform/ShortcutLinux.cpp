#include "Shortcut.h"

#include "DesktopEntry.h"

#include <QFileInfo>

namespace quvex {

QString shortcutFileName(const QString& name) {
    return name + QStringLiteral(".desktop");
}

void saveShellLink(const QString& linkPath, const QString& target, const QString& workingFolder,
                   const QString& description) {
    writeDesktopEntry(linkPath,
                      {QFileInfo(linkPath).completeBaseName(), description, target, workingFolder});
}

} // namespace quvex
