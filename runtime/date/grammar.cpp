// The grammar of date texts: the accepted forms as rows of a table, one
// matcher that reads any row into the date fields, the checks run once
// after a row matched (fields.cpp), and the near-miss refusals.
//
// Each row is one family of texts: its parts in order over the tokens
// (tokens.hpp), how many leading parts identify the family, and the form
// its refusals name.  Rows are tried in order and the first that reads
// the whole text wins.  When none does, the first near-miss rule that
// fits gives the reason; else the row that read furthest after
// identifying its family names what went wrong there (on a tie, the
// earlier row); else the text is like no form at all.  Linear in the text: the tokenizer passes over it
// once, and each row reads at most kMaxTokens tokens.
//
// To add a form: add a row to kForms (reusing the parts below, or adding
// one to Part and to Reader::step), and a row to the family tables of the
// tests and the README.
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "convert.hpp"
#include "date_text.hpp"
#include "fields.hpp"
#include "tokens.hpp"

namespace kvix::date {
namespace {

// What each family's refusal says is accepted.  Every date text a message
// suggests stands after "e.g. " at its end, several joined by " or ", and
// reads to a Unix time; smaller examples (a year, an offset) follow "such
// as" or stand in parentheses.
constexpr std::string_view kIsoForm = "Write it as YYYY-MM-DD hh:mm:ss, e.g. 2038-01-19 03:14:07.";
constexpr std::string_view kBasicForm =
    "Write the basic form as YYYYMMDD or YYYYMMDDThhmmss, e.g. 20380119T031407Z.";
constexpr std::string_view kYmdForm = "Write it as YYYY/MM/DD, e.g. 2038/01/19.";
constexpr std::string_view kOrdinalForm = "Write an ordinal date as YYYY-DDD, e.g. 2038-019.";
constexpr std::string_view kWeekForm = "Write a week date as YYYY-Www-D, e.g. 2038-W03-2.";
constexpr std::string_view kColonForm = "Write it as YYYY:MM:DD hh:mm:ss, e.g. 2038:01:19 03:14:07.";
constexpr std::string_view kSlashForm = "Write it as MM/DD/YYYY or DD/MM/YYYY, e.g. 01/19/2038.";
constexpr std::string_view kDmyForm = "Write it as DD.MM.YYYY, e.g. 19.01.2038.";
constexpr std::string_view kNamesForm = "Write it with the month's name, e.g. 19 Jan 2038 or Jan 19, 2038.";
constexpr std::string_view kGermanForm =
    "Write it with the month's name or number, e.g. 19. Januar 2038, 03:14:07 or 19.01.2038 03:14:07.";
constexpr std::string_view kTimeForm =
    "Write the time as hh:mm or hh:mm:ss, e.g. 2038-01-19 03:14:07 or Jan 19, 2038 3:14:07 AM.";
constexpr std::string_view kOffsetForm =
    "Write the zone offset as +hh:mm, +hhmm or +hh, e.g. 2038-01-19T04:14:07+01:00.";
constexpr std::string_view kAnyForm =
    "Write it as YYYY-MM-DD hh:mm:ss or in another common form, e.g. 2038-01-19 03:14:07 or "
    "Tue, 19 Jan 2038 03:14:07 GMT.";

// The parts of a form.  "Glued": with no white space before it.
enum class Part : std::uint8_t {
    End,          // the end of the text (and the "]" of a text opened by "[")
    Weekday,      // optional: a weekday name, a "." glued after a short one, then an optional ","
    YearFirst,    // four digits opening the date: the year
    Digits8,      // eight digits opening the date: YYYYMMDD
    Digits14,     // fourteen digits: YYYYMMDDhhmmss, then an optional fraction
    YearDay,      // three digits, glued: the day of the year of an ordinal date
    Week,         // "W" and two digits, glued: the week of a week date
    WeekDay,      // one digit, glued: the day of a week date from Monday
    DayFirst,     // one or two digits opening the date: the day
    FirstOfTwo,   // one or two digits opening the date: the month or the day
    MonthNum,     // one or two digits, glued: the month
    DayNum,       // one or two digits, glued: the day
    MonthName,    // a month name
    MonthNameDot, // a month name, then "." glued after a short one
    DayAfterName, // one or two digits after a month name: the day
    Dash,         // "-", glued
    Slash,        // "/", glued
    Dot,          // ".", glued
    Colon,        // ":", glued
    Comma,        // optional: ","
    Year,         // four digits: the year
    EitherOrder,  // no token: the first two numbers are month and day in either order
    LeadIso,      // optional: "T" glued, or "at" or "um"; then a time must follow
    Lead,         // optional: ",", "at" or "um"; then a time must follow
    LeadT,        // "T", glued; then a time must follow
    LeadColon,    // ":", glued; then a time must follow
    LeadNone,     // no token, but a time must start here
    Time,         // h:mm, h:mm:ss, h:mm:ss.fraction (or ","), each with an
                  // optional AM/PM or "Uhr", or an hour with AM/PM or "Uhr",
                  // or two digits of an hour alone after a "T";
                  // only where a lead requires it or a time starts
    BasicTime,    // hhmm or hhmmss[.fraction], glued
    Zone,         // optional, after a time: a zone name of the zone table,
                  // UT, UTC or GMT with an optional glued offset (+h too);
                  // +hh:mm, +hhmm or +hh, each with optional seconds
                  // (+hh:mm:ss, +hhmmss)
    Label,        // optional, after an offset in digits: a zone name that
                  // agrees with it, or one not known (2 to 5 capitals), or
                  // the offset again ("-0300 -03"); then an optional clock
                  // reading "m=+0.001234567", which is no part of the date
    Comment,      // optional, after a zone: "(...)", closed
    Bracket,      // optional, after a zone: "[Europe/Berlin]", glued, a label
};

constexpr std::size_t kMaxParts = 14;

struct Form {
    Part parts[kMaxParts]; // up to the first End
    std::uint8_t identified; // leading parts that identify the family
    std::string_view form;   // what its refusals say is accepted
};

// Where rows share their start, the one whose refusal is meant on a tie
// comes first: the basic date before its form with "T", 19/Jan/2038 before
// the web server log, the month name first before the date command, the
// German date before the German date command.
using enum Part;
constexpr Form kForms[] = {
    // ISO 8601 / RFC 3339: 2038-01-19T03:14:07.25+01:00; with a label:
    // 2038-01-19 04:14:07 +0100 CET, 2038-01-19T04:14:07+01:00[Europe/Berlin]
    {{Weekday, YearFirst, Dash, MonthNum, Dash, DayNum, LeadIso, Time, Zone, Label, Comment, Bracket, End}, 3, kIsoForm},
    // ISO 8601 ordinal date: 2038-019T03:14:07Z
    {{YearFirst, Dash, YearDay, LeadIso, Time, Zone, End}, 3, kOrdinalForm},
    // ISO 8601 week date: 2038-W03-2T03:14:07Z
    {{YearFirst, Dash, Week, Dash, WeekDay, LeadIso, Time, Zone, End}, 3, kWeekForm},
    // ISO 8601 basic: 20380119, 20380119 03:14
    {{Weekday, Digits8, Lead, Time, Zone, Comment, End}, 2, kBasicForm},
    // ISO 8601 basic with a time: 20380119T031407Z
    {{Weekday, Digits8, LeadT, BasicTime, Zone, Comment, End}, 2, kBasicForm},
    // Fourteen digits, as directory and certificate times write them: 20380119031407.5Z
    {{Digits14, Zone, End}, 1, kBasicForm},
    // Colons, as photos' dates are written: 2038:01:19 04:14:07+01:00
    {{YearFirst, Colon, MonthNum, Colon, DayNum, Lead, Time, Zone, End}, 2, kColonForm},
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
    // The zone after the year: Tue Jan 19 03:14:07 2038 +0000, Jan 19 03:14:07 2038 GMT
    {{Weekday, MonthNameDot, DayAfterName, LeadNone, Time, Year, Zone, Comment, End}, 2, kNamesForm},
    // The day first, the zone after the year: Tue 19 Jan 03:14:07 2038 UTC
    {{Weekday, DayFirst, MonthNameDot, LeadNone, Time, Year, Zone, Comment, End}, 3, kNamesForm},
    // German, the day with its ordinal dot: Dienstag, 19. Januar 2038 um 04:14 Uhr
    {{Weekday, DayFirst, Dot, MonthNameDot, Year, Lead, Time, Zone, Comment, End}, 4, kGermanForm},
    // The German date command: Di 19. Jan 04:14:07 CET 2038
    {{Weekday, DayFirst, Dot, MonthNameDot, LeadNone, Time, Zone, Comment, Year, End}, 4, kGermanForm},
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

// Where a row stopped: the token it could not read, and the part and the
// token that part started at.
struct Stop {
    std::size_t at = 0;
    const Form* form = nullptr;
    Part part = End;
    std::size_t part_start = 0;
    bool time_read = false; // the row had read a time
};

// Reads the tokens by the rows.
class Reader {
public:
    Reader(std::string_view text, const TokenList& list)
        : text_(text), tok_(list.tokens), count_(list.count),
          start_(list.tokens[0].is_punct('[') ? 1 : 0) {}

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
        not_a_date(text_, reason(furthest));
    }

private:
    std::string_view text_;
    const Token* tok_;
    std::size_t count_;
    std::size_t start_; // after an opening "["
    std::size_t i_ = 0; // the token being read
    Fields f_;
    bool time_required_ = false, time_read_ = false, zone_read_ = false;
    bool after_t_ = false;      // a "T" leads the time: its hour may stand alone
    bool offset_digits_ = false; // the zone is an offset in digits

    void begin() {
        i_ = start_;
        f_ = Fields{};
        time_required_ = time_read_ = zone_read_ = after_t_ = offset_digits_ = false;
    }

    // The token k places ahead; End when that lies beyond the list.
    const Token& at(std::size_t k) const {
        const std::size_t j = i_ + k;
        return tok_[j < count_ ? j : count_ - 1];
    }
    bool glued_punct(std::size_t k, char c) const { return at(k).is_punct(c) && !at(k).space_before; }
    bool glued_number(std::size_t k) const { return at(k).is_number() && !at(k).space_before; }
    bool small_number(std::size_t k) const { return at(k).is_number() && at(k).length() <= 2; }
    std::uint32_t take_value() { return static_cast<std::uint32_t>(tok_[i_++].value); }
    std::string_view text_of(const Token& t) const { return text_.substr(t.begin, t.length()); }

    // A number of one or two digits followed by ":", by AM/PM or by "Uhr".
    bool starts_time() const {
        const Token& next = at(1);
        return small_number(0) &&
               (glued_punct(1, ':') || next.is_word(WordClass::Am) || next.is_word(WordClass::Pm) ||
                next.is_word(WordClass::Uhr) ||
                ((next.is_word(WordClass::A) || next.is_word(WordClass::P)) && glued_punct(2, '.')));
    }

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
            if (at(0).is_word(W::Weekday)) {
                const bool short_form = at(0).short_form;
                f_.weekday = tok_[i_++].word_value;
                if (short_form && glued_punct(0, '.'))
                    ++i_;
                if (at(0).is_punct(','))
                    ++i_;
            }
            return true;
        case YearFirst:
            if (!at(0).is_number() || at(0).length() != 4)
                return false;
            f_.year = static_cast<std::int32_t>(take_value());
            return true;
        case Digits8: {
            if (!at(0).is_number() || at(0).length() != 8)
                return false;
            const std::uint32_t v = take_value(); // [0, 99999999]
            f_.number_alone = at(0).kind == TokenKind::End && start_ == 0;
            f_.year = static_cast<std::int32_t>(v / 10000);
            f_.month = v / 100 % 100;
            f_.day = v % 100;
            return true;
        }
        case Digits14: {
            if (!at(0).is_number() || at(0).length() != 14)
                return false;
            const std::uint64_t v = tok_[i_++].value; // [0, 10^14)
            f_.number_alone = at(0).kind == TokenKind::End && start_ == 0;
            const auto date = static_cast<std::uint32_t>(v / 1000000); // YYYYMMDD
            const auto time = static_cast<std::uint32_t>(v % 1000000); // hhmmss
            f_.year = static_cast<std::int32_t>(date / 10000);
            f_.month = date / 100 % 100;
            f_.day = date % 100;
            f_.hour = time / 10000;
            f_.minute = time / 100 % 100;
            f_.second = time % 100;
            read_fraction();
            time_read_ = true;
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
        case Year:
            if (!at(0).is_number() || at(0).length() != 4)
                return false;
            f_.year = static_cast<std::int32_t>(take_value());
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
            if (!at(0).is_word(W::T) || at(0).space_before)
                return false;
            ++i_;
            time_required_ = true;
            return true;
        case LeadColon:
            if (!glued_punct(0, ':'))
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
            const std::uint32_t hms = take_value() * (len == 6 ? 1 : 100); // hhmmss, [0, 999999]
            f_.hour = hms / 10000;
            f_.minute = hms / 100 % 100;
            f_.second = hms % 100;
            if (len == 6)
                read_fraction();
            time_read_ = true;
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

    // A name of local mean time not in the zone table, such as LMT or MMT:
    // its offset has seconds, which an offset of hours and minutes before
    // it has lost.
    bool is_mean_time(const Token& t) const {
        return t.word == WordClass::Unknown && looks_like_zone_name(t) && t.length() == 3 &&
               text_of(t).substr(1) == "MT";
    }

    // After an offset in digits: a zone name that agrees with it, a name
    // not known (a label, not checked), or the offset again as hours or
    // hours and minutes ("-0300 -03"); then a clock reading some programs
    // append ("m=+0.001234567"), which is no part of the date.
    bool read_label() {
        using W = WordClass;
        const Token& w = at(0);
        if (w.kind == TokenKind::Word && w.space_before) {
            if (is_zone_name(w) && !agrees_with_offset(w))
                return false;
            if (is_mean_time(w))
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

    // ---- Refusals ----------------------------------------------------------

    // The year at y, missing or not of four digits; `form` is the form of
    // the row that stopped there.
    std::string year_reason(const Token& y, std::string_view form) const {
        if (y.kind == TokenKind::End)
            return "The year is missing. " + std::string(form);
        if (!y.is_number())
            return "The year should follow here, with four digits. " + std::string(form);
        const std::string digits(text_of(y));
        if (y.length() == 2)
            return "The year " + quoted(digits) + " has two digits and could be 19" + digits +
                   " or 20" + digits + ": write the year with four digits.";
        return "The year " + quoted(digits) +
               " does not have four digits: write the year with four digits, from 1901 to 2038, "
               "the years of Unix time.";
    }

    // The first and the last token of the text glued to token k (no white
    // space between), back and on from k; and the text of tokens from..to.
    std::size_t run_start(std::size_t k) const {
        while (k > 0 && !tok_[k].space_before)
            --k;
        return k;
    }
    std::size_t run_end(std::size_t k) const {
        while (k + 1 < count_ && !tok_[k + 1].space_before && tok_[k + 1].kind != TokenKind::End)
            ++k;
        return k;
    }
    std::string_view text_of(std::size_t from, std::size_t to) const {
        return text_.substr(tok_[from].begin, tok_[to].end - tok_[from].begin);
    }

    // Where token k stands, for a message: after the text glued before it,
    // else before the text glued after it, else after the text before it.
    std::string place_of(std::size_t k) const {
        const bool last = tok_[k + 1].kind == TokenKind::End;
        if (k > 0 && (!tok_[k].space_before || last))
            return "after " + quoted(text_of(run_start(k - 1), k - 1));
        if (!last && (!tok_[k + 1].space_before || k == 0))
            return "before " + quoted(text_of(k + 1, run_end(k + 1)));
        return k > 0 ? "after " + quoted(text_of(run_start(k - 1), k - 1)) : "alone";
    }

    // A character that cannot be seen, which no form holds.
    std::string invisible_reason() const {
        for (std::size_t k = 0; k + 1 < count_; ++k)
            if (tok_[k].kind == TokenKind::Other)
                if (const NamedCharacter c = named_character(text_of(tok_[k])); c.invisible)
                    return "An invisible character, " + c.name + " " + place_of(k) +
                           ", is not read: delete it.";
        return {};
    }

    // A zone name, or what stands where one would, that is not read.
    static std::string unknown_zone_reason(std::string_view zone) {
        return "The zone name " + quoted(zone) +
               " is not known here: write its offset from UTC instead, such as +01:00. "
               "The zone names read are " + zone_names_read() + ".";
    }

    // A word of 2 to 5 capitals, as zone abbreviations are written.
    bool looks_like_zone_name(const Token& t) const {
        if (t.kind != TokenKind::Word || t.length() < 2 || t.length() > 5)
            return false;
        for (const char c : text_of(t))
            if (c < 'A' || c > 'Z')
                return false;
        return true;
    }

    static bool is_zone_name(const Token& t) {
        return t.is_word(WordClass::Zone) || t.is_word(WordClass::ZoneAmbiguous);
    }

    // A zone name with more than one reading, naming each.
    std::string ambiguous_reason(const Token& z) const {
        const auto row = static_cast<std::size_t>(z.word_value);
        return "The zone name " + quoted(text_of(z)) + " is ambiguous: it is " + zone_readings(row) +
               ". Write the offset from UTC instead, such as " + offset_text(zone_names()[row].offset) + ".";
    }

    std::string trailing_reason(const Token& t, bool time_read) const {
        if (t.is_word(WordClass::ZoneAmbiguous))
            return ambiguous_reason(t);
        if (is_zone_name(t))
            return time_read ? "The zone " + quoted(text_of(t)) +
                                   " stands in the wrong place: write it right after the time, "
                                   "e.g. 2038-01-19 03:14:07 UTC or Tue Jan 19 03:14:07 UTC 2038."
                             : "The zone " + quoted(text_of(t)) +
                                   " needs a time before it, e.g. 2038-01-19 03:14:07 UTC.";
        if (t.is_word(WordClass::Uhr)) {
            // After AM, PM, a.m. or p.m. (the last dot optional)
            const auto k = static_cast<std::size_t>(&t - tok_);
            const auto word_before = [&](std::size_t back, WordClass c) { return k > back && tok_[k - 1 - back].is_word(c); };
            if (time_read && (word_before(0, WordClass::Am) || word_before(0, WordClass::Pm) ||
                              word_before(0, WordClass::M) || (tok_[k - 1].is_punct('.') && word_before(1, WordClass::M))))
                return quoted(text_of(t)) + " and AM or PM do not go together: write a 24-hour time "
                       "with Uhr or a 12-hour time with AM or PM, e.g. 19.01.2038 03:14 Uhr or "
                       "19.01.2038 3:14 AM.";
            return quoted(text_of(t)) + (time_read ? " stands right after the time" : " needs a time before it") +
                   ", e.g. 19.01.2038 03:14 Uhr.";
        }
        const std::size_t to = count_ >= 2 ? tok_[count_ - 2].end : t.begin;
        std::string reason = "The text after the date is not understood: " +
                             quoted(text_.substr(t.begin, to - t.begin)) + ".";
        if (looks_like_zone_name(t))
            reason += " If it names a time zone, write its offset from UTC instead, such as +01:00. "
                      "The zone names read are " + zone_names_read() + ".";
        return reason;
    }

    // The near-miss rules, in order: texts close to a form that are
    // refused for a reason of their own.  Each gives its reason, or
    // nothing when it does not apply.
    std::string near_miss() {
        for (std::size_t k = 0; k < count_; ++k) { // relative words: no form holds them
            const Token& t = tok_[k];
            if (t.is_word(WordClass::Relative))
                return quoted(text_of(t)) +
                       " is relative, and of the relative words only now, today, yesterday and "
                       "tomorrow are read, each alone: write the date itself, e.g. 2038-01-19 03:14:07.";
            if (t.is_word(WordClass::Now) || t.is_word(WordClass::Day))
                return quoted(text_of(t)) +
                       " is read alone: write it without anything around it, or write the date "
                       "itself, e.g. 2038-01-19 03:14:07.";
        }
        begin();
        step(Weekday);
        if (starts_time())
            return "A time without a date names no instant: write the date before the time, "
                   "e.g. 2038-01-19 03:14:07.";
        if (!at(0).is_number())
            return {};
        const std::size_t len = at(0).length();
        // The minus sign for a date's dash.
        if (const std::size_t minus = at(1).is_minus_sign() ? 1
                                      : glued_punct(1, '-') && glued_number(2) && at(3).is_minus_sign() ? 3
                                                                                                         : 0)
            return named_character(text_of(at(minus))).name + " " + place_of(i_ + minus) +
                   " is no dash: a date's parts are joined by the hyphen-minus \u201C-\u201D, e.g. 2038-01-19.";
        // A dash after a number that opens no ISO date and no day before a
        // month name: day and month with dashes, or a year of other than
        // four digits.
        if (glued_punct(1, '-') && len != 4 && !(len <= 2 && at(2).is_word(WordClass::Month))) {
            if (len <= 2 && glued_number(2) && at(2).length() <= 2 && glued_punct(3, '-') && glued_number(4))
                return at(4).length() == 4 ? dashes_reason() : year_reason(at(4), kAnyForm);
            return year_reason(at(0), kAnyForm);
        }
        // Slashes or dots after a number too long for a day or a month and
        // no year first.
        if (glued_punct(1, '/') && len > 2 && len != 4)
            return std::string(kSlashForm);
        if (glued_punct(1, '.') && len > 2)
            return std::string(kDmyForm);
        if ((at(1).is_punct('+') || at(1).is_punct('-')) && at(1).space_before && glued_number(2) &&
            at(3).kind == TokenKind::End && len != 8 && len != 14)
            return "A Unix time with a zone offset after it is not a date text: the Unix time goes "
                   "into the upper box as it is, and the offset does not change it.";
        if (at(1).kind == TokenKind::End)
            return "A number alone is not a date; a Unix time goes into the upper box. "
                   "Write a date as YYYY-MM-DD hh:mm:ss, e.g. 2038-01-19 03:14:07.";
        return {};
    }

    // Day and month with dashes and the year last, at tokens 0, 2 and 4:
    // the year comes first with dashes.  The dates of whichever orders name
    // a real date, written so that they read: with the year first, or in
    // the one form of their order that is not in doubt.  A text whose
    // readings all lie outside the range of Unix time is an overflow.
    std::string dashes_reason() const {
        const auto first = static_cast<std::uint32_t>(at(0).value);
        const auto second = static_cast<std::uint32_t>(at(2).value);
        const auto year = static_cast<std::int32_t>(at(4).value);
        Fields month_first, day_first;
        month_first.year = day_first.year = year;
        month_first.month = day_first.day = first;
        month_first.day = day_first.month = second;
        const bool month_first_real = is_real_date(year, first, second);
        const bool day_first_real = is_real_date(year, second, first);
        const std::string written = quoted(text_.substr(at(0).begin, at(4).end - at(0).begin));
        const std::string r = "With dashes the year comes first";
        if (!month_first_real && !day_first_real)
            return written + " names no date in either order; with dashes the year comes first, e.g. 2038-01-19.";
        if (month_first_real && day_first_real && first != second) {
            std::string examples;
            for (const Fields* f : {&month_first, &day_first})
                if (midnight_in_range(*f))
                    examples += (examples.empty() ? "" : " or ") + iso_date(*f);
            const std::string readings = written + " could be " + iso_date(month_first) + " (month first) or " +
                                         iso_date(day_first) + " (day first)";
            // Day and month are both 1..12, so neither reading is the first
            // or the last day of Unix time: each lies wholly in or out.
            if (examples.empty())
                out_of_range(text_, readings + ", and both lie outside the range of Unix time.");
            return r + ". " + readings + ": write the year first, e.g. " + examples + ".";
        }
        const Fields& f = month_first_real ? month_first : day_first;
        if (!day_in_range(f))
            out_of_range(text_, written + " names " + iso_date(f) + ", outside the range of Unix time.");
        if (!midnight_in_range(f)) // the first day of Unix time: its midnight is not in the range
            return r + ": write " + iso_date(f) + " and the time.";
        return r + ", e.g. " + iso_date(f) + " or " + (month_first_real ? slash_date(f) : dot_date(f)) + ".";
    }

    // A label after an offset that does not fit it, at token k.
    std::string label_reason(std::size_t k) const {
        std::size_t sign = k - 1;
        while (sign > 0 && !tok_[sign].is_punct('+') && !tok_[sign].is_punct('-'))
            --sign;
        const std::string offset = quoted(text_.substr(tok_[sign].begin, tok_[k - 1].end - tok_[sign].begin));
        const Token& w = tok_[k];
        if (is_mean_time(w))
            return quoted(text_of(w)) + " names a local mean time, whose offset has seconds, but the offset " +
                   offset + " before it has none: write the offset with its seconds, as +hh:mm:ss.";
        if (w.kind != TokenKind::Word) // the offset again, another one
            return "The offsets " + offset + " and " +
                   quoted(text_.substr(w.begin, tok_[k + 1].end - w.begin)) + " disagree.";
        const auto row = static_cast<std::size_t>(w.word_value);
        const ZoneName& zone = zone_names()[row];
        const std::string readings = w.word == WordClass::ZoneAmbiguous
                                         ? zone_readings(row)
                                         : offset_text(zone.offset) + " (" + std::string(zone.region) + ")";
        return "The offset " + offset + " and the zone " + quoted(text_of(w)) + " disagree: " +
               quoted(text_of(w)) + " is " + readings + ". Write the offset that is meant.";
    }

    // Brackets after a zone that are not read, at token k, the "[".
    std::string bracket_reason(std::size_t k) const {
        std::size_t close = k + 1;
        std::string_view inside = "";
        for (; close + 1 < count_ && !tok_[close].is_punct(']'); ++close)
            if (tok_[close].is_punct('!') || tok_[close].is_punct('='))
                inside = tok_[close].is_punct('!') ? "!" : "=";
        const std::size_t end = close + 1 < count_ ? tok_[close].end : text_.size();
        const std::string bracket = quoted(text_.substr(tok_[k].begin, end - tok_[k].begin));
        if (inside == "!")
            return "The \u201C!\u201D in " + bracket +
                   " asks that the zone be applied, and the program has no zone database: leave the "
                   "brackets out, the offset before them is read.";
        if (inside == "=")
            return "The tag " + bracket + " asks for an option, such as another calendar, that is not "
                   "read: leave it out.";
        if (close + 1 >= count_)
            return "The closing \u201C]\u201D of " + bracket + " is missing.";
        return "The zone " + bracket + " is not read: the program has no zone database. Write its "
               "offset from UTC before it, e.g. 2038-01-19T04:14:07+01:00[Europe/Berlin].";
    }

    // Why no row read the text.
    std::string reason(const Stop& stop) {
        if (std::string r = invisible_reason(); !r.empty())
            return r;
        if (std::string r = near_miss(); !r.empty())
            return r;
        if (!stop.form)
            return std::string(kAnyForm);
        const Token& t = tok_[stop.at < count_ ? stop.at : count_ - 1];
        switch (stop.part) {
        case End:
            if (start_ == 1 && t.kind == TokenKind::End)
                return "The closing \u201C]\u201D is missing.";
            if (t.kind == TokenKind::Comment && !t.closed)
                return "The comment " + quoted(text_of(t)) +
                       " is not closed: each \u201C(\u201D in it needs its \u201C)\u201D.";
            return trailing_reason(t, stop.time_read);
        case Year: {
            const std::size_t y_at = stop.part_start;
            const Token& y = tok_[y_at];
            if (stop.time_read && !y.is_number() && y.kind != TokenKind::End) { // between a time and a year
                if (y.kind == TokenKind::Comment)
                    return "The comment " + quoted(text_of(y)) +
                           " is not read as a zone: a comment follows a zone, e.g. Tue Jan 19 03:14:07 UTC 2038.";
                return unknown_zone_reason(text_of(run_start(y_at), run_end(y_at)));
            }
            if (y.is_punct(','))
                return "The comma before the year is not read here: leave it out. " + std::string(stop.form->form);
            if (y.is_punct('.') && !y.space_before && y_at > 0 && tok_[y_at - 1].is_word(WordClass::Month))
                return "The dot after the full month name " + quoted(text_of(tok_[y_at - 1])) +
                       " is not read: only a short name takes one (Jan., M\u00E4r.). " + std::string(stop.form->form);
            return year_reason(y, stop.form->form);
        }
        case DayAfterName:
            return t.is_number() && t.length() == 4 ? "The day is missing. " + std::string(kNamesForm)
                                                    : std::string(kNamesForm);
        case LeadT:
        case BasicTime: return std::string(kBasicForm);
        case Label: return label_reason(stop.part_start);
        case Bracket: return bracket_reason(stop.at);
        case LeadColon:
        case LeadNone:
        case Time: return std::string(kTimeForm);
        case Zone: {
            const Token& z = tok_[stop.part_start];
            if (z.kind != TokenKind::Word || z.word == WordClass::Zone) // a broken offset
                return std::string(kOffsetForm);
            if (z.word == WordClass::ZoneAmbiguous)
                return ambiguous_reason(z);
            const std::size_t z_at = stop.part_start;
            if ((z.word == WordClass::A || z.word == WordClass::P) && z_at + 2 < count_ &&
                tok_[z_at + 1].is_punct('.') && !tok_[z_at + 1].space_before &&
                tok_[z_at + 2].is_word(WordClass::M))
                return "Write " + std::string(z.word == WordClass::A ? "a.m." : "p.m.") +
                       " without a space inside it.";
            return unknown_zone_reason(text_of(z));
        }
        default: return std::string(stop.form->form);
        }
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
