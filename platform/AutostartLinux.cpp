#include "Autostart.h"

#include "DesktopEntry.h"
#include "Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quvex {

namespace {

QString autostartFolder() {
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart");
}

} // namespace

// Here the store is a folder of desktop entries, one per value.
struct AutostartStore::Handle {
    QString folder;

    QString entryPath(const QString& name) const {
        return folder + u'/' + name + QStringLiteral(".desktop");
    }
};

AutostartStore::AutostartStore(std::shared_ptr<const Handle> handle)
    : m_handle(std::move(handle)) {}

std::optional<AutostartStore> AutostartStore::open() {
    QString folder = autostartFolder();
    if (!QFileInfo(folder).isDir())
        return std::nullopt;
    return AutostartStore(std::make_shared<const Handle>(Handle{std::move(folder)}));
}

std::optional<QString> AutostartStore::readText(const QString& name) const {
    const QString path = m_handle->entryPath(name);
    if (!QFileInfo::exists(path))
        return std::nullopt;
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Failed to get data for '%1'").arg(name));
    const QByteArray text = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Error(QStringLiteral("Failed to get data for '%1'").arg(name));
    if (!isDesktopEntry(text))
        throw Error(QStringLiteral("Invalid data type for '%1'").arg(name));
    return desktopEntryValue(text, QStringLiteral("Exec")).value_or(QString());
}

void AutostartStore::deleteValue(const QString& name) const {
    QFile::remove(m_handle->entryPath(name));
}

} // namespace quvex
