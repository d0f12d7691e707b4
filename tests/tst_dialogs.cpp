#include "MessageBoxRecorder.h"
#include "QtTranslations.h"
#include "QuitRequest.h"
#include "RecordingDesktop.h"
#include "TempShare.h"
#include "UnitAddLink.h"
#include "UnitMain.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStringDecoder>
#include <QTest>
#include <QToolButton>
#include <QTranslator>

using namespace quvex;
using namespace quvex::test;

namespace {

QString decoded(const QByteArray& bytes) {
    return QStringDecoder("GB18030")(bytes);
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void addLinkProposesOncePerName();
    void addLinkReportsAnUnwritableShare();
    void addLinkFileChooserFillsThePath();
    void addLinkIgnoresEnterAndEsc_data();
    void addLinkIgnoresEnterAndEsc();
    void addLinkRefusesAnEmptyName_data();
    void addLinkRefusesAnEmptyName();
    void qtTextsAreChinese_data();
    void qtTextsAreChinese();
    void changeRequestsAreFiled();
    void photoFolderAndRestart();
};

void TestDialogs::initTestCase() {
    QApplication::setApplicationName(QStringLiteral("quvex"));
}

void TestDialogs::init() {
    clearQuitRequest();
}

void TestDialogs::addLinkProposesOncePerName() {
    const TempShare share;
    share.write(QStringLiteral("share/link_data.ini"), "[Docs]\r\nnews=http://old/\r\n");
    TFormAddLink dialog(share.locations(), share.config());
    dialog.show();
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("LabeledEditLinkName"));
    auto* url = dialog.findChild<QLineEdit*>(QStringLiteral("LabeledEditURL"));
    auto* add = dialog.findChild<QPushButton*>(QStringLiteral("Button2"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("添加链接"));
    QCOMPARE(add->text(), QStringLiteral("添加"));

    const MessageBoxRecorder boxes;
    name->setText(QStringLiteral("news")); // in another section only: accepted
    url->setText(QStringLiteral("\\\\fs\\新闻\\"));
    QTest::mouseClick(add, Qt::LeftButton);
    url->setText(QStringLiteral("http://other/"));
    QTest::mouseClick(add, Qt::LeftButton); // already pending: refused
    QCOMPARE(boxes.texts(),
             (QStringList{"添加成功，等待审核!", "已有相同的链接名，请更换链接名称"}));
    QCOMPARE(decoded(TempShare::read(share.locations().sharedLinkList())),
             QStringLiteral("[Docs]\r\nnews=http://old/\r\n[待审核]\r\nnews=\\\\fs\\新闻\\\r\n"));
    QVERIFY(dialog.isVisible());
    QCOMPARE(name->text(), QStringLiteral("news"));
}

void TestDialogs::addLinkReportsAnUnwritableShare() {
    TempShare share;
    Locations offline = share.locations();
    offline.shareRoot = share.path(QStringLiteral("unmounted/"));
    TFormAddLink dialog(offline, share.config());
    dialog.findChild<QLineEdit*>(QStringLiteral("LabeledEditLinkName"))
        ->setText(QStringLiteral("x"));
    const MessageBoxRecorder boxes;
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("Button2")), Qt::LeftButton);
    QCOMPARE(boxes.texts(),
             QStringList{QStringLiteral("Unable to write to ") + offline.sharedLinkList() +
                         QStringLiteral(": No such file or directory.")});
    QCOMPARE(boxes.boxes().first().objectName, QStringLiteral("ErrorBox"));
}

void TestDialogs::addLinkFileChooserFillsThePath() {
    const TempShare share;
    const QString chosen = share.write(QStringLiteral("docs/员工手册.doc"), "x");
    TFormAddLink dialog(share.locations(), share.config());
    dialog.show();
    auto* url = dialog.findChild<QLineEdit*>(QStringLiteral("LabeledEditURL"));
    auto* choose = dialog.findChild<QToolButton*>(QStringLiteral("SpeedButton1"));
    url->setText(QStringLiteral("http://typed/"));
    const auto answer = [&](bool accept) {
        QTimer::singleShot(0, [&, accept] {
            auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(chooser);
            if (!accept)
                return chooser->reject();
            chooser->selectFile(chosen);
            static_cast<QDialog*>(chooser)->accept(); // as its "Open" button does
        });
        QTest::mouseClick(choose, Qt::LeftButton);
    };
    answer(false); // cancelled: the typed path stays
    QCOMPARE(url->text(), QStringLiteral("http://typed/"));
    answer(true);
    QCOMPARE(url->text(), chosen);
}

void TestDialogs::addLinkIgnoresEnterAndEsc_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("key");
    QTest::newRow("Enter in the name") << "LabeledEditLinkName" << int(Qt::Key_Return);
    QTest::newRow("Enter in the path") << "LabeledEditURL" << int(Qt::Key_Return);
    QTest::newRow("keypad Enter in the path") << "LabeledEditURL" << int(Qt::Key_Enter);
    QTest::newRow("Esc in the name") << "LabeledEditLinkName" << int(Qt::Key_Escape);
}

void TestDialogs::addLinkIgnoresEnterAndEsc() {
    QFETCH(QString, field);
    QFETCH(int, key);
    const TempShare share;
    TForm_quvex form(share.locations(), share.config());
    TFormAddLink dialog(share.locations(), share.config(), &form);
    form.setAddLinkDialog(&dialog);
    const MessageBoxRecorder boxes;
    bool stillOpen = false;
    QTimer::singleShot(0, [&] {
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.findChild<QLineEdit*>(QStringLiteral("LabeledEditLinkName"))
            ->setText(QStringLiteral("新闻"));
        dialog.findChild<QLineEdit*>(QStringLiteral("LabeledEditURL"))
            ->setText(QStringLiteral("http://n/"));
        auto* edit = dialog.findChild<QLineEdit*>(field);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key(key));
        stillOpen = dialog.isVisible();
        dialog.close(); // the close box
    });
    form.findChild<QAction*>(QStringLiteral("N1"))->trigger(); // shows it modally
    QVERIFY(stillOpen);
    QVERIFY(boxes.boxes().isEmpty());
    QVERIFY(!QFile::exists(share.locations().sharedLinkList()));
    QVERIFY(quitRequested()); // closing it restarts, as the close box always does
}

void TestDialogs::addLinkRefusesAnEmptyName_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("empty") << "";
    QTest::newRow("blanks") << "  \t ";
}

void TestDialogs::addLinkRefusesAnEmptyName() {
    QFETCH(QString, name);
    const TempShare share;
    TFormAddLink dialog(share.locations(), share.config());
    dialog.show();
    dialog.findChild<QLineEdit*>(QStringLiteral("LabeledEditLinkName"))->setText(name);
    dialog.findChild<QLineEdit*>(QStringLiteral("LabeledEditURL"))
        ->setText(QStringLiteral("http://n/"));
    const MessageBoxRecorder boxes;
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("Button2")), Qt::LeftButton);
    QCOMPARE(boxes.texts(), QStringList{QStringLiteral("请输入链接名称")});
    QVERIFY(!QFile::exists(share.locations().sharedLinkList()));
}

void TestDialogs::qtTextsAreChinese_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("zh_CN") << QLocale(QLocale::Chinese, QLocale::China);
    QTest::newRow("C") << QLocale::c();
}

void TestDialogs::qtTextsAreChinese() {
    QFETCH(QLocale, locale);
    QVERIFY2(installQtTranslations(*QCoreApplication::instance(), locale),
             "Qt's Chinese translation (qt6-translations-l10n) is missing");
    QMessageBox box(QMessageBox::Critical, QStringLiteral("quvex"), QStringLiteral("x"),
                    QMessageBox::Ok);
    QCOMPARE(box.button(QMessageBox::Ok)->text(), QStringLiteral("确定"));
    QFileDialog chooser;
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    const QStringList texts = [&] {
        QStringList all;
        for (const QLabel* label : chooser.findChildren<QLabel*>())
            all << label->text();
        return all;
    }();
    QVERIFY2(texts.contains(QStringLiteral("查看:")) ||
                 texts.contains(QStringLiteral("查找范围：")) ||
                 !texts.filter(QStringLiteral("文件名")).isEmpty(),
             qPrintable(texts.join(u'|')));
    for (QTranslator* translator : QCoreApplication::instance()->findChildren<QTranslator*>())
        QCoreApplication::removeTranslator(translator);
}

void TestDialogs::changeRequestsAreFiled() {
    const TempShare share;
    share.write(QStringLiteral("program/tel_data.ini"),
                QStringLiteral("zs , 张三 , 8001\r\n").toUtf8());
    TForm_quvex form(share.locations(), share.config());
    form.LoadPhoneDirectory();
    MessageBoxRecorder boxes;
    boxes.answerNextInput(QStringLiteral("zs , 张三 , 8002"));
    form.findChild<QAction*>(QStringLiteral("ss1"))->trigger();
    form.findChild<QAction*>(QStringLiteral("ssss1"))
        ->trigger(); // cancelled: the template is filed
    QCOMPARE(boxes.texts(), (QStringList{"格式如下：", "修改成功，等待审核!", "格式如下：",
                                         "添加成功，等待审核!"}));

    const QString text = decoded(TempShare::read(share.locations().changeRequests()));
    QVERIFY2(text.contains(QStringLiteral("=zs , 张三 , 8001 :=>: zs , 张三 , 8002\r\n")),
             qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("=拼音简写  , 中文名 , 内线 , 手机 , 邮箱\r\n")),
             qPrintable(text));
    QVERIFY(text.startsWith(QStringLiteral("[修改]\r\n")));
    QVERIFY(text.contains(QStringLiteral("\r\n[添加]\r\n")));
}

void TestDialogs::photoFolderAndRestart() {
    const TempShare share;
    const RecordingDesktop desktop;
    TForm_quvex form(share.locations(), share.config());
    form.findChild<QAction*>(QStringLiteral("N2"))->trigger();
    QCOMPARE(desktop.settledCalls().first(),
             (QStringList{"xdg-open", share.locations().shareRoot + QStringLiteral("picture/")}));

    // Closing the add-link dialog, whatever was done in it, restarts the program.
    TFormAddLink dialog(share.locations(), share.config(), &form);
    form.setAddLinkDialog(&dialog);
    QTimer::singleShot(0, [&dialog] {
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("Button1")),
                          Qt::LeftButton);
    });
    QVERIFY(!quitRequested());
    form.findChild<QAction*>(QStringLiteral("N1"))->trigger();
    QVERIFY(!dialog.isVisible());
    QVERIFY(quitRequested());
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
