#include "Error.h"
#include "ProfileFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <QScopeGuard>

#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
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
    void writeReadsBackOrIsRefused_data();
    void writeReadsBackOrIsRefused();
    void encodingsThatCannotHoldTheTextAreRefused_data();
    void encodingsThatCannotHoldTheTextAreRefused();
    void unwritablePlacesRaiseUnableToWrite();
    void failedWritesOnAFullFileSystemChangeNothing();
    void concurrentWritersLoseNoEntry_data();
    void concurrentWritersLoseNoEntry();
    void keysDecidedUnderTheLock();
    void aWriterHoldingTheLockMakesOthersWaitThenRefuse();

private:
    QString publicFolder(const QString& name);
    void startUnprivilegedWriter(QProcess& process, const QStringList& arguments);

    QTemporaryDir m_dir;
    QTemporaryDir m_public;
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
    QTest::newRow("UTF-8 file with a line in the legacy code page")
        << QStringLiteral("[链接]\r\n百度=值\r\n").toUtf8() + gb18030(QStringLiteral("新闻=新\r\n"))
        << "链接"
        << "新闻" << QStringList{"链接"} << QStringList{"百度", "新闻"} << "新";
    QTest::newRow("an unfinished legacy character ends with its line")
        << QByteArray("[a]\r\nk=\xB0\r\nm=v\r\n") << a << k << justA << QStringList{"k", "m"}
        << QString(QChar::ReplacementCharacter);
    QTest::newRow("legacy text that happens to be valid UTF-8 stays legacy")
        << gb18030(QStringLiteral("[隆]\r\n中文=值\r\n")) << "隆"
        << "中文" << QStringList{"隆"} << QStringList{"中文"} << "值";
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
    QCOMPARE(file.ReadString(QStringLiteral("none"), key, QStringLiteral(" default \t ")),
             QStringLiteral(" default"));
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
    QTest::newRow("replaced value on a last line without end") << QByteArray("[a]\nk=v") << "a"
                                                               << "k"
                                                               << "w" << QByteArray("[a]\nk=w\r\n");
    const QByteArray utf8Lines = QStringLiteral("[链接]\r\n百度=http://b/\r\n").toUtf8();
    QTest::newRow("mixed file: a new key is UTF-8, the legacy line stays")
        << utf8Lines + gb18030(QStringLiteral("新闻=http://n/\r\n")) << "链接"
        << "名"
        << "值"
        << utf8Lines + gb18030(QStringLiteral("新闻=http://n/\r\n")) +
               QStringLiteral("名=值\r\n").toUtf8();
    QTest::newRow("mixed file: a value after a legacy key stays in the code page")
        << utf8Lines + gb18030(QStringLiteral("新闻=http://n/\r\n")) << "链接"
        << "新闻"
        << "http://新/" << utf8Lines + gb18030(QStringLiteral("新闻=http://新/\r\n"));
    QTest::newRow("UTF-16 of odd length: the stray byte stays last")
        << utf16le(QStringLiteral("[a]\r\nk=v\r\n")) + "A"
        << "b"
        << "x"
        << "y" << utf16le(QStringLiteral("[a]\r\nk=v\r\n[b]\r\nx=y\r\n")) + "A";
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
    // Beside it only the lock file, which stays (it is locked, not created, by each writer).
    QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("write.ini*")}, QDir::Files),
             (QStringList{"write.ini", "write.ini.lock"}));
}

void TestProfileFile::writeReadsBackOrIsRefused_data() {
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("refusal"); // part of the reason; empty: the write lands
    QTest::addColumn<QString>("readBack");

    QTest::newRow("CR in value") << "a"
                                 << "k"
                                 << "x\ry"
                                 << "换行"
                                 << "";
    QTest::newRow("LF in key") << "a"
                               << "k\nz"
                               << "v"
                               << "换行"
                               << "";
    QTest::newRow("LF in section") << "a\n[b"
                                   << "k"
                                   << "v"
                                   << "换行"
                                   << "";
    QTest::newRow("] in section") << "a]b"
                                  << "k"
                                  << "v"
                                  << "“]”"
                                  << "";
    QTest::newRow("= in key") << "a"
                              << "k=1"
                              << "v"
                              << "“=”"
                              << "";
    QTest::newRow("key starting with ;") << "a"
                                         << " ;k"
                                         << "v"
                                         << "“;”"
                                         << "";
    QTest::newRow("key starting with [") << "a"
                                         << "[新]公司主页"
                                         << "http://x/"
                                         << "“[”"
                                         << "";
    QTest::newRow("key starting with a tab and ;") << "a"
                                                   << "\t;hidden"
                                                   << "v"
                                                   << "空白"
                                                   << "";
    QTest::newRow("key ending with a tab") << "a"
                                           << "k\t"
                                           << "v"
                                           << "空白"
                                           << "";
    QTest::newRow("section starting with a vertical tab") << "\va"
                                                          << "k"
                                                          << "v"
                                                          << "空白"
                                                          << "";
    QTest::newRow("value longer than a read returns") << "a"
                                                      << "k" << QString(2048, u'x') << "2047"
                                                      << "";

    QTest::newRow("[ inside a key") << "a"
                                    << "公司[新]主页"
                                    << "v"
                                    << ""
                                    << "v";
    QTest::newRow("[ starting a section") << "[a"
                                          << "k"
                                          << "v"
                                          << ""
                                          << "v";
    QTest::newRow("] and = in a value") << "a"
                                        << "k"
                                        << "x]=y"
                                        << ""
                                        << "x]=y";
    QTest::newRow("caller's spaces around names") << " a "
                                                  << " k "
                                                  << "v"
                                                  << ""
                                                  << "v";
    QTest::newRow("blanks around a value vanish") << "a"
                                                  << "k"
                                                  << " \tv \t"
                                                  << ""
                                                  << "v";
    QTest::newRow("one pair of outer quotes vanishes") << "a"
                                                       << "k"
                                                       << "\"'v'\""
                                                       << ""
                                                       << "'v'";
    QTest::newRow("2047 characters") << "a"
                                     << "k" << QString(2047, u'x') << "" << QString(2047, u'x');
    QTest::newRow("quoted, 2047 inside")
        << "a"
        << "k" << u'"' + QString(2047, u'x') + u'"' << "" << QString(2047, u'x');
    QTest::newRow("empty key") << "a"
                               << ""
                               << "v"
                               << ""
                               << "v";
}

void TestProfileFile::writeReadsBackOrIsRefused() {
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, refusal);
    const QString path = m_dir.filePath(QStringLiteral("property.ini"));
    const QByteArray before("; note\r\n[a]\r\nk=v\r\nother=1\r\n[b]\r\nk=2");
    writeAll(path, before);
    ProfileFile file(path, "GB18030");
    const auto readEverything = [&] {
        QStringList entries;
        for (const QString& s : file.ReadSections()) {
            for (const QString& k : file.ReadSection(s))
                entries << s + u'/' + k + u'=' + file.ReadString(s, k, {});
        }
        return entries;
    };
    QStringList expected = readEverything();
    try {
        file.WriteString(section, key, value);
        QVERIFY2(refusal.isEmpty(), "the write was not refused");
    } catch (const Error& e) {
        QVERIFY2(!refusal.isEmpty(), qPrintable(e.message()));
        QVERIFY2(e.message().startsWith(QStringLiteral("Unable to write to ") + path + u':'),
                 qPrintable(e.message()));
        QVERIFY2(e.message().contains(refusal), qPrintable(e.message()));
        QCOMPARE(readAll(path), before);
        return;
    }
    QTEST(file.ReadString(section, key, {}), "readBack");
    // Every other entry reads as before: the written one aside, the same list.
    QStringList after = readEverything();
    const QString written = section.trimmed() + u'/' + key.trimmed() + u'=';
    const auto isWritten = [&](const QString& entry) {
        return entry.startsWith(written, Qt::CaseInsensitive);
    };
    const auto firstWritten = std::find_if(after.begin(), after.end(), isWritten);
    QVERIFY(firstWritten != after.end());
    after.erase(firstWritten);
    if (const auto old = std::find_if(expected.begin(), expected.end(), isWritten);
        old != expected.end())
        expected.erase(old);
    QCOMPARE(after, expected);
}

void TestProfileFile::encodingsThatCannotHoldTheTextAreRefused_data() {
    QTest::addColumn<QByteArray>("legacy");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("refusal");
    QString lone;
    lone.append(QChar(0xD800));
    QTest::newRow("Latin-1 without Chinese")
        << QByteArray("ISO-8859-1") << QByteArray("[a]\r\nk=caf\xE9\r\n") << "中文"
        << "编码";
    QTest::newRow("GB18030 and a lone surrogate")
        << QByteArray("GB18030") << gb18030(QStringLiteral("[a]\r\nk=中\r\n")) << lone << "编码";
    QTest::newRow("UTF-8 and a lone surrogate")
        << QByteArray("GB18030") << QStringLiteral("[a]\r\nk=中\r\n").toUtf8() << lone << "编码";
    QTest::newRow("a new file where the code page's bytes would read as UTF-8")
        << QByteArray("GB18030") << QByteArray() << "隆"
        << "读出";
}

void TestProfileFile::encodingsThatCannotHoldTheTextAreRefused() {
    QFETCH(QByteArray, legacy);
    QFETCH(QByteArray, before);
    QFETCH(QString, value);
    QFETCH(QString, refusal);
    const QString path = m_dir.filePath(QStringLiteral("encoding.ini"));
    QFile::remove(path);
    if (!before.isEmpty())
        writeAll(path, before);
    try {
        ProfileFile(path, legacy).WriteString(QStringLiteral("a"), QStringLiteral("n"), value);
        QFAIL("the write was not refused");
    } catch (const Error& e) {
        QVERIFY2(e.message().contains(refusal), qPrintable(e.message()));
    }
    QCOMPARE(readAll(path), before);
}

void TestProfileFile::unwritablePlacesRaiseUnableToWrite() {
    const QString missingFolder = m_dir.filePath(QStringLiteral("no-share/link_data.ini"));
    const QString folder = m_dir.filePath(QStringLiteral("a-folder"));
    const QString pipe = m_dir.filePath(QStringLiteral("pipe.ini"));
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0644) == 0);
    const QList<std::pair<QString, QString>> places{
        {missingFolder, QStringLiteral("No such file or directory")},
        {folder, QStringLiteral("不是普通文件")},
        {pipe, QStringLiteral("不是普通文件")}, // refused at once, never waited on
    };
    for (const auto& [path, reason] : places) {
        try {
            ProfileFile(path, "GB18030")
                .WriteString(QStringLiteral("a"), QStringLiteral("k"), QStringLiteral("v"));
            QFAIL("the write did not fail");
        } catch (const Error& e) {
            QCOMPARE(e.message(), QStringLiteral("Unable to write to ") + path + ": " + reason);
        }
        QVERIFY(ProfileFile(path, "GB18030").ReadSections().isEmpty());
    }
    QVERIFY(QFileInfo(folder).isDir());

    // A read-only share folder, where the file does not exist yet: nothing can be written.
    if (::geteuid() != 0)
        QSKIP("needs root to run the writer as an unprivileged user");
    const QString readOnly = publicFolder(QStringLiteral("read-only"));
    QFile::setPermissions(readOnly,
                          QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    const QString target = readOnly + QStringLiteral("/link_data.ini");
    QProcess writer;
    startUnprivilegedWriter(writer, {target, QStringLiteral("k"), QStringLiteral("1")});
    QVERIFY(writer.waitForFinished(30000));
    QCOMPARE(writer.exitCode(), 1);
    QCOMPARE(QString::fromUtf8(writer.readAllStandardError()).trimmed(),
             QStringLiteral("Unable to write to ") + target +
                 QStringLiteral(": Permission denied"));
    QVERIFY(!QFile::exists(target));
}

void TestProfileFile::failedWritesOnAFullFileSystemChangeNothing() {
    if (::geteuid() != 0)
        QSKIP("needs root to mount a small file system");
    const QString mountPoint = publicFolder(QStringLiteral("full"));
    QProcess mount;
    mount.start(QStringLiteral("mount"),
                {"-t", "tmpfs", "-o", "size=256k,mode=0755", "tmpfs", mountPoint});
    if (!mount.waitForFinished(10000) || mount.exitCode() != 0)
        QSKIP(qPrintable("cannot mount a tmpfs here: " + mount.readAllStandardError()));
    const auto unmount = qScopeGuard([&] { QProcess::execute("umount", {mountPoint}); });

    // A list of exactly 64 KiB, so that any longer content needs a new block.
    const QString path = mountPoint + QStringLiteral("/link_data.ini");
    QByteArray before = "[s]\r\n";
    for (int i = 0; before.size() < 65536 - 40; ++i)
        before += "link" + QByteArray::number(i) + "=http://example.com/" + QByteArray::number(i) +
                  "\r\n";
    before += "last=" + QByteArray(65536 - before.size() - 7, 'z') + "\r\n";
    QCOMPARE(before.size(), 65536);
    writeAll(path, before);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther |
                                    QFile::WriteOther);
    QFile filler(mountPoint + QStringLiteral("/filler"));
    QVERIFY(filler.open(QIODevice::WriteOnly));
    while (filler.write(QByteArray(4096, 'f')) == 4096 && filler.flush()) {
    }
    filler.close();

    // The atomic path: the temporary copy cannot be written.
    try {
        ProfileFile(path, "GB18030")
            .WriteString(QStringLiteral("s"), QStringLiteral("new"), QString(2000, u'x'));
        QFAIL("the write did not fail");
    } catch (const Error& e) {
        QVERIFY2(e.message().endsWith(QStringLiteral(": No space left on device")),
                 qPrintable(e.message()));
    }
    QCOMPARE(readAll(path), before);
    QCOMPARE(QDir(mountPoint).entryList(QDir::Files),
             (QStringList{"filler", "link_data.ini", "link_data.ini.lock"}));

    // The in-place path, for a writer that may change the file but not create files beside it.
    QFile::remove(path + QStringLiteral(".lock"));
    QProcess writer;
    startUnprivilegedWriter(writer, {path, QStringLiteral("new"), QStringLiteral("1"), "2000"});
    QVERIFY(writer.waitForFinished(30000));
    QCOMPARE(writer.exitCode(), 1);
    QVERIFY(writer.readAllStandardError().contains("No space left on device"));
    QCOMPARE(readAll(path), before);

    // With room again, the same write lands in place.
    QFile::remove(filler.fileName());
    startUnprivilegedWriter(writer, {path, QStringLiteral("new"), QStringLiteral("1"), "2000"});
    QVERIFY(writer.waitForFinished(30000));
    QCOMPARE(writer.exitCode(), 0);
    QVERIFY(readAll(path).startsWith(before));
    QCOMPARE(ProfileFile(path, "GB18030").ReadString("s", "new0", {}), QString(2000, u'x'));
    QCOMPARE(QDir(mountPoint).entryList(QDir::Files), QStringList{"link_data.ini"});
}

void TestProfileFile::concurrentWritersLoseNoEntry_data() {
    QTest::addColumn<bool>("inPlace"); // the folder refuses new files
    QTest::addColumn<int>("writers");
    QTest::addColumn<int>("writes");
    QTest::newRow("atomic, 8 x 1000") << false << 8 << 1000;
    QTest::newRow("in place, 4 x 100") << true << 4 << 100;
}

void TestProfileFile::concurrentWritersLoseNoEntry() {
    QFETCH(bool, inPlace);
    QFETCH(int, writers);
    QFETCH(int, writes);
    if (inPlace && ::geteuid() != 0)
        QSKIP("needs root to run the writers as an unprivileged user");
    const QString folder =
        publicFolder(inPlace ? QStringLiteral("closed") : QStringLiteral("open"));
    const QString path = folder + QStringLiteral("/shared.ini");
    writeAll(path, "; shared\r\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther |
                                    QFile::WriteOther);
    std::vector<std::unique_ptr<QProcess>> processes;
    for (int w = 0; w < writers; ++w) {
        auto& process = processes.emplace_back(std::make_unique<QProcess>());
        const QStringList arguments{path, QStringLiteral("w%1_").arg(w), QString::number(writes)};
        if (inPlace)
            startUnprivilegedWriter(*process, arguments);
        else
            process->start(qEnvironmentVariable("PROFILE_WRITER"), arguments);
    }
    for (const auto& process : processes) {
        QVERIFY(process->waitForFinished(300000));
        QVERIFY2(process->exitCode() == 0, process->readAllStandardError().constData());
    }
    const QStringList keys = ProfileFile(path, "GB18030").ReadSection(QStringLiteral("s"));
    QCOMPARE(keys.size(), writers * writes);
    for (int w = 0; w < writers; ++w) {
        for (int i = 0; i < writes; ++i)
            QVERIFY(keys.contains(QStringLiteral("w%1_%2").arg(w).arg(i)));
    }
    QCOMPARE(QDir(folder).entryList(QDir::Files),
             (inPlace ? QStringList{"shared.ini"} : QStringList{"shared.ini", "shared.ini.lock"}));
}

void TestProfileFile::keysDecidedUnderTheLock() {
    const QString path = m_dir.filePath(QStringLiteral("requests.ini"));
    QFile::remove(path);
    ProfileFile file(path, "GB18030");
    const QString key = QStringLiteral("li_2026/12/11 9:05:07");
    QCOMPARE(file.addStringUnderFreeKey(QStringLiteral("修改"), key, QStringLiteral("first")), key);
    QCOMPARE(file.addStringUnderFreeKey(QStringLiteral("修改"), key, QStringLiteral("second")),
             key + QStringLiteral("_2"));
    QCOMPARE(file.addStringUnderFreeKey(QStringLiteral("修改"), key, QStringLiteral("third")),
             key + QStringLiteral("_3"));
    QCOMPARE(file.ReadString(QStringLiteral("修改"), key, {}), QStringLiteral("first"));
    QCOMPARE(file.ReadString(QStringLiteral("修改"), key + QStringLiteral("_2"), {}),
             QStringLiteral("second"));

    QVERIFY(file.addString(QStringLiteral("待审核"), QStringLiteral("新闻"), QStringLiteral("a")));
    const QByteArray before = readAll(path);
    QVERIFY(!file.addString(QStringLiteral("待审核"), QStringLiteral("新闻"), QStringLiteral("b")));
    QCOMPARE(readAll(path), before);
}

void TestProfileFile::aWriterHoldingTheLockMakesOthersWaitThenRefuse() {
    // This process holds the writers' lock, as a writer on another computer that hangs would.
    const QString path = m_dir.filePath(QStringLiteral("busy.ini"));
    writeAll(path, "[s]\r\n");
    const int lock = ::open(QFile::encodeName(path + QStringLiteral(".lock")).constData(),
                            O_RDWR | O_CREAT, 0644);
    QVERIFY(lock >= 0);
    struct flock range = {};
    range.l_type = F_WRLCK;
    range.l_whence = SEEK_SET;
    QVERIFY(::fcntl(lock, F_SETLK, &range) == 0);
    QProcess writer;
    QElapsedTimer waited;
    waited.start();
    writer.start(qEnvironmentVariable("PROFILE_WRITER"), {path, QStringLiteral("k"), "1"});
    QVERIFY(writer.waitForFinished(60000));
    ::close(lock);
    QCOMPARE(writer.exitCode(), 1);
    QCOMPARE(QString::fromUtf8(writer.readAllStandardError()).trimmed(),
             QStringLiteral("Unable to write to ") + path +
                 QStringLiteral(": 文件正被其他程序使用"));
    QVERIFY2(waited.elapsed() >= 9000, "the writer did not wait for the lock");
    QCOMPARE(readAll(path), QByteArray("[s]\r\n"));
    // Once the lock is free, the same write lands.
    writer.start(qEnvironmentVariable("PROFILE_WRITER"), {path, QStringLiteral("k"), "1"});
    QVERIFY(writer.waitForFinished(60000));
    QCOMPARE(writer.exitCode(), 0);
}

QString TestProfileFile::publicFolder(const QString& name) {
    // Reachable by the unprivileged writers: m_dir itself is private to this user.
    QFile::setPermissions(m_public.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                               QFile::ReadOther | QFile::ExeOther);
    const QString folder = m_public.filePath(name);
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                      QFile::ReadOther | QFile::ExeOther);
    return folder;
}

void TestProfileFile::startUnprivilegedWriter(QProcess& process, const QStringList& arguments) {
    // The writer, copied where the unprivileged user may run it.
    const QString copy = m_public.filePath(QStringLiteral("profile_writer"));
    if (!QFile::exists(copy)) {
        QFile::copy(qEnvironmentVariable("PROFILE_WRITER"), copy);
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                        QFile::ExeOther);
    }
    process.start(QStringLiteral("setpriv"),
                  QStringList{"--reuid=nobody", "--regid=nogroup", "--clear-groups", copy} +
                      arguments);
}

QTEST_GUILESS_MAIN(TestProfileFile)
#include "tst_profilefile.moc"
