// Sends every 32-bit Unix time through both calculations' conversions, text
// to text: decimal text -> value -> serial -> date text -> serial -> value ->
// decimal text, and compares the end with the start (round_trip.hpp), in
// batches on every core.  Prints a progress line, the count checked and every
// mismatch; exits non-zero on any.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "round_trip.hpp"

namespace {

constexpr std::int64_t kFirst = -2147483648LL;
constexpr std::int64_t kCount = 1LL << 32;
constexpr std::int64_t kChunk = 1LL << 22; // values a worker takes at a time: 1024 chunks
constexpr std::int64_t kBatch = 256;       // values a step takes at a time (about 20 KB)
constexpr std::size_t kMaxMismatchesShown = 100;

std::mutex report_mutex;
std::atomic<std::int64_t> mismatches{0};

void report(std::int32_t u, std::string_view what) {
    const std::int64_t n = ++mismatches;
    if (static_cast<std::size_t>(n) > kMaxMismatchesShown)
        return;
    std::lock_guard lock(report_mutex);
    std::printf("MISMATCH %d: %.*s\n", u, static_cast<int>(what.size()), what.data());
}

} // namespace

// With no arguments, checks every value.  "exhaustive_roundtrip FIRST COUNT"
// checks COUNT values from FIRST on, for a quick look while working.
int main(int argc, char** argv) {
    std::int64_t first = kFirst, count = kCount;
    if (argc == 3) {
        first = std::clamp<std::int64_t>(std::atoll(argv[1]), kFirst, kFirst + kCount - 1);
        count = std::clamp<std::int64_t>(std::atoll(argv[2]), 0, kFirst + kCount - first);
    } else if (argc != 1) {
        std::fprintf(stderr, "usage: %s [FIRST COUNT]\n", argv[0]);
        return 2;
    }
    const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    std::atomic<std::int64_t> next_chunk{0};
    std::atomic<std::int64_t> checked{0};
    const auto start = std::chrono::steady_clock::now();
    if (count == kCount)
        std::printf("Checking all %lld Unix times on %u threads\n", static_cast<long long>(count), threads);
    else
        std::printf("Checking %lld Unix times from %lld on, on %u threads\n",
                    static_cast<long long>(count), static_cast<long long>(first), threads);
    std::fflush(stdout);

    std::vector<std::thread> workers;
    for (unsigned t = 0; t < threads; ++t)
        workers.emplace_back([&] {
            auto batch = std::make_unique<kvix::test::RoundTripBatch<kBatch>>();
            for (;;) {
                const std::int64_t chunk = next_chunk++;
                const std::int64_t begin = chunk * kChunk;
                if (begin >= count)
                    return;
                const std::int64_t end = std::min(begin + kChunk, count);
                for (std::int64_t i = begin; i < end; i += kBatch) {
                    const std::int64_t n = std::min(kBatch, end - i);
                    bool same = false;
                    try {
                        same = batch->run(first + i, static_cast<std::size_t>(n));
                    } catch (const kvix::RuntimeError&) {
                    }
                    if (!same) // each value again, alone, to say which and why
                        for (std::int64_t k = 0; k < n; ++k) {
                            const auto u = static_cast<std::int32_t>(first + i + k);
                            if (const std::string what = kvix::test::round_trip_mismatch(u); !what.empty())
                                report(u, what);
                        }
                }
                checked += end - begin;
            }
        });

    // Progress, about every five seconds, until the workers are done.
    std::int64_t shown = 0;
    while (checked.load() < count) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (seconds >= 5.0 * static_cast<double>(shown + 1)) {
            shown = static_cast<std::int64_t>(seconds / 5.0);
            const std::int64_t done = checked.load();
            std::lock_guard lock(report_mutex);
            std::printf("progress: %5.1f%% (%lld values, %.0f s)\n",
                        100.0 * static_cast<double>(done) / static_cast<double>(count),
                        static_cast<long long>(done), seconds);
            std::fflush(stdout);
        }
    }
    for (auto& w : workers)
        w.join();

    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("checked %lld values in %.1f s (%.1f ns per value per thread): %lld mismatches\n",
                static_cast<long long>(checked.load()), seconds,
                seconds * 1e9 * threads / static_cast<double>(std::max<std::int64_t>(count, 1)),
                static_cast<long long>(mismatches.load()));
    return mismatches.load() == 0 && checked.load() == count ? 0 : 1;
}
