// Speed of the document search on a 1,000,000-row SQLite index, and of the client-side part
// (1,000 found paths into the sorted list). Run through scripts/bench.
#include "DocumentSearch.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

using namespace quvex;

namespace {

DocumentIndexConnection g_index;

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

void BM_SearchOneWord(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(searchDocumentIndex(g_index, QStringLiteral("财务部")));
}
BENCHMARK(BM_SearchOneWord)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_SearchThreeWords(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(
            searchDocumentIndex(g_index, QStringLiteral("财务部 2020 \"Annual Report\"")));
}
BENCHMARK(BM_SearchThreeWords)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_SortThousandFoundPaths(benchmark::State& state) {
    const QStringList paths = searchDocumentIndex(g_index, QStringLiteral("Sales"));
    const QLocale locale(QLocale::Chinese, QLocale::China);
    for (auto _ : state)
        benchmark::DoNotOptimize(sortedForDisplay(paths, locale));
    state.counters["rows"] = double(paths.size());
}
BENCHMARK(BM_SortThousandFoundPaths)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("index.sqlite"));
    buildIndex(path);
    g_index = {QStringLiteral("QSQLITE"), path};
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
