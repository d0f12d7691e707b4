// The Linux realisation of the shell and the desktop: which program stands for a target, and the
// desktop entries that stand for shell links and autostart values.
#include "DesktopEntry.h"
#include "ShellLinux.h"

#include <QTest>

using namespace quvex;

class TestLinuxDesktop : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void resolveShellCommand_data();
    void resolveShellCommand();
    void desktopEntryQuotesTheProgram();
};

void TestLinuxDesktop::resolveShellCommand_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("parameters");
    QTest::addColumn<QStringList>("available"); // programs on PATH
    QTest::addColumn<QStringList>("expected");  // program and arguments; empty: nothing starts

    const QStringList desktop{"xdg-open", "xdg-email"};
    QTest::newRow("web address") << "http://oa.example.com/a?b=1&c=2#top"
                                 << "" << desktop
                                 << QStringList{"xdg-open", "http://oa.example.com/a?b=1&c=2#top"};
    const QString mail = QStringLiteral("mailto:values@example.com?cc=hr@example.com&subject="
                                        "values [客户]:1.尊重客户; 张 三&李#四,好");
    QTest::newRow("raw mail link") << mail << "" << desktop << QStringList{"xdg-open", mail};
    QTest::newRow("UNC file") << "\\\\files.example.com\\公共\\员工 手册.doc"
                              << "" << desktop
                              << QStringList{"xdg-open",
                                             "smb://files.example.com/%E5%85%AC%E5%85%B1/"
                                             "%E5%91%98%E5%B7%A5%20%E6%89%8B%E5%86%8C.doc"};
    QTest::newRow("UNC folder") << "\\\\files.example.com\\行政部\\"
                                << "" << desktop
                                << QStringList{
                                       "xdg-open",
                                       "smb://files.example.com/%E8%A1%8C%E6%94%BF%E9%83%A8/"};
    QTest::newRow("UNC server root")
        << "\\\\files.example.com\\"
        << "" << desktop << QStringList{"xdg-open", "smb://files.example.com/"};
    QTest::newRow("program from the table") << "outlook.exe"
                                            << "" << desktop << QStringList{"xdg-email"};
    QTest::newRow("program name in capitals") << "OUTLOOK.EXE"
                                              << "" << desktop << QStringList{"xdg-email"};
    QTest::newRow("office program")
        << "EXCEL.EXE"
        << "" << QStringList{"libreoffice"} << QStringList{"libreoffice", "--calc"};
    QTest::newRow("first available candidate")
        << "taskmgr.exe"
        << "" << QStringList{"xfce4-taskmanager", "plasma-systemmonitor"}
        << QStringList{"plasma-systemmonitor"};
    QTest::newRow("control panel") << "intl.cpl"
                                   << "" << QStringList{"systemsettings"}
                                   << QStringList{"systemsettings", "kcm_regionandlang"};
    QTest::newRow("browser with a parameter")
        << "iexplore.exe"
        << "http://oa.example.com/" << desktop << QStringList{"xdg-open", "http://oa.example.com/"};
    QTest::newRow("browser without a parameter")
        << "iexplore.exe"
        << "" << QStringList{"sensible-browser"} << QStringList{"sensible-browser"};
    QTest::newRow("file manager") << "explorer.exe"
                                  << "" << desktop << QStringList{"xdg-open", "/home/someone"};
    QTest::newRow("other program found on PATH")
        << "C:\\Tools\\FSCapture.exe"
        << "" << QStringList{"FSCapture", "xdg-open"} << QStringList{"FSCapture"};
    QTest::newRow("other program, not on PATH")
        << "FSCapture.exe"
        << "" << desktop << QStringList{"xdg-open", "FSCapture.exe"};
    QTest::newRow("program with no stand-in here") << "taskmgr.exe"
                                                   << "" << desktop << QStringList{};
    QTest::newRow("no xdg-open") << "http://x/"
                                 << "" << QStringList{} << QStringList{};
}

void TestLinuxDesktop::resolveShellCommand() {
    QFETCH(QString, target);
    QFETCH(QString, parameters);
    QFETCH(QStringList, available);
    QFETCH(QStringList, expected);
    const auto find = [&](const QString& name) {
        return available.contains(name) ? QStringLiteral("/bin/") + name : QString();
    };
    const std::optional<ShellCommand> command =
        quvex::resolveShellCommand(target, parameters, find, QStringLiteral("/home/someone"));
    if (expected.isEmpty()) {
        QVERIFY(!command);
        return;
    }
    QVERIFY(command);
    QCOMPARE(command->program, QStringLiteral("/bin/") + expected.first());
    QCOMPARE(command->arguments, expected.mid(1));
}

void TestLinuxDesktop::desktopEntryQuotesTheProgram() {
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

QTEST_GUILESS_MAIN(TestLinuxDesktop)
#include "tst_linuxdesktop.moc"
