#include "Error.h"
#include "MessageBoxRecorder.h"
#include "MessageBoxes.h"
#include "Program.h"
#include "QuitRequest.h"
#include "StartSequence.h"
#include "TempShare.h"
#include "UnitAddLink.h"
#include "UnitMain.h"
#include "UnitUpdate.h"

#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QTest>
#include <QTimer>

using namespace quvex;
using quvex::test::MessageBoxRecorder;
using quvex::test::TempShare;

namespace {

QString autostartEntry() {
    return QDir::homePath() + QStringLiteral("/.config/autostart/quvex网址导航.desktop");
}

QString desktopShortcut() {
    return QDir::homePath() + QStringLiteral("/Desktop/QUVEX.desktop");
}

void writeAutostartEntry() {
    QDir().mkpath(QFileInfo(autostartEntry()).path());
    QFile entry(autostartEntry());
    QVERIFY(entry.open(QIODevice::WriteOnly));
    entry.write("[Desktop Entry]\nType=Application\nExec=/opt/quvex/quvex\n");
}

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void errorBoxFullStop_data();
    void errorBoxFullStop();
    void applicationTitle_data();
    void applicationTitle();
    void failingStepSkipsTheRestWithOneErrorBox();
    void errorBoxCarriesTitleAndIcon();
    void missingPhoneDirectoryAtStart();
    void completeStart();
    void quitRequestedDuringStartEndsTheLoopAtOnce();
};

void TestStartup::initTestCase() {
    QApplication::setApplicationName(QStringLiteral("quvex"));
}

void TestStartup::init() {
    clearQuitRequest();
    QDir(QDir::homePath() + QStringLiteral("/Desktop")).removeRecursively();
    QDir().mkpath(QDir::homePath() + QStringLiteral("/Desktop"));
    QFile::remove(autostartEntry());
}

void TestStartup::errorBoxFullStop_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("letter") << "Unable to write to /s/x.ini"
                            << "Unable to write to /s/x.ini.";
    QTest::newRow("full stop") << "Done."
                               << "Done.";
    QTest::newRow("blank") << "trailing "
                           << "trailing ";
    QTest::newRow("dash") << "a-"
                          << "a-";
    QTest::newRow("quote") << "Invalid data type for 'quvex网址导航'"
                           << "Invalid data type for 'quvex网址导航'";
    QTest::newRow("parenthesis") << "List index out of bounds (-1)"
                                 << "List index out of bounds (-1)";
    QTest::newRow("slash (47)") << "path/"
                                << "path/.";
    QTest::newRow("digit") << "code 5"
                           << "code 5.";
    QTest::newRow("Chinese") << "无法连接"
                             << "无法连接.";
}

void TestStartup::errorBoxFullStop() {
    QFETCH(QString, message);
    QTEST(errorBoxText(message), "shown");
}

void TestStartup::applicationTitle_data() {
    QTest::addColumn<QString>("executable");
    QTest::addColumn<QString>("title");
    QTest::newRow("quvex.exe") << "quvex.exe"
                               << "quvex";
    QTest::newRow("u.exe") << "u.exe"
                           << "u";
    QTest::newRow("QUVEX.EXE") << "QUVEX.EXE"
                               << "Quvex";
    QTest::newRow("my.tool.exe") << "my.tool.exe"
                                 << "my";
    QTest::newRow("quvex") << "quvex"
                           << "quvex";
}

void TestStartup::applicationTitle() {
    QFETCH(QString, executable);
    QTEST(applicationTitleFor(executable), "title");
}

void TestStartup::failingStepSkipsTheRestWithOneErrorBox() {
    const MessageBoxRecorder boxes;
    QStringList ran;
    const int completed = runStartSequence({
        [&] { ran << QStringLiteral("one"); },
        [&] {
            ran << QStringLiteral("two");
            throw Error(QStringLiteral("broken"));
        },
        [&] { ran << QStringLiteral("three"); },
    });
    QCOMPARE(completed, 1);
    QCOMPARE(ran, (QStringList{QStringLiteral("one"), QStringLiteral("two")}));
    QCOMPARE(boxes.texts(), QStringList{QStringLiteral("broken.")});
}

void TestStartup::errorBoxCarriesTitleAndIcon() {
    const MessageBoxRecorder boxes;
    ErrorBox(QStringLiteral("x"));
    InfoBox(QStringLiteral("添加成功，等待审核!"));
    QCOMPARE(boxes.boxes().size(), 2);
    QCOMPARE(boxes.boxes()[0].objectName, QStringLiteral("ErrorBox"));
    QCOMPARE(boxes.boxes()[0].title, QStringLiteral("quvex"));
    QCOMPARE(boxes.boxes()[1].objectName, QStringLiteral("InfoBox"));
    QCOMPARE(boxes.boxes()[1].text, QStringLiteral("添加成功，等待审核!"));
}

void TestStartup::missingPhoneDirectoryAtStart() {
    const TempShare share;
    share.write(QStringLiteral("share/link_data.ini"), "[a]\r\nx=http://x/\r\n");
    writeAutostartEntry();
    const MessageBoxRecorder boxes;
    const auto program = createProgram(share.locations(), share.config());

    QCOMPARE(boxes.texts(),
             QStringList{QStringLiteral("Cannot open file \"%1\". No such file or directory.")
                             .arg(share.locations().localPhoneDirectory())});
    QVERIFY(program->mainWindow->findChildren<QGroupBox*>(QStringLiteral("LinkGroup")).isEmpty());
    QVERIFY(!QFile::exists(desktopShortcut()));
    QVERIFY(QFile::exists(autostartEntry()));
    QVERIFY(program->addLinkDialog && !program->addLinkDialog->isVisible());
}

void TestStartup::completeStart() {
    const TempShare share;
    share.write(QStringLiteral("share/link_data.ini"), "[a]\r\nx=http://x/\r\n[b]\r\n");
    share.write(QStringLiteral("share/tel_data.ini"), "zs , 张三 , 8001\r\n");
    writeAutostartEntry();
    const MessageBoxRecorder boxes;
    const auto program = createProgram(share.locations(), share.config());

    QVERIFY2(boxes.boxes().isEmpty(), qPrintable(boxes.texts().join(u'\n')));
    QCOMPARE(program->mainWindow->findChildren<QGroupBox*>(QStringLiteral("LinkGroup")).size(), 2);
    QVERIFY(QFile::exists(share.locations().localPhoneDirectory()));
    QVERIFY(QFile::exists(desktopShortcut()));
    QVERIFY(!QFile::exists(autostartEntry()));
    QVERIFY(!quitRequested());
}

void TestStartup::quitRequestedDuringStartEndsTheLoopAtOnce() {
    bool timedOut = false;
    QTimer::singleShot(10000, [&] {
        timedOut = true;
        QCoreApplication::exit(1);
    });
    RequestQuit();
    QVERIFY(quitRequested());
    // A message box later in the start sequence may deliver the queued quit in its own loop;
    // the program's loop still ends at once.
    QCoreApplication::processEvents();
    QCOMPARE(runEventLoop(), 0);
    QVERIFY(!timedOut);
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
