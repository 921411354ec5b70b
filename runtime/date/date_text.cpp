#include "date_text.hpp"

#include <chrono>

#include "convert.hpp"
#include "error.hpp"

namespace kvix::date {

std::int64_t system_clock_seconds() {
    using namespace std::chrono;
    return floor<seconds>(system_clock::now()).time_since_epoch().count();
}

double read_serial_general(std::string_view text, Clock clock) {
    const std::int64_t second = read_seconds(text, clock);
    if (second < kFirstDateSecond || second > kLastDateSecond) // the report states the range
        throw RuntimeError(ErrorKind::Overflow, Expected::Date, text);
    using convert_detail::kSecondsPerDayInt;
    const std::int64_t days = second >= 0 ? second / kSecondsPerDayInt
                                          : -((-second + kSecondsPerDayInt - 1) / kSecondsPerDayInt);
    const std::int64_t time_of_day = second - days * kSecondsPerDayInt; // [0, 86399]
    return static_cast<double>(days + kUnixEpochSerialDays) +
           static_cast<double>(time_of_day) / kSecondsPerDay;
}

} // namespace kvix::date
