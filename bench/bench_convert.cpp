// Speed of the conversions the two calculations use, one by one and as the
// full path of a round trip, next to the same round trip done with glibc's
// time functions and with std::chrono plus to_chars/from_chars.
//
// Every route is checked once on all its sample values before timing, so a
// route that gives wrong answers cannot look fast.  After the runs the
// program prints the ratios between routes measured in this same run.
#include <benchmark/benchmark.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>


#include "calc.hpp"
#include "convert.hpp"
#include "date_text.hpp"
#include "recording_reporter.hpp"
#include "error.hpp"
#include "fp_status.hpp"
#include "round_trip.hpp"

namespace {

// ---------------------------------------------------------------------------
// Sample values: pseudo-random over the whole 32-bit range (SplitMix64, a
// fixed seed), so branches on digit counts and signs are not predictable.
constexpr std::size_t kSamples = 4096; // a power of two, for the index mask

struct Samples {
    std::array<std::int32_t, kSamples> value;
    std::array<std::string, kSamples> decimal;
    // The same texts in kTextRoom buffers, zeros after the text, for the
    // program's own round trip.
    std::array<std::array<char, kvix::test::kTextRoom>, kSamples> row;
    std::array<std::string, kSamples> date;
    std::array<double, kSamples> serial;
};

const Samples& samples() {
    static const Samples s = [] {
        Samples r;
        std::uint64_t state = 0x4B5649582D515545; // any fixed seed
        for (std::size_t i = 0; i < kSamples; ++i) {
            state += 0x9E3779B97F4A7C15;
            std::uint64_t z = state;
            z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9;
            z = (z ^ (z >> 27)) * 0x94D049BB133111EB;
            z ^= z >> 31;
            r.value[i] = static_cast<std::int32_t>(static_cast<std::uint32_t>(z));
            r.decimal[i] = kvix::format_int32(r.value[i]);
            r.row[i] = {};
            std::memcpy(r.row[i].data(), r.decimal[i].data(), r.decimal[i].size());
            r.serial[i] = kvix::serial_of_unix_time(r.value[i]);
            r.date[i] = kvix::format_date(r.serial[i]);
        }
        return r;
    }();
    return s;
}

[[noreturn]] void route_is_wrong(const char* route, std::int32_t u) {
    std::fprintf(stderr, "bench_convert: the %s route gets %d wrong\n", route, u);
    std::exit(2);
}

// ---------------------------------------------------------------------------
// The glibc route: strtol, gmtime_r + strftime, strptime + timegm, snprintf.
constexpr const char* kDateFormat = "%Y-%m-%d %H:%M:%S";

bool glibc_parse_int32(const char* text, std::int32_t& value) {
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || errno != 0 || v < INT32_MIN || v > INT32_MAX)
        return false;
    value = static_cast<std::int32_t>(v);
    return true;
}

// u -> date text -> u, glibc only.
bool glibc_date_round_trip(std::int32_t u, std::int32_t& back) {
    const std::time_t t = u;
    std::tm tm{};
    if (gmtime_r(&t, &tm) == nullptr)
        return false;
    char date[32];
    if (std::strftime(date, sizeof date, kDateFormat, &tm) != 19)
        return false;
    std::tm parsed{};
    const char* end = strptime(date, kDateFormat, &parsed);
    if (end == nullptr || *end != '\0')
        return false;
    const std::time_t seconds = timegm(&parsed);
    if (seconds < INT32_MIN || seconds > INT32_MAX)
        return false;
    back = static_cast<std::int32_t>(seconds);
    return true;
}

// decimal text -> ... -> decimal text, glibc only.
bool glibc_full_path(const char* text, char (&text_back)[16]) {
    std::int32_t u, back;
    if (!glibc_parse_int32(text, u) || !glibc_date_round_trip(u, back))
        return false;
    return std::snprintf(text_back, sizeof text_back, "%d", back) > 0;
}

// ---------------------------------------------------------------------------
// The std::chrono route: from_chars / to_chars for the digits, chrono's
// civil calendar for the date.
void put_padded(char* out, int value, int width) { // value >= 0, fits in width
    char tmp[12];
    const auto r = std::to_chars(tmp, tmp + sizeof tmp, value);
    const auto n = static_cast<int>(r.ptr - tmp);
    std::memset(out, '0', static_cast<std::size_t>(width - n));
    std::memcpy(out + (width - n), tmp, static_cast<std::size_t>(n));
}

bool get_field(const char* text, int width, int& value) {
    const auto r = std::from_chars(text, text + width, value);
    return r.ec == std::errc() && r.ptr == text + width;
}

bool chrono_date_round_trip(std::int32_t u, std::int32_t& back) {
    using namespace std::chrono;
    const sys_seconds tp{seconds{u}};
    const sys_days midnight = floor<days>(tp);
    const year_month_day ymd{midnight};
    const hh_mm_ss<seconds> hms{tp - midnight};
    char date[19];
    put_padded(date, static_cast<int>(ymd.year()), 4);
    date[4] = '-';
    put_padded(date + 5, static_cast<int>(static_cast<unsigned>(ymd.month())), 2);
    date[7] = '-';
    put_padded(date + 8, static_cast<int>(static_cast<unsigned>(ymd.day())), 2);
    date[10] = ' ';
    put_padded(date + 11, static_cast<int>(hms.hours().count()), 2);
    date[13] = ':';
    put_padded(date + 14, static_cast<int>(hms.minutes().count()), 2);
    date[16] = ':';
    put_padded(date + 17, static_cast<int>(hms.seconds().count()), 2);

    int y, mo, d, h, mi, s;
    if (!get_field(date, 4, y) || date[4] != '-' || !get_field(date + 5, 2, mo) ||
        date[7] != '-' || !get_field(date + 8, 2, d) || date[10] != ' ' ||
        !get_field(date + 11, 2, h) || date[13] != ':' || !get_field(date + 14, 2, mi) ||
        date[16] != ':' || !get_field(date + 17, 2, s))
        return false;
    const year_month_day parsed{year{y}, month{static_cast<unsigned>(mo)},
                                day{static_cast<unsigned>(d)}};
    if (!parsed.ok() || h > 23 || mi > 59 || s > 59)
        return false;
    const auto seconds_back =
        (sys_days{parsed} + hours{h} + minutes{mi} + std::chrono::seconds{s}).time_since_epoch().count();
    if (seconds_back < INT32_MIN || seconds_back > INT32_MAX)
        return false;
    back = static_cast<std::int32_t>(seconds_back);
    return true;
}

bool chrono_full_path(std::string_view text, char (&text_back)[16]) {
    std::int32_t u, back;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), u);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size())
        return false;
    if (!chrono_date_round_trip(u, back))
        return false;
    *std::to_chars(text_back, text_back + sizeof text_back - 1, back).ptr = '\0';
    return true;
}

// ---------------------------------------------------------------------------
// The program's own route: only the functions the calculations call.

// u -> date text -> u, without the decimal texts.
std::int32_t product_date_round_trip(std::int32_t u) {
    const double serial = kvix::check_date(kvix::serial_of_unix_time(u));
    char date[kvix::kDateTextLength];
    kvix::format_date_to(serial, date);
    const double serial_back = kvix::date::read_serial(std::string_view(date, sizeof date), kvix::date::stopped_clock<0>);
    return kvix::round_to_int32(kvix::unix_seconds_of_serial(serial_back));
}

// Every route gives back each sample before anything is timed.
void check_routes() {
    const Samples& s = samples();
    for (std::size_t i = 0; i < kSamples; ++i) {
        const std::int32_t u = s.value[i];
        kvix::test::RoundTrip rt;
        if (!kvix::test::round_trip(s.row[i].data(), s.decimal[i].size(), rt))
            route_is_wrong("program's", u);
        if (product_date_round_trip(u) != u)
            route_is_wrong("program's date", u);
        char back[16];
        if (!glibc_full_path(s.decimal[i].c_str(), back) || s.decimal[i] != back)
            route_is_wrong("glibc", u);
        if (!chrono_full_path(s.decimal[i], back) || s.decimal[i] != back)
            route_is_wrong("std::chrono", u);
    }
}

// ---------------------------------------------------------------------------
// The benchmarks.  Each iteration handles one sample value.

void BM_parse_int32(benchmark::State& state) {
    const Samples& s = samples();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(kvix::parse_int32(s.decimal[i]));
        i = (i + 1) & (kSamples - 1);
    }
}
BENCHMARK(BM_parse_int32);

void BM_format_int32(benchmark::State& state) {
    const Samples& s = samples();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(kvix::format_int32(s.value[i]));
        i = (i + 1) & (kSamples - 1);
    }
}
BENCHMARK(BM_format_int32);

void BM_format_int32_to(benchmark::State& state) {
    const Samples& s = samples();
    std::size_t i = 0;
    char out[kvix::kInt32TextCapacity];
    for (auto _ : state) {
        benchmark::DoNotOptimize(kvix::format_int32_to(s.value[i], out));
        benchmark::ClobberMemory();
        i = (i + 1) & (kSamples - 1);
    }
}
BENCHMARK(BM_format_int32_to);

void BM_serial_of_unix_time_and_check(benchmark::State& state) {
    const Samples& s = samples();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(kvix::check_date(kvix::serial_of_unix_time(s.value[i])));
        i = (i + 1) & (kSamples - 1);
    }
}
BENCHMARK(BM_serial_of_unix_time_and_check);

void BM_format_date_to(benchmark::State& state) {
    const Samples& s = samples();
    std::size_t i = 0;
    char out[kvix::kDateTextLength];
    for (auto _ : state) {
        kvix::format_date_to(s.serial[i], out);
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
        i = (i + 1) & (kSamples - 1);
    }
}
BENCHMARK(BM_format_date_to);

void BM_format_date(benchmark::State& state) {
    const Samples& s = samples();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(kvix::format_date(s.serial[i]));
        i = (i + 1) & (kSamples - 1);
    }
}
BENCHMARK(BM_format_date);

// The accepted forms of a date text, each made from the canonical text of
// the sample.
enum class DateForm { Canonical, WithT, WithTAndZ, DateAlone, WhiteSpace };

std::string date_in_form(const std::string& canonical, DateForm form) {
    switch (form) {
    case DateForm::Canonical:
        return canonical;
    case DateForm::WithT:
        return canonical.substr(0, 10) + "T" + canonical.substr(11);
    case DateForm::WithTAndZ:
        return canonical.substr(0, 10) + "T" + canonical.substr(11) + "Z";
    case DateForm::DateAlone:
        return canonical.substr(0, 10);
    case DateForm::WhiteSpace:
        return " \t" + canonical + " \t";
    }
    return canonical;
}

void BM_parse_date(benchmark::State& state) {
    const auto form = static_cast<DateForm>(state.range(0));
    std::vector<std::string> texts;
    for (const std::string& d : samples().date)
        texts.push_back(date_in_form(d, form));
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(kvix::date::read_serial(texts[i], kvix::date::stopped_clock<0>));
        i = (i + 1) & (kSamples - 1);
    }
}
BENCHMARK(BM_parse_date)
    ->ArgName("form")
    ->Arg(static_cast<int>(DateForm::Canonical))
    ->Arg(static_cast<int>(DateForm::WithT))
    ->Arg(static_cast<int>(DateForm::WithTAndZ))
    ->Arg(static_cast<int>(DateForm::DateAlone))
    ->Arg(static_cast<int>(DateForm::WhiteSpace));

void BM_unix_seconds_of_serial_and_round(benchmark::State& state) {
    const Samples& s = samples();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(kvix::round_to_int32(kvix::unix_seconds_of_serial(s.serial[i])));
        i = (i + 1) & (kSamples - 1);
    }
}
BENCHMARK(BM_unix_seconds_of_serial_and_round);

void BM_clear_fp_status(benchmark::State& state) {
    for (auto _ : state) {
        kvix::clear_fp_status();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_clear_fp_status);

void BM_check_fp_status(benchmark::State& state) {
    kvix::clear_fp_status();
    double x = 1.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(x);
        kvix::check_fp_status(x);
    }
}
BENCHMARK(BM_check_fp_status);

// The full path, one value after the other, values in random order.
void BM_full_path(benchmark::State& state) {
    const Samples& s = samples();
    std::size_t i = 0;
    kvix::test::RoundTrip rt;
    for (auto _ : state) {
        benchmark::DoNotOptimize(kvix::test::round_trip(s.row[i].data(), s.decimal[i].size(), rt));
        i = (i + 1) & (kSamples - 1);
    }
}
BENCHMARK(BM_full_path);

// The full path as the exhaustive sweep takes it: consecutive values in
// batches, each step over the whole batch.  One iteration is one value.
void BM_full_path_batched(benchmark::State& state) {
    constexpr std::size_t kBatch = 256;
    auto batch = std::make_unique<kvix::test::RoundTripBatch<kBatch>>();
    std::int64_t u = 1700000000;
    std::size_t mismatches = 0;
    const auto report = [](std::int32_t, std::string_view) {};
    while (state.KeepRunningBatch(kBatch)) {
        if (u + static_cast<std::int64_t>(kBatch) > INT32_MAX)
            u = INT32_MIN;
        mismatches += batch->run(u, kBatch, report);
        u += static_cast<std::int64_t>(kBatch);
    }
    if (mismatches != 0)
        state.SkipWithError("mismatches");
}
BENCHMARK(BM_full_path_batched);

void BM_date_path(benchmark::State& state) {
    const Samples& s = samples();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(product_date_round_trip(s.value[i]));
        i = (i + 1) & (kSamples - 1);
    }
}
BENCHMARK(BM_date_path);

void BM_glibc_full_path(benchmark::State& state) {
    const Samples& s = samples();
    std::size_t i = 0;
    char back[16];
    for (auto _ : state) {
        benchmark::DoNotOptimize(glibc_full_path(s.decimal[i].c_str(), back));
        benchmark::ClobberMemory();
        i = (i + 1) & (kSamples - 1);
    }
}
BENCHMARK(BM_glibc_full_path);

// The glibc route over consecutive values, as the batched full path takes
// them, with the text back compared as the batch compares it.
void BM_glibc_full_path_consecutive(benchmark::State& state) {
    constexpr std::size_t kRun = 256; // texts made at a time, as a batch makes them
    char rows[kRun][kvix::test::kTextRoom];
    std::size_t sizes[kRun];
    std::int64_t u = 1700000000;
    std::size_t k = kRun;
    char back[16];
    std::size_t wrong = 0;
    for (auto _ : state) {
        if (k == kRun) {
            if (u + static_cast<std::int64_t>(kRun) > INT32_MAX)
                u = INT32_MIN;
            kvix::test::write_decimal_texts(u, kRun, rows, sizes);
            u += static_cast<std::int64_t>(kRun);
            k = 0;
        }
        const char* text = rows[k];
        const std::size_t size = sizes[k++];
        wrong += !glibc_full_path(text, back) || std::strlen(back) != size || std::memcmp(back, text, size) != 0;
    }
    if (wrong != 0)
        state.SkipWithError("the glibc route got values wrong");
}
BENCHMARK(BM_glibc_full_path_consecutive);

void BM_glibc_date_path(benchmark::State& state) {
    const Samples& s = samples();
    std::size_t i = 0;
    std::int32_t back;
    for (auto _ : state) {
        benchmark::DoNotOptimize(glibc_date_round_trip(s.value[i], back));
        benchmark::DoNotOptimize(back);
        i = (i + 1) & (kSamples - 1);
    }
}
BENCHMARK(BM_glibc_date_path);

void BM_chrono_full_path(benchmark::State& state) {
    const Samples& s = samples();
    std::size_t i = 0;
    char back[16];
    for (auto _ : state) {
        benchmark::DoNotOptimize(chrono_full_path(s.decimal[i], back));
        benchmark::ClobberMemory();
        i = (i + 1) & (kSamples - 1);
    }
}
BENCHMARK(BM_chrono_full_path);

void BM_chrono_date_path(benchmark::State& state) {
    const Samples& s = samples();
    std::size_t i = 0;
    std::int32_t back;
    for (auto _ : state) {
        benchmark::DoNotOptimize(chrono_date_round_trip(s.value[i], back));
        benchmark::DoNotOptimize(back);
        i = (i + 1) & (kSamples - 1);
    }
}
BENCHMARK(BM_chrono_date_path);


void print_ratios(const std::map<std::string, double>& ns) {
    const auto get = [&](const char* name) {
        const auto it = ns.find(name);
        return it == ns.end() ? 0.0 : it->second;
    };
    std::printf("\nRatios measured in this run (CPU time per value):\n");
    const double full = get("BM_full_path");
    const double date = get("BM_date_path");
    const auto ratio = [&](const char* what, double ours, const char* other_name, double target) {
        const double other = get(other_name);
        if (ours <= 0 || other <= 0)
            return;
        const double r = other / ours;
        std::printf("  %-44s %7.1f ns vs %7.1f ns: %5.1fx faster", what, ours, other, r);
        if (target > 0)
            std::printf("  (target >= %.0fx: %s)", target, r >= target ? "met" : "NOT MET");
        std::printf("\n");
    };
    ratio("full path vs glibc full path", full, "BM_glibc_full_path", 8);
    ratio("full path vs std::chrono full path", full, "BM_chrono_full_path", 0);
    ratio("date path vs glibc date path", date, "BM_glibc_date_path", 0);
    ratio("date path vs std::chrono date path", date, "BM_chrono_date_path", 0);
    ratio("batched full path vs glibc, consecutive values", get("BM_full_path_batched"),
          "BM_glibc_full_path_consecutive", 8);
    const auto per_value = [&](const char* what, double ns_value) {
        if (ns_value > 0)
            std::printf("  %-44s %7.1f ns  (target <= 28 ns: %s)\n", what, ns_value,
                        ns_value <= 28.0 ? "met" : "NOT MET");
    };
    per_value("full path per value, one core", full);
    per_value("batched full path per value, one core", get("BM_full_path_batched"));

    // The canonical text takes the fast path; the others the general reader
    // (bench_date_parser prints every family).
    const double canonical = get("BM_parse_date/form:0");
    const char* const forms[] = {"T for the space", "T and Z", "date alone", "white space around"};
    if (canonical > 0)
        std::printf("  read_serial, %-31s %7.1f ns\n", "canonical text", canonical);
    for (int f = 1; f <= 4; ++f)
        if (const double other = get(("BM_parse_date/form:" + std::to_string(f)).c_str()); other > 0)
            std::printf("  read_serial, %-31s %7.1f ns\n", forms[f - 1], other);
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    check_routes();
    kvix::bench::RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    print_ratios(reporter.ns());
    return 0;
}
