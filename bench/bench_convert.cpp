// The conversions of both calculations as one round trip, text to text
// (tests/round_trip.hpp): decimal text, value, serial, date text, serial,
// value, decimal text.  The values come in random order over the whole
// 32-bit range, so that no branch on digit counts or signs is predicted;
// the time is per value.
// Run: build/ci/bench/bench_convert
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "round_trip.hpp"

namespace {

void round_trip(benchmark::State& state) {
    std::mt19937 rng(20380119);
    std::vector<std::int32_t> values(4096); // a spread that stays in the cache
    for (std::int32_t& v : values)
        v = static_cast<std::int32_t>(rng());
    kvix::test::RoundTrip rt;
    std::size_t i = 0;
    for (auto _ : state)
        if (!kvix::test::round_trip(values[i++ % values.size()], rt))
            state.SkipWithError("a value did not come back");
}

} // namespace

BENCHMARK(round_trip);
BENCHMARK_MAIN();
