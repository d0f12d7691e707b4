#include "TempShare.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quvex::test {

TempShare::TempShare() {
    QDir(m_root.path()).mkpath(QStringLiteral("program"));
    QDir(m_root.path()).mkpath(QStringLiteral("share/picture"));
    m_locations = Locations::forExecutable(m_root.filePath(QStringLiteral("program/quvex")),
                                           m_root.filePath(QStringLiteral("share/")), QString());
    m_config.version = QStringLiteral("2.1");
    m_config.dbDriver = QStringLiteral("QSQLITE");
    m_config.oaUrl = QStringLiteral("http://oa.example.com/");
    m_config.downloadBase = QStringLiteral("http://download.example.com");
    m_config.valuesTo = QStringLiteral("values@example.com");
    m_config.valuesCc = QStringLiteral("hr@example.com");
    m_config.adminMail = QStringLiteral("it@example.com");
    m_config.docServer = QStringLiteral("files.example.com");
    m_config.tovikSource = m_root.filePath(QStringLiteral("source/Tovik/"));
    m_config.legacyCodepage = "GB18030";
}

QString TempShare::write(const QString& relative, const QByteArray& bytes) const {
    const QString target = m_root.filePath(relative);
    QDir().mkpath(QFileInfo(target).path());
    QFile file(target);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(target));
    return target;
}

QByteArray TempShare::read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace quvex::test
