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
    void shellOpenStartsTheResolvedProgram();
    void shellOpenIsSilentWhenNothingCanOpen();
    void copyKeepsTimeAndPermissions();
    void copyFailsWithoutHarm();
    void existenceTests();
};

void TestShell::shellOpenStartsTheResolvedProgram() {
    // Which program stands for a target is a table of its own; here the real start, exact text.
    const RecordingDesktop desktop;
    const QString mail = QStringLiteral("mailto:values@example.com?cc=hr@example.com&subject="
                                        "values [客户]:1.尊重客户; 张 三&李#四,好");
    ShellOpen(mail);
    ShellOpen(QStringLiteral("\\\\files.example.com\\公共\\"));
    ShellOpen(QStringLiteral("iexplore.exe"), QStringLiteral("http://oa.example.com/"));
    ShellOpen(QStringLiteral("taskmgr.exe")); // no stand-in here: nothing starts
    QList<QStringList> calls = desktop.settledCalls();
    std::sort(calls.begin(), calls.end()); // detached programs may record in any order
    QCOMPARE(calls, (QList<QStringList>{
                        {"xdg-open", "http://oa.example.com/"},
                        {"xdg-open", mail},
                        {"xdg-open", "smb://files.example.com/%E5%85%AC%E5%85%B1/"},
                    }));
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
    QCOMPARE(fileTimes(target)->lastWrite, written);
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
    QVERIFY(!fileTimes(dir.filePath(QStringLiteral("missing"))));
}

QTEST_GUILESS_MAIN(TestShell)
#include "tst_shell.moc"
