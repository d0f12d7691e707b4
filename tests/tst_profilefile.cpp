#include "Error.h"
#include "ProfileFile.h"

#include <QFile>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace quvex;

namespace {

QByteArray utf16le(const QString& text) {
    return QByteArray("\xFF\xFE", 2) + QStringEncoder(QStringConverter::Utf16LE)(text);
}

QByteArray utf16be(const QString& text) {
    return QByteArray("\xFE\xFF", 2) + QStringEncoder(QStringConverter::Utf16BE)(text);
}

QByteArray gb18030(const QString& text) {
    return QStringEncoder("GB18030")(text);
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class TestProfileFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void reads_data();
    void reads();
    void writes_data();
    void writes();
    void refusesNamesThatDamageTheFile_data();
    void refusesNamesThatDamageTheFile();
    void unwritablePlacesRaiseUnableToWrite();
    void concurrentWritersLoseNoEntry();

private:
    QTemporaryDir m_dir;
};

void TestProfileFile::reads_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("sections");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("value");

    const QString a = QStringLiteral("a");
    const QString k = QStringLiteral("k");
    const QStringList justA{a};
    const QStringList justK{k};
    QTest::newRow("CR LF") << QByteArray("[a]\r\nk=v\r\n") << a << k << justA << justK << "v";
    QTest::newRow("LF") << QByteArray("[a]\nk=v\n") << a << k << justA << justK << "v";
    QTest::newRow("CR") << QByteArray("[a]\rk=v\r") << a << k << justA << justK << "v";
    QTest::newRow("mixed line ends") << QByteArray("[a]\r\nk=v\n[b]\rx=y") << "b"
                                     << "x" << QStringList{"a", "b"} << QStringList{"x"} << "y";
    QTest::newRow("comment line") << QByteArray("[a]\n ;k=hidden\nk=shown\n") << a << k << justA
                                  << justK << "shown";
    QTest::newRow("no inline comment")
        << QByteArray("[a]\nk=a ;b\n") << a << k << justA << justK << "a ;b";
    QTest::newRow("hash is ordinary")
        << QByteArray("[a]\n#k=v\n") << a << "#k" << justA << QStringList{"#k"} << "v";
    QTest::newRow("blanks around names and values")
        << QByteArray("  [ a ]  \n \t k \v=\t v  \n") << a << k << justA << justK << "v";
    QTest::newRow("blank lines") << QByteArray("\n\n[a]\n\n\nk=v\n\n") << a << k << justA << justK
                                 << "v";
    QTest::newRow("double quotes removed")
        << QByteArray("[a]\nk=\" v \"\n") << a << k << justA << justK << " v ";
    QTest::newRow("single quotes removed")
        << QByteArray("[a]\nk='v'\n") << a << k << justA << justK << "v";
    QTest::newRow("unmatched quotes kept")
        << QByteArray("[a]\nk=\"v'\n") << a << k << justA << justK << "\"v'";
    QTest::newRow("lone quote kept")
        << QByteArray("[a]\nk=\"\n") << a << k << justA << justK << "\"";
    QTest::newRow("duplicate sections: first is used")
        << QByteArray("[a]\nk=1\n[b]\n[A]\nk=2\nz=3\n") << a << k << QStringList{"a", "b", "A"}
        << justK << "1";
    QTest::newRow("duplicate sections: later keys unseen")
        << QByteArray("[a]\nk=1\n[A]\nz=3\n") << a << "z" << QStringList{"a", "A"} << justK << "";
    QTest::newRow("duplicate keys: first wins, all listed")
        << QByteArray("[a]\nk=1\nK=2\n") << a << k << justA << QStringList{"k", "K"} << "1";
    QTest::newRow("lookups ignore case")
        << QByteArray("[Links]\nName=v\n") << "LINKS"
        << "nAME" << QStringList{"Links"} << QStringList{"Name"} << "v";
    QTest::newRow("header without ]") << QByteArray("[a\nk=v\n") << a << k << justA << justK << "v";
    QTest::newRow("text after ]") << QByteArray("[a] ignored\nk=v\n") << a << k << justA << justK
                                  << "v";
    QTest::newRow("line without =")
        << QByteArray("[a]\njunk\nk=v\n") << a << k << justA << justK << "v";
    QTest::newRow("entries before first header")
        << QByteArray("k=v\n[a]\n") << a << k << justA << QStringList{} << "";
    QTest::newRow("caller's spaces trimmed") << QByteArray("[a]\nk=v\n") << " a "
                                             << " k  " << justA << justK << "v";
    QTest::newRow("caller's tab kept")
        << QByteArray("[a]\nk=v\n") << a << "\tk" << justA << justK << "";
    QTest::newRow("empty value") << QByteArray("[a]\nk=\n") << a << k << justA << justK << "";
    QTest::newRow("missing section")
        << QByteArray("[a]\nk=v\n") << "b" << k << justA << QStringList{} << "";
    QTest::newRow("section without keys listed")
        << QByteArray("[a]\n[b]\nk=v\n") << a << k << QStringList{"a", "b"} << QStringList{} << "";
    QTest::newRow("value of 3000 characters is cut to 2047")
        << QByteArray("[a]\nk=" + QByteArray(3000, 'x') + "\n") << a << k << justA << justK
        << QString(2047, u'x');
    QTest::newRow("UTF-16LE with BOM")
        << utf16le(QStringLiteral("[链接]\r\n百度=http://b/\r\n")) << "链接"
        << "百度" << QStringList{"链接"} << QStringList{"百度"} << "http://b/";
    QTest::newRow("UTF-16BE with BOM")
        << utf16be(QStringLiteral("[链接]\r\n百度=http://b/\r\n")) << "链接"
        << "百度" << QStringList{"链接"} << QStringList{"百度"} << "http://b/";
    QTest::newRow("UTF-8 with BOM")
        << QByteArray("\xEF\xBB\xBF[a]\nk=v\n") << a << k << justA << justK << "v";
    QTest::newRow("UTF-8 without BOM")
        << QStringLiteral("[链接]\n百度=值\n").toUtf8() << "链接"
        << "百度" << QStringList{"链接"} << QStringList{"百度"} << "值";
    QTest::newRow("legacy code page")
        << gb18030(QStringLiteral("[链接]\r\n百度=值\r\n")) << "链接"
        << "百度" << QStringList{"链接"} << QStringList{"百度"} << "值";
    QTest::newRow("missing file") << QByteArray() << a << k << QStringList{} << QStringList{} << "";
}

void TestProfileFile::reads() {
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    const QString path = m_dir.filePath(QStringLiteral("read.ini"));
    QFile::remove(path);
    if (!content.isNull())
        writeAll(path, content);

    const ProfileFile file(path, "GB18030");
    QTEST(file.ReadSections(), "sections");
    QTEST(file.ReadSection(section), "keys");
    QTEST(file.ReadString(section, key, QString()), "value");
    QCOMPARE(readAll(path), content);
}

void TestProfileFile::writes_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("new file") << QByteArray() << "a"
                              << "k"
                              << "v" << QByteArray("[a]\r\nk=v\r\n");
    QTest::newRow("new file with Chinese is in the legacy code page")
        << QByteArray() << "待审核"
        << "新闻"
        << "http://n/" << gb18030(QStringLiteral("[待审核]\r\n新闻=http://n/\r\n"));
    QTest::newRow("new key after the section's last key")
        << QByteArray("[a]\r\nk=v\r\n; note\r\n\r\n[b]\r\nx=y\r\n") << "A"
        << "n"
        << "w" << QByteArray("[a]\r\nk=v\r\nn=w\r\n; note\r\n\r\n[b]\r\nx=y\r\n");
    QTest::newRow("new key in a section without keys") << QByteArray("[a]\n[b]\n") << "a"
                                                       << "k"
                                                       << "v" << QByteArray("[a]\nk=v\r\n[b]\n");
    QTest::newRow("new section at the end") << QByteArray("[a]\r\nk=v\r\n") << "b"
                                            << "x"
                                            << "y" << QByteArray("[a]\r\nk=v\r\n[b]\r\nx=y\r\n");
    QTest::newRow("new section, no final line end")
        << QByteArray("[a]\nk=v") << "b"
        << "x"
        << "y" << QByteArray("[a]\nk=v\r\n[b]\r\nx=y\r\n");
    QTest::newRow("new key, no final line end") << QByteArray("[a]\nk=v") << "a"
                                                << "n"
                                                << "w" << QByteArray("[a]\nk=v\r\nn=w\r\n");
    QTest::newRow("replaced value keeps key, = and blanks")
        << QByteArray("; c\n[a]\n  k =  old  \nz=1") << "a"
        << "K"
        << "new" << QByteArray("; c\n[a]\n  k =  new\nz=1");
    QTest::newRow("replaced empty value after blanks") << QByteArray("[a]\nk=  \n") << "a"
                                                       << "k"
                                                       << "v" << QByteArray("[a]\nk=  v\n");
    QTest::newRow("first of duplicate sections") << QByteArray("[a]\nk=1\n[a]\nk=2\n") << "a"
                                                 << "k"
                                                 << "3" << QByteArray("[a]\nk=3\n[a]\nk=2\n");
    QTest::newRow("first of duplicate keys") << QByteArray("[a]\nk=1\nk=2\n") << "a"
                                             << "k"
                                             << "3" << QByteArray("[a]\nk=3\nk=2\n");
    QTest::newRow("UTF-16LE stays UTF-16LE")
        << utf16le(QStringLiteral("[a]\r\nk=v\r\n")) << "a"
        << "名"
        << "值" << utf16le(QStringLiteral("[a]\r\nk=v\r\n名=值\r\n"));
    QTest::newRow("UTF-8 stays UTF-8") << QStringLiteral("[链接]\nk=v\n").toUtf8() << "链接"
                                       << "名"
                                       << "值" << QStringLiteral("[链接]\nk=v\n名=值\r\n").toUtf8();
    QTest::newRow("legacy code page with Chinese names")
        << gb18030(QStringLiteral("[链接]\r\n百度=http://b/\r\n")) << "链接"
        << "新闻"
        << "http://n/" << gb18030(QStringLiteral("[链接]\r\n百度=http://b/\r\n新闻=http://n/\r\n"));
    QTest::newRow("undecodable bytes stay") << QByteArray("[a]\r\nk=v\r\nbad=\x81\xff\r\n") << "a"
                                            << "k"
                                            << "w" << QByteArray("[a]\r\nk=w\r\nbad=\x81\xff\r\n");
}

void TestProfileFile::writes() {
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    const QString path = m_dir.filePath(QStringLiteral("write.ini"));
    QFile::remove(path);
    if (!before.isNull())
        writeAll(path, before);

    ProfileFile file(path, "GB18030");
    file.WriteString(section, key, value);
    QTEST(readAll(path), "after");
    QCOMPARE(file.ReadString(section, key, QString()), value);
    QVERIFY(!QFile::exists(path + QStringLiteral(".lock")));
}

void TestProfileFile::refusesNamesThatDamageTheFile_data() {
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("reason");
    QTest::newRow("CR in value") << "a"
                                 << "k"
                                 << "x\ry"
                                 << "line break";
    QTest::newRow("LF in key") << "a"
                               << "k\nz"
                               << "v"
                               << "line break";
    QTest::newRow("LF in section") << "a\n[b"
                                   << "k"
                                   << "v"
                                   << "line break";
    QTest::newRow("] in section") << "a]b"
                                  << "k"
                                  << "v"
                                  << "\"]\"";
    QTest::newRow("= in key") << "a"
                              << "k=1"
                              << "v"
                              << "\"=\"";
    QTest::newRow("key starting with ;") << "a"
                                         << " ;k"
                                         << "v"
                                         << "\";\"";
}

void TestProfileFile::refusesNamesThatDamageTheFile() {
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, reason);
    const QString path = m_dir.filePath(QStringLiteral("refuse.ini"));
    const QByteArray before("[a]\r\nk=v\r\n");
    writeAll(path, before);
    try {
        ProfileFile(path, "GB18030").WriteString(section, key, value);
        QFAIL("the write was not refused");
    } catch (const Error& e) {
        QVERIFY2(e.message().startsWith(QStringLiteral("Unable to write to ") + path),
                 qPrintable(e.message()));
        QVERIFY2(e.message().contains(reason), qPrintable(e.message()));
    }
    QCOMPARE(readAll(path), before);
}

void TestProfileFile::unwritablePlacesRaiseUnableToWrite() {
    const QString missingFolder = m_dir.filePath(QStringLiteral("no-share/link_data.ini"));
    const QString folder = m_dir.filePath(QStringLiteral("a-folder"));
    QVERIFY(QDir().mkpath(folder));
    for (const QString& path : {missingFolder, folder}) {
        try {
            ProfileFile(path, "GB18030")
                .WriteString(QStringLiteral("a"), QStringLiteral("k"), QStringLiteral("v"));
            QFAIL("the write did not fail");
        } catch (const Error& e) {
            QCOMPARE(e.message(), QStringLiteral("Unable to write to ") + path);
        }
    }
    QVERIFY(QFileInfo(folder).isDir());

    // A read-only share folder; the writer runs as an unprivileged user where this test is root,
    // since permissions do not bind root.
    QTemporaryDir open;
    QFile::setPermissions(open.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                           QFile::ReadOther | QFile::ExeOther);
    const QString readOnly = open.filePath(QStringLiteral("read-only"));
    QVERIFY(QDir().mkpath(readOnly));
    QFile::setPermissions(readOnly,
                          QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    const QString target = readOnly + QStringLiteral("/link_data.ini");
    QStringList command{qEnvironmentVariable("PROFILE_WRITER"), target, QStringLiteral("k"),
                        QStringLiteral("1")};
    if (::geteuid() == 0)
        command = QStringList{QStringLiteral("setpriv"), QStringLiteral("--reuid=nobody"),
                              QStringLiteral("--regid=nogroup"), QStringLiteral("--clear-groups")} +
                  command;
    QProcess writer;
    writer.start(command.first(), command.mid(1));
    QVERIFY(writer.waitForFinished(30000));
    QCOMPARE(writer.exitCode(), 1);
    QCOMPARE(QString::fromUtf8(writer.readAllStandardError()).trimmed(),
             QStringLiteral("Unable to write to ") + target);
    QVERIFY(!QFile::exists(target));
}

void TestProfileFile::concurrentWritersLoseNoEntry() {
    const QString path = m_dir.filePath(QStringLiteral("shared.ini"));
    const QString writer = qEnvironmentVariable("PROFILE_WRITER");
    QVERIFY2(QFile::exists(writer), "PROFILE_WRITER names the helper program");
    QProcess first;
    QProcess second;
    first.start(writer, {path, QStringLiteral("first"), QStringLiteral("200")});
    second.start(writer, {path, QStringLiteral("second"), QStringLiteral("200")});
    QVERIFY(first.waitForFinished(120000));
    QVERIFY(second.waitForFinished(120000));
    QCOMPARE(first.exitCode(), 0);
    QCOMPARE(second.exitCode(), 0);

    const QStringList keys = ProfileFile(path, "GB18030").ReadSection(QStringLiteral("s"));
    QCOMPARE(keys.size(), 400);
    for (int i = 0; i < 200; ++i) {
        QVERIFY(keys.contains(QStringLiteral("first%1").arg(i)));
        QVERIFY(keys.contains(QStringLiteral("second%1").arg(i)));
    }
}

QTEST_GUILESS_MAIN(TestProfileFile)
#include "tst_profilefile.moc"
