// The date parser: which texts name a date, and the instant they name.
//
// Read, case-insensitively, with any white space around and runs of white
// space counting as one (the README lists them with examples):
//   ISO 8601 / RFC 3339   2038-01-19T03:14:07.25+01:00, 20380119T031407Z
//   RFC 5322 / HTTP       Tue, 19 Jan 2038 03:14:07 GMT, 19-Jan-2038 ...
//   date / asctime        Tue Jan 19 03:14:07 UTC 2038, Tue Jan 19 03:14:07 2038
//   JavaScript            Tue Jan 19 2038 03:14:07 GMT+0000 (Coordinated ...)
//   month names           19 Jan 2038, Jan 19, 2038, January 19, 2038 3:14 PM
//   numbers               19.01.2038, 2038/01/19, 01/19/2038 (month first)
//   web server logs       [19/Jan/2038:03:14:07 +0000]
// A text without a zone is UTC; an offset or a zone name that is read is
// applied.  Refused with the reason: two-digit years, a weekday that does
// not fit the date, impossible dates and times (never rolled over), the
// leap second :60, other zone names, relative words, a time without a
// date, and text that is not understood.
//
// The canonical text "YYYY-MM-DD hh:mm:ss" is read directly, the other
// common ISO 8601 shapes by a reader of their own (iso_date.hpp), and the
// common shapes with names, slashes or dots by one that reads tokens as it
// goes (common_date.hpp).  Every other text, and any text those readers
// give up on, is split into tokens (date_tokens.hpp) and read by the
// recognizer of its family, chosen by its first tokens.  Nothing allocates
// unless the text is refused.
#include <cstdint>
#include <string>
#include <string_view>

#include "canonical_date.hpp"
#include "common_date.hpp"
#include "convert.hpp"
#include "date_fields.hpp"
#include "date_tokens.hpp"
#include "error.hpp"
#include "iso_date.hpp"

namespace kvix {
namespace {

using date_text::Fields;
using date_text::instant_of;
using date_text::not_a_date;
using date_text::Token;
using date_text::TokenKind;
using date_text::TokenList;
using date_text::WordClass;


// What each family's refusal says is accepted.
constexpr std::string_view kIsoForm = "Write it as YYYY-MM-DD hh:mm:ss, e.g. 2038-01-19 03:14:07.";
constexpr std::string_view kBasicForm =
    "Write the basic form as YYYYMMDD or YYYYMMDDThhmmss, e.g. 20380119T031407Z.";
constexpr std::string_view kYmdForm = "Write it as YYYY/MM/DD, e.g. 2038/01/19.";
constexpr std::string_view kMdyForm = "Write it as MM/DD/YYYY, e.g. 01/19/2038.";
constexpr std::string_view kDmyForm = "Write it as DD.MM.YYYY, e.g. 19.01.2038.";
constexpr std::string_view kNamesForm = "Write it as 19 Jan 2038 or Jan 19, 2038.";
constexpr std::string_view kTimeForm =
    "Write the time as hh:mm or hh:mm:ss, e.g. 03:14:07 or 3:14:07 AM.";
constexpr std::string_view kOffsetForm =
    "Write the zone offset as +hh:mm, +hhmm or +hh, e.g. +01:00.";
constexpr std::string_view kAnyForm =
    "Write it as YYYY-MM-DD hh:mm:ss, e.g. 2038-01-19 03:14:07, or in another common form "
    "such as Tue, 19 Jan 2038 03:14:07 GMT.";

std::string quoted(std::string_view s) {
    return "\u201C" + shorten_for_message(s) + "\u201D";
}

class Parser {
public:
    Parser(std::string_view text, const TokenList& list)
        : text_(text), tok_(list.tokens), count_(list.count) {}

    std::int64_t run() {
        const bool bracket = at(0).is_punct('[');
        if (bracket)
            ++i_;
        if (at(0).is_word(WordClass::Weekday)) {
            f_.weekday = at(0).word_value;
            ++i_;
            if (at(0).is_punct(','))
                ++i_;
        }
        if (at(0).is_number())
            number_first();
        else if (at(0).is_word(WordClass::Month))
            month_first();
        else
            refuse(kAnyForm);
        if (bracket) {
            if (at(0).kind == TokenKind::End)
                refuse("The closing \u201C]\u201D is missing.");
            if (!at(0).is_punct(']'))
                refuse_trailing();
            ++i_;
        }
        if (at(0).kind != TokenKind::End)
            refuse_trailing();
        return instant_of(f_, text_);
    }

private:
    std::string_view text_;
    const Token* tok_;
    std::size_t count_;
    std::size_t i_ = 0; // the token being read
    Fields f_;

    // The token k places ahead; End when that lies beyond the list.
    const Token& at(std::size_t k) const {
        const std::size_t j = i_ + k;
        return tok_[j < count_ ? j : count_ - 1];
    }
    bool glued_punct(std::size_t k, char c) const {
        return at(k).is_punct(c) && !at(k).space_before;
    }
    bool glued_number(std::size_t k) const {
        return at(k).is_number() && !at(k).space_before;
    }
    bool glued_sign(std::size_t k) const { return glued_punct(k, '+') || glued_punct(k, '-'); }
    std::string_view text_of(const Token& t) const { return text_.substr(t.begin, t.length()); }
    std::uint32_t small_value(const Token& t) const { return static_cast<std::uint32_t>(t.value); }

    // Refuses the text.  A relative word anywhere in it is the reason
    // before any other, since no form would make it a date.
    [[noreturn]] void refuse(std::string_view reason) const {
        for (std::size_t k = 0; k < count_; ++k)
            if (tok_[k].is_word(WordClass::Relative))
                not_a_date(text_, quoted(text_of(tok_[k])) +
                                      " is relative to the current day or time, and this "
                                      "program has none: write the date itself, e.g. "
                                      "2038-01-19 03:14:07.");
        not_a_date(text_, std::string(reason));
    }

    [[noreturn]] void refuse_trailing() const {
        const std::size_t from = at(0).begin;
        const std::size_t to = count_ >= 2 ? tok_[count_ - 2].end : from;
        std::string reason = "The text after the date is not understood: " +
                             quoted(text_.substr(from, to - from)) + ".";
        if (looks_like_zone_name(at(0)))
            reason += " If it names a time zone, write its offset from UTC instead, e.g. +01:00.";
        refuse(reason);
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

    // The year: four digits, else the reason says how many it has.
    void read_year() {
        const Token& y = at(0);
        if (!y.is_number())
            refuse(y.kind == TokenKind::End
                       ? "The year is missing; write it with four digits, e.g. 2038."
                       : "The year should follow here, with four digits, e.g. 2038.");
        if (y.length() == 2)
            refuse("The year " + quoted(text_of(y)) + " has two digits and could be 19" +
                   std::string(text_of(y)) + " or 20" + std::string(text_of(y)) +
                   ": write the year with four digits.");
        if (y.length() != 4)
            refuse("The year " + quoted(text_of(y)) +
                   " does not have four digits: write the year with four digits, "
                   "from 0100 to 9999.");
        f_.year = static_cast<std::int32_t>(y.value);
        ++i_;
    }

    // A month or day number of one or two digits, glued to what precedes.
    std::uint32_t take_small(std::string_view form) {
        if (!glued_number(0) || at(0).length() > 2)
            refuse(form);
        return small_value(tok_[i_++]);
    }
    void take_punct(char c, std::string_view form) {
        if (!glued_punct(0, c))
            refuse(form);
        ++i_;
    }

    // A number of one or two digits followed by ":" or by AM/PM.
    bool starts_time() const {
        return at(0).is_number() && at(0).length() <= 2 &&
               (glued_punct(1, ':') || at(1).is_word(WordClass::Am) ||
                at(1).is_word(WordClass::Pm) ||
                ((at(1).is_word(WordClass::A) || at(1).is_word(WordClass::P)) &&
                 glued_punct(2, '.')));
    }

    void number_first() {
        const std::size_t len = at(0).length();
        if (glued_punct(1, '-')) {
            if (len == 4)
                return year_month_day('-', kIsoForm);
            if (len <= 2 && at(2).is_word(WordClass::Month))
                return day_month_year();
            if (len <= 2 && glued_number(2) && glued_punct(3, '-') && glued_number(4) &&
                at(4).length() == 4)
                refuse("With dashes the year comes first, as in 2038-01-19; " +
                       quoted(text_.substr(at(0).begin, at(4).end - at(0).begin)) +
                       " could be day first or month first. Write the day first with dots "
                       "(19.01.2038) or the month first with slashes (01/19/2038).");
            read_year(); // refuses: a year of other than four digits
            refuse(kIsoForm);
        }
        if (glued_punct(1, '/')) {
            if (len == 4)
                return year_month_day('/', kYmdForm);
            if (len <= 2 && at(2).is_word(WordClass::Month))
                return day_month_year();
            if (len <= 2)
                return month_day_year_slashes();
            refuse(kMdyForm);
        }
        if (glued_punct(1, '.')) {
            if (len <= 2)
                return day_month_year_dots();
            refuse(kDmyForm);
        }
        if (len <= 2 && at(1).is_word(WordClass::Month))
            return day_month_year();
        if (starts_time())
            refuse("A time without a date names no instant: write the date before the time, "
                   "e.g. 2038-01-19 03:14:07.");
        if (len == 8)
            return iso_basic();
        if (at(1).kind == TokenKind::End)
            refuse("A number alone is not a date; a Unix time goes into the upper box. "
                   "Write a date as YYYY-MM-DD hh:mm:ss, e.g. 2038-01-19 03:14:07.");
        refuse(kAnyForm);
    }

    // Year first: 2038-01-19, then a time after "T" or white space; or
    // 2038/01/19, then a time after white space.
    void year_month_day(char separator, std::string_view form) {
        f_.year = static_cast<std::int32_t>(at(0).value);
        i_ += 2;
        f_.month = take_small(form);
        take_punct(separator, form);
        f_.day = take_small(form);
        after_date(separator == '-');
    }

    // 20380119, then optionally T031407 or T0314, a fraction and a zone.
    void iso_basic() {
        const std::uint64_t v = at(0).value; // 8 digits
        f_.year = static_cast<std::int32_t>(v / 10000);
        f_.month = static_cast<std::uint32_t>(v / 100 % 100);
        f_.day = static_cast<std::uint32_t>(v % 100);
        ++i_;
        if (!(at(0).is_word(WordClass::T) && !at(0).space_before))
            return after_date(false);
        ++i_;
        const Token& t = at(0);
        if (!glued_number(0) || (t.length() != 4 && t.length() != 6))
            refuse(kBasicForm);
        const std::uint64_t hms = t.length() == 6 ? t.value : t.value * 100;
        f_.hour = static_cast<std::uint32_t>(hms / 10000);
        f_.minute = static_cast<std::uint32_t>(hms / 100 % 100);
        f_.second = static_cast<std::uint32_t>(hms % 100);
        ++i_;
        if (t.length() == 6)
            read_fraction();
        read_zone();
    }

    // 01/19/2038, month first.  A first number above 12 gets a hint, as a
    // reader may have meant the day first.
    void month_day_year_slashes() {
        f_.month = small_value(at(0));
        i_ += 2;
        f_.day = take_small(kMdyForm);
        take_punct('/', kMdyForm);
        read_year();
        if (f_.month > 12 && f_.month <= 31 && f_.day >= 1 && f_.day <= 12) {
            const auto two = [](std::uint32_t v) {
                return std::string{static_cast<char>('0' + v / 10), static_cast<char>('0' + v % 10)};
            };
            refuse("There is no month " + two(f_.month) +
                   ": with slashes the month comes first (MM/DD/YYYY). For the day first "
                   "write " + two(f_.month) + "." + two(f_.day) + "." +
                   std::to_string(f_.year) + ".");
        }
        after_date(false);
    }

    // 19.01.2038, day first.
    void day_month_year_dots() {
        f_.day = small_value(at(0));
        i_ += 2;
        f_.month = take_small(kDmyForm);
        take_punct('.', kDmyForm);
        read_year();
        after_date(false);
    }

    // 19 Jan 2038, 19 January 2038, 19-Jan-2038, 19/Jan/2038 and the web
    // server log form 19/Jan/2038:03:14:07.
    void day_month_year() {
        f_.day = small_value(at(0));
        ++i_;
        char sep = 0;
        if (glued_punct(0, '-') || glued_punct(0, '/'))
            sep = tok_[i_++].ch;
        const Token& m = at(0);
        if (!m.is_word(WordClass::Month))
            refuse(kNamesForm);
        f_.month = static_cast<std::uint32_t>(m.word_value);
        ++i_;
        if (sep)
            take_punct(sep, kNamesForm);
        else if (m.length() == 3 && glued_punct(0, '.'))
            ++i_;
        read_year();
        if (sep == '/' && glued_punct(0, ':')) {
            ++i_;
            read_time();
            read_zone();
            return;
        }
        after_date(false);
    }

    // Jan 19, 2038 (JavaScript without the comma), or Jan 19 03:14:07 [UTC]
    // 2038 as the date command and asctime write it, the year last.
    void month_first() {
        const Token& m = at(0);
        f_.month = static_cast<std::uint32_t>(m.word_value);
        ++i_;
        if (m.length() == 3 && glued_punct(0, '.'))
            ++i_;
        if (!at(0).is_number() || at(0).length() > 2)
            refuse(at(0).is_number() && at(0).length() == 4
                       ? std::string("The day is missing. ") + std::string(kNamesForm)
                       : std::string(kNamesForm));
        f_.day = small_value(tok_[i_++]);
        if (starts_time()) {
            read_time();
            read_zone();
            read_year();
            return;
        }
        if (at(0).is_punct(','))
            ++i_;
        read_year();
        after_date(false);
    }

    // After a date: nothing, or a time (after "T" in ISO 8601, white space,
    // "," or "at") with an optional zone.
    void after_date(bool iso) {
        bool time_required = false;
        if (iso && at(0).is_word(WordClass::T) && !at(0).space_before) {
            ++i_;
            time_required = true;
        } else if (!iso && at(0).is_punct(',')) {
            ++i_;
            time_required = true;
        } else if (at(0).is_word(WordClass::At)) {
            ++i_;
            time_required = true;
        }
        if (!time_required && !starts_time())
            return;
        read_time();
        read_zone();
    }

    // h:mm, h:mm:ss, h:mm:ss.fff (or ",fff"), each with an optional AM/PM,
    // or an hour alone with AM/PM ("3 PM").
    void read_time() {
        const Token& h = at(0);
        if (!h.is_number() || h.length() > 2)
            refuse(kTimeForm);
        f_.hour = small_value(h);
        bool hour_alone = true;
        if (glued_punct(1, ':')) {
            if (!glued_number(2) || at(2).length() != 2)
                refuse(kTimeForm);
            f_.minute = small_value(at(2));
            i_ += 3;
            hour_alone = false;
            if (glued_punct(0, ':')) {
                if (!glued_number(1) || at(1).length() != 2)
                    refuse(kTimeForm);
                f_.second = small_value(at(1));
                i_ += 2;
                read_fraction();
            }
        } else {
            ++i_;
        }
        const int half = read_am_pm();
        if (half == 0) {
            if (hour_alone)
                refuse(kTimeForm);
            return;
        }
        if (f_.hour < 1 || f_.hour > 12)
            refuse("With AM or PM the hours go from 1 to 12; there is no hour " +
                   std::to_string(f_.hour) + (half == 1 ? " AM." : " PM."));
        // 12 AM is midnight, 12 PM noon.
        f_.hour = f_.hour % 12 + (half == 2 ? 12 : 0);
    }

    // The fraction of a second, with "." or ",", any number of digits.
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
        const Token& w = at(0);
        if (w.is_word(WordClass::Am) || w.is_word(WordClass::Pm)) {
            ++i_;
            return w.is_word(WordClass::Am) ? 1 : 2;
        }
        if ((w.is_word(WordClass::A) || w.is_word(WordClass::P)) && glued_punct(1, '.') &&
            at(2).is_word(WordClass::M) && !at(2).space_before) {
            i_ += 3;
            if (glued_punct(0, '.'))
                ++i_;
            return w.is_word(WordClass::A) ? 1 : 2;
        }
        return 0;
    }

    // An optional zone after the time: Z, UT, UTC, GMT (each but Z with an
    // optional offset, "GMT+0100"), a US zone name, or an offset; then an
    // optional comment in parentheses, which is not read ("(CET)").
    void read_zone() {
        const Token& z = at(0);
        bool zone = false;
        if (z.kind == TokenKind::Word) {
            switch (z.word) {
            case WordClass::ZoneZ:
                ++i_;
                zone = true;
                break;
            case WordClass::ZoneUtc:
                ++i_;
                if (glued_sign(0) && glued_number(1))
                    read_offset(true);
                zone = true;
                break;
            case WordClass::ZoneUs:
                f_.offset_minutes = z.word_value * 60;
                ++i_;
                zone = true;
                break;
            case WordClass::A: // a letter alone here is a military zone
            case WordClass::P:
            case WordClass::M:
            case WordClass::T:
            case WordClass::ZoneOther:
                refuse("The zone name " + quoted(text_of(z)) +
                       " is ambiguous or not known here: write its offset from UTC instead, "
                       "e.g. +01:00. The zone names read are UT, UTC, GMT, Z and the US "
                       "zones EST, EDT, CST, CDT, MST, MDT, PST and PDT.");
            default: break;
            }
        } else if ((z.is_punct('+') || z.is_punct('-')) && glued_number(1)) {
            read_offset(false);
            zone = true;
        }
        if (zone && at(0).kind == TokenKind::Comment && at(0).closed)
            ++i_;
    }

    // +hh:mm, +hhmm, +hh, and after a zone name also +h ("UTC+1").
    void read_offset(bool after_name) {
        const Token& sign = at(0);
        const Token& h = at(1);
        i_ += 2;
        std::uint32_t hours = 0, minutes = 0;
        if (h.length() == 4) {
            hours = small_value(h) / 100;
            minutes = small_value(h) % 100;
        } else if (h.length() == 2 || (after_name && h.length() == 1)) {
            hours = small_value(h);
            if (glued_punct(0, ':')) {
                if (!glued_number(1) || at(1).length() != 2)
                    refuse(kOffsetForm);
                minutes = small_value(at(1));
                i_ += 2;
            }
        } else {
            refuse(kOffsetForm);
        }
        if (hours > 23 || minutes > 59)
            refuse("The zone offset " +
                   quoted(text_.substr(sign.begin, tok_[i_ - 1].end - sign.begin)) +
                   " is impossible: offsets go from -23:59 to +23:59.");
        const auto offset = static_cast<std::int32_t>(hours * 60 + minutes);
        f_.offset_minutes = sign.ch == '-' ? -offset : offset;
    }
};

} // namespace

std::int64_t parse_date_seconds(std::string_view text) {
    std::int32_t day;
    std::uint32_t second_of_day;
    if (read_canonical_date(text, day, second_of_day))
        return std::int64_t{day} * 86400 + second_of_day;
    if (std::int64_t seconds; date_text::read_iso_date(text, seconds) ||
                              date_text::read_common_date(text, seconds))
        return seconds;
    if (text.empty())
        not_a_date(text, "The box is empty.");
    TokenList tokens;
    date_text::tokenize(text, tokens);
    if (tokens.count <= 1) // End alone
        not_a_date(text, "The box holds only white space.");
    return Parser(text, tokens).run();
}

} // namespace kvix
