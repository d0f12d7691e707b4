// Speed of the start-up work and of the phone list's type-ahead, on the offscreen platform.
// Run through scripts/bench; figures go to docs/performance.md.
#include "Program.h"
#include "TypeAhead.h"
#include "UnitMain.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <algorithm>
#include <vector>

using namespace quvex;

namespace {

QTemporaryDir* g_root = nullptr;

Locations benchLocations() {
    return Locations::forExecutable(g_root->filePath(QStringLiteral("program/quvex")),
                                    g_root->filePath(QStringLiteral("share/")), QString());
}

Config benchConfig() {
    Config config;
    config.legacyCodepage = "GB18030";
    config.dbDriver = QStringLiteral("QSQLITE");
    return config;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
}

QStringList directoryLines(int count) {
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << QStringLiteral("%1 , 员工%2 , %3 , 138%4 , user%2@example.com")
                     .arg(QString(QChar(u'a' + i % 26)) + QChar(u'a' + (i / 26) % 26))
                     .arg(i)
                     .arg(8000 + i % 1000)
                     .arg(i, 8, 10, QLatin1Char('0'));
    return lines;
}

void prepareFiles() {
    QByteArray links;
    for (int g = 0; g < 40; ++g) {
        links += "[Group " + QByteArray::number(g) + "]\r\n";
        for (int l = 0; l < 60; ++l)
            links += "Link " + QByteArray::number(l) + "=\\\\files.example.com\\share\\g" +
                     QByteArray::number(g) + "\\document" + QByteArray::number(l) + ".doc\r\n";
    }
    writeFile(g_root->filePath(QStringLiteral("program/link_data.ini")), links);
    writeFile(g_root->filePath(QStringLiteral("program/tel_data.ini")),
              directoryLines(20000).join(QStringLiteral("\r\n")).toUtf8());
}

void BM_BuildLinkGroups_40x60(benchmark::State& state) {
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
BENCHMARK(BM_BuildLinkGroups_40x60)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_LoadPhoneDirectory_20000(benchmark::State& state) {
    TForm_quvex form(benchLocations(), benchConfig());
    for (auto _ : state)
        form.LoadPhoneDirectory();
}
BENCHMARK(BM_LoadPhoneDirectory_20000)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_TypeAheadKey_20000(benchmark::State& state) {
    const QStringList lines = directoryLines(20000);
    TypeAhead typeAhead;
    typeAhead.setLines(lines);
    qint64 now = 0;
    int current = 0;
    for (auto _ : state) {
        // A new search, then a key that extends it to text no line starts with: the second key
        // walks every line of its letter, then falls back. Two keys per iteration.
        now += TypeAhead::resetMs;
        current = typeAhead.type(u'a', now, current);
        current = typeAhead.type(u'#', now + 1, current);
        benchmark::DoNotOptimize(current);
    }
}
BENCHMARK(BM_TypeAheadKey_20000)->Unit(benchmark::kMicrosecond);

// Start-up to the first frame, as whole processes: the program on the demo share against a bare
// window with a four-page tab widget. Each iteration starts this executable as a child that
// builds one of the two, waits until the window is exposed, and quits.
// Shows the window and returns once it is exposed: on the offscreen platform the expose paints
// the first frame synchronously. No polling sleeps.
bool showFirstFrame(QWidget* window) {
    window->show();
    QElapsedTimer waited;
    waited.start();
    while (!(window->windowHandle() && window->windowHandle()->isExposed())) {
        if (waited.elapsed() > 10000)
            return false;
        QCoreApplication::processEvents();
    }
    return true;
}

int startupChild(const QString& kind) {
    if (kind == QLatin1String("program")) {
        const QString demo = qEnvironmentVariable("QUVEX_DEMO_SHARE");
        const Locations locations = Locations::forExecutable(
            qEnvironmentVariable("QUVEX_BENCH_PROGRAM_FOLDER") + QStringLiteral("/quvex"), demo,
            QString());
        QApplication::setApplicationName(QStringLiteral("quvex"));
        auto program = createProgram(locations, benchConfig());
        return showFirstFrame(program->mainWindow.get()) ? 0 : 1;
    }
    QTabWidget window;
    for (const char* page : {"常用链接", "远程办公", "价值观", "116文档搜索"})
        window.addTab(new QWidget, QString::fromUtf8(page));
    window.resize(784, 562);
    return showFirstFrame(&window) ? 0 : 1;
}

// Milliseconds from starting a child of the given kind to its end.
double childMs(const char* kind) {
    const QString self = QCoreApplication::applicationFilePath();
    QElapsedTimer timer;
    timer.start();
    QProcess child;
    child.start(self, {QStringLiteral("--startup-child=") + QLatin1String(kind)});
    if (!child.waitForFinished(30000) || child.exitCode() != 0)
        return -1;
    return timer.nsecsElapsed() / 1e6;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The two kinds alternate, so that a busy moment of the machine falls on both alike; the ratio
// is that of the medians.
void BM_ProcessStart_ProgramAgainstBareWindow(benchmark::State& state) {
    std::vector<double> program;
    std::vector<double> bare;
    for (auto _ : state) {
        bare.push_back(childMs("bare"));
        program.push_back(childMs("program"));
        if (bare.back() < 0 || program.back() < 0)
            state.SkipWithError("a child did not show its window");
    }
    state.counters["program_ms"] = median(program);
    state.counters["bare_ms"] = median(bare);
    state.counters["ratio"] = median(program) / median(bare);
}
BENCHMARK(BM_ProcessStart_ProgramAgainstBareWindow)->Unit(benchmark::kMillisecond)->Iterations(21);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString child = QStringLiteral("--startup-child=");
    if (argc > 1 && QString::fromLocal8Bit(argv[1]).startsWith(child))
        return startupChild(QString::fromLocal8Bit(argv[1]).mid(child.size()));

    QTemporaryDir root;
    g_root = &root;
    qputenv("HOME", QFile::encodeName(root.path()));
    const QString programFolder = root.filePath(QStringLiteral("demo-program"));
    QDir().mkpath(programFolder);
    QFile::copy(QStringLiteral(":/quvex/none_photo.png"),
                programFolder + QStringLiteral("/none_photo.png"));
    qputenv("QUVEX_BENCH_PROGRAM_FOLDER", QFile::encodeName(programFolder));
    prepareFiles();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
