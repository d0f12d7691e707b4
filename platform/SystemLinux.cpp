#include "System.h"

#include <QFile>
#include <QStandardPaths>

#include <pwd.h>
#include <unistd.h>

namespace quvex {

std::optional<QString> runningExecutablePath() {
    QByteArray native(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", native.data(), size_t(native.size()));
    if (length <= 0 || length >= native.size())
        return std::nullopt;
    native.truncate(length);
    const QString path = QFile::decodeName(native);
    if (QFile::encodeName(path) != native)
        return std::nullopt;
    return path;
}

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
