#pragma once

#include <QString>

namespace quvex {

// The file name of a shortcut called name on this platform's desktop.
QString shortcutFileName(const QString& name);

// Saves a shortcut to target at linkPath (working folder and description as given). A shortcut
// that cannot be saved is left as it is, without a message.
void saveShellLink(const QString& linkPath, const QString& target, const QString& workingFolder,
                   const QString& description);

} // namespace quvex
