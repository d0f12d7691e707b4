#include "System.h"

#include <QStandardPaths>

#include <pwd.h>
#include <unistd.h>

namespace quvex {

QString GetLogonUserName() {
    const struct passwd* entry = ::getpwuid(::geteuid());
    return entry ? QString::fromLocal8Bit(entry->pw_name) : QString();
}

QString GetDesktopFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    while (folder.size() > 1 && folder.endsWith(u'/'))
        folder.chop(1);
    return folder;
}

} // namespace quvex
