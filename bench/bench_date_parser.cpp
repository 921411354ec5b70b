// The date reader's cost per text: the canonical "YYYY-MM-DD hh:mm:ss"
// that the program itself writes, through its fast path (read_serial, the
// date box's conversion), and one text of each family through the general
// reader (read_seconds), each against the goal of 1 µs a text; then the
// cost per byte of a long text, which stays flat when reading is linear.
// With --benchmark_repetitions=N the fastest repetition of each counts.
// Run: build/ci/bench/bench_date_parser
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "date_text.hpp"
#include "recording_reporter.hpp"

namespace {

void fast_path(benchmark::State& state, const char* text) {
    const std::string s = text;
    for (auto _ : state)
        benchmark::DoNotOptimize(kvix::date::read_serial(s, kvix::date::stopped_clock<0>));
}

void general(benchmark::State& state, const char* text) {
    const std::string s = text;
    for (auto _ : state)
        benchmark::DoNotOptimize(kvix::date::read_seconds(s, kvix::date::stopped_clock<0>));
}

// A date with `bytes` of white space between its date and its time.
void long_text(benchmark::State& state) {
    const auto bytes = static_cast<std::size_t>(state.range(0));
    const std::string s = "Tue, 19 Jan 2038" + std::string(bytes, ' ') + "03:14:07 +0000";
    for (auto _ : state)
        benchmark::DoNotOptimize(kvix::date::read_seconds(s, kvix::date::stopped_clock<0>));
}

constexpr double kGoalNs = 1000.0;

} // namespace

BENCHMARK_CAPTURE(fast_path, canonical, "2038-01-19 03:14:07");
BENCHMARK_CAPTURE(general, canonical, "2038-01-19 03:14:07");
BENCHMARK_CAPTURE(general, iso_t_z, "2038-01-19T03:14:07Z");
BENCHMARK_CAPTURE(general, iso_fraction_offset, "2038-01-19T04:14:07.123456+01:00");
BENCHMARK_CAPTURE(general, iso_basic, "20380119T031407Z");
BENCHMARK_CAPTURE(general, rfc5322, "Tue, 19 Jan 2038 03:14:07 +0000");
BENCHMARK_CAPTURE(general, cookie, "Tuesday, 19-Jan-2038 03:14:07 GMT");
BENCHMARK_CAPTURE(general, date_command, "Tue Jan 19 03:14:07 UTC 2038");
BENCHMARK_CAPTURE(general, asctime, "Tue Jan 19 03:14:07 2038");
BENCHMARK_CAPTURE(general, javascript,
                  "Tue Jan 19 2038 03:14:07 GMT+0000 (Coordinated Universal Time)");
BENCHMARK_CAPTURE(general, web_server_log, "[19/Jan/2038:03:14:07 +0000]");
BENCHMARK_CAPTURE(general, month_name_12h, "January 19, 2038 3:14:07 AM");
BENCHMARK_CAPTURE(general, day_month_name, "19 January 2038 03:14:07");
BENCHMARK_CAPTURE(general, day_first_dots, "19.01.2038 03:14:07");
BENCHMARK_CAPTURE(general, year_first_slashes, "2038/01/19 03:14:07");
BENCHMARK_CAPTURE(general, month_first_slashes, "01/19/2038 03:14:07");
BENCHMARK_CAPTURE(general, longest, "[Tuesday, January 19, 2038 at 3:14:07.5 p.m. GMT+01:00 (CET)]");
BENCHMARK(long_text)->Arg(1 << 10)->Arg(1 << 16);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    kvix::bench::RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const auto& ns = reporter.ns();
    std::printf("\nEach family, measured in this run:\n");
    for (const auto& [name, time] : ns) {
        if (name.rfind("long_text", 0) == 0)
            continue;
        std::printf("  %-34s %7.1f ns  (goal < %.0f ns: %s)\n", name.c_str(), time, kGoalNs,
                    time < kGoalNs ? "met" : "NOT MET");
    }
    const auto small = ns.find("long_text/1024"), large = ns.find("long_text/65536");
    if (small != ns.end() && large != ns.end())
        std::printf("  long text: %.3f ns a byte at 1 KiB, %.3f ns a byte at 64 KiB (linear when alike)\n",
                    small->second / 1024, large->second / 65536);
    return 0;
}
