// A console reporter that also keeps each benchmark's CPU time per
// iteration in ns, the fastest of its runs (with repetitions, the one
// least disturbed by other work on the machine), for ratios printed after
// the runs.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

#include <unistd.h>

namespace kvix::bench {

class RecordingReporter : public benchmark::ConsoleReporter {
public:
    RecordingReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration)
                continue;
            const double ns = run.GetAdjustedCPUTime() *
                              benchmark::GetTimeUnitMultiplier(benchmark::kNanosecond) /
                              benchmark::GetTimeUnitMultiplier(run.time_unit);
            const std::string name = run.run_name.str();
            const auto it = ns_.find(name);
            if (it == ns_.end() || ns < it->second)
                ns_[name] = ns;
        }
    }
    const std::map<std::string, double>& ns() const { return ns_; }

private:
    std::map<std::string, double> ns_;
};

} // namespace kvix::bench
