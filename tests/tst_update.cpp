#include "Error.h"
#include "MessageBoxRecorder.h"
#include "QuitRequest.h"
#include "TempShare.h"
#include "UnitUpdate.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

using namespace quvex;
using quvex::test::TempShare;

namespace {

void setLastWrite(const QString& path, const QDateTime& local) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(local, QFileDevice::FileModificationTime));
}

QString desktopFolder() {
    return QDir::homePath() + QStringLiteral("/Desktop");
}

QString autostartEntryPath() {
    return QDir::homePath() + QStringLiteral("/.config/autostart/quvex网址导航.desktop");
}

// Executables of running processes whose program file lies in folder.
QStringList runningFrom(const QString& folder) {
    QStringList found;
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        const QString exe = QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid));
        if (exe.startsWith(folder))
            found << pid + u' ' + exe.mid(folder.size());
    }
    return found;
}

} // namespace

class TestUpdate : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fileDateTime();
    void updateDecision_data();
    void updateDecision();
    void dataFilesAreRefreshedKeepingTheirTime();
    void unreachableShareIsSilent();
    void shortcutPointsAtTheRunningExecutable();
    void autostartEntry_data();
    void autostartEntry();
    void carrierWhoseCopyFailsRunsOn();
    void handOverToANewerBuild();
};

void TestUpdate::fileDateTime() {
    const TempShare share;
    const QString file = share.write(QStringLiteral("file"), "x");
    setLastWrite(file, QDateTime(QDate(2024, 3, 5), QTime(10, 20, 31)));
    QCOMPARE(GetFileDateTime(file, FileTimeKind::LastWrite),
             dateTimeValue(QDateTime(QDate(2024, 3, 5), QTime(10, 20, 30))));
    QCOMPARE(GetFileDateTime(share.path(QStringLiteral("missing")), FileTimeKind::LastWrite),
             36526.0);
    QCOMPARE(dateTimeValue(QDateTime(QDate(1899, 12, 30), QTime(12, 0))), 0.5);
    // Outside the DOS range: clamped to its ends.
    QCOMPARE(dosDateTimeValue(QDateTime(QDate(1970, 1, 1), QTime(0, 0))),
             dateTimeValue(QDateTime(QDate(1980, 1, 1), QTime(0, 0))));
    QCOMPARE(dosDateTimeValue(QDateTime(QDate(2200, 1, 1), QTime(0, 0))),
             dateTimeValue(QDateTime(QDate(2107, 12, 31), QTime(23, 59, 58))));
    QVERIFY(GetFileDateTime(file, FileTimeKind::Creation) > 36526.0);
    QVERIFY(GetFileDateTime(file, FileTimeKind::LastAccess) > 36526.0);
}

void TestUpdate::updateDecision_data() {
    QTest::addColumn<QString>("running");
    QTest::addColumn<int>("localSecond"); // -1: the share has no program
    QTest::addColumn<int>("sharedSecond");
    QTest::addColumn<UpdateAction>("action");
    QTest::newRow("same time") << "quvex" << 10 << 10 << UpdateAction::RunNormally;
    QTest::newRow("one second apart, same DOS step")
        << "quvex" << 10 << 11 << UpdateAction::RunNormally;
    QTest::newRow("local newer") << "quvex" << 20 << 10 << UpdateAction::RunNormally;
    QTest::newRow("share newer") << "quvex" << 10 << 12 << UpdateAction::HandOverToCarrier;
    QTest::newRow("share missing") << "quvex" << 10 << -1 << UpdateAction::RunNormally;
    QTest::newRow("running as the carrier") << "u" << 10 << 10 << UpdateAction::InstallFromCarrier;
    QTest::newRow("carrier name in capitals") << "U" << 10 << 12 << UpdateAction::HandOverToCarrier;
    QTest::newRow("renamed program") << "my-quvex" << 10 << 12 << UpdateAction::HandOverToCarrier;
}

void TestUpdate::updateDecision() {
    QFETCH(QString, running);
    QFETCH(int, localSecond);
    QFETCH(int, sharedSecond);
    const TempShare share;
    const QString local = share.write(QStringLiteral("program/") + running, "old");
    setLastWrite(local, QDateTime(QDate(2025, 6, 1), QTime(8, 0, localSecond)));
    const QString shared = share.locations().sharedProgram();
    if (sharedSecond >= 0) {
        share.write(QStringLiteral("share/quvex"), "new");
        setLastWrite(shared, QDateTime(QDate(2025, 6, 1), QTime(8, 0, sharedSecond)));
    }
    const bool exists = QFile::exists(shared);
    QTEST(decideUpdate(running, share.locations().carrierFileName(), exists,
                       GetFileDateTime(shared, FileTimeKind::LastWrite),
                       GetFileDateTime(local, FileTimeKind::LastWrite)),
          "action");
}

void TestUpdate::dataFilesAreRefreshedKeepingTheirTime() {
    const TempShare share;
    const QDateTime written(QDate(2026, 1, 2), QTime(3, 4, 6));
    for (const char* name : {"link_data.ini", "tel_data.ini"}) {
        setLastWrite(share.write(QStringLiteral("share/") + QLatin1String(name), "shared"),
                     written);
        share.write(QStringLiteral("program/") + QLatin1String(name), "old local copy");
    }
    UpdateFromShare(share.locations());
    for (const QString& local :
         {share.locations().localLinkList(), share.locations().localPhoneDirectory()}) {
        QCOMPARE(TempShare::read(local), QByteArray("shared"));
        QCOMPARE(QFileInfo(local).lastModified(), written);
    }
}

void TestUpdate::unreachableShareIsSilent() {
    const TempShare share;
    Locations offline = share.locations();
    offline.shareRoot = share.path(QStringLiteral("unmounted/share/"));
    share.write(QStringLiteral("program/link_data.ini"), "[local]\r\n");
    const quvex::test::MessageBoxRecorder boxes;
    UpdateFromShare(offline);
    QCOMPARE(TempShare::read(offline.localLinkList()), QByteArray("[local]\r\n"));
    QVERIFY(boxes.boxes().isEmpty());
}

void TestUpdate::shortcutPointsAtTheRunningExecutable() {
    const TempShare share;
    QDir(desktopFolder()).removeRecursively();
    QDir().mkpath(desktopFolder());
    const QString link = desktopFolder() + QStringLiteral("/QUVEX.desktop");
    QFile old(link);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("[Desktop Entry]\nType=Application\nName=QUVEX\nExec=/elsewhere/quvex\n");
    old.close();

    Locations renamed = share.locations();
    renamed.executablePath = renamed.programFolder + QStringLiteral("my quvex");
    CreateDesktopShortcut(renamed);
    const QByteArray text = TempShare::read(link);
    QVERIFY2(text.contains("\nExec=\"" + QFile::encodeName(renamed.executablePath) + "\"\n"), text);
    QVERIFY(text.contains("\nPath=" + QFile::encodeName(renamed.programFolder) + "\n"));
    QVERIFY(text.contains("\nComment=QUVEX --Pelko\n"));
    QVERIFY(text.startsWith("[Desktop Entry]\n"));
    QVERIFY(QFileInfo(link).isExecutable());

    // No desktop folder at all: nothing happens, nothing is reported.
    QDir(desktopFolder()).removeRecursively();
    CreateDesktopShortcut(renamed);
    QVERIFY(!QFile::exists(link));
}

void TestUpdate::autostartEntry_data() {
    QTest::addColumn<QByteArray>("entry");
    QTest::addColumn<bool>("remains");
    QTest::addColumn<QString>("error");
    QTest::newRow("no entry") << QByteArray() << false << "";
    QTest::newRow("command: removed")
        << QByteArray("[Desktop Entry]\nType=Application\nExec=\"/opt/q/quvex\"\n") << false << "";
    QTest::newRow("empty command: left in place")
        << QByteArray("[Desktop Entry]\nType=Application\nExec=\n") << true << "";
    QTest::newRow("cannot be read")
        << QByteArray("folder") << true << "Failed to get data for 'quvex网址导航'";
    QTest::newRow("not a desktop entry") << QByteArray("\x7f"
                                                       "ELF binary")
                                         << true << "Invalid data type for 'quvex网址导航'";
}

void TestUpdate::autostartEntry() {
    QFETCH(QByteArray, entry);
    QFETCH(bool, remains);
    QFETCH(QString, error);
    QDir().mkpath(QFileInfo(autostartEntryPath()).path());
    QFile::remove(autostartEntryPath());
    QDir(autostartEntryPath()).removeRecursively();
    if (entry == "folder") {
        QVERIFY(QDir().mkpath(autostartEntryPath()));
    } else if (!entry.isNull()) {
        QFile file(autostartEntryPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(entry);
    }
    QString raised;
    try {
        RemoveAutostartEntry();
    } catch (const Error& e) {
        raised = e.message();
    }
    QCOMPARE(raised, error);
    QCOMPARE(QFile::exists(autostartEntryPath()), remains);
    QDir(autostartEntryPath()).removeRecursively();
}

void TestUpdate::carrierWhoseCopyFailsRunsOn() {
    const TempShare share;
    Locations carrier = share.locations();
    carrier.executablePath = share.write(QStringLiteral("program/u"), "carrier build");
    // A folder where the program file belongs: the copy onto it cannot land.
    QVERIFY(QDir().mkpath(carrier.localProgram()));
    clearQuitRequest();
    UpdateFromShare(carrier);
    QVERIFY(!quitRequested());
    QVERIFY(QFileInfo(carrier.localProgram()).isDir());
    QCOMPARE(QDir(carrier.programFolder).entryList(QDir::Files), QStringList{"u"});
}

void TestUpdate::handOverToANewerBuild() {
    const QString built = qEnvironmentVariable("HANDOVER_PROGRAM");
    const QString shareRoot = qEnvironmentVariable("HANDOVER_SHARE");
    QVERIFY2(QFile::exists(built),
             "HANDOVER_PROGRAM names the program built against the test share");
    QDir(shareRoot).removeRecursively();
    QVERIFY(QDir().mkpath(shareRoot));
    const QTemporaryDir programDir;
    const QString folder = programDir.path() + u'/';
    const QString installed = folder + QStringLiteral("quvex");

    // The installed build is old; the share holds a newer one with different bytes.
    QVERIFY(QFile::copy(built, installed));
    setLastWrite(installed, QDateTime(QDate(2024, 1, 1), QTime(9, 0)));
    QByteArray newer = TempShare::read(built) + "\n-- newer build --\n";
    QFile shared(shareRoot + QStringLiteral("quvex"));
    QVERIFY(shared.open(QIODevice::WriteOnly));
    shared.write(newer);
    shared.close();
    shared.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QDateTime sharedTime(QDate(2026, 11, 30), QTime(17, 45, 12));
    setLastWrite(shared.fileName(), sharedTime);
    QFile(shareRoot + QStringLiteral("tel_data.ini")).open(QIODevice::WriteOnly);
    QFile(shareRoot + QStringLiteral("link_data.ini")).open(QIODevice::WriteOnly);

    // The instances get a home of their own, so nothing of the other tests meets them there.
    const QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/.config"));
    QProcess outdated;
    outdated.setProcessEnvironment(environment);
    outdated.setProcessChannelMode(QProcess::ForwardedChannels);
    outdated.start(installed, {});
    QVERIFY(outdated.waitForStarted());
    QVERIFY2(outdated.waitForFinished(30000), "the outdated instance did not end by itself");
    QCOMPARE(outdated.exitCode(), 0);

    // The carrier ends by itself and exactly one instance of the new build keeps running.
    QStringList running;
    QDeadlineTimer deadline(30000);
    do {
        QTest::qWait(50);
        running = runningFrom(folder);
    } while ((running.size() != 1 || !running.first().endsWith(QStringLiteral(" quvex"))) &&
             !deadline.hasExpired());
    QCOMPARE(running.size(), 1);
    QVERIFY2(running.first().endsWith(QStringLiteral(" quvex")), qPrintable(running.first()));
    QVERIFY(QFile::exists(folder + QStringLiteral("u")));
    QCOMPARE(TempShare::read(installed), newer);
    QCOMPARE(QFileInfo(installed).lastModified(), sharedTime);

    // No update loop: a while later the same single instance runs.
    QTest::qWait(1500);
    QCOMPARE(runningFrom(folder), running);
    const qint64 pid = running.first().section(u' ', 0, 0).toLongLong();
    QProcess::execute(QStringLiteral("kill"), {QString::number(pid)});
    QTRY_VERIFY_WITH_TIMEOUT(runningFrom(folder).isEmpty(), 10000);
}

QTEST_MAIN(TestUpdate)
#include "tst_update.moc"
