// Speed of the document search on a 1,000,000-row SQLite index, and of the client-side part
// (1,000 found paths into the sorted list). Run through scripts/bench.
#include "BenchTable.h"
#include "DocumentSearch.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

namespace quvex::bench {

namespace {

void buildIndex(const QString& path) {
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("build"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery query(db);
        query.exec(QStringLiteral("PRAGMA journal_mode=OFF"));
        query.exec(QStringLiteral("CREATE TABLE document_searchindexs (search_id INTEGER PRIMARY "
                                  "KEY, search_path NVARCHAR(400))"));
        db.transaction();
        query.prepare(QStringLiteral("INSERT INTO document_searchindexs VALUES (?, ?)"));
        const QStringList departments{"行政部", "财务部", "市场部", "研发部", "Sales", "Support"};
        const QStringList subjects{"年度计划", "季度总结", "Annual Report",
                                   "Budget",   "会议纪要", "Minutes"};
        QRandomGenerator random(7);
        for (int i = 1; i <= 1000000; ++i) {
            query.addBindValue(i);
            query.addBindValue(QStringLiteral("\\\\files.example.com\\%1\\%2\\%3 %4_%5.doc")
                                   .arg(departments[random.bounded(departments.size())])
                                   .arg(2015 + random.bounded(12))
                                   .arg(subjects[random.bounded(subjects.size())])
                                   .arg(random.bounded(100000))
                                   .arg(i));
            query.exec();
        }
        db.commit();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("build"));
}

// Built by the first search benchmark that runs.
const DocumentIndexConnection& documentIndex() {
    static QTemporaryDir folder;
    static const DocumentIndexConnection index = [] {
        const QString path = folder.filePath(QStringLiteral("index.sqlite"));
        buildIndex(path);
        return DocumentIndexConnection{QStringLiteral("QSQLITE"), path};
    }();
    return index;
}

void BM_SearchOneWord(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(searchDocumentIndex(documentIndex(), QStringLiteral("财务部")));
}
BENCHMARK(BM_SearchOneWord)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_SearchThreeWords(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(
            searchDocumentIndex(documentIndex(), QStringLiteral("财务部 2020 \"Annual Report\"")));
}
BENCHMARK(BM_SearchThreeWords)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_SortThousandFoundPaths(benchmark::State& state) {
    const QStringList paths = searchDocumentIndex(documentIndex(), QStringLiteral("Sales"));
    const QLocale locale(QLocale::Chinese, QLocale::China);
    for (auto _ : state)
        benchmark::DoNotOptimize(sortedForDisplay(paths, locale));
    state.counters["rows"] = double(paths.size());
}
BENCHMARK(BM_SortThousandFoundPaths)->Unit(benchmark::kMillisecond);

const bool registered = [] {
    addTableRow({"search of a 1,000,000-row SQLite index, one word (1,000 hits found early)",
                 {"BM_SearchOneWord"},
                 std::nullopt,
                 {Goal::None}});
    addTableRow({"search of a 1,000,000-row SQLite index, three words (whole table)",
                 {"BM_SearchThreeWords"},
                 std::nullopt,
                 {Goal::None}});
    addTableRow({"1,000 found paths sorted for the list (Chinese locale)",
                 {"BM_SortThousandFoundPaths"},
                 std::nullopt,
                 {Goal::Below, 10}});
    return true;
}();

} // namespace

} // namespace quvex::bench
