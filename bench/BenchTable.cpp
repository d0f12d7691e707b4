#include "BenchTable.h"

#include <cstdio>
#include <thread>

namespace quvex::bench {

namespace {

std::vector<TableRow>& tableRows() {
    static std::vector<TableRow> rows;
    return rows;
}

double toMs(double time, benchmark::TimeUnit unit) {
    switch (unit) {
    case benchmark::kNanosecond:
        return time / 1e6;
    case benchmark::kMicrosecond:
        return time / 1e3;
    case benchmark::kMillisecond:
        return time;
    case benchmark::kSecond:
        return time * 1e3;
    }
    return time;
}

std::string shown(double value, const std::string& unit) {
    char text[64];
    if (unit == "ms" && value < 1)
        std::snprintf(text, sizeof text, "%.1f µs", value * 1e3);
    else if (unit == "ms" && value >= 1000)
        std::snprintf(text, sizeof text, "%.2f s", value / 1e3);
    else
        std::snprintf(text, sizeof text, value < 10 ? "%.2f %s" : "%.1f %s", value, unit.c_str());
    return text;
}

} // namespace

void addTableRow(TableRow row) {
    tableRows().push_back(std::move(row));
}

bool TableReporter::ReportContext(const Context& context) {
    std::printf("%d CPUs at %.0f MHz, %s build of the benchmarks\n",
                int(std::thread::hardware_concurrency()), context.cpu_info.cycles_per_second / 1e6,
#ifdef NDEBUG
                "release"
#else
                "DEBUG"
#endif
    );
    std::fflush(stdout);
    return true;
}

void TableReporter::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
        const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
        if (!median && !single && !run.error_occurred)
            continue;
        Medians& medians = m_medians[run.run_name.function_name];
        if (run.error_occurred) {
            medians.error = run.error_message;
            continue;
        }
        medians.realMs = toMs(run.GetAdjustedRealTime(), run.time_unit);
        for (const auto& [name, counter] : run.counters)
            medians.counters[name] = counter.value;
        std::fprintf(stderr, "  %s done\n", run.run_name.function_name.c_str());
    }
}

std::optional<double> TableReporter::value(const Measure& measure) const {
    const auto found = m_medians.find(measure.benchmark);
    if (found == m_medians.end() || !found->second.error.empty())
        return std::nullopt;
    if (measure.counter.empty())
        return found->second.realMs;
    const auto counter = found->second.counters.find(measure.counter);
    if (counter == found->second.counters.end())
        return std::nullopt;
    return counter->second * measure.scale;
}

void TableReporter::Finalize() {
    std::printf("\n| case | median | yardstick median | ratio | goal | met |\n");
    std::printf("|---|---|---|---|---|---|\n");
    for (const TableRow& row : tableRows()) {
        if (!m_medians.count(row.measured.benchmark))
            continue;
        const std::string& error = m_medians.at(row.measured.benchmark).error;
        const std::optional<double> measured = value(row.measured);
        const std::optional<double> yardstick =
            row.yardstick ? value(*row.yardstick) : std::nullopt;
        if (!measured || (row.yardstick && !yardstick)) {
            std::printf("| %s | failed: %s | | | | no |\n", row.name.c_str(),
                        error.empty() ? "no figure" : error.c_str());
            continue;
        }
        const std::optional<double> ratio =
            yardstick ? std::optional<double>(*measured / *yardstick) : std::nullopt;
        char goal[64] = "";
        bool met = false;
        if (row.goal.kind == Goal::None) {
            met = true;
        } else if (row.goal.kind == Goal::RatioAtMost) {
            std::snprintf(goal, sizeof goal, "ratio at most %.2f", row.goal.value);
            met = ratio && *ratio <= row.goal.value;
        } else {
            std::snprintf(goal, sizeof goal, "under %s",
                          shown(row.goal.value, row.measured.unit).c_str());
            met = *measured < row.goal.value;
        }
        char ratioText[32] = "";
        if (ratio)
            std::snprintf(ratioText, sizeof ratioText, "%.2f", *ratio);
        std::printf("| %s | %s | %s | %s | %s | %s |\n", row.name.c_str(),
                    shown(*measured, row.measured.unit).c_str(),
                    yardstick ? shown(*yardstick, row.yardstick->unit).c_str() : "", ratioText,
                    goal,
                    row.goal.kind == Goal::None ? ""
                    : met                       ? "yes"
                                                : "NO");
    }
    std::fflush(stdout);
}

} // namespace quvex::bench
