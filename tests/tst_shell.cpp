#include "DesktopEntry.h"
#include "FileSystem.h"
#include "RecordingDesktop.h"
#include "Shell.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace quvex;
using quvex::test::RecordingDesktop;

class TestShell : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void shellOpenHandsTheTargetOver_data();
    void shellOpenHandsTheTargetOver();
    void shellOpenIsSilentWhenNothingCanOpen();
    void copyKeepsTimeAndPermissions();
    void copyFailsWithoutHarm();
    void existenceTests();
    void desktopEntryQuotesTheProgram();
};

void TestShell::shellOpenHandsTheTargetOver_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("parameters");
    QTest::addColumn<QStringList>("expected");

    const QString open = QStringLiteral("xdg-open");
    QTest::newRow("web address") << "http://oa.example.com/a?b=1&c=2#top"
                                 << "" << QStringList{open, "http://oa.example.com/a?b=1&c=2#top"};
    const QString mail = QStringLiteral("mailto:values@example.com?cc=hr@example.com&subject="
                                        "values [客户]:1.尊重客户; 张 三&李#四,好");
    QTest::newRow("raw mail link") << mail << "" << QStringList{open, mail};
    QTest::newRow("UNC file") << "\\\\files.example.com\\公共\\员工 手册.doc"
                              << ""
                              << QStringList{open, "smb://files.example.com/%E5%85%AC%E5%85%B1/"
                                                   "%E5%91%98%E5%B7%A5%20%E6%89%8B%E5%86%8C.doc"};
    QTest::newRow("UNC folder")
        << "\\\\files.example.com\\行政部\\"
        << "" << QStringList{open, "smb://files.example.com/%E8%A1%8C%E6%94%BF%E9%83%A8/"};
    QTest::newRow("UNC server root") << "\\\\files.example.com\\"
                                     << "" << QStringList{open, "smb://files.example.com/"};
    QTest::newRow("program from the table") << "outlook.exe"
                                            << "" << QStringList{QStringLiteral("xdg-email")};
    QTest::newRow("program name in capitals") << "OUTLOOK.EXE"
                                              << "" << QStringList{QStringLiteral("xdg-email")};
    QTest::newRow("browser with a parameter")
        << "iexplore.exe"
        << "http://oa.example.com/" << QStringList{open, "http://oa.example.com/"};
    QTest::newRow("file manager") << "explorer.exe"
                                  << "" << QStringList{open, QDir::homePath()};
    QTest::newRow("unknown program name") << "FSCapture.exe"
                                          << "" << QStringList{open, "FSCapture.exe"};
    QTest::newRow("program with no stand-in here") << "taskmgr.exe"
                                                   << "" << QStringList{};
}

void TestShell::shellOpenHandsTheTargetOver() {
    QFETCH(QString, target);
    QFETCH(QString, parameters);
    QFETCH(QStringList, expected);
    const RecordingDesktop desktop;
    ShellOpen(target, parameters);
    // A marker call shows when everything started has been recorded (in any order).
    const QStringList marker{QStringLiteral("xdg-open"), QStringLiteral("http://marker/")};
    ShellOpen(marker.last());
    QList<QStringList> calls = desktop.waitForCalls(expected.isEmpty() ? 1 : 2);
    QVERIFY(calls.removeOne(marker));
    QCOMPARE(calls, expected.isEmpty() ? QList<QStringList>{} : QList<QStringList>{expected});
}

void TestShell::shellOpenIsSilentWhenNothingCanOpen() {
    const QTemporaryDir empty;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(empty.path()));
    ShellOpen(QStringLiteral("http://example.com/"));
    ShellOpen(QStringLiteral("\\\\files.example.com\\x"));
    ShellOpen(QStringLiteral("outlook.exe"));
    qputenv("PATH", path);
}

void TestShell::copyKeepsTimeAndPermissions() {
    const QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("source"));
    const QString target = dir.filePath(QStringLiteral("target"));
    QFile file(source);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("new contents");
    file.close();
    const QDateTime written = QDateTime(QDate(2024, 3, 5), QTime(10, 20, 31), Qt::UTC);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(written, QFileDevice::FileModificationTime));
    file.close();
    QFile::setPermissions(source, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile old(target);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("older and longer contents");
    old.close();

    QVERIFY(CopyFile(source, target));
    QFile copy(target);
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), QByteArray("new contents"));
    QCOMPARE(GetFileTimes(target)->lastWrite, written);
    QVERIFY(QFileInfo(target).isExecutable());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2); // no temporary file left
}

void TestShell::copyFailsWithoutHarm() {
    const QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("source"));
    QFile file(source);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("x");
    file.close();
    QVERIFY(!CopyFile(dir.filePath(QStringLiteral("missing")), dir.filePath(QStringLiteral("t"))));
    QVERIFY(!CopyFile(source, dir.filePath(QStringLiteral("no/such/folder/t"))));
    QVERIFY(!CopyFile(dir.path(), dir.filePath(QStringLiteral("t"))));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("source")});
}

void TestShell::existenceTests() {
    const QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("file"));
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    QVERIFY(FileExists(file));
    QVERIFY(!FileExists(dir.path()));
    QVERIFY(!FileExists(dir.filePath(QStringLiteral("missing"))));
    QVERIFY(DirectoryExists(dir.path()));
    QVERIFY(DirectoryExists(dir.path() + u'/'));
    QVERIFY(!DirectoryExists(file));
    QVERIFY(!DirectoryExists(dir.filePath(QStringLiteral("missing/"))));
    QVERIFY(!GetFileTimes(dir.filePath(QStringLiteral("missing"))));
}

void TestShell::desktopEntryQuotesTheProgram() {
    const QByteArray text = desktopEntryText(
        {QStringLiteral("QUVEX"), QStringLiteral("QUVEX --Pelko"),
         QStringLiteral("/opt/my tools/quvex$1\\x"), QStringLiteral("/opt/my tools/")});
    QVERIFY(isDesktopEntry(text));
    QCOMPARE(desktopEntryValue(text, QStringLiteral("Exec")),
             QStringLiteral("\"/opt/my tools/quvex\\\\$1\\\\\\\\x\""));
    QCOMPARE(desktopEntryValue(text, QStringLiteral("Path")), QStringLiteral("/opt/my tools/"));
    QCOMPARE(desktopEntryValue(text, QStringLiteral("Comment")), QStringLiteral("QUVEX --Pelko"));
    QVERIFY(!isDesktopEntry("[Other]\nExec=x\n"));
    QVERIFY(!isDesktopEntry("\x01\x02 garbage"));
}

QTEST_GUILESS_MAIN(TestShell)
#include "tst_shell.moc"
