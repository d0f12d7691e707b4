#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace quvex::bench {

// What a row of the table reads: a benchmark's median real time in milliseconds, or one of its
// counters (medians too) in the counter's own unit.
struct Measure {
    Measure(std::string benchmark, std::string counter = {}, std::string unit = "ms",
            double scale = 1)
        : benchmark(std::move(benchmark))
        , counter(std::move(counter))
        , unit(std::move(unit))
        , scale(scale) {}
    std::string benchmark;
    std::string counter; // empty: the real time
    std::string unit;
    double scale; // applied to a counter, to bring it to the unit
};

struct Goal {
    enum Kind { None, RatioAtMost, Below } kind;
    double value = 0; // a ratio, or a bound in the measured unit
};

struct TableRow {
    std::string name;
    Measure measured;
    std::optional<Measure> yardstick;
    Goal goal;
};

// Rows are declared beside their benchmarks; the table shows those whose benchmarks ran.
void addTableRow(TableRow row);

// Collects the medians and prints one table at the end: case, median, yardstick median, ratio,
// goal, met. Without repetitions the single run stands for the median.
class TableReporter : public benchmark::BenchmarkReporter {
public:
    bool ReportContext(const Context& context) override;
    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

private:
    std::optional<double> value(const Measure& measure) const;

    struct Medians {
        double realMs = 0;
        std::map<std::string, double> counters;
        std::string error;
    };
    std::map<std::string, Medians> m_medians;
};

} // namespace quvex::bench
