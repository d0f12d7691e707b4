// The benchmarks of start-up, the link list, the phone list and the document search, on the
// offscreen platform. Run through scripts/bench, which prints their table; the figures go to
// docs/performance.md.
#include "BenchSupport.h"
#include "BenchTable.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace quvex::bench {
int startupChild(const QString& kind);
}

using namespace quvex::bench;

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString child = QStringLiteral("--startup-child=");
    if (argc > 1 && QString::fromLocal8Bit(argv[1]).startsWith(child))
        return startupChild(QString::fromLocal8Bit(argv[1]).mid(child.size()));

    // Every child and every benchmark works below one temporary folder, HOME included.
    QTemporaryDir root;
    qputenv("QUVEX_BENCH_ROOT", QFile::encodeName(root.path()));
    qputenv("HOME", QFile::encodeName(root.path()));
    for (const char* program : {"demo-program", "big-program", "program"}) {
        const QString folder = root.filePath(QLatin1String(program));
        QDir().mkpath(folder);
        QFile::copy(QStringLiteral(":/quvex/none_photo.png"),
                    folder + QStringLiteral("/none_photo.png"));
    }
    qputenv("QUVEX_BENCH_PROGRAM_FOLDER", QFile::encodeName(root.filePath("demo-program")));

    benchmark::Initialize(&argc, argv);
    TableReporter table;
    benchmark::RunSpecifiedBenchmarks(&table);
    benchmark::Shutdown();
    return 0;
}
