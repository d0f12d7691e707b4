#include "ButtonList.h"
#include "ButtonListClick.h"
#include "CaptionElision.h"
#include "MessageBoxRecorder.h"
#include "RecordingDesktop.h"
#include "TempShare.h"
#include "UnitMain.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAction>
#include <QBuffer>
#include <QComboBox>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

using namespace quvex;
using quvex::test::MessageBoxRecorder;
using quvex::test::RecordingDesktop;
using quvex::test::TempShare;

namespace {

QByteArray jpeg(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    return bytes;
}

// The accessible names of the interface and all its descendants.
QStringList accessibleNames(QAccessibleInterface* node) {
    QStringList names{node->text(QAccessible::Name)};
    for (int i = 0; i < node->childCount(); ++i)
        names += accessibleNames(node->child(i));
    return names;
}

QList<QGroupBox*> linkBoxes(const QWidget& form) {
    auto* page = form.findChild<QWidget*>(QStringLiteral("TabSheetLinks"));
    QList<QGroupBox*> boxes = page->findChildren<QGroupBox*>(QStringLiteral("LinkGroup"));
    std::sort(boxes.begin(), boxes.end(),
              [](QGroupBox* a, QGroupBox* b) { return a->x() < b->x(); });
    return boxes;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void frameHasItsControls();
    void linkPage_data();
    void linkPage();
    void clickOpensTheTarget_data();
    void clickOpensTheTarget();
    void tovikIsInstalledOnceThenStarted();
    void tovikWithoutItsSourceSaysSo();
    void controlsAreReachableByTheirText();
    void phoneListPopupShowsTwentyLines();
    void longCaptionsAreElided_data();
    void longCaptionsAreElided();
    void typeAhead_data();
    void typeAhead();
    void selectionShowsThePhoto();
    void corruptPhotoKeepsThePreviousPicture();
    void headerButtonsAndPhotoClick();
};

void TestMainWindow::initTestCase() {
    QApplication::setApplicationName(QStringLiteral("quvex"));
}

void TestMainWindow::frameHasItsControls() {
    const TempShare share;
    TForm_quvex form(share.locations(), share.config());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    QCOMPARE(form.windowTitle(), QStringLiteral("quvex -v2.1"));
    QCOMPARE(form.size(), QSize(784, 562));
    QCOMPARE(form.findChild<QWidget*>(QStringLiteral("Panel1"))->geometry(), QRect(0, 0, 784, 68));
    QCOMPARE(form.findChild<QWidget*>(QStringLiteral("Image_show"))->geometry(),
             QRect(0, 0, 80, 68));
    auto* label = form.findChild<QLabel*>(QStringLiteral("Label1"));
    QCOMPARE(label->text(), QStringLiteral("号码查询："));
    QCOMPARE(label->pos(), QPoint(88, 27));
    auto* combo = form.findChild<QComboBox*>(QStringLiteral("ComboBox_userinfo"));
    QCOMPARE(combo->pos(), QPoint(154, 24));
    QCOMPARE(combo->width(), 479);
    QVERIFY(!combo->isEditable());
    QTRY_COMPARE(QApplication::focusWidget(), combo);
    auto* settings = form.findChild<QPushButton*>(QStringLiteral("Button8"));
    auto* capture = form.findChild<QPushButton*>(QStringLiteral("Button2"));
    QCOMPARE(settings->text(), QStringLiteral("设置"));
    QCOMPARE(QRect(settings->x(), 0, settings->width(), 0), QRect(639, 0, 75, 0));
    QCOMPARE(capture->text(), QStringLiteral("截图工具"));
    QCOMPARE(QRect(capture->x(), 0, capture->width(), 0), QRect(720, 0, 60, 0));
    settings->setFocus();
    QTest::keyClick(settings, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), capture);
    QTest::keyClick(capture, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), combo);

    auto* pages = form.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
    QCOMPARE(pages->count(), 4);
    QCOMPARE(pages->currentIndex(), 0);
    const QStringList names{"TabSheetLinks", "TabSheet_remote_oa", "TabSheetValues",
                            "TabSheetSearch"};
    const QStringList captions{"常用链接", "远程办公", "价值观", "116文档搜索"};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(pages->widget(i)->objectName(), names[i]);
        QCOMPARE(pages->tabText(i), captions[i]);
    }

    auto* menu = form.findChild<QMenu*>(QStringLiteral("PopupMenu_userinfo"));
    QStringList entries;
    QStringList visible;
    for (QAction* action : menu->actions()) {
        entries << action->objectName() + u'=' + action->text();
        if (action->isVisible())
            visible << action->text();
    }
    QCOMPARE(entries, (QStringList{"ss1=修改当前号码", "ssss1=添加号码", "N1=添加链接",
                                   "N2=修改照片", "N3=号码修改请到Tovik"}));
    QCOMPARE(visible, (QStringList{"添加链接", "修改照片", "号码修改请到Tovik"}));
    QTest::mouseClick(settings, Qt::LeftButton);
    QTRY_VERIFY(menu->isVisible());
    menu->hide();
}

void TestMainWindow::linkPage_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<int>("width");
    QTest::addColumn<QStringList>("firstGroupTooltips");

    QTest::newRow("three groups of 261 pixels")
        << QByteArray("[A]\r\nx=http://x/\r\ny=\\\\fs\\y\\\r\n[B]\r\nz=1\r\n[C]\r\nw=2\r\n")
        << QStringList{"A", "B", "C"} << 261 << QStringList{"http://x/", "\\\\fs\\y\\"};
    QTest::newRow("no sections") << QByteArray("; nothing\r\n") << QStringList{} << 0
                                 << QStringList{};
    QTest::newRow("empty trailing section keeps file order")
        << QByteArray("[A]\nx=1\n[B]\ny=2\n[C]\n") << QStringList{"A", "B", "C"} << 261
        << QStringList{"1"};
    QTest::newRow("pending links as their own group")
        << QStringLiteral("[办公]\nOA系统=http://oa/\n[待审核]\n新闻=http://n/\n").toUtf8()
        << QStringList{"办公", "待审核"} << 392 << QStringList{"http://oa/"};
    QTest::newRow("empty target shows the name")
        << QByteArray("[A]\nname=\n") << QStringList{"A"} << 784 << QStringList{"name"};
}

void TestMainWindow::linkPage() {
    QFETCH(QByteArray, content);
    QFETCH(QStringList, captions);
    QFETCH(int, width);
    QFETCH(QStringList, firstGroupTooltips);
    const TempShare share;
    share.write(QStringLiteral("program/link_data.ini"), content);
    TForm_quvex form(share.locations(), share.config());
    form.BuildLinkGroups();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    const QList<QGroupBox*> boxes = linkBoxes(form);
    QStringList shown;
    for (int i = 0; i < boxes.size(); ++i) {
        shown << boxes[i]->title();
        QCOMPARE(boxes[i]->geometry(),
                 QRect(i * width, 0, width, boxes[i]->parentWidget()->height()));
    }
    QCOMPARE(shown, captions);
    if (boxes.isEmpty())
        return;
    auto* list = boxes.first()->findChild<ButtonList*>();
    QStringList tooltips;
    for (int i = 0; i < list->count(); ++i) {
        QCOMPARE(list->buttonRect(i), QRect(0, i * 24, list->viewport()->width(), 24));
        tooltips << list->shown(i).toolTip;
    }
    QCOMPARE(tooltips, firstGroupTooltips);
}

void TestMainWindow::clickOpensTheTarget_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QStringList>("opened");
    QTest::newRow("web address") << "新闻"
                                 << "http://news.example.com/?a=1&b=2"
                                 << QStringList{"xdg-open", "http://news.example.com/?a=1&b=2"};
    QTest::newRow("UNC folder") << "行政"
                                << "\\\\fs\\行政\\"
                                << QStringList{"xdg-open", "smb://fs/%E8%A1%8C%E6%94%BF/"};
    QTest::newRow("OA opens the configured address, not its target")
        << "OA系统"
        << "http://elsewhere/" << QStringList{"xdg-open", "http://oa.example.com/"};
    QTest::newRow("caption compared exactly")
        << "oa系统"
        << "http://elsewhere/" << QStringList{"xdg-open", "http://elsewhere/"};
}

void TestMainWindow::clickOpensTheTarget() {
    QFETCH(QString, name);
    QFETCH(QString, target);
    QFETCH(QStringList, opened);
    const TempShare share;
    share.write(
        QStringLiteral("program/link_data.ini"),
        (QStringLiteral("[g]\r\n") + name + u'=' + target + QStringLiteral("\r\n")).toUtf8());
    const RecordingDesktop desktop;
    TForm_quvex form(share.locations(), share.config());
    form.BuildLinkGroups();
    form.show();
    clickButton(linkBoxes(form).first()->findChild<ButtonList*>(), 0);
    QCOMPARE(desktop.settledCalls(), QList<QStringList>{opened});
    QVERIFY(!QApplication::overrideCursor());
}

void TestMainWindow::tovikIsInstalledOnceThenStarted() {
    const TempShare share;
    share.write(QStringLiteral("program/link_data.ini"), "[g]\r\nTovik=ignored\r\n");
    share.write(QStringLiteral("source/Tovik/PSavro.exe"), "client");
    share.write(QStringLiteral("source/Tovik/data/settings.cfg"), "cfg");
    const QString desktopFolder = QDir::homePath() + QStringLiteral("/Desktop");
    QDir(desktopFolder).removeRecursively();
    QDir().mkpath(desktopFolder);
    const QString client = desktopFolder + QStringLiteral("/Tovik/PSavro.exe");

    const RecordingDesktop desktop;
    TForm_quvex form(share.locations(), share.config());
    form.BuildLinkGroups();
    form.show();
    auto* list = linkBoxes(form).first()->findChild<ButtonList*>();
    {
        const MessageBoxRecorder boxes;
        clickButton(list, 0);
        QCOMPARE(boxes.texts(),
                 QStringList{QStringLiteral("准备安装Tovik，请耐心等候Tovik启动，点击ok开始安装")});
    }
    QCOMPARE(TempShare::read(client), QByteArray("client"));
    QCOMPARE(TempShare::read(desktopFolder + QStringLiteral("/Tovik/data/settings.cfg")),
             QByteArray("cfg"));
    QCOMPARE(desktop.settledCalls(), (QList<QStringList>{{QStringLiteral("xdg-open"), client}}));

    // Already on the desktop: no question, no copy, the client starts.
    share.write(QStringLiteral("source/Tovik/PSavro.exe"), "newer client");
    const MessageBoxRecorder boxes;
    clickButton(list, 0);
    QCOMPARE(desktop.settledCalls().size(), 2);
    QVERIFY(boxes.boxes().isEmpty());
    QCOMPARE(TempShare::read(client), QByteArray("client"));
}

void TestMainWindow::tovikWithoutItsSourceSaysSo() {
    const TempShare share;
    share.write(QStringLiteral("program/link_data.ini"), "[g]\r\nTovik=ignored\r\n");
    QDir(QDir::homePath() + QStringLiteral("/Desktop")).removeRecursively();
    QDir().mkpath(QDir::homePath() + QStringLiteral("/Desktop"));
    const RecordingDesktop desktop;
    TForm_quvex form(share.locations(), share.config());
    form.BuildLinkGroups();
    form.show();
    const MessageBoxRecorder boxes;
    clickButton(linkBoxes(form).first()->findChild<ButtonList*>(), 0);
    QCOMPARE(boxes.boxes().size(), 2); // the notice, then the reason the copy failed
    QCOMPARE(boxes.boxes().last().objectName, QStringLiteral("CopyFolderError"));
    QVERIFY2(boxes.texts().last().contains(share.config().tovikSource.chopped(1)),
             qPrintable(boxes.texts().last()));
    QVERIFY(!QFile::exists(QDir::homePath() + QStringLiteral("/Desktop/Tovik")));
    // The client is still asked for, silently, as when it is missing.
    QCOMPARE(desktop.settledCalls(),
             (QList<QStringList>{
                 {"xdg-open", QDir::homePath() + QStringLiteral("/Desktop/Tovik/PSavro.exe")}}));
}

void TestMainWindow::controlsAreReachableByTheirText() {
    // Assistive technology and desktop automation find each control by its caption.
    const TempShare share;
    share.write(QStringLiteral("program/link_data.ini"),
                QStringLiteral("[办公]\r\n公司主页=http://www.example.com/\r\n").toUtf8());
    TForm_quvex form(share.locations(), share.config());
    form.BuildLinkGroups();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QStringList names = accessibleNames(QAccessible::queryAccessibleInterface(&form));
    for (const char* name :
         {"常用链接", "远程办公", "价值观", "116文档搜索", "公司主页", "号码查询："})
        QVERIFY2(names.contains(QString::fromUtf8(name)), name);
    form.findChild<QTabWidget*>()->setCurrentIndex(3);
    names = accessibleNames(QAccessible::queryAccessibleInterface(&form));
    QVERIFY(names.contains(QStringLiteral("搜")));
}

void TestMainWindow::phoneListPopupShowsTwentyLines() {
    const TempShare share;
    QByteArray lines;
    for (int i = 0; i < 60; ++i)
        lines += "p" + QByteArray::number(i) + " , 同事" + QByteArray::number(i) + " , 8" +
                 QByteArray::number(100 + i) + "\r\n";
    share.write(QStringLiteral("program/tel_data.ini"), lines);
    TForm_quvex form(share.locations(), share.config());
    form.LoadPhoneDirectory();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto* phones = form.findChild<QComboBox*>(QStringLiteral("ComboBox_userinfo"));
    phones->showPopup();
    QAbstractItemView* view = phones->view();
    QTRY_VERIFY(view->isVisible());
    const int rows = view->viewport()->height() / view->sizeHintForRow(0);
    QVERIFY2(rows >= 19 && rows <= 20, qPrintable(QString::number(rows)));
    QVERIFY(view->verticalScrollBar()->isVisible());
    phones->hidePopup();
}

void TestMainWindow::longCaptionsAreElided_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("showTargets");
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("elided");
    QTest::addColumn<QString>("toolTip");
    const QString name = QStringLiteral("公司年度财务报告与预算说明汇总");
    const QString target = QStringLiteral("\\\\fs\\财务\\报告.doc");
    QTest::newRow("fits: the target as tooltip")
        << "主页"
        << "http://x/" << true << 200 << false << "http://x/";
    QTest::newRow("fits, no target: the name") << "主页"
                                               << "" << true << 200 << false << "主页";
    QTest::newRow("fits, no tooltips") << "主页"
                                       << "http://x/" << false << 200 << false << "";
    QTest::newRow("too long: name above target")
        << name << target << true << 80 << true << name + u'\n' + target;
    QTest::newRow("too long, no target: the name") << name << "" << true << 80 << true << name;
    QTest::newRow("too long, no tooltips: the name")
        << name << target << false << 80 << true << name;
}

void TestMainWindow::longCaptionsAreElided() {
    QFETCH(QString, caption);
    QFETCH(QString, target);
    QFETCH(bool, showTargets);
    QFETCH(int, width);
    QFETCH(bool, elided);
    const QFontMetrics metrics(QFont(QStringLiteral("Tahoma"), 9));
    const ShownCaption shown = shownCaption(caption, target, showTargets, metrics, width);
    QTEST(shown.toolTip, "toolTip");
    if (!elided) {
        QCOMPARE(shown.text, caption);
        return;
    }
    // Elided in the middle: both ends kept, "…" between, within the width.
    QVERIFY2(shown.text.contains(QChar(0x2026)), qPrintable(shown.text));
    QCOMPARE(shown.text.front(), caption.front());
    QCOMPARE(shown.text.back(), caption.back());
    QVERIFY(metrics.horizontalAdvance(shown.text) <= width);

    // The same on the link page: twelve narrow groups, a long name.
    const TempShare share;
    QByteArray list;
    for (int g = 0; g < 12; ++g)
        list += "[第" + QByteArray::number(g) + "组的一个很长的分组名称]\r\n";
    list += (caption + u'=' + target + QStringLiteral("\r\n")).toUtf8();
    share.write(QStringLiteral("program/link_data.ini"), list);
    TForm_quvex form(share.locations(), share.config());
    form.BuildLinkGroups();
    form.show();
    const QList<QGroupBox*> boxes = linkBoxes(form);
    QCOMPARE(boxes.size(), 12);
    for (int g = 0; g + 1 < boxes.size(); ++g) {
        const QFontMetrics titleMetrics(boxes[g]->font());
        QVERIFY2(boxes[g]->x() + 8 + titleMetrics.horizontalAdvance(boxes[g]->title()) <
                     boxes[g + 1]->x(),
                 qPrintable(boxes[g]->title()));
        QVERIFY(boxes[g]->title().contains(QChar(0x2026)));
    }
    const ShownCaption button = boxes.last()->findChild<ButtonList*>()->shown(0);
    QVERIFY2(button.text.contains(QChar(0x2026)), qPrintable(button.text));
    QCOMPARE(button.toolTip, target.isEmpty() ? caption : caption + u'\n' + target);
}

void TestMainWindow::typeAhead_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("keys"); // key@milliseconds, "<" for Backspace
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<int>("changes");

    const QStringList people{"ab , 甲", "abc , 乙", "b1 , 丙", "ba , 丁", "Bc , 戊", "c , 己"};
    QTest::newRow("typed prefix extends")
        << people << "a@0 b@100 c@200" << QList<int>{0, 0, 1} << 1;
    QTest::newRow("pause of 500 ms starts afresh")
        << people << "a@0 b@600" << QList<int>{0, 2} << 1;
    QTest::newRow("499 ms still extends") << people << "a@0 b@499" << QList<int>{0, 0} << 0;
    QTest::newRow("no match: next line with that letter")
        << people << "b@0 b@100 b@200 b@300" << QList<int>{2, 3, 4, 2} << 4;
    QTest::newRow("ignores case") << people << "B@0 C@100" << QList<int>{2, 4} << 2;
    QTest::newRow("Backspace shortens the search text")
        << QStringList{"ab", "abc", "abd"} << "a@0 b@100 c@200 <@300 d@400"
        << QList<int>{0, 0, 1, 1, 2} << 2;
    QTest::newRow("nothing starts with the letter") << people << "x@0" << QList<int>{0} << 0;
}

void TestMainWindow::typeAhead() {
    QFETCH(QStringList, lines);
    QFETCH(QString, keys);
    QFETCH(QList<int>, selected);
    QFETCH(int, changes);
    const TempShare share;
    share.write(QStringLiteral("program/tel_data.ini"),
                lines.join(QStringLiteral("\r\n")).toUtf8());
    QFile::copy(QStringLiteral(":/quvex/none_photo.png"), share.locations().placeholderPhoto());
    TForm_quvex form(share.locations(), share.config());
    qint64 now = 0;
    form.setTypeAheadClock([&now] { return now; });
    form.LoadPhoneDirectory();
    form.show();
    auto* combo = form.findChild<QComboBox*>(QStringLiteral("ComboBox_userinfo"));
    QCOMPARE(combo->currentIndex(), 0);
    const QSignalSpy changed(combo, &QComboBox::currentIndexChanged);
    const MessageBoxRecorder boxes;

    const QStringList steps = keys.split(u' ');
    QCOMPARE(steps.size(), selected.size());
    for (int i = 0; i < steps.size(); ++i) {
        const QString key = steps[i].section(u'@', 0, 0);
        now = steps[i].section(u'@', 1).toLongLong();
        if (key == QLatin1String("<"))
            QTest::keyClick(combo, Qt::Key_Backspace);
        else
            QTest::keyClick(combo, key[0].toLatin1());
        QVERIFY2(combo->currentIndex() == selected[i], qPrintable(steps[i]));
    }
    QCOMPARE(changed.count(), changes);
    QVERIFY(boxes.boxes().isEmpty());
}

void TestMainWindow::selectionShowsThePhoto() {
    const TempShare share;
    share.write(QStringLiteral("program/tel_data.ini"),
                QStringLiteral("zs , 张三 , 1\r\nls , 李四 , 2\r\n\r\nxt , 小图 , 3\r\n").toUtf8());
    share.write(QStringLiteral("share/picture/张三.jpg"), jpeg(120, 150));
    share.write(QStringLiteral("share/picture/小图.jpg"), jpeg(40, 30));
    QFile::copy(QStringLiteral(":/quvex/none_photo.png"), share.locations().placeholderPhoto());
    TForm_quvex form(share.locations(), share.config());
    form.LoadPhoneDirectory();
    form.show();
    auto* combo = form.findChild<QComboBox*>(QStringLiteral("ComboBox_userinfo"));
    auto* photo = form.findChild<QLabel*>(QStringLiteral("Image_show"));
    const qint64 defaultPicture = photo->pixmap().cacheKey();

    // Backspace counts as a change: the first line's photo replaces the default picture.
    QTest::keyClick(combo, Qt::Key_Backspace);
    QCOMPARE(photo->pixmap().size(), QSize(52, 66));
    QVERIFY(photo->pixmap().cacheKey() != defaultPicture);
    combo->setCurrentIndex(1); // no photo: the placeholder, scaled into the area
    const QSize placeholder = photo->pixmap().size();
    QVERIFY(placeholder.width() <= 80 && placeholder.height() <= 66);
    combo->setCurrentIndex(3); // smaller than the area: its own size
    QCOMPARE(photo->pixmap().size(), QSize(40, 30));
    combo->setCurrentIndex(2); // the empty line: the placeholder
    QCOMPARE(photo->pixmap().size(), placeholder);

    // A photo seen before is not decoded again, unless its file changed.
    combo->setCurrentIndex(0);
    const qint64 firstPhoto = photo->pixmap().cacheKey();
    combo->setCurrentIndex(1);
    combo->setCurrentIndex(0);
    QCOMPARE(photo->pixmap().cacheKey(), firstPhoto);
    share.write(QStringLiteral("share/picture/张三.jpg"), jpeg(60, 60));
    combo->setCurrentIndex(1);
    combo->setCurrentIndex(0);
    QCOMPARE(photo->pixmap().size(), QSize(60, 60));
}

void TestMainWindow::corruptPhotoKeepsThePreviousPicture() {
    const TempShare share;
    share.write(QStringLiteral("program/tel_data.ini"),
                QStringLiteral("a , 好 , 1\r\nzs , 张三 , 2\r\n").toUtf8());
    share.write(QStringLiteral("share/picture/好.jpg"), jpeg(80, 66));
    const QString corrupt =
        share.write(QStringLiteral("share/picture/张三.jpg"), "\xFF\xD8\xFF broken");
    TForm_quvex form(share.locations(), share.config());
    form.LoadPhoneDirectory();
    form.show();
    auto* combo = form.findChild<QComboBox*>(QStringLiteral("ComboBox_userinfo"));
    auto* photo = form.findChild<QLabel*>(QStringLiteral("Image_show"));
    QTest::keyClick(combo, Qt::Key_Backspace);
    const qint64 before = photo->pixmap().cacheKey();

    const MessageBoxRecorder boxes;
    QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(combo->currentIndex(), 1);
    QImageReader reader(corrupt, "jpeg");
    QVERIFY(reader.read().isNull());
    QCOMPARE(boxes.texts(), QStringList{reader.errorString() + u'.'});
    QCOMPARE(photo->pixmap().cacheKey(), before);
}

void TestMainWindow::headerButtonsAndPhotoClick() {
    const TempShare share;
    share.write(QStringLiteral("program/tel_data.ini"),
                QStringLiteral("zs , 张三 , 2\r\n").toUtf8());
    share.write(QStringLiteral("share/picture/张三.jpg"), jpeg(80, 66));
    const RecordingDesktop desktop;
    TForm_quvex form(share.locations(), share.config());
    form.LoadPhoneDirectory();
    form.show();
    // The photo opens although the header still shows the default picture.
    QTest::mouseClick(form.findChild<QLabel*>(QStringLiteral("Image_show")), Qt::LeftButton);
    QCOMPARE(desktop.settledCalls().first(),
             (QStringList{"xdg-open",
                          share.locations().shareRoot + QStringLiteral("picture/张三.jpg")}));
    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("Button2")), Qt::LeftButton);
    QCOMPARE(desktop.settledCalls().last(),
             (QStringList{"xdg-open",
                          share.locations().programFolder + QStringLiteral("FSCapture.exe")}));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
