// The third fast path of the date parser: the common date texts with
// month and weekday names, and the numeric ones with slashes or dots, read
// in one pass without building the token list.
#pragma once

#include <cstdint>
#include <string_view>

namespace kvix::date_text {

// Reads, in ASCII only, the texts of these shapes that the general parser
// accepts, and gives the same instant in seconds since 1970-01-01 00:00:00
// UTC (the brackets mark optional parts):
//   [weekday[,]] 19 Jan 2038 [[,|at] time [zone]]         mail and HTTP
//   [weekday[,]] Jan 19[,] 2038 [[,|at] time [zone]]      month first
//   [weekday] Jan 19 time [zone] 2038                      date, asctime
//   19.01.2038, 2038/01/19, 01/19/2038 [[,|at] time [zone]]
// time: h:mm, h:mm:ss, h:mm:ss.fff (or ",fff"), each with an optional AM or
// PM, or an hour with AM or PM; zone: Z, UT, UTC, GMT (with an optional
// offset, "GMT+0100"), a US zone name, or +hh:mm, +hhmm, +hh, then an
// optional closed comment "(...)".  Gives false, leaving `seconds` alone,
// for every other text and for one that the general parser refuses: it
// then reads the text itself, or refuses it with its reason.
bool read_common_date(std::string_view text, std::int64_t& seconds);

} // namespace kvix::date_text
