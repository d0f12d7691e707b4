// Start-up to the first frame, as whole processes: each iteration starts this executable as a
// child that builds a window, waits until it is exposed, reports its peak memory and quits.
#include "BenchSupport.h"
#include "BenchTable.h"
#include "Program.h"
#include "UnitMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTabWidget>
#include <sys/resource.h>

namespace quvex::bench {

namespace {

QString bigShare() {
    return benchRoot() + QStringLiteral("/big-share/");
}

int showProgram(const QString& programFolder, const QString& share) {
    const Locations locations =
        Locations::forExecutable(programFolder + QStringLiteral("/quvex"), share, QString());
    QApplication::setApplicationName(QStringLiteral("quvex"));
    auto program = createProgram(locations, benchConfig());
    return showFirstFrame(program->mainWindow.get()) ? 0 : 1;
}

int showBareWindow() {
    QTabWidget window;
    for (const char* page : {"常用链接", "远程办公", "价值观", "116文档搜索"})
        window.addTab(new QWidget, QString::fromUtf8(page));
    window.resize(784, 562);
    return showFirstFrame(&window) ? 0 : 1;
}

struct ChildRun {
    double ms = -1;
    double peakMB = 0;
};

ChildRun runChild(const char* kind) {
    QElapsedTimer timer;
    timer.start();
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--startup-child=") + QLatin1String(kind)});
    if (!child.waitForFinished(120000) || child.exitCode() != 0)
        return {};
    ChildRun run;
    run.ms = timer.nsecsElapsed() / 1e6;
    run.peakMB = child.readAllStandardOutput().trimmed().toDouble() / 1024;
    return run;
}

// The two kinds alternate, so that a busy moment of the machine falls on both alike.
void BM_StartProgram(benchmark::State& state) {
    std::vector<double> program;
    std::vector<double> bare;
    for (auto _ : state) {
        bare.push_back(runChild("bare").ms);
        program.push_back(runChild("program").ms);
        if (bare.back() < 0 || program.back() < 0)
            state.SkipWithError("a child did not show its window");
    }
    state.counters["program_ms"] = median(program);
    state.counters["bare_ms"] = median(bare);
}
BENCHMARK(BM_StartProgram)->Unit(benchmark::kMillisecond)->Iterations(21);

void BM_StartWithBigLinkList(benchmark::State& state) {
    static const bool written = [] {
        // About 50 MB: 40 groups of 19,400 links.
        writeFile(bigShare() + FileNames::linkList, linkListBytes(40, 19400));
        return true;
    }();
    Q_UNUSED(written);
    std::vector<double> peaks;
    for (auto _ : state) {
        const ChildRun run = runChild("big-list");
        if (run.ms < 0)
            state.SkipWithError("the child did not show its window");
        peaks.push_back(run.peakMB);
        state.SetIterationTime(run.ms / 1e3);
    }
    state.counters["peak_MB"] = median(peaks);
}
BENCHMARK(BM_StartWithBigLinkList)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

const bool rows = [] {
    addTableRow({"start to first frame (demo share) against a bare four-page tab window",
                 {"BM_StartProgram", "program_ms"},
                 Measure{"BM_StartProgram", "bare_ms"},
                 {Goal::RatioAtMost, 1.25}});
    addTableRow({"start to first frame with a 50 MB link list (776,000 links)",
                 {"BM_StartWithBigLinkList"},
                 std::nullopt,
                 {Goal::Below, 5000}});
    addTableRow({"peak memory of that start",
                 {"BM_StartWithBigLinkList", "peak_MB", "MB"},
                 std::nullopt,
                 {Goal::Below, 400}});
    return true;
}();

} // namespace

int startupChild(const QString& kind) {
    int result = 1;
    if (kind == QLatin1String("program"))
        result = showProgram(qEnvironmentVariable("QUVEX_BENCH_PROGRAM_FOLDER"),
                             qEnvironmentVariable("QUVEX_DEMO_SHARE"));
    else if (kind == QLatin1String("big-list"))
        result = showProgram(benchRoot() + QStringLiteral("/big-program"), bigShare());
    else
        result = showBareWindow();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%ld\n", usage.ru_maxrss); // kilobytes
    return result;
}

} // namespace quvex::bench
