// The date grammar's shared parts, for the matcher (grammar.cpp) and the
// refusals (refusals.cpp): what each family's refusal says is accepted, the
// parts of a form, where a row stopped, and a cursor over the tokens that
// both read with.  Internal to the date reader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "tokens.hpp"

namespace kvix::date {

// What each family's refusal says is accepted.  Every date text a message
// suggests stands after "e.g. " at its end, several joined by " or ", and
// reads to a Unix time; smaller examples (a year, an offset) follow "such
// as" or stand in parentheses.
inline constexpr std::string_view kIsoForm = "Write it as YYYY-MM-DD hh:mm:ss, e.g. 2038-01-19 03:14:07.";
inline constexpr std::string_view kBasicForm =
    "Write the basic form as YYYYMMDD or YYYYMMDDThhmmss, e.g. 20380119T031407Z.";
inline constexpr std::string_view kYmdForm = "Write it as YYYY/MM/DD, e.g. 2038/01/19.";
inline constexpr std::string_view kOrdinalForm = "Write an ordinal date as YYYY-DDD, e.g. 2038-019.";
inline constexpr std::string_view kWeekForm = "Write a week date as YYYY-Www-D, e.g. 2038-W03-2.";
inline constexpr std::string_view kColonForm = "Write it as YYYY:MM:DD hh:mm:ss, e.g. 2038:01:19 03:14:07.";
inline constexpr std::string_view kSlashForm = "Write it as MM/DD/YYYY or DD/MM/YYYY, e.g. 01/19/2038.";
inline constexpr std::string_view kDmyForm = "Write it as DD.MM.YYYY, e.g. 19.01.2038.";
inline constexpr std::string_view kNamesForm = "Write it with the month's name, e.g. 19 Jan 2038 or Jan 19, 2038.";
inline constexpr std::string_view kGermanForm =
    "Write it with the month's name or number, e.g. 19. Januar 2038, 03:14:07 or 19.01.2038 03:14:07.";
inline constexpr std::string_view kTimeForm =
    "Write the time as hh:mm or hh:mm:ss, e.g. 2038-01-19 03:14:07 or Jan 19, 2038 3:14:07 AM.";
inline constexpr std::string_view kOffsetForm =
    "Write the zone offset as +hh:mm, +hhmm or +hh, e.g. 2038-01-19T04:14:07+01:00.";
inline constexpr std::string_view kAnyForm =
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

inline constexpr std::size_t kMaxParts = 14;

struct Form {
    Part parts[kMaxParts]; // up to the first End
    std::uint8_t identified; // leading parts that identify the family
    std::string_view form;   // what its refusals say is accepted
};

// Where a row stopped: the token it could not read, and the part and the
// token that part started at.
struct Stop {
    std::size_t at = 0;
    const Form* form = nullptr;
    Part part = Part::End;
    std::size_t part_start = 0;
    bool time_read = false; // the row had read a time
};

// The tokens of one text, and the token being read.
class Cursor {
public:
    Cursor(std::string_view text, const TokenList& list)
        : text_(text), tok_(list.tokens), count_(list.count),
          start_(list.tokens[0].is_punct('[') ? 1 : 0) {}

protected:
    std::string_view text_;
    const Token* tok_;
    std::size_t count_;
    std::size_t start_; // after an opening "["
    std::size_t i_ = 0; // the token being read

    // The token k places ahead; End when that lies beyond the list.
    const Token& at(std::size_t k) const {
        const std::size_t j = i_ + k;
        return tok_[j < count_ ? j : count_ - 1];
    }
    bool glued_punct(std::size_t k, char c) const { return at(k).is_punct(c) && !at(k).space_before; }
    bool glued_number(std::size_t k) const { return at(k).is_number() && !at(k).space_before; }
    bool small_number(std::size_t k) const { return at(k).is_number() && at(k).length() <= 2; }
    std::string_view text_of(const Token& t) const { return text_.substr(t.begin, t.length()); }

    // A number of one or two digits followed by ":", by AM/PM or by "Uhr".
    bool starts_time() const {
        const Token& next = at(1);
        return small_number(0) &&
               (glued_punct(1, ':') || next.is_word(WordClass::Am) || next.is_word(WordClass::Pm) ||
                next.is_word(WordClass::Uhr) ||
                ((next.is_word(WordClass::A) || next.is_word(WordClass::P)) && glued_punct(2, '.')));
    }

    // An optional weekday name, a "." glued after a short one, then an
    // optional ",": the weekday 0..6 from Sunday, or -1.
    int read_weekday() {
        if (!at(0).is_word(WordClass::Weekday))
            return -1;
        const bool short_form = at(0).short_form;
        const int weekday = tok_[i_++].word_value;
        if (short_form && glued_punct(0, '.'))
            ++i_;
        if (at(0).is_punct(','))
            ++i_;
        return weekday;
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

    // A name of local mean time not in the zone table, such as LMT or MMT:
    // its offset has seconds, which an offset of hours and minutes before
    // it has lost.
    bool is_mean_time(const Token& t) const {
        return t.word == WordClass::Unknown && looks_like_zone_name(t) && t.length() == 3 &&
               text_of(t).substr(1) == "MT";
    }
};

// Why no row read the text: a character that cannot be seen, a near miss
// of a form, else what went wrong where the row that read furthest
// (`stop`) stopped, else that the text is like no form at all.  Throws the
// overflow error instead where every reading of the text lies outside the
// range of Unix time.
std::string refusal(const Cursor& text, const Stop& stop);

} // namespace kvix::date
