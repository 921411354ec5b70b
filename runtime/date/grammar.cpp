// The grammar of date texts: the accepted forms as rows of a table, and one
// matcher that reads any row into the date fields; the checks run once
// after a row matched (fields.cpp), and the refusals say why no row read a
// text (refusals.cpp).
//
// Each row is one family of texts: its parts in order over the tokens
// (tokens.hpp, parts in grammar.hpp), how many leading parts identify the
// family, and the form its refusals name.  Rows are tried in order and the
// first that reads the whole text wins.  When none does, the row that read
// furthest after identifying its family (on a tie, the earlier row) is
// handed to the refusals.  Linear in the text: the tokenizer passes over
// it once, and each row reads at most kMaxTokens tokens.
//
// To add a form: add a row to kForms (reusing the parts, or adding one to
// Part and to Reader::step), and a row to the family tables of the tests
// and the README.
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "convert.hpp"
#include "date_text.hpp"
#include "fields.hpp"
#include "grammar.hpp"
#include "tokens.hpp"

namespace kvix::date {
namespace {

// Where rows share their start, the one whose refusal is meant on a tie
// comes first: the basic date before its form with "T", 19/Jan/2038 before
// the web server log, the month name first before the date command, the
// German date before the German date command.  The families that programs
// print, rarer in a pasted text, stand last, so that the common ones are
// tried first; each is identified by a start no other row shares.
using enum Part;
constexpr Form kForms[] = {
    // ISO 8601 / RFC 3339: 2038-01-19T03:14:07.25+01:00; with a label:
    // 2038-01-19 04:14:07 +0100 CET, 2038-01-19T04:14:07+01:00[Europe/Berlin]
    {{Weekday, YearFirst, Dash, MonthNum, Dash, DayNum, LeadIso, Time, Zone, Label, Comment, Bracket, End}, 3, kIsoForm},
    // ISO 8601 basic: 20380119, 20380119 03:14
    {{Weekday, Digits8, Lead, Time, Zone, Comment, End}, 2, kBasicForm},
    // ISO 8601 basic with a time: 20380119T031407Z
    {{Weekday, Digits8, LeadT, BasicTime, Zone, Comment, End}, 2, kBasicForm},
    // Year first with slashes: 2038/01/19 03:14:07
    {{Weekday, YearFirst, Slash, MonthNum, Slash, DayNum, Lead, Time, Zone, Comment, End}, 3, kYmdForm},
    // Day first with dots: 19.01.2038 03:14:07
    {{Weekday, DayFirst, Dot, MonthNum, Dot, Year, Lead, Time, Zone, Comment, End}, 3, kDmyForm},
    // Slashes with the year last, month or day first: 01/19/2038, 3:14:07 AM; 19/01/2038
    {{Weekday, FirstOfTwo, Slash, DayNum, Slash, Year, EitherOrder, Lead, Time, Zone, Comment, End}, 3, kSlashForm},
    // Cookies: Tuesday, 19-Jan-2038 03:14:07 GMT
    {{Weekday, DayFirst, Dash, MonthName, Dash, Year, Lead, Time, Zone, Comment, End}, 4, kNamesForm},
    // 19/Jan/2038
    {{Weekday, DayFirst, Slash, MonthName, Slash, Year, Lead, Time, Zone, Comment, End}, 4, kNamesForm},
    // Web server logs: [19/Jan/2038:03:14:07 +0000]
    {{Weekday, DayFirst, Slash, MonthName, Slash, Year, LeadColon, Time, Zone, Comment, End}, 4, kNamesForm},
    // Mail and HTTP: Tue, 19 Jan 2038 03:14:07 +0000 (UTC)
    {{Weekday, DayFirst, MonthNameDot, Year, Lead, Time, Zone, Comment, End}, 3, kNamesForm},
    // Month name first, JavaScript: Jan 19, 2038 3:14 PM; Tue Jan 19 2038 03:14:07 GMT+0000 (...)
    {{Weekday, MonthNameDot, DayAfterName, Comma, Year, Lead, Time, Zone, Comment, End}, 2, kNamesForm},
    // The date command and asctime: Tue Jan 19 03:14:07 UTC 2038
    {{Weekday, MonthNameDot, DayAfterName, LeadNone, Time, Zone, Comment, Year, End}, 2, kNamesForm},
    // German, the day with its ordinal dot: Dienstag, 19. Januar 2038 um 04:14 Uhr
    {{Weekday, DayFirst, Dot, MonthNameDot, Year, Lead, Time, Zone, Comment, End}, 4, kGermanForm},
    // The German date command: Di 19. Jan 04:14:07 CET 2038
    {{Weekday, DayFirst, Dot, MonthNameDot, LeadNone, Time, Zone, Comment, Year, End}, 4, kGermanForm},
    // The zone after the year: Tue Jan 19 03:14:07 2038 +0000, Jan 19 03:14:07 2038 GMT
    {{Weekday, MonthNameDot, DayAfterName, LeadNone, Time, Year, Zone, Comment, End}, 2, kNamesForm},
    // The day first, the zone after the year: Tue 19 Jan 03:14:07 2038 UTC
    {{Weekday, DayFirst, MonthNameDot, LeadNone, Time, Year, Zone, Comment, End}, 3, kNamesForm},
    // ISO 8601 ordinal date: 2038-019T03:14:07Z
    {{YearFirst, Dash, YearDay, LeadIso, Time, Zone, End}, 3, kOrdinalForm},
    // ISO 8601 week date: 2038-W03-2T03:14:07Z
    {{YearFirst, Dash, Week, Dash, WeekDay, LeadIso, Time, Zone, End}, 3, kWeekForm},
    // Fourteen digits, as directory and certificate times write them: 20380119031407.5Z
    {{Digits14, Zone, End}, 1, kBasicForm},
    // Colons, as photos' dates are written: 2038:01:19 04:14:07+01:00
    {{YearFirst, Colon, MonthNum, Colon, DayNum, Lead, Time, Zone, End}, 2, kColonForm},
};

constexpr bool every_form_ends() {
    for (const Form& form : kForms) {
        std::size_t k = 0;
        while (k < kMaxParts && form.parts[k] != End)
            ++k;
        if (k == kMaxParts || k < form.identified)
            return false;
    }
    return true;
}
static_assert(every_form_ends(), "each row ends with End within kMaxParts, after the parts that identify it");


// Reads the tokens by the rows.
class Reader : Cursor {
public:
    using Cursor::Cursor;

    // The instant of the first row that reads the whole text, after the
    // checks; or the refusal.
    std::int64_t run() {
        Stop furthest;
        for (const Form& form : kForms) {
            begin();
            for (std::size_t k = 0; k < kMaxParts; ++k) {
                const std::size_t part_start = i_;
                if (step(form.parts[k])) {
                    if (form.parts[k] == End)
                        return instant_of(f_, text_);
                    continue;
                }
                if (k >= form.identified && (!furthest.form || i_ > furthest.at))
                    furthest = {i_, &form, form.parts[k], part_start, time_read_};
                break;
            }
        }
        not_a_date(text_, refusal(*this, furthest));
    }

private:
    Fields f_;
    bool time_required_ = false, time_read_ = false, zone_read_ = false;
    bool after_t_ = false;      // a "T" leads the time: its hour may stand alone
    bool offset_digits_ = false; // the zone is an offset in digits

    void begin() {
        i_ = start_;
        static constexpr Fields kNone{}; // copied whole, cheaper than set member by member
        f_ = kNone;
        time_required_ = time_read_ = zone_read_ = after_t_ = offset_digits_ = false;
    }

    std::uint32_t take_value() { return static_cast<std::uint32_t>(tok_[i_++].value); }

    // Reads one part; false where the text does not fit it, with i_ at the
    // token that does not.
    bool step(Part part) {
        using W = WordClass;
        switch (part) {
        case End:
            if (start_ == 1) {
                if (!at(0).is_punct(']'))
                    return false;
                ++i_;
            }
            return at(0).kind == TokenKind::End;
        case Weekday:
            f_.weekday = read_weekday();
            return true;
        case YearFirst:
        case Year:
            if (!at(0).is_number() || at(0).length() != 4)
                return false;
            f_.year = static_cast<std::int32_t>(take_value());
            return true;
        case Digits8:
        case Digits14: {
            const std::size_t len = part == Digits8 ? 8 : 14;
            if (!at(0).is_number() || at(0).length() != len)
                return false;
            const std::uint64_t v = tok_[i_++].value; // [0, 10^14)
            f_.number_alone = at(0).kind == TokenKind::End && start_ == 0;
            const auto date = static_cast<std::uint32_t>(len == 8 ? v : v / 1000000); // YYYYMMDD
            f_.year = static_cast<std::int32_t>(date / 10000);
            f_.month = date / 100 % 100;
            f_.day = date % 100;
            if (part == Digits14)
                read_hms(static_cast<std::uint32_t>(v % 1000000), true);
            return true;
        }
        case YearDay:
            if (!glued_number(0) || at(0).length() != 3)
                return false;
            f_.kind = Fields::Kind::Ordinal;
            f_.year_day = take_value();
            return true;
        case Week:
            if (!at(0).is_word(W::W) || at(0).space_before || !glued_number(1) || at(1).length() != 2)
                return false;
            ++i_;
            f_.kind = Fields::Kind::Week;
            f_.week = take_value();
            return true;
        case WeekDay:
            if (!glued_number(0) || at(0).length() != 1)
                return false;
            f_.week_day = take_value();
            return true;
        case DayFirst:
        case DayAfterName:
            if (!small_number(0))
                return false;
            f_.day = take_value();
            // An English ordinal suffix, glued, where a month name follows
            // the day or the day follows one: 19th January, January 19th
            if (at(0).is_word(W::Suffix) && !at(0).space_before &&
                (part == DayAfterName || at(1).is_word(W::Month))) {
                f_.suffix = at(0).word_value;
                ++i_;
            }
            return true;
        case FirstOfTwo:
            if (!small_number(0))
                return false;
            f_.date_begin = at(0).begin;
            f_.month = take_value();
            return true;
        case MonthNum:
        case DayNum:
            if (!glued_number(0) || at(0).length() > 2)
                return false;
            (part == MonthNum ? f_.month : f_.day) = take_value();
            return true;
        case MonthName:
        case MonthNameDot: {
            const Token& m = at(0);
            if (!m.is_word(W::Month))
                return false;
            f_.month = static_cast<std::uint32_t>(m.word_value);
            ++i_;
            if (part == MonthNameDot && m.short_form && glued_punct(0, '.'))
                ++i_;
            return true;
        }
        case Dash:
        case Slash:
        case Dot:
        case Colon:
            if (!glued_punct(0, part == Dash ? '-' : part == Slash ? '/' : part == Dot ? '.' : ':') ||
                at(0).is_minus_sign())
                return false;
            ++i_;
            return true;
        case Comma:
            if (at(0).is_punct(','))
                ++i_;
            return true;
        case EitherOrder:
            f_.either_order = true;
            f_.date_end = tok_[i_ - 1].end;
            return true;
        case LeadIso:
        case Lead:
            after_t_ = part == LeadIso && at(0).is_word(W::T) && !at(0).space_before;
            if (after_t_ || (part == Lead && at(0).is_punct(',')) || at(0).is_word(W::At)) {
                ++i_;
                time_required_ = true;
            }
            return true;
        case LeadT:
        case LeadColon:
            if (part == LeadT ? !at(0).is_word(W::T) || at(0).space_before : !glued_punct(0, ':'))
                return false;
            ++i_;
            time_required_ = true;
            return true;
        case LeadNone:
            time_required_ = starts_time();
            return time_required_;
        case Time:
            return (!time_required_ && !starts_time()) || read_time();
        case BasicTime: {
            const std::size_t len = at(0).length();
            if (!glued_number(0) || (len != 4 && len != 6))
                return false;
            read_hms(take_value() * (len == 6 ? 1 : 100), len == 6); // hhmmss, [0, 999999]
            return true;
        }
        case Zone:
            return !time_read_ || read_zone();
        case Label:
            return !offset_digits_ || read_label();
        case Comment:
            if (zone_read_ && at(0).kind == TokenKind::Comment && at(0).closed)
                ++i_;
            return true;
        case Bracket:
            return read_brackets();
        }
        return false;
    }

    bool read_time() {
        if (!small_number(0))
            return false;
        f_.hour = take_value();
        bool hour_alone = true;
        if (glued_punct(0, ':')) {
            ++i_;
            if (!glued_number(0) || at(0).length() != 2)
                return false;
            f_.minute = take_value();
            hour_alone = false;
            if (glued_punct(0, ':')) {
                ++i_;
                if (!glued_number(0) || at(0).length() != 2)
                    return false;
                f_.second = take_value();
                read_fraction();
            }
        }
        f_.half = read_am_pm();
        const bool uhr = f_.half == 0 && at(0).is_word(WordClass::Uhr);
        if (uhr)
            ++i_;
        // An hour alone after "T" has two digits: 2038-01-19T03Z
        const bool iso_hour = after_t_ && hour_alone && tok_[i_ - 1].length() == 2;
        time_read_ = f_.half != 0 || uhr || !hour_alone || iso_hour;
        return time_read_;
    }

    // A time of day as hhmmss, [0, 999999], and the fraction of a second
    // where one may follow.
    void read_hms(std::uint32_t hms, bool fraction) {
        f_.hour = hms / 10000;
        f_.minute = hms / 100 % 100;
        f_.second = hms % 100;
        if (fraction)
            read_fraction();
        time_read_ = true;
    }

    // The fraction of a second, after "." or ",", any number of digits.
    // Only the first digit decides the rounding to the nearest second: the
    // fraction is at least a half exactly when it is 5 or more, and an exact
    // half goes to the later second.  No floating value is involved.
    void read_fraction() {
        if ((glued_punct(0, '.') || glued_punct(0, ',')) && glued_number(1)) {
            f_.round_up = text_[at(1).begin] >= '5';
            i_ += 2;
        }
    }

    // AM, PM, a.m., p.m. (the last dot optional): 0 none, 1 AM, 2 PM.
    int read_am_pm() {
        using W = WordClass;
        const Token& w = at(0);
        if (w.is_word(W::Am) || w.is_word(W::Pm)) {
            ++i_;
            return w.is_word(W::Am) ? 1 : 2;
        }
        if ((w.is_word(W::A) || w.is_word(W::P)) && glued_punct(1, '.') && at(2).is_word(W::M) &&
            !at(2).space_before) {
            i_ += 3;
            if (glued_punct(0, '.'))
                ++i_;
            return w.is_word(W::A) ? 1 : 2;
        }
        return 0;
    }

    // False for a zone name that is not read and for a broken offset.
    bool read_zone() {
        using W = WordClass;
        const Token& z = at(0);
        if (z.kind == TokenKind::Word) {
            switch (z.word) {
            case W::Zone: {
                const ZoneName& row = zone_names()[static_cast<std::size_t>(z.word_value)];
                const int offset = row.offset; // [-23:59, +23:59] in minutes
                f_.offset_west = offset < 0;
                f_.offset_hours = static_cast<std::uint32_t>(offset < 0 ? -offset : offset) / 60;
                f_.offset_minutes = static_cast<std::uint32_t>(offset < 0 ? -offset : offset) % 60;
                ++i_;
                if (row.takes_offset && (glued_punct(0, '+') || glued_punct(0, '-')) && glued_number(1) &&
                    !read_offset(true))
                    return false;
                break;
            }
            case W::A: // a letter alone here is a military zone
            case W::P:
            case W::M:
            case W::T:
            case W::W:
            case W::ZoneUnknown:
            case W::ZoneAmbiguous: return false;
            default: return true;
            }
        } else if ((z.is_punct('+') || z.is_punct('-')) && glued_number(1)) {
            if (!read_offset(false))
                return false;
            offset_digits_ = true;
        } else {
            return true;
        }
        zone_read_ = true;
        return true;
    }

    // +hh:mm, +hhmm, +hh, and after a zone name also +h ("UTC+1"); the
    // first two with seconds too, as offsets of local mean time are
    // written: +hh:mm:ss, +hhmmss.
    bool read_offset(bool after_name) {
        const Token& sign = at(0);
        ++i_;
        const std::size_t len = at(0).length();
        const std::uint32_t v = take_value(); // [0, 999999] where len is 4 or 6
        if (len == 4 || len == 6) {
            const std::uint32_t hhmm = len == 6 ? v / 100 : v; // [0, 9999]
            f_.offset_hours = hhmm / 100;
            f_.offset_minutes = hhmm % 100;
            f_.offset_seconds = len == 6 ? v % 100 : 0;
        } else if (len == 2 || (after_name && len == 1)) {
            f_.offset_hours = v;
            for (std::uint32_t* field : {&f_.offset_minutes, &f_.offset_seconds}) {
                if (!glued_punct(0, ':'))
                    break;
                ++i_;
                if (!glued_number(0) || at(0).length() != 2)
                    return false;
                *field = take_value();
            }
        } else {
            --i_;
            return false;
        }
        f_.offset_west = sign.ch == '-';
        f_.offset_begin = sign.begin;
        f_.offset_end = tok_[i_ - 1].end;
        return true;
    }

    // The offset read, in minutes east of UTC; whether it has seconds.
    int offset_minutes() const {
        const auto m = static_cast<int>(f_.offset_hours * 60 + f_.offset_minutes); // [0, 99 * 60 + 99]
        return f_.offset_west ? -m : m;
    }

    // Whether a zone name of the table has a reading equal to the offset read.
    bool agrees_with_offset(const Token& name) const {
        const auto zones = zone_names();
        const auto row = static_cast<std::size_t>(name.word_value);
        for (std::size_t k = row; k < zones.size() && zones[k].name == zones[row].name; ++k)
            if (zones[k].offset == offset_minutes() && f_.offset_seconds == 0)
                return true;
        return false;
    }


    // After an offset in digits: a zone name that agrees with it, a name
    // not known (a label, not checked), or the offset again as hours or
    // hours and minutes ("-0300 -03"); then a clock reading some programs
    // append ("m=+0.001234567"), which is no part of the date.
    bool read_label() {
        using W = WordClass;
        const Token& w = at(0);
        if (w.kind == TokenKind::Word && w.space_before) {
            if ((is_zone_name(w) && !agrees_with_offset(w)) || is_mean_time(w))
                return false;
            if (is_zone_name(w) || (w.word == W::Unknown && looks_like_zone_name(w)))
                ++i_;
        } else if ((w.is_punct('+') || w.is_punct('-')) && w.space_before && glued_number(1)) {
            const std::size_t len = at(1).length();
            const auto v = static_cast<int>(at(1).value % 10000); // [0, 9999]
            const int minutes = len == 2 ? v * 60 : len == 4 ? v / 100 * 60 + v % 100 : -1;
            if (minutes < 0 || (w.ch == '-' ? -minutes : minutes) != offset_minutes() || f_.offset_seconds != 0)
                return false;
            i_ += 2;
        }
        if (at(0).is_word(W::M) && at(0).space_before && glued_punct(1, '=') &&
            (glued_punct(2, '+') || glued_punct(2, '-')) && glued_number(3)) {
            i_ += 4;
            if (glued_punct(0, '.') && glued_number(1))
                i_ += 2;
        }
        return true;
    }

    // Zones in brackets glued after a zone, as "[Europe/Berlin]": labels,
    // not read.  False for brackets without a zone before them, for what a
    // zone's name does not hold (a critical flag "!", a tag "u-ca=..."),
    // and for a bracket not closed.
    bool read_brackets() {
        while (glued_punct(0, '[')) {
            if (!zone_read_)
                return false;
            std::size_t k = 1;
            for (; !at(k).is_punct(']'); ++k) {
                const Token& t = at(k);
                const bool in_name = t.kind == TokenKind::Word || t.is_number() ||
                                     (t.kind == TokenKind::Punct && std::string_view("/_-+:.").find(t.ch) != std::string_view::npos);
                if (!in_name || t.space_before)
                    return false;
            }
            i_ += k + 1;
        }
        return true;
    }
};

// The texts that are read alone: a clock word, "now" or a day ("today",
// "yesterday", "tomorrow": its midnight UTC), and "@" with a Unix time,
// read as the upper box reads its number.
bool read_alone(std::string_view text, const TokenList& list, Clock clock, std::int64_t& second) {
    const Token* t = list.tokens;
    if (list.count == 2 && t[0].is_word(WordClass::Now)) {
        second = clock();
        return true;
    }
    if (list.count == 2 && t[0].is_word(WordClass::Day)) {
        second = (std::int64_t{split_days(clock()).days} + t[0].word_value) * kSecondsPerDayInt;
        return true;
    }
    if (!t[0].is_punct('@'))
        return false;
    // @1405507023, @-1, @1.5, @1.7e9: the number saturates far beyond the
    // date range.
    if (t[1].kind == TokenKind::End)
        not_a_date(text, "A Unix time must follow \u201C@\u201D, e.g. @1405507023.");
    if (t[1].space_before)
        not_a_date(text, "Write the Unix time right after \u201C@\u201D, without a space: @1405507023.");
    const std::string_view digits = text.substr(t[1].begin);
    const NumberRead number = read_number(digits);
    if (number.fault_at != NumberRead::kNoFault)
        not_a_date(text, "\u201C@\u201D takes a Unix time alone. " + number_fault(digits, number));
    second = number.value;
    return true;
}

} // namespace

std::int64_t read_seconds(std::string_view text, Clock clock) {
    if (text.empty())
        not_a_date(text, "The box is empty.");
    TokenList tokens;
    tokenize(text, tokens);
    if (tokens.count <= 1) // End alone
        not_a_date(text, "The box holds only white space.");
    if (std::int64_t second; read_alone(text, tokens, clock, second))
        return second;
    return Reader(text, tokens).run();
}

} // namespace kvix::date