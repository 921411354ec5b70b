// Sends every 32-bit Unix time through both calculations' conversions, text
// to text: decimal text -> value -> serial -> date text -> serial -> value ->
// decimal text, and compares the end with the start.  Prints a progress line,
// the count checked and every mismatch; exits non-zero on any.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "calc.hpp"
#include "convert.hpp"
#include "error.hpp"

namespace {

constexpr std::int64_t kFirst = -2147483648LL;
constexpr std::int64_t kCount = 1LL << 32;
constexpr std::int64_t kChunk = 1LL << 22; // values a worker takes at a time: 1024 chunks
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

// One value through the whole path; false on a mismatch (reported).
bool round_trip(std::int32_t u) {
    try {
        const std::string text = kvix::format_int32(u);
        const std::int32_t value = kvix::parse_int32(text);
        const double serial = kvix::check_date(kvix::serial_of_unix_time(value));
        char date[kvix::kDateTextLength];
        kvix::format_date_to(serial, date);
        const double serial_back = kvix::parse_date(std::string_view(date, sizeof date));
        const std::int32_t value_back =
            kvix::round_to_int32(kvix::unix_seconds_of_serial(serial_back));
        const std::string text_back = kvix::format_int32(value_back);
        if (text_back != text) {
            report(u, "came back as " + text_back + " via " + std::string(date, sizeof date));
            return false;
        }
    } catch (const kvix::RuntimeError& e) {
        report(u, std::string("raised ") + e.what() + ": " + e.reason());
        return false;
    }
    return true;
}

} // namespace

int main() {
    const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    std::atomic<std::int64_t> next_chunk{0};
    std::atomic<std::int64_t> checked{0};
    const auto start = std::chrono::steady_clock::now();
    std::printf("Checking all %lld Unix times on %u threads\n", static_cast<long long>(kCount), threads);
    std::fflush(stdout);

    std::vector<std::thread> workers;
    for (unsigned t = 0; t < threads; ++t)
        workers.emplace_back([&] {
            for (;;) {
                const std::int64_t chunk = next_chunk++;
                const std::int64_t begin = chunk * kChunk;
                if (begin >= kCount)
                    return;
                const std::int64_t end = std::min(begin + kChunk, kCount);
                for (std::int64_t i = begin; i < end; ++i)
                    round_trip(static_cast<std::int32_t>(kFirst + i));
                checked += end - begin;
            }
        });

    // Progress, about every five seconds, until the workers are done.
    std::int64_t shown = 0;
    while (checked.load() < kCount) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (seconds >= 5.0 * static_cast<double>(shown + 1)) {
            shown = static_cast<std::int64_t>(seconds / 5.0);
            const std::int64_t done = checked.load();
            std::lock_guard lock(report_mutex);
            std::printf("progress: %5.1f%% (%lld values, %.0f s)\n",
                        100.0 * static_cast<double>(done) / static_cast<double>(kCount),
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
                seconds * 1e9 * threads / static_cast<double>(kCount),
                static_cast<long long>(mismatches.load()));
    return mismatches.load() == 0 && checked.load() == kCount ? 0 : 1;
}
