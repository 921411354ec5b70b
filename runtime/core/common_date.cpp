// The common date texts without the token list: each step below makes the
// decision the general parser (date_parser.cpp) makes at the same place,
// over tokens read one at a time straight from the text, and gives up where
// that parser would refuse or where the text leaves the shapes read here
// (any byte outside ASCII, "Jan.", "a.m.", dashes, brackets, ...).  Reading
// the same tokens and taking the same decisions, it gives the same fields,
// and with them the same instant, whenever it accepts.
#include "common_date.hpp"

#include <cstddef>
#include <cstring>

#include "date_fields.hpp"
#include "digit_text.hpp"
#include "date_tokens.hpp"

namespace kvix::date_text {
namespace {

// The classes of bytes as the tokenizer has them, one table lookup each:
// ASCII white space (space and 0x09..0x0D), digits, letters, and the bytes
// from 0x80 that start or continue UTF-8 sequences.
enum : std::uint8_t { kSpace = 1, kDigit = 2, kLetter = 4, kHigh = 8 };
constexpr struct ByteClasses {
    std::uint8_t of[256];
    constexpr ByteClasses() : of{} {
        for (int c = 0; c < 256; ++c)
            of[c] = c == ' ' || (c >= '\t' && c <= '\r')               ? kSpace
                    : c >= '0' && c <= '9'                             ? kDigit
                    : (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ? kLetter
                    : c >= 0x80                                        ? kHigh
                                                                       : 0;
    }
} kBytes;
inline std::uint8_t class_of(char c) { return kBytes.of[static_cast<unsigned char>(c)]; }

// The words the steps below act on, with the meaning word_meaning gives
// them (date_tokens.cpp): month and weekday names, the zone names read,
// AM, PM, "at", and the "a" and "p" of "a.m." and "p.m.".  Every other word
// is Unknown here, and no step accepts an Unknown word, so the reader gives
// up on it and the general parser reads it.  Found by the first three
// letters in lower case, then the rest of a full name.
WordMeaning quick_word(const char* s, std::size_t len) {
    using W = WordClass;
    const auto lower = [&](std::size_t i) { return static_cast<char>(s[i] | 0x20); };
    if (len == 1) {
        switch (lower(0)) {
        case 'a': return {W::A, 0};
        case 'p': return {W::P, 0};
        case 'z': return {W::ZoneZ, 0};
        default: return {W::Unknown, 0};
        }
    }
    if (len == 2) {
        const char a = lower(0), b = lower(1);
        if (b == 'm' && (a == 'a' || a == 'p'))
            return {a == 'a' ? W::Am : W::Pm, 0};
        if (a == 'a' && b == 't')
            return {W::At, 0};
        if (a == 'u' && b == 't')
            return {W::ZoneUtc, 0};
        return {W::Unknown, 0};
    }
    // Three letters as one number, the first in the lowest byte.
    const auto key = [](char a, char b, char c) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(a)) |
               static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 8 |
               static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 16;
    };
    WordMeaning m{W::Unknown, 0};
    const char* full = nullptr; // the whole name, when it is longer
    switch (key(lower(0), lower(1), lower(2))) {
    case key('j', 'a', 'n'): m = {W::Month, 1}; full = "january"; break;
    case key('f', 'e', 'b'): m = {W::Month, 2}; full = "february"; break;
    case key('m', 'a', 'r'): m = {W::Month, 3}; full = "march"; break;
    case key('a', 'p', 'r'): m = {W::Month, 4}; full = "april"; break;
    case key('m', 'a', 'y'): m = {W::Month, 5}; full = "may"; break;
    case key('j', 'u', 'n'): m = {W::Month, 6}; full = "june"; break;
    case key('j', 'u', 'l'): m = {W::Month, 7}; full = "july"; break;
    case key('a', 'u', 'g'): m = {W::Month, 8}; full = "august"; break;
    case key('s', 'e', 'p'): m = {W::Month, 9}; full = "september"; break;
    case key('o', 'c', 't'): m = {W::Month, 10}; full = "october"; break;
    case key('n', 'o', 'v'): m = {W::Month, 11}; full = "november"; break;
    case key('d', 'e', 'c'): m = {W::Month, 12}; full = "december"; break;
    case key('s', 'u', 'n'): m = {W::Weekday, 0}; full = "sunday"; break;
    case key('m', 'o', 'n'): m = {W::Weekday, 1}; full = "monday"; break;
    case key('t', 'u', 'e'): m = {W::Weekday, 2}; full = "tuesday"; break;
    case key('w', 'e', 'd'): m = {W::Weekday, 3}; full = "wednesday"; break;
    case key('t', 'h', 'u'): m = {W::Weekday, 4}; full = "thursday"; break;
    case key('f', 'r', 'i'): m = {W::Weekday, 5}; full = "friday"; break;
    case key('s', 'a', 't'): m = {W::Weekday, 6}; full = "saturday"; break;
    case key('u', 't', 'c'):
    case key('g', 'm', 't'): m = {W::ZoneUtc, 0}; break;
    case key('e', 's', 't'): m = {W::ZoneUs, -5}; break;
    case key('e', 'd', 't'): m = {W::ZoneUs, -4}; break;
    case key('c', 's', 't'): m = {W::ZoneUs, -6}; break;
    case key('c', 'd', 't'): m = {W::ZoneUs, -5}; break;
    case key('m', 's', 't'): m = {W::ZoneUs, -7}; break;
    case key('m', 'd', 't'): m = {W::ZoneUs, -6}; break;
    case key('p', 's', 't'): m = {W::ZoneUs, -8}; break;
    case key('p', 'd', 't'): m = {W::ZoneUs, -7}; break;
    default: return {W::Unknown, 0};
    }
    if (len == 3)
        return m;
    if (full == nullptr || std::strlen(full) != len)
        return {W::Unknown, 0};
    for (std::size_t i = 3; i < len; ++i)
        if (lower(i) != full[i])
            return {W::Unknown, 0};
    return m;
}

// Reads the text left to right with a cursor.  Where the general parser
// looks at its next token whatever white space comes before it, the steps
// skip white space first; where it wants the token glued to the one before
// (":" in a time, the digits after it, "/" and "." in a date), they look at
// the very next character.  A token here is the same run of digits, run
// of letters or single character as there, so the two meet the same tokens
// in the same order.
class Reader {
public:
    // The longest text read here: longer ones, such as a date with a long
    // comment, go to the general parser.
    static constexpr std::size_t kMaxLength = 128;

    // The text is copied with zero bytes after it, so that the steps look
    // at the characters without testing for the end first.
    explicit Reader(std::string_view text) : n_(text.size()) {
        std::memcpy(p_, text.data(), n_);
        std::memset(p_ + n_, 0, kPadding);
    }

    // The general parser's run(), without the bracket of web server logs.
    [[gnu::flatten]] bool read(std::int64_t& seconds) {
        spaces();
        bool ok;
        if (is(kLetter)) {
            WordMeaning w = word();
            if (w.cls == WordClass::Weekday) {
                f_.weekday = w.value;
                spaces();
                if (ch(pos_) == ',') {
                    ++pos_;
                    spaces();
                }
                if (is(kDigit))
                    return number_first() && finish(seconds);
                if (!is(kLetter))
                    return false;
                w = word();
            }
            ok = w.cls == WordClass::Month && month_first(w);
        } else {
            ok = is(kDigit) && number_first();
        }
        return ok && finish(seconds);
    }

private:
    // The steps look at most 2 characters past the end (a sign and its
    // first digit); 8 zero bytes leave room.
    static constexpr std::size_t kPadding = 8;
    char p_[kMaxLength + kPadding];
    std::size_t n_;
    std::size_t pos_ = 0;
    std::size_t word_length_ = 0; // of the last word()
    Fields f_;

    // The character at i, or 0 past the end: 0 is no character that any
    // step looks for, and the end itself is tested as pos_ == n_.
    char ch(std::size_t i) const { return p_[i]; }
    bool is(std::uint8_t cls) const { return class_of(ch(pos_)) == cls; }
    void spaces() {
        while (is(kSpace))
            ++pos_;
    }
    // The value of the character at i as a digit, 0..9, or 10 or more for
    // any other character (the unsigned subtraction wraps those below '0').
    std::uint32_t digit(std::size_t i) const {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(p_[i])) - '0';
    }
    // The run of digits at the cursor (one at least): its length, and its
    // value in v, exact up to 9 digits (only runs of up to 4 are used).
    std::size_t number(std::uint32_t& v) {
        const std::size_t from = pos_;
        v = digit(pos_++);
        for (std::uint32_t d; (d = digit(pos_)) <= 9; ++pos_)
            v = v * 10 + d;
        return pos_ - from;
    }
    // The run of letters at the cursor (one at least).
    WordMeaning word() {
        const std::size_t from = pos_;
        while (is(kLetter))
            ++pos_;
        word_length_ = pos_ - from;
        return quick_word(p_ + from, word_length_);
    }

    bool finish(std::int64_t& seconds) {
        spaces();
        return pos_ == n_ && instant_if_valid(f_, seconds);
    }

    bool number_first() {
        std::uint32_t v;
        const std::size_t len = number(v);
        const char glued = ch(pos_);
        if (glued == '-')
            return false; // ISO 8601, 19-Jan-2038: the general parser's
        if (glued == '/') {
            if (len == 4)
                return year_month_day_slashes(v);
            if (len > 2)
                return false;
            // A word after the "/" makes it the web server log form (or a
            // refusal): the general parser's.
            const std::size_t slash = pos_++;
            spaces();
            if (is(kLetter))
                return false;
            pos_ = slash + 1;
            return month_day_year_slashes(v);
        }
        if (glued == '.') {
            ++pos_;
            return len <= 2 && day_month_year_dots(v);
        }
        if (len > 2)
            return false;
        spaces();
        if (!is(kLetter))
            return false;
        const WordMeaning m = word();
        return m.cls == WordClass::Month && day_month_year(v, m);
    }

    // A month or day number of one or two digits, glued to what precedes.
    bool take_small(std::uint32_t& out) {
        return is(kDigit) && number(out) <= 2;
    }
    bool take(char c) {
        if (ch(pos_) != c)
            return false;
        ++pos_;
        return true;
    }
    bool read_year() {
        spaces();
        std::uint32_t v;
        if (!is(kDigit) || number(v) != 4)
            return false;
        f_.year = static_cast<std::int32_t>(v);
        return true;
    }

    // 2038/01/19, the cursor on the first "/"
    bool year_month_day_slashes(std::uint32_t year) {
        f_.year = static_cast<std::int32_t>(year);
        ++pos_;
        return take_small(f_.month) && take('/') && take_small(f_.day) && after_date();
    }

    // 01/19/2038, the cursor after the first "/"; a month above 12 is
    // refused (with a hint when it may be the day).
    bool month_day_year_slashes(std::uint32_t month) {
        f_.month = month;
        return take_small(f_.day) && take('/') && read_year() && month <= 12 && after_date();
    }

    // 19.01.2038, the cursor after the first "."
    bool day_month_year_dots(std::uint32_t day) {
        f_.day = day;
        return take_small(f_.month) && take('.') && read_year() && after_date();
    }

    // 19 Jan 2038, the cursor after the month name
    bool day_month_year(std::uint32_t day, WordMeaning month) {
        f_.day = day;
        f_.month = static_cast<std::uint32_t>(month.value);
        if (word_length_ == 3 && ch(pos_) == '.')
            return false; // "Jan.": the general parser's
        return read_year() && after_date();
    }

    // Jan 19, 2038 ...; or Jan 19 03:14:07 [zone] 2038.  The cursor after
    // the month name.
    bool month_first(WordMeaning month) {
        f_.month = static_cast<std::uint32_t>(month.value);
        if (word_length_ == 3 && ch(pos_) == '.')
            return false; // "Jan.": the general parser's
        spaces();
        if (!is(kDigit) || number(f_.day) > 2)
            return false;
        if (starts_time())
            return read_time() && read_zone() && read_year();
        spaces();
        take(',');
        return read_year() && after_date();
    }

    // Whether the next token is a number of one or two digits followed by
    // ":" or by AM/PM (or the "a" or "p" of "a.m.", "p.m."); moves nothing.
    bool starts_time() {
        const std::size_t from = pos_;
        spaces();
        std::uint32_t v;
        bool yes = false;
        if (is(kDigit) && number(v) <= 2) {
            if (ch(pos_) == ':') {
                yes = true;
            } else {
                spaces();
                if (is(kLetter)) {
                    const WordClass w = word().cls;
                    yes = w == WordClass::Am || w == WordClass::Pm ||
                          ((w == WordClass::A || w == WordClass::P) && ch(pos_) == '.');
                }
            }
        }
        pos_ = from;
        return yes;
    }

    // Nothing, or a time (after white space, "," or "at") with a zone.
    bool after_date() {
        const std::size_t from = pos_;
        spaces();
        if (take(',')) {
            // a time must follow
        } else if (is(kLetter)) {
            if (word().cls != WordClass::At)
                return false; // a word that is no zone here: refused
        } else {
            pos_ = from;
            if (!starts_time())
                return true;
        }
        return read_time() && read_zone();
    }

    // "hh:mm:ss" and no digit after it, the form most times take, in one
    // word-wide test (digit_text.hpp): gives false, moving nothing, for
    // any other text.
    bool full_time() {
        using namespace digit_text;
        const std::uint64_t w = load8(p_ + pos_);
        // The digits' bytes and the separators' bytes, in text order from
        // the lowest byte: "hh:mm:ss".
        constexpr std::uint64_t kDigits = 0xFFFF00FFFF00FFFF;
        constexpr std::uint64_t kSeps = 0x0000FF0000FF0000, kSepsText = 0x00003A00003A0000; // ':' ':'
        const std::uint64_t d = (w ^ ('0' * kEachByte)) & kDigits;
        // A byte of d is 10 or more when it or it plus 0x76 has the top bit
        // (as in canonical_date.hpp).
        if (((w & kSeps) ^ kSepsText) != 0 || ((d | (d + 0x76 * kEachByte)) & (0x80 * kEachByte)) != 0 ||
            digit(pos_ + 8) <= 9)
            return false;
        const std::uint64_t pairs = d * 10 + (d >> 8); // each byte: ten times it plus the next
        f_.hour = static_cast<std::uint32_t>(pairs) & 0xFF;
        f_.minute = static_cast<std::uint32_t>(pairs >> 24) & 0xFF;
        f_.second = static_cast<std::uint32_t>(pairs >> 48) & 0xFF;
        pos_ += 8;
        return true;
    }

    bool read_time() {
        spaces();
        if (!is(kDigit))
            return false;
        bool hour_alone = true;
        if (full_time()) {
            hour_alone = false;
            read_fraction();
        } else if (number(f_.hour) > 2) {
            return false;
        } else if (take(':')) {
            if (!is(kDigit) || number(f_.minute) != 2)
                return false;
            hour_alone = false;
            if (take(':')) {
                if (!is(kDigit) || number(f_.second) != 2)
                    return false;
                read_fraction();
            }
        }
        // AM or PM: 0 none, 1 AM, 2 PM.
        const std::size_t from = pos_;
        spaces();
        int half = 0;
        if (is(kLetter)) {
            const WordClass w = word().cls;
            if (w == WordClass::Am || w == WordClass::Pm)
                half = w == WordClass::Am ? 1 : 2;
            else if ((w == WordClass::A || w == WordClass::P) && ch(pos_) == '.')
                return false; // "a.m.": the general parser's
        }
        if (half == 0) {
            pos_ = from;
            return !hour_alone;
        }
        if (f_.hour < 1 || f_.hour > 12)
            return false;
        // 12 AM is midnight, 12 PM noon.
        f_.hour = f_.hour % 12 + (half == 2 ? 12 : 0);
        return true;
    }

    // The first digit of the fraction decides the rounding, as in the
    // general parser; the rest are passed over.
    void read_fraction() {
        const char sep = ch(pos_);
        if ((sep == '.' || sep == ',') && digit(pos_ + 1) <= 9) {
            f_.round_up = ch(pos_ + 1) >= '5';
            ++pos_;
            while (digit(pos_) <= 9)
                ++pos_;
        }
    }

    // Nothing, or a zone with an optional comment after it.  A word that
    // is no zone read here ends the reading: no step after a zone takes a
    // word.
    bool read_zone() {
        const std::size_t from = pos_;
        spaces();
        const char c = ch(pos_);
        if (is(kLetter)) {
            const WordMeaning w = word();
            switch (w.cls) {
            case WordClass::ZoneZ: break;
            case WordClass::ZoneUtc: {
                const char sign = ch(pos_);
                if ((sign == '+' || sign == '-') && class_of(ch(pos_ + 1)) == kDigit &&
                    !read_offset(true))
                    return false;
                break;
            }
            case WordClass::ZoneUs: f_.offset_minutes = w.value * 60; break;
            default: return false;
            }
        } else if ((c == '+' || c == '-') && class_of(ch(pos_ + 1)) == kDigit) {
            if (!read_offset(false))
                return false;
        } else {
            pos_ = from;
            return true;
        }
        // A comment, "(" up to the next ")", is passed over; an unclosed
        // one is refused.
        const std::size_t after_zone = pos_;
        spaces();
        if (ch(pos_) != '(') {
            pos_ = after_zone;
            return true;
        }
        const void* close = std::memchr(p_ + pos_ + 1, ')', n_ - pos_ - 1);
        if (close == nullptr)
            return false;
        pos_ = static_cast<std::size_t>(static_cast<const char*>(close) - p_) + 1;
        return true;
    }

    // +hh:mm, +hhmm, +hh, and after a zone name also +h ("UTC+1"); the
    // cursor on the sign, a digit after it.
    bool read_offset(bool after_name) {
        const char sign = p_[pos_++];
        std::uint32_t h;
        const std::size_t len = number(h);
        std::uint32_t hours = 0, minutes = 0;
        if (len == 4) {
            hours = h / 100;
            minutes = h % 100;
        } else if (len == 2 || (after_name && len == 1)) {
            hours = h;
            if (take(':') && (!is(kDigit) || number(minutes) != 2))
                return false;
        } else {
            return false;
        }
        if (hours > 23 || minutes > 59)
            return false;
        const auto offset = static_cast<std::int32_t>(hours * 60 + minutes);
        f_.offset_minutes = sign == '-' ? -offset : offset;
        return true;
    }
};

} // namespace

bool read_common_date(std::string_view text, std::int64_t& seconds) {
    return text.size() <= Reader::kMaxLength && Reader(text).read(seconds);
}

} // namespace kvix::date_text
