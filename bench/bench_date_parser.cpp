// The date parser's cost per text, for each family of date texts against
// the canonical "YYYY-MM-DD hh:mm:ss" that the program itself writes, and
// each family's ratio to it (the goal: at most 3 times).  With
// --benchmark_repetitions=N the fastest repetition of each counts.
// Run: build/ci/bench/bench_date_parser
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "date_text.hpp"
#include "recording_reporter.hpp"

namespace {

void parse(benchmark::State& state, const char* text) {
    const std::string s = text;
    for (auto _ : state)
        benchmark::DoNotOptimize(kvix::date::read_seconds(s));
}


} // namespace

BENCHMARK_CAPTURE(parse, canonical, "2038-01-19 03:14:07");
BENCHMARK_CAPTURE(parse, iso_t_z, "2038-01-19T03:14:07Z");
BENCHMARK_CAPTURE(parse, iso_fraction_offset, "2038-01-19T04:14:07.123456+01:00");
BENCHMARK_CAPTURE(parse, iso_basic, "20380119T031407Z");
BENCHMARK_CAPTURE(parse, rfc5322, "Tue, 19 Jan 2038 03:14:07 +0000");
BENCHMARK_CAPTURE(parse, date_command, "Tue Jan 19 03:14:07 UTC 2038");
BENCHMARK_CAPTURE(parse, asctime, "Tue Jan 19 03:14:07 2038");
BENCHMARK_CAPTURE(parse, javascript,
                  "Tue Jan 19 2038 03:14:07 GMT+0000 (Coordinated Universal Time)");
BENCHMARK_CAPTURE(parse, month_name_12h, "January 19, 2038 3:14:07 AM");
BENCHMARK_CAPTURE(parse, day_first_dots, "19.01.2038 03:14:07");
BENCHMARK_CAPTURE(parse, year_first_slashes, "2038/01/19 03:14:07");
BENCHMARK_CAPTURE(parse, month_first_slashes, "01/19/2038 03:14:07");

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    kvix::bench::RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const auto& ns = reporter.ns();
    const auto canonical = ns.find("parse/canonical");
    if (canonical == ns.end() || canonical->second <= 0)
        return 0;
    std::printf("\nRatios to the canonical text (%.1f ns), measured in this run:\n", canonical->second);
    for (const auto& [name, time] : ns) {
        if (name == canonical->first)
            continue;
        const double r = time / canonical->second;
        std::printf("  %-28s %6.1f ns = %4.2fx  (target <= 3x: %s)\n", name.c_str(), time, r,
                    r <= 3.0 ? "met" : "NOT MET");
    }
    return 0;
}
