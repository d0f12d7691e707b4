// Faults of a company share and its servers, with real files, processes and sockets: what the
// user sees and what is on disk afterwards (docs/reliability.md lists them).
#include "DocumentSearch.h"
#include "Error.h"
#include "LinkCatalog.h"
#include "MessageBoxRecorder.h"
#include "ProfileFile.h"
#include "StartSequence.h"
#include "TempShare.h"
#include "UnitMain.h"
#include "UnitUpdate.h"

#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTest>

#include <cstdio>

using namespace quvex;
using quvex::test::MessageBoxRecorder;
using quvex::test::TempShare;

namespace {

QByteArray picture(const char* format) {
    QImage image(60, 60, QImage::Format_RGB32);
    image.fill(Qt::darkYellow);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// Every line of a profile file that the writers below make, and nothing cut short.
bool wholeFile(const QByteArray& bytes) {
    static const QRegularExpression line(
        QStringLiteral("^(\\[s\\]|; version \\d+|w\\d_\\d+=\\d+)$"));
    if (bytes.isEmpty())
        return true;
    if (!bytes.endsWith("\r\n"))
        return false;
    for (const QByteArray& text : bytes.chopped(2).split('\n')) {
        if (!line.match(QString::fromLatin1(text.endsWith('\r') ? text.chopped(1) : text))
                 .hasMatch())
            return false;
    }
    return true;
}

void startWriter(QProcess& process, const QString& path, const QString& prefix, int count) {
    process.start(qEnvironmentVariable("PROFILE_WRITER"), {path, prefix, QString::number(count)});
    QVERIFY(process.waitForStarted());
}

} // namespace

class TestFaults : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void shareDisappearsBetweenStartSteps();
    void masterFileReplacedWhileWritersWrite();
    void readersNeverSeeHalfAFile();
    void badPhotos_data();
    void badPhotos();
    void hugePhoneDirectory();
    void databaseThatNeverAnswers();
};

void TestFaults::initTestCase() {
    QApplication::setApplicationName(QStringLiteral("quvex"));
    QVERIFY2(QFile::exists(qEnvironmentVariable("PROFILE_WRITER")), "PROFILE_WRITER");
}

void TestFaults::shareDisappearsBetweenStartSteps() {
    TempShare share;
    share.write(QStringLiteral("share/link_data.ini"), "[a]\r\nx=http://x/\r\n");
    share.write(QStringLiteral("share/tel_data.ini"), "zs , 张三 , 8001\r\nls , 李四 , 8002\r\n");
    share.write(QStringLiteral("share/picture/李四.jpg"), picture("JPEG"));
    share.write(QStringLiteral("program/none_photo.png"), picture("PNG"));
    const MessageBoxRecorder boxes;
    TForm_quvex form(share.locations(), share.config());
    const QString shareFolder = share.path(QStringLiteral("share"));
    const int completed = runStartSequence({
        [&] { UpdateFromShare(share.locations()); },
        [&] { QVERIFY(QDir().rename(shareFolder, shareFolder + QStringLiteral("-gone"))); },
        [&] { form.LoadPhoneDirectory(); },
        [&] { form.BuildLinkGroups(); },
    });
    QCOMPARE(completed, 4);
    QVERIFY(boxes.boxes().isEmpty());
    form.show();
    QCOMPARE(form.findChildren<QGroupBox*>(QStringLiteral("LinkGroup")).size(), 1);
    // The photo is on the share that went away: the placeholder, silently.
    auto* phones = form.findChild<QComboBox*>(QStringLiteral("ComboBox_userinfo"));
    QTest::keyClicks(phones, QStringLiteral("ls"));
    QCOMPARE(phones->currentIndex(), 1);
    QVERIFY(boxes.boxes().isEmpty());
    // A proposal cannot be written: one clear message, nothing created.
    try {
        AddPendingLink(share.locations(), "GB18030", QStringLiteral("新闻"), QStringLiteral("x"));
        QFAIL("the write did not fail");
    } catch (const Error& e) {
        QVERIFY2(e.message().startsWith(QStringLiteral("Unable to write to ") +
                                        share.locations().sharedLinkList() + u':'),
                 qPrintable(e.message()));
    }
    QVERIFY(!QFile::exists(shareFolder));
}

void TestFaults::masterFileReplacedWhileWritersWrite() {
    // A reviewer's editor saves the master list (a new file renamed over it) again and again
    // while quvex writes proposals into it: no write fails, no line is cut short.
    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("link_data.ini"));
    QFile::remove(path);
    QProcess writer;
    startWriter(writer, path, QStringLiteral("w1_"), 300);
    for (int version = 0; writer.state() != QProcess::NotRunning && version < 2000; ++version) {
        const QString saved = folder.filePath(QStringLiteral("editor.tmp"));
        QFile file(saved);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("; version " + QByteArray::number(version) + "\r\n[s]\r\n");
        file.close();
        QVERIFY(::rename(QFile::encodeName(saved).constData(),
                         QFile::encodeName(path).constData()) == 0);
        QTest::qWait(1);
    }
    QVERIFY(writer.state() == QProcess::NotRunning || writer.waitForFinished(120000));
    QVERIFY2(writer.exitCode() == 0, writer.readAllStandardError().constData());
    QVERIFY(wholeFile(TempShare::read(path)));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files),
             (QStringList{"link_data.ini", "link_data.ini.lock"}));
}

void TestFaults::readersNeverSeeHalfAFile() {
    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("link_data.ini"));
    QProcess first;
    QProcess second;
    startWriter(first, path, QStringLiteral("w1_"), 300);
    startWriter(second, path, QStringLiteral("w2_"), 300);
    int reads = 0;
    while (first.state() != QProcess::NotRunning || second.state() != QProcess::NotRunning) {
        const QByteArray bytes = TempShare::read(path);
        QVERIFY2(wholeFile(bytes), bytes.right(200).constData());
        ++reads;
        QCoreApplication::processEvents();
    }
    for (QProcess* writer : {&first, &second})
        QVERIFY(writer->state() == QProcess::NotRunning || writer->waitForFinished(120000));
    QCOMPARE(first.exitCode() + second.exitCode(), 0);
    QVERIFY(reads > 10);
    QCOMPARE(ProfileFile(path, "GB18030").ReadSection(QStringLiteral("s")).size(), 600);
}

void TestFaults::badPhotos_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("shown"); // else the previous picture stays, with one ErrorBox
    const QByteArray jpeg = picture("JPEG");
    QTest::newRow("truncated") << jpeg.left(jpeg.size() / 3) << false;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("a PNG named .jpg") << picture("PNG") << false;
    QTest::newRow("50 MB") << jpeg + QByteArray(50 << 20, '\0') << true;
}

void TestFaults::badPhotos() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, shown);
    TempShare share;
    share.write(QStringLiteral("program/tel_data.ini"), "zs , 张三 , 8001\r\nls , 李四 , 8002\r\n");
    share.write(QStringLiteral("share/picture/李四.jpg"), bytes);
    TForm_quvex form(share.locations(), share.config());
    form.LoadPhoneDirectory();
    form.show();
    auto* phones = form.findChild<QComboBox*>(QStringLiteral("ComboBox_userinfo"));
    auto* photo = form.findChild<QLabel*>(QStringLiteral("Image_show"));
    const qint64 before = photo->pixmap().cacheKey();
    const MessageBoxRecorder boxes;
    QTest::keyClicks(phones, QStringLiteral("ls"));
    QCOMPARE(phones->currentIndex(), 1);
    if (shown) {
        QVERIFY(boxes.boxes().isEmpty());
        QVERIFY(photo->pixmap().cacheKey() != before);
    } else {
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(photo->pixmap().cacheKey(), before);
    }
}

void TestFaults::hugePhoneDirectory() {
    // 100,000 lines of 10,000 characters: refused at once with the reason, not loaded.
    const TempShare share;
    const QString path = share.locations().localPhoneDirectory();
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    const QByteArray line = QByteArray(9998, 'x') + "\r\n";
    QByteArray block;
    for (int i = 0; i < 100; ++i)
        block += line;
    for (int i = 0; i < 1000; ++i)
        QCOMPARE(file.write(block), block.size());
    file.close();
    TForm_quvex form(share.locations(), share.config());
    const MessageBoxRecorder boxes;
    QCOMPARE(runStartSequence({[&] { form.LoadPhoneDirectory(); }}), 0);
    QCOMPARE(boxes.texts().size(), 1);
    QVERIFY2(boxes.texts().first().startsWith(
                 QStringLiteral("Cannot open file \"%1\". 文件过大").arg(path)),
             qPrintable(boxes.texts().first()));
    QFile::remove(path);
}

void TestFaults::databaseThatNeverAnswers() {
    // A server that takes the connection and never says a word: the login timeout ends the
    // search with the driver's message.
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    const DocumentIndexConnection index{
        QStringLiteral("QODBC"),
        QStringLiteral("DRIVER={FreeTDS};SERVER=127.0.0.1;PORT=%1;DATABASE=zuzezorazuz;UID=oa;"
                       "PWD=x;TDS_Version=7.4;ClientCharset=UTF-8")
            .arg(silent.serverPort())};
    QElapsedTimer clock;
    clock.start();
    try {
        searchDocumentIndex(index, QStringLiteral("report"));
        QFAIL("the search did not fail");
    } catch (const Error& e) {
        QVERIFY(!e.message().isEmpty());
    }
    QVERIFY2(clock.elapsed() < 60000, "the login timeout did not end the wait");
}

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
