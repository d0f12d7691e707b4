#include "FolderCopy.h"

#include "FileSystem.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QMessageBox>
#include <QProgressDialog>

namespace quvex {

namespace {

// Copies every file below source into target; returns the reason of the first failure.
std::optional<QString> copyTree(const QString& source, const QString& target,
                                QProgressDialog& progress) {
    if (!QFileInfo(source).isDir())
        return QStringLiteral("找不到文件夹“%1”。").arg(source);
    QStringList files;
    QDirIterator it(source, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next());
    progress.setMaximum(int(files.size()));

    const QDir from(source);
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString relative = from.relativeFilePath(files[i]);
        const QString destination = target + u'/' + relative;
        progress.setLabelText(relative);
        progress.setValue(int(i));
        if (!QDir().mkpath(QFileInfo(destination).path()))
            return QStringLiteral("无法创建文件夹“%1”。").arg(QFileInfo(destination).path());
        if (!CopyFile(files[i], destination))
            return QStringLiteral("无法把“%1”复制到“%2”。").arg(files[i], destination);
    }
    progress.setValue(int(files.size()));
    return std::nullopt;
}

} // namespace

void CopyFolder(const QString& source, const QString& destination, QWidget* owner) {
    QString folder = source;
    while (folder.size() > 1 && folder.endsWith(u'/'))
        folder.chop(1);
    const QString target = QDir(destination).filePath(QFileInfo(folder).fileName());

    QProgressDialog progress(owner);
    progress.setObjectName(QStringLiteral("CopyFolderProgress"));
    progress.setWindowTitle(QApplication::applicationName());
    progress.setCancelButton(nullptr);
    progress.setMinimumDuration(0);
    progress.setWindowModality(Qt::WindowModal);
    if (const auto failure = copyTree(folder, target, progress)) {
        progress.close();
        QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), *failure,
                        QMessageBox::Ok, owner);
        box.setObjectName(QStringLiteral("CopyFolderError"));
        box.exec();
    }
}

} // namespace quvex
