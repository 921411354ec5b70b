// Reading a date text: the one public header of the date reader.
//
// Read, case-insensitively, with any white space around and runs of white
// space counting as one (the README lists every form with examples):
//   ISO 8601 / RFC 3339   2038-01-19T03:14:07.25+01:00, 20380119T031407Z,
//                         2038-019, 2038-W03-2, 2038-01-19T03Z, 20380119031407Z
//   labels after offsets  2038-01-19 04:14:07 +0100 CET, ...+01:00[Europe/Berlin]
//   RFC 5322 / HTTP       Tue, 19 Jan 2038 03:14:07 GMT, 19-Jan-2038 ...
//   date / asctime        Tue Jan 19 03:14:07 UTC 2038, Tue Jan 19 03:14:07 2038
//   the zone after a year Tue Jan 19 03:14:07 2038 +0000, Tue 19 Jan 03:14:07 2038 UTC
//   JavaScript            Tue Jan 19 2038 03:14:07 GMT+0000 (Coordinated ...)
//   month names           19 Jan 2038, Jan 19, 2038, January 19th, 2038 3:14 PM
//   numbers               19.01.2038, 2038/01/19, 01/19/2038 (month first), 2038:01:19
//   web server logs       [19/Jan/2038:03:14:07 +0000]
//   German                Di 19. Jan 04:14:07 CET 2038, 19. Januar 2038 um 03:14 Uhr
//   the clock             now, today, yesterday, tomorrow (jetzt, heute, gestern, morgen)
//   a Unix time           @1405507023
// A text without a zone is UTC; an offset or a zone name of the zone table
// (tokens.hpp) is applied.  Refused with the reason: two-digit years, a
// weekday that does not fit the date, impossible dates and times (never
// rolled over), the leap second :60, ambiguous and unknown zone names and
// names that disagree with the offset before them, other relative words, a
// time without a date, characters that cannot be seen, and text that is not
// understood.
#pragma once

#include <cstdint>
#include <string_view>

namespace kvix::date {

// Where "now" comes from: the current second since 1970-01-01 00:00:00
// UTC.  It is asked only for a text that names the current day or time.
using Clock = std::int64_t (*)();

// The system clock, read through the standard library.
std::int64_t system_clock_seconds();

// A clock stopped at one second, for a reader that must not depend on the
// time it runs at (tests, benchmarks).
template <std::int64_t Second>
std::int64_t stopped_clock() {
    return Second;
}

// The instant a date text names, in seconds since 1970-01-01 00:00:00 UTC,
// a fraction of a second rounded to the nearest whole second (an exact
// half going to the later one).  Throws the conversion failure, with the
// reason, for a text that names no date.  The result is not checked
// against the date range.
std::int64_t read_seconds(std::string_view text, Clock clock);

// The date serial a date text names (days since 1899-12-30 plus the time of
// day as a fraction of a day).  Throws as read_seconds does, and the
// overflow error for a date outside 0100-01-01 .. 9999-12-31.
double read_serial(std::string_view text, Clock clock);

} // namespace kvix::date
