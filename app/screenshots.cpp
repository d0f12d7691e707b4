// Renders the program's pages and dialogs on the demo share to PNG files, for the documentation
// and for looking at the program without a display. Usage: quvex-screenshots <output folder>
#include "BuildConfiguration.h"
#include "Program.h"
#include "UnitAddLink.h"
#include "UnitMain.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTest>

using namespace quvex;

namespace {

void save(const QPixmap& picture, const QString& folder, const char* name) {
    const QString path = folder + u'/' + QLatin1String(name) + QStringLiteral(".png");
    if (!picture.save(path))
        qFatal("cannot write %s", qPrintable(path));
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quvex"));
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);

    const auto program = createProgram(
        locationsOfThisBuild(QCoreApplication::applicationDirPath() + QStringLiteral("/quvex")),
        configurationOfThisBuild());
    TForm_quvex* form = program->mainWindow.get();
    form->show();
    QTest::qWait(50);

    auto* pages = form->findChild<QTabWidget*>(QStringLiteral("PageControl1"));
    save(form->grab(), folder, "links");

    // The header with a colleague's photo: pick the line by typing its initials.
    auto* phones = form->findChild<QComboBox*>(QStringLiteral("ComboBox_userinfo"));
    phones->setFocus();
    QTest::keyClicks(phones, QStringLiteral("ln"));
    QTest::qWait(20);
    save(form->grab(QRect(0, 0, form->width(), 68)), folder, "header");

    // The settings menu, drawn over the window where it pops up.
    auto* menu = form->findChild<QMenu*>(QStringLiteral("PopupMenu_userinfo"));
    const QPoint at(639, 47);
    menu->popup(form->mapToGlobal(at));
    QTest::qWait(50);
    QPixmap withMenu = form->grab();
    QPainter(&withMenu).drawPixmap(at, menu->grab());
    menu->hide();
    save(withMenu, folder, "settings-menu");

    const char* names[] = {"links", "remote-office", "values", "search"};
    for (int i = 1; i < pages->count(); ++i) {
        pages->setCurrentIndex(i);
        if (auto* search = pages->widget(i)->findChild<QPushButton*>(QStringLiteral("Button1")))
            search->click();
        QTest::qWait(20);
        save(form->grab(), folder, names[i]);
    }
    pages->setCurrentIndex(0);

    program->addLinkDialog->show();
    QTest::qWait(20);
    save(program->addLinkDialog->grab(), folder, "add-link");
    program->addLinkDialog->hide();
    return 0;
}
