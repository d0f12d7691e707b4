// The link list reader against two other INI readers filling the same catalogue, the reader's
// growth with the file, and the link page built and shown.
#include "BenchSupport.h"
#include "BenchTable.h"
#include "LinkCatalog.h"
#include "UnitMain.h"

#include <ini.h>

#include <QApplication>
#include <QFile>
#include <QHash>
#include <QSettings>

namespace quvex::bench {

namespace {

QString linkListFile(int groups, int linksPerGroup) {
    const QString path =
        benchRoot() + QStringLiteral("/lists/links-%1x%2.ini").arg(groups).arg(linksPerGroup);
    if (!QFile::exists(path))
        writeFile(path, linkListBytes(groups, linksPerGroup));
    return path;
}

void BM_ReadLinkCatalog(benchmark::State& state, int groups, int linksPerGroup) {
    const QString path = linkListFile(groups, linksPerGroup);
    for (auto _ : state) {
        const LinkCatalog catalog = ReadLinkCatalog(path, "GB18030");
        benchmark::DoNotOptimize(catalog.size());
    }
    // Per line, headers included: a group of one link is two lines of the file.
    state.counters["s_per_line"] = benchmark::Counter(
        double(groups) * (linksPerGroup + 1),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// libinih, filling the same structure: sections met again add to their first group.
struct InihCatalog {
    LinkCatalog catalog;
    QHash<QByteArray, qsizetype> groups;
};

int inihEntry(void* user, const char* section, const char* name, const char* value) {
    auto* read = static_cast<InihCatalog*>(user);
    const QByteArray key(section);
    auto found = read->groups.constFind(key);
    if (found == read->groups.constEnd()) {
        found = read->groups.insert(key, read->catalog.size());
        read->catalog.append({QString::fromUtf8(key), {}});
    }
    read->catalog[*found].links.append({QString::fromUtf8(name), QString::fromUtf8(value)});
    return 1;
}

void BM_InihLinkCatalog(benchmark::State& state) {
    const QByteArray path = QFile::encodeName(linkListFile(20, 500));
    for (auto _ : state) {
        InihCatalog read;
        ini_parse(path.constData(), inihEntry, &read);
        benchmark::DoNotOptimize(read.catalog.size());
    }
}

// QSettings caches a parsed file until its size or time changes, so each read sees a new time.
void BM_QSettingsLinkCatalog(benchmark::State& state) {
    const QString path = linkListFile(20, 500);
    QDateTime stamp = QDateTime::currentDateTime();
    for (auto _ : state) {
        state.PauseTiming();
        stamp = stamp.addSecs(1);
        {
            QFile file(path);
            file.open(QIODevice::ReadWrite);
            file.setFileTime(stamp, QFileDevice::FileModificationTime);
        }
        state.ResumeTiming();
        QSettings settings(path, QSettings::IniFormat);
        LinkCatalog catalog;
        for (const QString& group : settings.childGroups()) {
            settings.beginGroup(group);
            LinkGroup links{group, {}};
            for (const QString& key : settings.childKeys())
                links.links.append({key, settings.value(key).toString()});
            settings.endGroup();
            catalog.append(std::move(links));
        }
        benchmark::DoNotOptimize(catalog.size());
    }
}

void BM_ShowLinkPage_40x2500(benchmark::State& state) {
    writeFile(benchLocations().localLinkList(), linkListBytes(40, 2500));
    for (auto _ : state) {
        auto form = std::make_unique<TForm_quvex>(benchLocations(), benchConfig());
        form->BuildLinkGroups();
        if (!showFirstFrame(form.get()))
            state.SkipWithError("the window was not shown");
        state.PauseTiming();
        form.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

void BM_BuildLinkGroups_40x60(benchmark::State& state) {
    writeFile(benchLocations().localLinkList(), linkListBytes(40, 60));
    for (auto _ : state) {
        state.PauseTiming();
        auto form = std::make_unique<TForm_quvex>(benchLocations(), benchConfig());
        state.ResumeTiming();
        form->BuildLinkGroups();
        state.PauseTiming();
        form.reset();
        state.ResumeTiming();
    }
}

struct ReaderSize {
    const char* name;
    int groups;
    int linksPerGroup;
};
constexpr ReaderSize readerSizes[] = {
    {"BM_ReadLinkCatalog_20x50", 20, 50},       {"BM_ReadLinkCatalog_20x500", 20, 500},
    {"BM_ReadLinkCatalog_20x5000", 20, 5000},   {"BM_ReadLinkCatalog_10000x1", 10000, 1},
    {"BM_ReadLinkCatalog_10000x10", 10000, 10},
};

const bool registered = [] {
    for (const ReaderSize& size : readerSizes)
        benchmark::RegisterBenchmark(size.name, BM_ReadLinkCatalog, size.groups, size.linksPerGroup)
            ->Unit(benchmark::kMillisecond);
    BENCHMARK(BM_InihLinkCatalog)->Unit(benchmark::kMillisecond);
    BENCHMARK(BM_QSettingsLinkCatalog)->Unit(benchmark::kMillisecond);
    BENCHMARK(BM_ShowLinkPage_40x2500)->Unit(benchmark::kMillisecond)->Iterations(3);
    BENCHMARK(BM_BuildLinkGroups_40x60)->Unit(benchmark::kMillisecond)->Iterations(20);

    addTableRow({"ReadLinkCatalog, 20 groups x 500 links, against libinih",
                 {"BM_ReadLinkCatalog_20x500"},
                 Measure{"BM_InihLinkCatalog"},
                 {Goal::RatioAtMost, 1.3}});
    addTableRow({"ReadLinkCatalog, 20 groups x 500 links, against QSettings",
                 {"BM_ReadLinkCatalog_20x500"},
                 Measure{"BM_QSettingsLinkCatalog"},
                 {Goal::RatioAtMost, 0.35}});
    for (const ReaderSize& size : readerSizes) {
        if (size.groups * size.linksPerGroup == 10000 && size.groups == 20)
            continue;
        addTableRow({"ReadLinkCatalog per line, " + std::to_string(size.groups) + " groups x " +
                         std::to_string(size.linksPerGroup) + " links, against 20 x 500",
                     {size.name, "s_per_line", "ns", 1e9},
                     Measure{"BM_ReadLinkCatalog_20x500", "s_per_line", "ns", 1e9},
                     {Goal::RatioAtMost, 1.5}});
    }
    addTableRow({"link page of 40 groups x 2,500 links, built and shown",
                 {"BM_ShowLinkPage_40x2500"},
                 std::nullopt,
                 {Goal::Below, 1000}});
    addTableRow({"link page of 40 groups x 60 links, built (BuildLinkGroups)",
                 {"BM_BuildLinkGroups_40x60"},
                 std::nullopt,
                 {Goal::Below, 30}});
    return true;
}();

} // namespace

} // namespace quvex::bench
