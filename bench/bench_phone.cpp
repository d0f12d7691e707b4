// The phone list: loading it, the type-ahead alone, and one typed key that changes the photo.
#include "BenchSupport.h"
#include "BenchTable.h"
#include "TypeAhead.h"
#include "UnitMain.h"

#include <QBuffer>
#include <QComboBox>
#include <QImage>
#include <QTest>

namespace quvex::bench {

namespace {

void BM_LoadPhoneDirectory_20000(benchmark::State& state) {
    writeFile(benchLocations().localPhoneDirectory(),
              directoryLines(20000).join(QStringLiteral("\r\n")).toUtf8());
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

QByteArray photo(QColor colour) {
    QImage image(120, 150, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    return bytes;
}

// Keys through the real window: "a" and "b" alternate between the first lines of two letters,
// each with its own photo, so every key changes the photo.
void BM_TypeAheadKeyWithPhoto(benchmark::State& state) {
    const Locations locations = benchLocations();
    writeFile(locations.localPhoneDirectory(),
              directoryLines(20000).join(QStringLiteral("\r\n")).toUtf8());
    writeFile(locations.photoFolder() + QStringLiteral("员工0.jpg"), photo(Qt::darkRed));
    writeFile(locations.photoFolder() + QStringLiteral("员工1.jpg"), photo(Qt::darkBlue));
    TForm_quvex form(locations, benchConfig());
    form.LoadPhoneDirectory();
    if (!showFirstFrame(&form))
        state.SkipWithError("the window was not shown");
    auto* combo = form.findChild<QComboBox*>(QStringLiteral("ComboBox_userinfo"));
    combo->setFocus();
    // Each key comes after the type-ahead's pause, so that it starts a new search.
    qint64 now = 0;
    form.setTypeAheadClock([&now] { return now += 2 * TypeAhead::resetMs; });
    char key = 'a';
    for (auto _ : state) {
        QTest::keyClick(combo, key);
        state.PauseTiming();
        key = key == 'a' ? 'b' : 'a';
        QCoreApplication::processEvents(); // the label's repaint, outside the key's time
        state.ResumeTiming();
    }
    if (combo->currentText().isEmpty())
        state.SkipWithError("no line was selected");
}

BENCHMARK(BM_TypeAheadKeyWithPhoto)->Unit(benchmark::kMicrosecond);

const bool registered = [] {
    addTableRow({"phone list of 20,000 lines loaded (LoadPhoneDirectory)",
                 {"BM_LoadPhoneDirectory_20000"},
                 std::nullopt,
                 {Goal::Below, 30}});
    addTableRow({"type-ahead over 20,000 lines, worst case (two keys)",
                 {"BM_TypeAheadKey_20000"},
                 std::nullopt,
                 {Goal::Below, 0.4}});
    addTableRow({"one type-ahead key that changes the photo",
                 {"BM_TypeAheadKeyWithPhoto"},
                 std::nullopt,
                 {Goal::Below, 0.05}});
    return true;
}();

} // namespace

} // namespace quvex::bench
