#include "Error.h"
#include "FileSystem.h"
#include "Locations.h"
#include "MessageBoxRecorder.h"
#include "QuitRequest.h"
#include "Shell.h"
#include "TempShare.h"
#include "UnitUpdate.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

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
    void buildsThatCannotRunAreNeverLeftInCharge_data();
    void buildsThatCannotRunAreNeverLeftInCharge();
    void carrierPutsThePreviousBuildBack();
    void signedBuilds_data();
    void signedBuilds();
    void abandonedCopiesAreRemoved();
    void programFolderWithoutAnExactName();
    void completeProgramCheck();
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
    QFile::remove(autostartEntryPath());
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

namespace {

// A program folder for real instances, which get a home of their own so that nothing other
// tests left there meets them; whatever still runs from the folder is ended with it.
class InstanceFolder {
public:
    InstanceFolder()
        : m_path(m_dir.path() + u'/')
        , m_oldHome(qgetenv("HOME"))
        , m_oldConfig(qgetenv("XDG_CONFIG_HOME")) {
        qputenv("HOME", QFile::encodeName(m_home.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.path()) + "/.config");
    }
    ~InstanceFolder() {
        for (const QString& process : runningFrom(m_path))
            ::kill(pid_t(process.section(u' ', 0, 0).toLongLong()), SIGKILL);
        qputenv("HOME", m_oldHome);
        qputenv("XDG_CONFIG_HOME", m_oldConfig);
    }
    const QString& path() const { return m_path; }
    QString file(const QString& name) const { return m_path + name; }

private:
    QTemporaryDir m_dir;
    QTemporaryDir m_home;
    QString m_path;
    QByteArray m_oldHome;
    QByteArray m_oldConfig;
};

const QDateTime oldTime(QDate(2024, 1, 1), QTime(9, 0));
const QDateTime sharedTime(QDate(2026, 11, 30), QTime(17, 45, 12));

// An empty share but for the program file, with the given bytes, newer than the installed one.
void shareBuild(const QString& shareRoot, const QByteArray& bytes, QFile::Permissions mode) {
    QDir(shareRoot).removeRecursively();
    QVERIFY(QDir().mkpath(shareRoot));
    const QString shared = shareRoot + QStringLiteral("quvex");
    QFile file(shared);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    QVERIFY(file.setPermissions(mode));
    setLastWrite(shared, sharedTime);
    QFile(shareRoot + QStringLiteral("tel_data.ini")).open(QIODevice::WriteOnly);
    QFile(shareRoot + QStringLiteral("link_data.ini")).open(QIODevice::WriteOnly);
}

QString installOld(const InstanceFolder& folder, const QString& build) {
    const QString installed = folder.file(QStringLiteral("quvex"));
    QFile::remove(installed);
    [&] { QVERIFY(QFile::copy(build, installed)); }();
    setLastWrite(installed, oldTime);
    return installed;
}

// Waits for the processes running from the folder to settle on exactly these names.
QStringList waitForRunning(const InstanceFolder& folder, const QStringList& names) {
    QStringList running;
    const QDeadlineTimer deadline(30000);
    do {
        QTest::qWait(20);
        running = runningFrom(folder.path());
        QStringList found;
        for (const QString& process : running)
            found << process.section(u' ', 1);
        found.sort();
        if (found == names)
            break;
    } while (!deadline.hasExpired());
    return running;
}

QString environmentVariable(const char* name) {
    const QString value = qEnvironmentVariable(name);
    [&] { QVERIFY2(!value.isEmpty(), name); }();
    return value;
}

} // namespace

void TestUpdate::handOverToANewerBuild() {
    const QString built = environmentVariable("HANDOVER_PROGRAM");
    const QString shareRoot = environmentVariable("HANDOVER_SHARE");
    const InstanceFolder folder;
    const QString installed = installOld(folder, built);
    const QByteArray old = TempShare::read(installed);
    // A newer build with other bytes, copied to the share without its execute bit.
    const QByteArray newer = old + "\n-- newer build --\n";
    shareBuild(shareRoot, newer, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);

    QProcess outdated;
    outdated.setProcessChannelMode(QProcess::ForwardedChannels);
    outdated.start(installed, {});
    QVERIFY(outdated.waitForStarted());
    QVERIFY2(outdated.waitForFinished(60000), "the outdated instance did not end by itself");
    QCOMPARE(outdated.exitCode(), 0);

    // The carrier ends by itself once the new build runs, and exactly that one keeps running.
    // It proved it runs after its own update step, so a hand-over loop would show by now.
    const QStringList running = waitForRunning(folder, {QStringLiteral("quvex")});
    QCOMPARE(running.size(), 1);
    QCOMPARE(TempShare::read(installed), newer);
    QCOMPARE(QFileInfo(installed).lastModified(), sharedTime);
    QVERIFY(QFileInfo(installed).isExecutable());
    QCOMPARE(TempShare::read(folder.file(QStringLiteral("quvex.previous"))), old);
    QVERIFY(!QFile::exists(folder.file(QStringLiteral("quvex.rejected"))));
}

void TestUpdate::buildsThatCannotRunAreNeverLeftInCharge_data() {
    QTest::addColumn<QString>("build");   // what lies on the share
    QTest::addColumn<bool>("remembered"); // tried and found dead: not tried again
    QTest::newRow("truncated") << "truncated" << false;
    QTest::newRow("a whole program that exits at once") << "exits" << true;
    QTest::newRow("a whole program that fails at once") << "fails" << true;
}

void TestUpdate::buildsThatCannotRunAreNeverLeftInCharge() {
    QFETCH(QString, build);
    QFETCH(bool, remembered);
    const QString built = environmentVariable("HANDOVER_PROGRAM");
    const QString shareRoot = environmentVariable("HANDOVER_SHARE");
    const InstanceFolder folder;
    const QString installed = installOld(folder, built);
    const QByteArray old = TempShare::read(installed);
    QByteArray bytes;
    if (build == QLatin1String("truncated"))
        bytes = old.left(16 * 1024);
    else if (build == QLatin1String("exits"))
        bytes = TempShare::read(QStringLiteral("/bin/true"));
    else
        bytes = TempShare::read(QStringLiteral("/bin/false"));
    shareBuild(shareRoot, bytes, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    for (int start = 1; start <= 2; ++start) {
        QFile::remove(folder.file(QStringLiteral("u")));
        const std::optional<qint64> pid =
            startAndAwaitProofOfLife(installed, ShowCommand::Normal, std::chrono::seconds(60));
        QVERIFY2(pid,
                 qPrintable(QStringLiteral("start %1: the old program did not run").arg(start)));
        QCOMPARE(TempShare::read(installed), old);
        QCOMPARE(QFile::exists(folder.file(QStringLiteral("quvex.rejected"))), remembered);
        if (start == 2 || !remembered)
            QVERIFY2(!QFile::exists(folder.file(QStringLiteral("u"))),
                     "the carrier was not removed or the build was tried again");
        ::kill(pid_t(*pid), SIGKILL);
        QTRY_VERIFY_WITH_TIMEOUT(runningFrom(folder.path()).isEmpty(), 10000);
    }
}

void TestUpdate::carrierPutsThePreviousBuildBack() {
    // This process is the carrier: its own build (a real program that exits at once) does not
    // come up as quvex, so the previous build goes back and runs.
    const QString built = environmentVariable("HANDOVER_PROGRAM");
    const QString shareRoot = environmentVariable("HANDOVER_SHARE");
    QDir(shareRoot).removeRecursively();
    QVERIFY(QDir().mkpath(shareRoot));
    const InstanceFolder folder;
    const QString installed = installOld(folder, built);
    const QString carrier = folder.file(QStringLiteral("u"));
    QVERIFY(QFile::copy(QStringLiteral("/bin/false"), carrier));
    Locations locations = Locations::forExecutable(carrier, shareRoot, QString());
    clearQuitRequest();
    UpdateFromShare(locations);
    QVERIFY(quitRequested());
    QCOMPARE(TempShare::read(installed), TempShare::read(built));
    QCOMPARE(waitForRunning(folder, {QStringLiteral("quvex")}).size(), 1);
    clearQuitRequest();
}

void TestUpdate::signedBuilds_data() {
    QTest::addColumn<QString>("signature");
    QTest::addColumn<bool>("installed");
    QTest::newRow("no signature") << "none" << false;
    QTest::newRow("signature of other bytes") << "wrong" << false;
    QTest::newRow("signed with the key") << "right" << true;
}

void TestUpdate::signedBuilds() {
    QFETCH(QString, signature);
    QFETCH(bool, installed);
    const QString built = environmentVariable("SIGNED_PROGRAM");
    const QString shareRoot = environmentVariable("SIGNED_SHARE");
    const InstanceFolder folder;
    const QString program = installOld(folder, built);
    const QByteArray old = TempShare::read(program);
    const QByteArray newer = old + "\n-- signed build --\n";
    shareBuild(shareRoot, newer, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString shared = shareRoot + QStringLiteral("quvex");
    if (signature != QLatin1String("none")) {
        const QString signedFile = signature == QLatin1String("right") ? shared : program;
        QCOMPARE(QProcess::execute(environmentVariable("SIGN_BUILD"),
                                   {environmentVariable("SIGNING_KEY"), signedFile}),
                 0);
        if (signedFile != shared)
            QVERIFY(QFile::rename(signedFile + QStringLiteral(".sig"),
                                  shared + QStringLiteral(".sig")));
        setLastWrite(shared, sharedTime);
    }

    if (!installed) {
        const std::optional<qint64> pid =
            startAndAwaitProofOfLife(program, ShowCommand::Normal, std::chrono::seconds(60));
        QVERIFY2(pid, "the old program did not run");
        QCOMPARE(TempShare::read(program), old);
        QVERIFY(!QFile::exists(folder.file(QStringLiteral("u"))));
        return;
    }
    QProcess outdated;
    outdated.start(program, {});
    QVERIFY(outdated.waitForFinished(60000));
    QCOMPARE(waitForRunning(folder, {QStringLiteral("quvex")}).size(), 1);
    QCOMPARE(TempShare::read(program), newer);
}

void TestUpdate::abandonedCopiesAreRemoved() {
    const TempShare share;
    const Locations locations = share.locations();
    const QString old = share.write(QStringLiteral("program/quvex.Ab12Cd"), "half a program");
    const QString recent = share.write(QStringLiteral("program/u.Xy98Zw"), "a copy under way");
    const QString foreign = share.write(QStringLiteral("program/notes.ABCDEF"), "not ours");
    setLastWrite(old, QDateTime::currentDateTime().addSecs(-120));
    setLastWrite(foreign, QDateTime::currentDateTime().addSecs(-120));
    UpdateFromShare(locations);
    QVERIFY(!QFile::exists(old));
    QVERIFY(QFile::exists(recent));
    QVERIFY(QFile::exists(foreign));
}

void TestUpdate::programFolderWithoutAnExactName() {
    // A folder whose name is not valid UTF-8, reached through a link with a valid name: the
    // program runs from there and writes nothing anywhere.
    const QString built = environmentVariable("HANDOVER_PROGRAM");
    const QString shareRoot = environmentVariable("HANDOVER_SHARE");
    const InstanceFolder home;
    const QTemporaryDir root;
    const QByteArray odd = QFile::encodeName(root.path()) + "/\xff\xfe-program";
    QVERIFY(::mkdir(odd.constData(), 0755) == 0);
    const QString link = root.filePath(QStringLiteral("program"));
    QVERIFY(::symlink(odd.constData(), QFile::encodeName(link).constData()) == 0);
    const QString installed = link + QStringLiteral("/quvex");
    QVERIFY(QFile::copy(built, installed));
    setLastWrite(installed, oldTime);
    shareBuild(shareRoot, TempShare::read(built) + "\n-- newer --\n",
               QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QDir workingFolder(QDir::currentPath());
    const QStringList before = workingFolder.entryList(QDir::Files);

    const std::optional<qint64> pid =
        startAndAwaitProofOfLife(installed, ShowCommand::Normal, std::chrono::seconds(60));
    QVERIFY2(pid, "the program did not run");
    ::kill(pid_t(*pid), SIGKILL);
    QCOMPARE(QDir(link).entryList(QDir::Files), QStringList{QStringLiteral("quvex")});
    QCOMPARE(workingFolder.entryList(QDir::Files), before);
}

void TestUpdate::completeProgramCheck() {
    const TempShare share;
    const QByteArray program = TempShare::read(QCoreApplication::applicationFilePath());
    QVERIFY(isCompleteProgram(QCoreApplication::applicationFilePath()));
    QVERIFY(isCompleteProgram(QStringLiteral("/bin/true")));
    QVERIFY(!isCompleteProgram(share.write(QStringLiteral("head"), program.left(4096))));
    QVERIFY(!isCompleteProgram(share.write(QStringLiteral("almost"), program.chopped(1))));
    QVERIFY(isCompleteProgram(share.write(QStringLiteral("longer"), program + "tail")));
    QVERIFY(!isCompleteProgram(share.write(QStringLiteral("script"), "#!/bin/sh\nexit 0\n")));
    QVERIFY(!isCompleteProgram(share.write(QStringLiteral("empty"), "")));
    QVERIFY(!isCompleteProgram(share.path(QStringLiteral("missing"))));
    QByteArray otherMachine = program;
    otherMachine[18] = char(0xB7); // AArch64
    otherMachine[19] = 0;
    QVERIFY(!isCompleteProgram(share.write(QStringLiteral("arm"), otherMachine)));
}

QTEST_MAIN(TestUpdate)
#include "tst_update.moc"
