// The date reader's cost per text: the text the program itself writes
// through the date box's conversion (read_serial), and one text of each
// family through the grammar (read_seconds); the goal is under 1 µs a text.
// Then a long text at two lengths: the bytes per second stay alike when
// reading is linear.
// Run: build/ci/bench/bench_date_parser
#include <benchmark/benchmark.h>

#include <string>

#include "date_text.hpp"

namespace {

void written(benchmark::State& state, const char* text) {
    const std::string s = text;
    for (auto _ : state)
        benchmark::DoNotOptimize(kvix::date::read_serial(s, kvix::date::stopped_clock<0>));
}

void family(benchmark::State& state, const char* text) {
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
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * s.size()));
}

} // namespace

BENCHMARK_CAPTURE(written, as_written, "2038-01-19 03:14:07");
BENCHMARK_CAPTURE(family, as_written, "2038-01-19 03:14:07");
BENCHMARK_CAPTURE(family, iso_t_z, "2038-01-19T03:14:07Z");
BENCHMARK_CAPTURE(family, iso_fraction_offset, "2038-01-19T04:14:07.123456+01:00");
BENCHMARK_CAPTURE(family, iso_basic, "20380119T031407Z");
BENCHMARK_CAPTURE(family, rfc5322, "Tue, 19 Jan 2038 03:14:07 +0000");
BENCHMARK_CAPTURE(family, cookie, "Tuesday, 19-Jan-2038 03:14:07 GMT");
BENCHMARK_CAPTURE(family, date_command, "Tue Jan 19 03:14:07 UTC 2038");
BENCHMARK_CAPTURE(family, asctime, "Tue Jan 19 03:14:07 2038");
BENCHMARK_CAPTURE(family, zone_after_year, "Tue 19 Jan 03:14:07 2038 UTC");
BENCHMARK_CAPTURE(family, offset_and_label, "2038-01-19 04:14:07.123456789 +0100 CET m=+0.001234567");
BENCHMARK_CAPTURE(family, zone_in_brackets, "2038-01-19T00:14:07-03:00[America/Argentina/Buenos_Aires]");
BENCHMARK_CAPTURE(family, offset_with_seconds, "1901-12-14T02:07:02+05:21:10");
BENCHMARK_CAPTURE(family, ordinal_date, "2038-019T03:14:07Z");
BENCHMARK_CAPTURE(family, week_date, "2038-W03-2T03:14:07Z");
BENCHMARK_CAPTURE(family, exif, "2038:01:19 04:14:07+01:00");
BENCHMARK_CAPTURE(family, fourteen_digits, "20380119031407.5Z");
BENCHMARK_CAPTURE(family, ordinal_suffix, "January 19th, 2038");
BENCHMARK_CAPTURE(family, javascript, "Tue Jan 19 2038 03:14:07 GMT+0000 (Coordinated Universal Time)");
BENCHMARK_CAPTURE(family, web_server_log, "[19/Jan/2038:03:14:07 +0000]");
BENCHMARK_CAPTURE(family, month_name_12h, "January 19, 2038 3:14:07 AM");
BENCHMARK_CAPTURE(family, day_month_name, "19 January 2038 03:14:07");
BENCHMARK_CAPTURE(family, day_first_dots, "19.01.2038 03:14:07");
BENCHMARK_CAPTURE(family, year_first_slashes, "2038/01/19 03:14:07");
BENCHMARK_CAPTURE(family, month_first_slashes, "01/19/2038 03:14:07");
BENCHMARK_CAPTURE(family, zone_name, "Tue, 19 Jan 2038 12:14:07 JST");
BENCHMARK_CAPTURE(family, german_date_command, "Di 19. Jan 04:14:07 CET 2038");
BENCHMARK_CAPTURE(family, german_long, "Dienstag, 19. J\u00e4nner 2038 um 03:14 Uhr");
BENCHMARK_CAPTURE(family, german_dots_uhr, "Di., 19.01.2038 03:14 Uhr");
BENCHMARK_CAPTURE(family, now, "now");
BENCHMARK_CAPTURE(family, at_unix_time, "@1405507023");
BENCHMARK_CAPTURE(family, longest, "[Tuesday, January 19, 2038 at 3:14:07.5 p.m. GMT+01:00 (CET)]");
BENCHMARK(long_text)->Arg(1 << 10)->Arg(1 << 16);
BENCHMARK_MAIN();
