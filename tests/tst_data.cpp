#include "ChangeRequest.h"
#include "Error.h"
#include "LinkCatalog.h"
#include "PhoneDirectory.h"
#include "ProfileFile.h"
#include "TempShare.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTest>

using namespace quvex;
using quvex::test::TempShare;

Q_DECLARE_METATYPE(quvex::LinkCatalog)

class TestData : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readLinkCatalog_data();
    void readLinkCatalog();
    void pendingLinksGoToTheSharedMaster();
    void phoneDirectoryLines_data();
    void phoneDirectoryLines();
    void missingPhoneDirectoryRaisesTheOpenError();
    void photoPath_data();
    void photoPath();
    void changeRequestKey_data();
    void changeRequestKey();
    void badInputNeverCrashesNorChangesTheFile_data();
    void badInputNeverCrashesNorChangesTheFile();
};

void TestData::readLinkCatalog_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<LinkCatalog>("expected");

    QTest::newRow("missing file") << QByteArray() << LinkCatalog{};
    QTest::newRow("empty file") << QByteArray("") << LinkCatalog{};
    QTest::newRow("groups and links in file order")
        << QStringLiteral(
               "[办公]\r\nOA系统=http://oa/\r\nTovik=Tovik\r\n[文档]\r\n手册=\\\\fs\\a.doc\r\n")
               .toUtf8()
        << LinkCatalog{{QStringLiteral("办公"),
                        {{QStringLiteral("OA系统"), QStringLiteral("http://oa/")},
                         {QStringLiteral("Tovik"), QStringLiteral("Tovik")}}},
                       {QStringLiteral("文档"),
                        {{QStringLiteral("手册"), QStringLiteral("\\\\fs\\a.doc")}}}};
    QTest::newRow("section without entries and empty target")
        << QByteArray("[a]\n[b]\nx=\n")
        << LinkCatalog{{QStringLiteral("a"), {}},
                       {QStringLiteral("b"), {{QStringLiteral("x"), {}}}}};
    QTest::newRow("duplicate key shows the first target twice")
        << QByteArray("[a]\nx=1\nX=2\n")
        << LinkCatalog{{QStringLiteral("a"),
                        {{QStringLiteral("x"), QStringLiteral("1")},
                         {QStringLiteral("X"), QStringLiteral("1")}}}};
}

void TestData::readLinkCatalog() {
    QFETCH(QByteArray, content);
    const TempShare share;
    const QString path = share.locations().localLinkList();
    if (!content.isNull())
        share.write(QStringLiteral("program/link_data.ini"), content);
    QTEST(ReadLinkCatalog(path, "GB18030"), "expected");
}

void TestData::pendingLinksGoToTheSharedMaster() {
    const TempShare share;
    share.write(QStringLiteral("share/link_data.ini"), QByteArray("[a]\r\nx=1\r\n"));
    QVERIFY(pendingLinkTarget(share.locations(), "GB18030", QStringLiteral("新闻")).isEmpty());
    AddPendingLink(share.locations(), "GB18030", QStringLiteral("新闻"),
                   QStringLiteral("http://n/"));
    QCOMPARE(TempShare::read(share.locations().sharedLinkList()),
             QByteArray("[a]\r\nx=1\r\n") +
                 QStringEncoder("GB18030")(QStringLiteral("[待审核]\r\n新闻=http://n/\r\n")));
    QCOMPARE(pendingLinkTarget(share.locations(), "GB18030", QStringLiteral("新闻")),
             QStringLiteral("http://n/"));
    QVERIFY(!QFile::exists(share.locations().localLinkList()));
}

void TestData::phoneDirectoryLines_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("lines");
    const QString zs = QStringLiteral("zs , 张三 , 8001");
    QTest::newRow("empty file") << QByteArray("") << QStringList{};
    QTest::newRow("CR LF, final line end") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("LF and CR mixed, no final end")
        << QByteArray("a\nb\rc") << QStringList{"a", "b", "c"};
    QTest::newRow("empty lines kept")
        << QByteArray("a\r\n\r\n\r\nb") << QStringList{"a", "", "", "b"};
    QTest::newRow("UTF-8 without BOM") << (zs + u'\n').toUtf8() << QStringList{zs};
    QTest::newRow("UTF-8 BOM") << QByteArray("\xEF\xBB\xBF") + zs.toUtf8() << QStringList{zs};
    QTest::newRow("UTF-16LE BOM") << QByteArray("\xFF\xFE") +
                                         QStringEncoder(QStringConverter::Utf16LE)(zs)
                                  << QStringList{zs};
    QTest::newRow("UTF-16BE BOM") << QByteArray("\xFE\xFF") +
                                         QStringEncoder(QStringConverter::Utf16BE)(zs)
                                  << QStringList{zs};
    QTest::newRow("legacy code page")
        << QByteArray(QStringEncoder("GB18030")(zs + QStringLiteral("\r\n"))) << QStringList{zs};
}

void TestData::phoneDirectoryLines() {
    QFETCH(QByteArray, content);
    const TempShare share;
    const QString path = share.write(QStringLiteral("program/tel_data.ini"), content);
    QTEST(readPhoneDirectory(path, "GB18030"), "lines");
}

void TestData::missingPhoneDirectoryRaisesTheOpenError() {
    const TempShare share;
    const QString path = share.locations().localPhoneDirectory();
    try {
        readPhoneDirectory(path, "GB18030");
        QFAIL("no error raised");
    } catch (const Error& e) {
        QCOMPARE(e.message(),
                 QStringLiteral("Cannot open file \"%1\". No such file or directory").arg(path));
    }
}

void TestData::photoPath_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("photoExists");
    QTest::newRow("template layout") << "zs , 张三 , 8001 , 138 , zs@x"
                                     << "张三" << true;
    QTest::newRow("one letter fewer") << "z , 张三 , 8001"
                                      << "张三" << true;
    QTest::newRow("three-character name") << "lxd , 林晓东 , 8001"
                                          << "林晓东" << true;
    QTest::newRow("no blanks around commas") << "abc,xy,123"
                                             << "xy,1" << false;
    QTest::newRow("empty line") << ""
                                << "" << false;
    QTest::newRow("no comma") << "zs 张三 8001"
                              << "" << false;
    QTest::newRow("photo missing") << "ww , 王五 , 8002"
                                   << "王五" << false;
    QTest::newRow("control characters trimmed") << "zs ,\t张三\t, 1"
                                                << "张三" << true;
}

void TestData::photoPath() {
    QFETCH(QString, line);
    QFETCH(QString, name);
    QFETCH(bool, photoExists);
    const TempShare share;
    for (const char* person : {"张三", "林晓东"})
        share.write(QStringLiteral("share/picture/%1.jpg").arg(QString::fromUtf8(person)), "jpeg");

    QCOMPARE(photoNameFromLine(line), name);
    const QString expected =
        photoExists ? share.locations().shareRoot + QStringLiteral("picture/") + name +
                          QStringLiteral(".jpg")
                    : share.locations().programFolder + QStringLiteral("none_photo.png");
    QCOMPARE(GetPhotoPath(line, share.locations()), expected);
}

void TestData::changeRequestKey_data() {
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("timeFollows"); // the long time format ends in the time zone's name
    QTest::newRow("afternoon") << QDateTime(QDate(2026, 12, 10), QTime(14, 5, 9))
                               << "li_12/10/26 2:05:09 PM" << true;
    QTest::newRow("midnight leaves the time out")
        << QDateTime(QDate(2026, 12, 10), QTime(0, 0)) << "li_12/10/26" << false;
}

void TestData::changeRequestKey() {
    QFETCH(QDateTime, now);
    QFETCH(QString, key);
    QFETCH(bool, timeFollows);
    const QString actual = ChangeRequestKey(QStringLiteral("li"), now,
                                            QLocale(QLocale::English, QLocale::UnitedStates));
    if (timeFollows)
        QVERIFY2(actual.startsWith(key), qPrintable(actual));
    else
        QCOMPARE(actual, key);
}

void TestData::badInputNeverCrashesNorChangesTheFile_data() {
    QTest::addColumn<QByteArray>("content");
    QByteArray garbage(4096, '\0');
    QRandomGenerator random(42);
    for (char& c : garbage)
        c = char(random.bounded(256));
    QByteArray large;
    large.reserve(20 << 20);
    for (int i = 0; large.size() < (20 << 20); ++i)
        large += "[s" + QByteArray::number(i % 50) + "]\r\nkey" + QByteArray::number(i) +
                 "=\\\\files.example.com\\some\\rather\\long\\path\\to\\a\\document.doc\r\n";
    QTest::newRow("empty") << QByteArray("");
    QTest::newRow("binary garbage") << garbage;
    QTest::newRow("NUL bytes") << QByteArray("[a\0b]\r\nk\0=v\0w\r\n\0\0\0", 16);
    QTest::newRow("invalid UTF-8") << QByteArray("[\xC3\x28]\r\n\xE2\x82=\xF0\x28\x8C\xBC\r\n");
    QTest::newRow("lone UTF-16 BOM, odd length") << QByteArray("\xFF\xFE[\0a");
    QTest::newRow("20 MB") << large;
}

void TestData::badInputNeverCrashesNorChangesTheFile() {
    QFETCH(QByteArray, content);
    const TempShare share;
    const QString links = share.write(QStringLiteral("program/link_data.ini"), content);
    const QString phones = share.write(QStringLiteral("program/tel_data.ini"), content);
    const QByteArray before = QCryptographicHash::hash(content, QCryptographicHash::Sha256);

    const ProfileFile file(links, "GB18030");
    const QStringList sections = file.ReadSections();
    for (const QString& section : sections.mid(0, 1))
        file.ReadString(section, file.ReadSection(section).value(0), {});
    ReadLinkCatalog(links, "GB18030");
    readPhoneDirectory(phones, "GB18030");
    for (const QString& path : {links, phones})
        QCOMPARE(QCryptographicHash::hash(TempShare::read(path), QCryptographicHash::Sha256),
                 before);

    // A folder where a file is expected reads as no file at all.
    const QString folder = share.path(QStringLiteral("program/folder.ini"));
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(ReadLinkCatalog(folder, "GB18030").isEmpty());
    QVERIFY(ProfileFile(folder, "GB18030").ReadSections().isEmpty());
    QVERIFY_THROWS_EXCEPTION(Error, readPhoneDirectory(folder, "GB18030"));
}

QTEST_GUILESS_MAIN(TestData)
#include "tst_data.moc"
