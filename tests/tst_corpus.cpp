// Runs every stored fuzz input (the seeds and every input that ever found a fault) through the
// property its target checks, so that a fault found once fails the suite for ever.
#include "Properties.h"

#include <QDir>
#include <QTest>

#include <functional>

using namespace quvex;

class TestCorpus : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void storedInputsKeepTheirProperties_data();
    void storedInputsKeepTheirProperties();
};

namespace {

using Property = std::function<properties::Violation(const QByteArray&)>;

const QList<std::pair<QString, Property>>& targets() {
    static const QList<std::pair<QString, Property>> all{
        {QStringLiteral("profile_reads"), properties::profileReads},
        {QStringLiteral("profile_writes"), properties::profileWrites},
        {QStringLiteral("text_decoding"), properties::textDecoding},
        {QStringLiteral("phone_directory"), properties::phoneDirectory},
        {QStringLiteral("document_search"), properties::documentSearch},
        {QStringLiteral("mail_link"), properties::mailLink},
    };
    return all;
}

} // namespace

void TestCorpus::storedInputsKeepTheirProperties_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("path");
    const QDir corpus(qEnvironmentVariable("FUZZ_CORPUS"));
    QVERIFY2(corpus.exists(), "FUZZ_CORPUS names tests/fuzz/corpus");
    for (const auto& [target, property] : targets()) {
        const QStringList files = QDir(corpus.filePath(target)).entryList(QDir::Files);
        QVERIFY2(!files.isEmpty(), qPrintable(target + QStringLiteral(" has no seed")));
        for (const QString& file : files)
            QTest::addRow("%s/%s", qPrintable(target), qPrintable(file))
                << target << corpus.filePath(target + u'/' + file);
    }
}

void TestCorpus::storedInputsKeepTheirProperties() {
    QFETCH(QString, target);
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray input = file.readAll();
    for (const auto& [name, property] : targets()) {
        if (name != target)
            continue;
        const properties::Violation violation = property(input);
        QVERIFY2(!violation, qPrintable(violation.value_or(QString())));
    }
}

QTEST_GUILESS_MAIN(TestCorpus)
#include "tst_corpus.moc"
