#include "Locations.h"

#include <QFileInfo>

namespace quvex {

Locations Locations::forExecutable(const QString& executablePath, const QString& shareRoot,
                                   const QString& executableSuffix) {
    const QString absolute = QFileInfo(executablePath).absoluteFilePath();
    return {absolute.left(absolute.lastIndexOf(u'/') + 1), shareRoot, absolute, executableSuffix};
}

} // namespace quvex
