// Renders the program's pages and dialogs on the demo share to PNG files, for the documentation
// and for looking at the program without a display.
// Usage: quvex-screenshots <output folder> [<name suffix>, e.g. "@2x" under QT_SCALE_FACTOR=2]
#include "BuildConfiguration.h"
#include "Program.h"
#include "QtTranslations.h"
#include "UnitAddLink.h"
#include "UnitMain.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace quvex;

namespace {

QString g_suffix;

void save(const QPixmap& picture, const QString& folder, const char* name) {
    const QString path = folder + u'/' + QLatin1String(name) + g_suffix + QStringLiteral(".png");
    if (!picture.save(path))
        qFatal("cannot write %s", qPrintable(path));
}

// Grabs a top-level window once it has been laid out and painted.
QPixmap shown(QWidget& window) {
    window.show();
    QTest::qWait(30);
    QPixmap picture = window.grab();
    window.hide();
    return picture;
}

// The link page of a share with twelve groups of long names.
void manyGroups(const QString& folder, const Config& config) {
    QTemporaryDir program;
    QFile list(program.filePath(QStringLiteral("link_data.ini")));
    if (!list.open(QIODevice::WriteOnly))
        qFatal("cannot write the link list");
    const char* groups[] = {"办公系统",       "人力资源部常用表格", "财务部",
                            "行政后勤与采购", "信息技术支持",       "客户服务",
                            "市场营销资料",   "产品研发文档",       "质量管理",
                            "法务合规",       "培训与学习中心",     "待审核"};
    for (int g = 0; g < 12; ++g) {
        list.write(QByteArray("[") + groups[g] + "]\r\n");
        for (int k = 0; k < 3 + g % 4; ++k)
            list.write(QStringLiteral("%1的第%2个常用链接=http://example.com/%3\r\n")
                           .arg(QString::fromUtf8(groups[g]))
                           .arg(k + 1)
                           .arg(g)
                           .toUtf8());
    }
    list.close();
    Locations locations = locationsOfThisBuild(program.filePath(QStringLiteral("quvex")));
    TForm_quvex form(locations, config);
    form.BuildLinkGroups();
    save(shown(form), folder, "many-groups");
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    installQtTranslations(app, QLocale::system());
    QApplication::setApplicationName(QStringLiteral("quvex"));
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    g_suffix = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
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

    // Qt's own texts, in Chinese: a message box and the file dialog.
    QMessageBox box(
        QMessageBox::Critical, QApplication::applicationName(),
        QStringLiteral("Unable to write to /mnt/quvex/link_data.ini: 文件正被其他程序使用."),
        QMessageBox::Ok, form);
    save(shown(box), folder, "error-box");
    QFileDialog chooser(program->addLinkDialog.get());
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    chooser.setDirectory(QCoreApplication::applicationDirPath());
    save(shown(chooser), folder, "file-dialog");
    manyGroups(folder, configurationOfThisBuild());
    return 0;
}
