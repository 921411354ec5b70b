#include "date_text.hpp"

#include "convert.hpp"
#include "error.hpp"

namespace kvix::date {

double read_serial_general(std::string_view text) {
    const std::int64_t second = read_seconds(text);
    if (second < kFirstDateSecond || second > kLastDateSecond)
        throw RuntimeError(ErrorKind::Overflow, Expected::Date, text,
                           "Dates go from 0100-01-01 to 9999-12-31.");
    using convert_detail::kSecondsPerDayInt;
    const std::int64_t days = second >= 0 ? second / kSecondsPerDayInt
                                          : -((-second + kSecondsPerDayInt - 1) / kSecondsPerDayInt);
    const std::int64_t time_of_day = second - days * kSecondsPerDayInt; // [0, 86399]
    return static_cast<double>(days + kUnixEpochSerialDays) +
           static_cast<double>(time_of_day) / kSecondsPerDay;
}

} // namespace kvix::date
