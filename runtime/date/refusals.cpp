// The refusals of the date grammar: why no row of the forms read a text.
// First a character that cannot be seen; then the near misses, texts close
// to a form that are refused for a reason of their own (the fixed ones are
// rows of kNearMisses, a pattern of token shapes and its message); else
// what went wrong where the row that read furthest stopped.
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>

#include "fields.hpp"
#include "grammar.hpp"
#include "tokens.hpp"

namespace kvix::date {
namespace {

// What a near miss asks of a token, from the first after an optional
// weekday.
enum class Shape : std::uint8_t {
    Done,          // the pattern ends; the rest of the text does not matter
    TimeStart,     // a time starts here: 03:14, 3 PM, 3 Uhr
    Number,        // digits
    NoFieldNumber, // more than two digits but not four: no day, month or year
    LongNumber,    // more than two digits: no day or month
    NoDateNumber,  // digits, but not the eight or fourteen of a date
    GluedSlash,    // "/", glued
    GluedDot,      // ".", glued
    SpacedSign,    // "+" or "-" after white space
    GluedNumber,   // digits, glued
    End,           // the end of the text
};

struct NearMiss {
    Shape pattern[4];
    std::string_view message;
};

constexpr NearMiss kNearMisses[] = {
    {{Shape::TimeStart},
     "A time without a date names no instant: write the date before the time, e.g. 2038-01-19 03:14:07."},
    {{Shape::NoFieldNumber, Shape::GluedSlash}, kSlashForm},
    {{Shape::LongNumber, Shape::GluedDot}, kDmyForm},
    {{Shape::NoDateNumber, Shape::SpacedSign, Shape::GluedNumber, Shape::End},
     "A Unix time with a zone offset after it is not a date text: the Unix time goes into the upper "
     "box as it is, and the offset does not change it."},
    {{Shape::Number, Shape::End},
     "A number alone is not a date; a Unix time goes into the upper box. Write a date as "
     "YYYY-MM-DD hh:mm:ss, e.g. 2038-01-19 03:14:07."},
};

class Refusals : Cursor {
public:
    explicit Refusals(const Cursor& text) : Cursor(text) {}

private:
    using Cursor::text_of;


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

    // The near misses that need more than a fixed message, in order: texts
    // close to a form that are refused for a reason of their own.  Each
    // gives its reason, or nothing when it does not apply; then the rows of
    // kNearMisses.
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
        i_ = start_;
        read_weekday();
        if (at(0).is_number()) {
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
        }
        for (const NearMiss& row : kNearMisses) {
            std::size_t k = 0;
            while (k < std::size(row.pattern) && row.pattern[k] != Shape::Done && fits(k, row.pattern[k]))
                ++k;
            if (k == std::size(row.pattern) || row.pattern[k] == Shape::Done)
                return std::string(row.message);
        }
        return {};
    }

    // Whether the token k places ahead has the shape.
    bool fits(std::size_t k, Shape shape) const {
        const Token& t = at(k);
        const std::size_t len = t.is_number() ? t.length() : 0;
        switch (shape) {
        case Shape::Done: return true;
        case Shape::TimeStart: return k == 0 && starts_time();
        case Shape::Number: return len > 0;
        case Shape::NoFieldNumber: return len > 2 && len != 4;
        case Shape::LongNumber: return len > 2;
        case Shape::NoDateNumber: return len > 0 && len != 8 && len != 14;
        case Shape::GluedSlash: return glued_punct(k, '/');
        case Shape::GluedDot: return glued_punct(k, '.');
        case Shape::SpacedSign: return (t.is_punct('+') || t.is_punct('-')) && t.space_before;
        case Shape::GluedNumber: return glued_number(k);
        case Shape::End: return t.kind == TokenKind::End;
        }
        return false;
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
        return "The offset " + offset + " and the zone " + quoted(text_of(w)) + " disagree: " +
               quoted(text_of(w)) + " is " + zone_readings(static_cast<std::size_t>(w.word_value)) +
               ". Write the offset that is meant.";
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

public:
    // Why no row read the text.
    std::string reason(const Stop& stop) {
        using enum Part;
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
            i_ = stop.part_start;
            if ((z.word == WordClass::A || z.word == WordClass::P) && glued_punct(1, '.') &&
                at(2).is_word(WordClass::M))
                return "Write " + std::string(z.word == WordClass::A ? "a.m." : "p.m.") +
                       " without a space inside it.";
            return unknown_zone_reason(text_of(z));
        }
        default: return std::string(stop.form->form);
        }
    }
};

} // namespace

std::string refusal(const Cursor& text, const Stop& stop) { return Refusals(text).reason(stop); }

} // namespace kvix::date
