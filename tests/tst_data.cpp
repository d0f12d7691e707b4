#include "ChangeRequest.h"
#include "Error.h"
#include "LinkCatalog.h"
#include "PhoneDirectory.h"
#include "ProfileDocument.h"
#include "ProfileFile.h"
#include "TempShare.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTest>

#include <sys/stat.h>

using namespace quvex;
using quvex::test::TempShare;

Q_DECLARE_METATYPE(quvex::LinkCatalog)

class TestData : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readLinkCatalog_data();
    void readLinkCatalog();
    void catalogAgreesWithTheProfileReads_data();
    void catalogAgreesWithTheProfileReads();
    void pendingLinksGoToTheSharedMaster();
    void phoneDirectoryLines_data();
    void phoneDirectoryLines();
    void missingPhoneDirectoryRaisesTheOpenError();
    void phoneDirectoryThatIsNoFileIsMissing();
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

void TestData::catalogAgreesWithTheProfileReads_data() {
    QTest::addColumn<QByteArray>("content");
    QString lone = QStringLiteral("[组]\r\n");
    lone += QChar(0xD800) + QStringLiteral("a=1\r\n");
    lone += QChar(0xDC00) + QStringLiteral("A=2\r\n");
    lone += QChar(0xD800) + QStringLiteral("A=3\r\n");
    QTest::newRow("keys that differ by lone surrogates")
        << QByteArray("\xFF\xFE") + QStringEncoder(QStringConverter::Utf16LE)(lone);
    QTest::newRow("duplicates in every case")
        << QByteArray("[A]\nk=1\n[b]\nK=x\nk=y\n[a]\nk=2\nz=3\n[B]\n");
    QByteArray many;
    for (int g = 0; g < 10000; ++g) {
        many += "[group" + QByteArray::number(g % 9000) + "]\r\n";
        for (int k = 0; k < 3; ++k)
            many += "link" + QByteArray::number((g * 7 + k) % 5) + " = \"\\\\fs\\" +
                    QByteArray::number(g) + "\"\r\n";
    }
    QTest::newRow("10,000 groups, some repeated") << many;
}

void TestData::catalogAgreesWithTheProfileReads() {
    // The one-pass reading gives what the ReadSections/ReadSection/ReadString walk gives.
    QFETCH(QByteArray, content);
    const TempShare share;
    const QString path = share.write(QStringLiteral("program/link_data.ini"), content);
    // The walk on one parse of the file: ProfileFile would parse it again for every call.
    const ProfileDocument file = ProfileDocument::fromBytes(content, "GB18030");
    LinkCatalog walked;
    for (const QString& section : file.sections()) {
        LinkGroup group{section, {}};
        for (const QString& key : file.keys(section))
            group.links.append({key, file.value(section, key).value_or(QString())});
        walked.append(group);
    }
    QCOMPARE(ReadLinkCatalog(path, "GB18030"), walked);
}

void TestData::pendingLinksGoToTheSharedMaster() {
    const TempShare share;
    share.write(QStringLiteral("share/link_data.ini"), QByteArray("[a]\r\nx=1\r\n"));
    QVERIFY(AddPendingLink(share.locations(), "GB18030", QStringLiteral("新闻"),
                           QStringLiteral("http://n/")));
    const QByteArray written =
        QByteArray("[a]\r\nx=1\r\n") +
        QStringEncoder("GB18030")(QStringLiteral("[待审核]\r\n新闻=http://n/\r\n"));
    QCOMPARE(TempShare::read(share.locations().sharedLinkList()), written);
    // The same name again, in another case: refused, nothing written.
    QVERIFY(!AddPendingLink(share.locations(), "GB18030", QStringLiteral("新闻"),
                            QStringLiteral("http://other/")));
    QCOMPARE(TempShare::read(share.locations().sharedLinkList()), written);
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
    QTest::newRow("UTF-8 with one line in the legacy code page")
        << (zs + QStringLiteral("\r\n")).toUtf8() +
               QStringEncoder("GB18030")(QStringLiteral("ls , 李四 , 8002\r\n"))
        << QStringList{zs, QStringLiteral("ls , 李四 , 8002")};
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

void TestData::phoneDirectoryThatIsNoFileIsMissing() {
    const TempShare share;
    const QString pipe = share.locations().localPhoneDirectory();
    QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0644) == 0);
    // Read at once as missing, never waited on.
    QVERIFY_THROWS_EXCEPTION(Error, readPhoneDirectory(pipe, "GB18030"));
    QVERIFY(ReadLinkCatalog(pipe, "GB18030").isEmpty());
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
    // A name is one file of the photo folder: nothing reaches outside it.
    QTest::newRow("a path in the name") << "abcde , ../张三 , 8001"
                                        << "../张三" << false;
    QTest::newRow("a folder in the name") << "abc , x/张三 , 1"
                                          << "x/张三" << false;
    QTest::newRow("the parent folder") << "ab, .., 1"
                                       << ".." << false;
}

void TestData::photoPath() {
    QFETCH(QString, line);
    QFETCH(QString, name);
    QFETCH(bool, photoExists);
    const TempShare share;
    for (const char* person : {"张三", "林晓东", "x/张三"})
        share.write(QStringLiteral("share/picture/%1.jpg").arg(QString::fromUtf8(person)), "jpeg");
    share.write(QStringLiteral("share/张三.jpg"), "outside the photo folder");
    share.write(QStringLiteral("share/..jpg"), "outside the photo folder");

    QCOMPARE(photoNameFromLine(line), name);
    const QString expected =
        photoExists ? share.locations().shareRoot + QStringLiteral("picture/") + name +
                          QStringLiteral(".jpg")
                    : share.locations().programFolder + QStringLiteral("none_photo.png");
    QCOMPARE(GetPhotoPath(line, share.locations()), expected);
}

void TestData::changeRequestKey_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("key");
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale china(QLocale::Chinese, QLocale::China);
    const QDateTime afternoon(QDate(2026, 12, 10), QTime(14, 5, 9));
    QTest::newRow("afternoon, en_US") << us << afternoon << "li_12/10/26 2:05:09 PM";
    QTest::newRow("afternoon, zh_CN") << china << afternoon << "li_2026/12/10 14:05:09";
    QTest::newRow("afternoon, UTC clock")
        << china << afternoon.toUTC()
        << "li_" + china.toString(afternoon.toUTC().date(), QLocale::ShortFormat) + " " +
               afternoon.toUTC().time().toString("HH:mm:ss");
    QTest::newRow("midnight leaves the time out")
        << us << QDateTime(QDate(2026, 12, 10), QTime(0, 0)) << "li_12/10/26";
    QTest::newRow("one second after midnight")
        << china << QDateTime(QDate(2026, 12, 10), QTime(0, 0, 1)) << "li_2026/12/10 00:00:01";
}

void TestData::changeRequestKey() {
    QFETCH(QLocale, locale);
    QFETCH(QDateTime, now);
    // Never a time zone, whatever the clock's.
    QTEST(ChangeRequestKey(QStringLiteral("li"), now, locale), "key");
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
