#include "MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>

namespace quvex {

QString applicationTitleFor(const QString& executableFileName) {
    const QString stem = executableFileName.section(QLatin1Char('.'), 0, 0);
    if (stem.isEmpty())
        return stem;
    return stem.left(1) + stem.mid(1).toLower();
}

QString errorBoxText(const QString& message) {
    if (!message.isEmpty() && message.back().unicode() > u'.')
        return message + QLatin1Char('.');
    return message;
}

namespace {

void showBox(QMessageBox::Icon icon, const QString& objectName, const QString& text) {
    QMessageBox box(icon, QApplication::applicationName(), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setObjectName(objectName);
    box.exec();
}

} // namespace

void ErrorBox(const QString& message) {
    showBox(QMessageBox::Critical, QStringLiteral("ErrorBox"), errorBoxText(message));
}

void InfoBox(const QString& text) {
    showBox(QMessageBox::NoIcon, QStringLiteral("InfoBox"), text);
}

} // namespace quvex
