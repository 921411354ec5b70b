// The common date texts without the token list: each step below makes the
// decision the general parser (date_parser.cpp) makes at the same place,
// on the same tokens (runs of digits, runs of letters, single characters)
// read straight from the text, and gives up where that parser would refuse
// or where the text leaves the shapes read here (any byte outside ASCII,
// "Jan.", "a.m.", dashes, brackets, ...).  The most common layouts and
// times are tested eight bytes at a time, each test standing for the steps
// that would read the same text.  Reading the same tokens and taking the
// same decisions, the reader gives the same fields, and with them the same
// instant, whenever it accepts.
//
// Before those steps, the whole texts of the shapes most common (the
// outputs of mail, asctime, date, JavaScript and the like, and the numeric
// dates with a time) are tested against each shape word-wide and read at
// once, with the decisions the steps would take (read_whole_shape).
#include "common_date.hpp"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <utility>

#include "date_fields.hpp"
#include "date_tokens.hpp"
#include "digit_text.hpp"

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

// Eight bytes of the text as one word, the first in the lowest byte
// (digit_text.hpp), tested in all bytes at once: a byte that passes gets
// 0x80.  A byte b below 0x80 is at least x exactly when b + (0x80 - x) has
// its top bit, and that sum stays below 0x100, so no carry crosses into the
// next byte; bytes from 0x80 pass no test.
using digit_text::kEachByte;
constexpr std::uint64_t kHighBits = 0x80 * kEachByte;
constexpr std::uint64_t kLow7Bits = 0x7F * kEachByte;
constexpr std::uint64_t at_least(std::uint64_t low7, unsigned x) {
    return low7 + (0x80 - x) * kEachByte;
}
// The ASCII letters: b | 0x20 maps 'A'..'Z' onto 'a'..'z' and no other
// byte into that range.
constexpr std::uint64_t letter_bytes(std::uint64_t w) {
    const std::uint64_t low = (w | 0x20 * kEachByte) & kLow7Bits;
    return at_least(low, 'a') & ~at_least(low, 'z' + 1) & ~w & kHighBits;
}
// The ASCII digits '0'..'9'.
constexpr std::uint64_t digit_bytes(std::uint64_t w) {
    const std::uint64_t low = w & kLow7Bits;
    return at_least(low, '0') & ~at_least(low, '9' + 1) & ~w & kHighBits;
}
static_assert(digit_bytes(0x2F30393A) == 0x00808000); // ":90/": the 9 and the 0
// How many bytes from the first pass: 0..8.
inline std::size_t leading_run(std::uint64_t passing) {
    return static_cast<std::size_t>(std::countr_zero(~passing & kHighBits)) / 8;
}
static_assert(letter_bytes(0x7B7A615B5A41402F) == 0x0080800080800000); // "/@AZ[az{"

// A fixed layout of up to 16 characters, tested on two words: in the
// pattern, 'a' stands for a letter, 'd' for a digit, any other character
// for itself.
struct Layout {
    std::uint64_t letters[2] = {}, digits[2] = {}, fixed[2] = {}, text[2] = {};
    constexpr explicit Layout(std::string_view pattern) {
        for (std::size_t i = 0; i < pattern.size(); ++i) {
            const std::size_t k = i / 8;
            const unsigned shift = 8 * (i % 8);
            const char c = pattern[i];
            if (c == 'a') {
                letters[k] |= std::uint64_t{0x80} << shift;
            } else if (c == 'd') {
                digits[k] |= std::uint64_t{0x80} << shift;
            } else {
                fixed[k] |= std::uint64_t{0xFF} << shift;
                text[k] |= std::uint64_t{static_cast<unsigned char>(c)} << shift;
            }
        }
    }
    // w0, w1: the 16 characters from where the layout would start.
    bool fits(std::uint64_t w0, std::uint64_t w1) const {
        const auto fits_word = [&](std::uint64_t w, std::size_t k) {
            return (letter_bytes(w) & letters[k]) == letters[k] &&
                   (digit_bytes(w) & digits[k]) == digits[k] && (w & fixed[k]) == text[k];
        };
        return fits_word(w0, 0) && fits_word(w1, 1);
    }
};

// A word of up to 8 letters in lower case as one number, the first letter
// in the lowest byte and zero bytes after the last: the words' keys below.
constexpr std::uint64_t key(std::string_view w) {
    std::uint64_t v = 0;
    for (std::size_t i = w.size(); i-- > 0;)
        v = v << 8 | static_cast<unsigned char>(w[i]);
    return v;
}

// The words of three letters the steps below act on, with the meaning the
// tokenizer gives them (meaning_of in date_tokens.cpp): the month and
// weekday names and the zone names read.
struct ThreeLetterWord {
    std::string_view word;
    WordMeaning meaning;
};
constexpr ThreeLetterWord kThreeLetterWords[] = {
    {"jan", {WordClass::Month, 1}},    {"feb", {WordClass::Month, 2}},
    {"mar", {WordClass::Month, 3}},    {"apr", {WordClass::Month, 4}},
    {"may", {WordClass::Month, 5}},    {"jun", {WordClass::Month, 6}},
    {"jul", {WordClass::Month, 7}},    {"aug", {WordClass::Month, 8}},
    {"sep", {WordClass::Month, 9}},    {"oct", {WordClass::Month, 10}},
    {"nov", {WordClass::Month, 11}},   {"dec", {WordClass::Month, 12}},
    {"sun", {WordClass::Weekday, 0}},  {"mon", {WordClass::Weekday, 1}},
    {"tue", {WordClass::Weekday, 2}},  {"wed", {WordClass::Weekday, 3}},
    {"thu", {WordClass::Weekday, 4}},  {"fri", {WordClass::Weekday, 5}},
    {"sat", {WordClass::Weekday, 6}},  {"utc", {WordClass::ZoneUtc, 0}},
    {"gmt", {WordClass::ZoneUtc, 0}},  {"est", {WordClass::ZoneUs, -5}},
    {"edt", {WordClass::ZoneUs, -4}},  {"cst", {WordClass::ZoneUs, -6}},
    {"cdt", {WordClass::ZoneUs, -5}},  {"mst", {WordClass::ZoneUs, -7}},
    {"mdt", {WordClass::ZoneUs, -6}},  {"pst", {WordClass::ZoneUs, -8}},
    {"pdt", {WordClass::ZoneUs, -7}},
};

// The same words looked up by a perfect hash: a word's key (three letters
// in lower case as key() makes them, 24 bits) times a multiplier, of which
// the top 7 bits of the 32-bit product pick one of 128 slots.  The
// multiplier is the first odd number from 2^32 / golden ratio (Knuth's
// multiplicative hashing) that gives every word a slot of its own, found
// here at compile time (a few hundred tries; with 64 slots it takes some
// twenty thousand).  A slot holds its word's key, so any other three
// letters find a different key there (or the 0 of an empty slot, which no
// letters make) and mean Unknown.
constexpr struct ThreeLetterTable {
    static constexpr unsigned kSlotBits = 7;
    struct Slot {
        std::uint32_t key = 0;
        WordMeaning meaning = {WordClass::Unknown, 0};
    };
    std::uint32_t multiplier = 2654435769u; // 2^32 / 1.6180339887..., odd
    Slot slots[1u << kSlotBits] = {};

    constexpr unsigned slot_of(std::uint32_t k) const { return (k * multiplier) >> (32 - kSlotBits); }
    constexpr ThreeLetterTable() {
        constexpr std::size_t kWords = std::size(kThreeLetterWords);
        std::uint32_t keys[kWords] = {};
        for (std::size_t i = 0; i < kWords; ++i)
            keys[i] = static_cast<std::uint32_t>(key(kThreeLetterWords[i].word));
        for (;; multiplier += 2) {
            std::uint64_t taken[2] = {};
            bool distinct = true;
            for (std::size_t i = 0; i < kWords && distinct; ++i) {
                const unsigned s = slot_of(keys[i]);
                distinct = (taken[s / 64] >> (s % 64) & 1) == 0;
                taken[s / 64] |= std::uint64_t{1} << (s % 64);
            }
            if (distinct)
                break;
        }
        for (std::size_t i = 0; i < kWords; ++i)
            slots[slot_of(keys[i])] = {keys[i], kThreeLetterWords[i].meaning};
    }
} kThreeLetterTable;

// The meaning of a word of three letters, given as its key in lower case.
[[gnu::always_inline]] constexpr WordMeaning three_letter_word(std::uint32_t lower) {
    const ThreeLetterTable::Slot& s = kThreeLetterTable.slots[kThreeLetterTable.slot_of(lower)];
    return s.key == lower ? s.meaning : WordMeaning{WordClass::Unknown, 0};
}
static_assert(three_letter_word(static_cast<std::uint32_t>(key("tue"))).value == 2 &&
              three_letter_word(static_cast<std::uint32_t>(key("pdt"))).value == -7 &&
              three_letter_word(static_cast<std::uint32_t>(key("cet"))).cls == WordClass::Unknown);

// The words the steps below act on, with the meaning the tokenizer gives
// them (meaning_of in date_tokens.cpp): month and weekday names, the zone names read,
// AM, PM, "at", and the "a" and "p" of "a.m." and "p.m.".  Every other word
// is Unknown here, and no step accepts an Unknown word, so the reader gives
// up on it and the general parser reads it.  `lower`: the word's first 8
// letters in lower case as key() makes them; `ninth`: its ninth letter in
// lower case, when it has nine.
WordMeaning quick_word(std::uint64_t lower, std::size_t len, char ninth) {
    using W = WordClass;
    switch (len) {
    case 1:
        switch (lower) {
        case key("a"): return {W::A, 0};
        case key("p"): return {W::P, 0};
        case key("z"): return {W::ZoneZ, 0};
        default: return {W::Unknown, 0};
        }
    case 2:
        switch (lower) {
        case key("am"): return {W::Am, 0};
        case key("pm"): return {W::Pm, 0};
        case key("at"): return {W::At, 0};
        case key("ut"): return {W::ZoneUtc, 0};
        default: return {W::Unknown, 0};
        }
    case 3: return three_letter_word(static_cast<std::uint32_t>(lower));
    case 9:
        if (lower == key("septembe") && ninth == 'r')
            return {W::Month, 9};
        if (lower == key("wednesda") && ninth == 'y')
            return {W::Weekday, 3};
        return {W::Unknown, 0};
    default:
        if (len > 8)
            return {W::Unknown, 0};
        switch (lower) {
        case key("january"): return {W::Month, 1};
        case key("february"): return {W::Month, 2};
        case key("march"): return {W::Month, 3};
        case key("april"): return {W::Month, 4};
        case key("june"): return {W::Month, 6};
        case key("july"): return {W::Month, 7};
        case key("august"): return {W::Month, 8};
        case key("october"): return {W::Month, 10};
        case key("november"): return {W::Month, 11};
        case key("december"): return {W::Month, 12};
        case key("sunday"): return {W::Weekday, 0};
        case key("monday"): return {W::Weekday, 1};
        case key("tuesday"): return {W::Weekday, 2};
        case key("thursday"): return {W::Weekday, 4};
        case key("friday"): return {W::Weekday, 5};
        case key("saturday"): return {W::Weekday, 6};
        default: return {W::Unknown, 0};
        }
    }
}

// The shapes whole texts of the common forms take most often, each read
// at once: its characters are tested eight at a time against the shape,
// then its fields are taken from their fixed places.  In the pattern:
//   W, N, Z  a letter of a weekday name, a month name, a zone name (three
//            letters each);  P  a letter of AM or PM (two letters);
//   Y, M, D  a digit of the year, month, day;  h, m, s  a digit of the
//            hour, minute, second;  o  a digit of a zone offset, hhmm;
//   +        the offset's sign, "+" or "-";
//   *        (first) a month name, in full or of three letters, stands
//            before the rest of the pattern, which ends the text;
//   (        (last) a comment follows, up to the text's last character ")";
//   any other character stands for itself.
// A text fits a shape only when it is the whole text (no white space
// around, or the steps of Reader read it): the fields then are the tokens
// the steps would read, with nothing between them, and a shape takes the
// same decisions on them.  Any text that does not fit, and any that fits
// but fails a check, is left to Reader.
struct Shape {
    struct Field {
        std::size_t at = 0, size = 0; // size 0: not in the shape
    };
    static constexpr std::size_t kWords = 5;
    std::size_t size = 0; // characters, without '*'
    bool name_first = false, comment_last = false;
    // Per word (byte i of the text is byte i % 8 of word i / 8): what the
    // text's bytes are XORed with, '0' at a digit and the character itself
    // where one stands; which bytes are tested, the others (letters, the
    // sign) masked to 0; and what each tested byte may be at most after
    // the XOR, 9 for a digit and 0 for a character, given as 0x7F minus it
    // (see misfit).
    std::uint64_t pattern[kWords] = {}, tested[kWords] = {}, limit[kWords] = {};
    Field year, month, day, hour, minute, second, offset, sign, weekday, month_name, zone, half;

    // The pattern's letters of the fields above, in their order; the
    // first seven are digits.
    static constexpr std::string_view kFieldLetters = "YMDhmso+WNZP";
    static constexpr std::size_t kDigitFields = 7;
    constexpr Field& field(std::size_t kind) {
        Field* const all[] = {&year, &month, &day, &hour, &minute, &second, &offset,
                              &sign, &weekday, &month_name, &zone, &half};
        return *all[kind];
    }

    constexpr explicit Shape(std::string_view form) {
        if (form.front() == '*') {
            name_first = true;
            form.remove_prefix(1);
        }
        comment_last = form.back() == '(';
        size = form.size();
        if (size < 8 || size > 8 * kWords)
            throw "a shape has 8 to 40 characters"; // stops the compilation
        for (std::size_t i = 0; i < size; ++i) {
            const char c = form[i];
            const std::size_t kind = kFieldLetters.find(c);
            const std::size_t k = i / 8;
            const unsigned shift = 8 * (i % 8);
            const auto set = [&](unsigned char xor_with, unsigned char at_most) {
                pattern[k] |= std::uint64_t{xor_with} << shift;
                tested[k] |= std::uint64_t{0xFF} << shift;
                limit[k] |= std::uint64_t{0x7Fu - at_most} << shift;
            };
            if (kind == std::string_view::npos) {
                set(static_cast<unsigned char>(c), 0);
                continue;
            }
            Field& f = field(kind);
            if (f.size == 0)
                f.at = i;
            else if (f.at + f.size != i)
                throw "a field's characters stand together";
            ++f.size;
            if (kind < kDigitFields)
                set('0', 9);
        }
    }
    constexpr std::size_t words() const { return (size + 7) / 8; }
};

// Word K of the text from p.  The last word, when S ends within it, is
// loaded so that it ends with S, and shifted down to the bytes of S.
template <const Shape& S, std::size_t K>
[[gnu::always_inline]] inline std::uint64_t shape_word(const char* p) {
    if constexpr (8 * K + 8 <= S.size)
        return digit_text::load8(p + 8 * K);
    else
        return digit_text::load8(p + S.size - 8) >> (8 * (8 * K + 8 - S.size));
}
// A word of the text XORed with S's pattern and masked to the bytes
// tested: a digit's value where S has a digit, 0 where the text has the
// character S has.
template <const Shape& S, std::size_t K>
constexpr std::uint64_t xor_word(std::uint64_t w) {
    return (w ^ S.pattern[K]) & S.tested[K];
}
// The bytes of x = xor_word<S, K> that exceed what they may be, in their
// top bits: x over 0x7F has it already, and x + (0x7F - at most) reaches
// 0x80 exactly when x exceeds at most.  A carry out of a byte comes only
// from x of 0x81 or more, which fails by its own top bit (as in
// canonical_date.hpp).
template <const Shape& S, std::size_t K>
constexpr std::uint64_t misfit(std::uint64_t x) {
    return ((x + S.limit[K]) | x) & kHighBits;
}

// The text from p in shape S's words (xor_word), and whether the text has
// shape S, tested on all words with one branch.  Letters are not tested
// here: the names' lookups only match letters (see read_shape).
template <const Shape& S>
struct ShapeWords {
    std::uint64_t w[Shape::kWords], x[Shape::kWords]; // the words, and xor_word of them
    bool fits;

    explicit ShapeWords(const char* p) { load(p, std::make_index_sequence<S.words()>()); }
    template <std::size_t... K>
    [[gnu::always_inline]] void load(const char* p, std::index_sequence<K...>) {
        ((w[K] = shape_word<S, K>(p), x[K] = xor_word<S, K>(w[K])), ...);
        fits = (misfit<S, K>(x[K]) | ...) == 0;
    }

    // The value of the two digits at i and i + 1, once the text fits: from
    // their word's pairs (each byte ten times its digit plus the next
    // byte's) when one word holds both, else from the two words.
    template <std::size_t I>
    [[gnu::always_inline]] std::uint32_t two(const char* p) const {
        if constexpr (I / 8 == (I + 1) / 8) {
            const std::uint64_t d = x[I / 8];
            return static_cast<std::uint32_t>(((d * 10 + (d >> 8)) >> (8 * (I % 8))) & 0xFF);
        } else {
            return (static_cast<std::uint32_t>(static_cast<unsigned char>(p[I])) - '0') * 10 +
                   (static_cast<std::uint32_t>(static_cast<unsigned char>(p[I + 1])) - '0');
        }
    }
    // The value of a field of one, two or four digits.
    template <Shape::Field F>
    [[gnu::always_inline]] std::uint32_t number(const char* p) const {
        static_assert(F.size == 1 || F.size == 2 || F.size == 4);
        if constexpr (F.size == 1)
            return static_cast<std::uint32_t>(static_cast<unsigned char>(p[F.at])) - '0';
        else if constexpr (F.size == 2)
            return two<F.at>(p);
        else
            return two<F.at>(p) * 100 + two<F.at + 2>(p);
    }
    // The meaning of a field of three letters, from their word when one
    // holds them.
    template <Shape::Field F>
    [[gnu::always_inline]] WordMeaning name(const char* p) const {
        static_assert(F.size == 3);
        std::uint32_t letters;
        if constexpr (F.at / 8 == (F.at + 2) / 8) {
            letters = static_cast<std::uint32_t>(w[F.at / 8] >> (8 * (F.at % 8))) & 0xFFFFFF;
        } else {
            const auto byte = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(p[F.at + i])); };
            letters = byte(0) | byte(1) << 8 | byte(2) << 16;
        }
        return three_letter_word(letters | 0x202020); // lower case, as key() makes it
    }
};

// The month name of 3 to 9 letters that fills p[0, len): its meaning, or
// Unknown when those are not all letters.
[[gnu::noinline]] WordMeaning month_name_before(const char* p, std::size_t len) {
    const std::uint64_t w = digit_text::load8(p);
    const std::size_t run = leading_run(letter_bytes(w));
    if (run < std::min<std::size_t>(len, 8) || (len == 9 && class_of(p[8]) != kLetter))
        return {WordClass::Unknown, 0};
    const std::uint64_t lower = w | 0x20 * kEachByte;
    return len < 8 ? quick_word(lower & ((std::uint64_t{1} << (8 * len)) - 1), len, 0)
                   : quick_word(lower, len, static_cast<char>(len == 9 ? p[8] | 0x20 : 0));
}

// Whether the text p[0, n) has the length of shape S, and for a comment
// the ")" at its end: tested before the call to read_fitting.
template <const Shape& S>
[[gnu::always_inline]] inline bool length_fits(const char* p, std::size_t n) {
    if constexpr (S.name_first)
        return n >= S.size + 3 && n <= S.size + 9; // month names of 3 to 9 letters
    else if constexpr (S.comment_last)
        return n > S.size && p[n - 1] == ')';
    else
        return n == S.size;
}

// Whether no byte of p[from, to) is c, sixteen bytes at a time (a
// vector compare, one instruction on most machines); shorter runs a byte
// at a time.  The last sixteen bytes are looked at whole, some again.
inline bool none_is(const char* p, std::size_t from, std::size_t to, char c) {
    using Bytes16 [[gnu::vector_size(16)]] = char;
    if (to - from < 16) {
        for (std::size_t i = from; i < to; ++i)
            if (p[i] == c)
                return false;
        return true;
    }
    const auto any_c = [&](std::size_t i) {
        Bytes16 v;
        std::memcpy(&v, p + i, 16);
        const Bytes16 equal = v == c; // -1 in each byte that is c, else 0
        std::uint64_t halves[2];
        std::memcpy(halves, &equal, 16);
        return halves[0] | halves[1];
    };
    std::uint64_t seen = 0;
    for (std::size_t i = from; i + 16 < to; i += 16)
        seen |= any_c(i);
    return (seen | any_c(to - 16)) == 0;
}

// Reads the text p[0, n), whose length fits shape S, if it is of that
// shape, with the decisions the steps of Reader take on the same fields;
// false for any other text and for one that fails a check.
template <const Shape& S>
[[gnu::noinline]] bool read_fitting(const char* p, std::size_t n, std::int64_t& seconds) {
    const char* at = S.name_first ? p + (n - S.size) : p; // where the shape starts
    const ShapeWords<S> words(at);
    if (!words.fits)
        return false;
    // The checks below are gathered in `named`, tested once at the end.
    Fields f;
    bool named = true;
    if constexpr (S.name_first) {
        const WordMeaning m = month_name_before(p, n - S.size);
        named = m.cls == WordClass::Month;
        f.month = static_cast<std::uint32_t>(m.value);
    }
    if constexpr (S.weekday.size != 0) {
        const WordMeaning m = words.template name<S.weekday>(at);
        named = named & (m.cls == WordClass::Weekday);
        f.weekday = m.value;
    }
    if constexpr (S.month_name.size != 0) {
        const WordMeaning m = words.template name<S.month_name>(at);
        named = named & (m.cls == WordClass::Month);
        f.month = static_cast<std::uint32_t>(m.value);
    }
    if constexpr (S.month.size != 0)
        f.month = words.template number<S.month>(at);
    f.year = static_cast<std::int32_t>(words.template number<S.year>(at));
    f.day = words.template number<S.day>(at);
    f.hour = words.template number<S.hour>(at);
    f.minute = words.template number<S.minute>(at);
    f.second = words.template number<S.second>(at);
    if constexpr (S.half.size != 0) {
        // AM or PM: the hour 1..12; 12 AM is midnight, 12 PM noon.
        const std::uint64_t lower = digit_text::load2(at + S.half.at) | 0x2020;
        const bool pm = lower == key("pm");
        named = named & (pm | (lower == key("am"))) & (f.hour - 1 < 12);
        f.hour = f.hour % 12 + (pm ? 12 : 0);
    }
    if constexpr (S.zone.size != 0) {
        // A zone name; one with an offset after it must be UT, UTC or GMT.
        const WordMeaning m = words.template name<S.zone>(at);
        if constexpr (S.offset.size == 0) {
            named = named & ((m.cls == WordClass::ZoneUtc) | (m.cls == WordClass::ZoneUs));
            f.offset_minutes = m.value * 60; // 0 for UTC
        } else {
            named = named & (m.cls == WordClass::ZoneUtc);
        }
    }
    if constexpr (S.offset.size != 0) {
        const std::uint32_t hours = words.template number<Shape::Field{S.offset.at, 2}>(at);
        const std::uint32_t minutes = words.template number<Shape::Field{S.offset.at + 2, 2}>(at);
        const char sign = at[S.sign.at];
        named = named & ((sign == '+') | (sign == '-')) & (hours <= 23) & (minutes <= 59);
        const auto offset = static_cast<std::int32_t>(hours * 60 + minutes);
        f.offset_minutes = sign == '-' ? -offset : offset;
    }
    if constexpr (S.comment_last) {
        // The comment ends at its first ")", which must be the last
        // character (length_fits).
        named = named & none_is(p, S.size, n - 1, ')');
    }
    if (!named)
        return false;
    return instant_if_valid(f, seconds);
}
template <const Shape& S>
[[gnu::always_inline]] inline bool read_shape(const char* p, std::size_t n, std::int64_t& seconds) {
    return length_fits<S>(p, n) && read_fitting<S>(p, n, seconds);
}

namespace whole {
constexpr Shape kDots("DD.MM.YYYY hh:mm:ss");
constexpr Shape kYearFirst("YYYY/MM/DD hh:mm:ss");
constexpr Shape kMonthFirst("MM/DD/YYYY hh:mm:ss");
constexpr Shape kMailOffset("WWW, DD NNN YYYY hh:mm:ss +oooo");
constexpr Shape kMailZone("WWW, DD NNN YYYY hh:mm:ss ZZZ");
constexpr Shape kAsctime("WWW NNN DD hh:mm:ss YYYY");
constexpr Shape kAsctimeOneDigitDay("WWW NNN  D hh:mm:ss YYYY");
constexpr Shape kDateCommand("WWW NNN DD hh:mm:ss ZZZ YYYY");
constexpr Shape kDateCommandOneDigitDay("WWW NNN  D hh:mm:ss ZZZ YYYY");
constexpr Shape kJavaScript("WWW NNN DD YYYY hh:mm:ss ZZZ+oooo (");
constexpr Shape kTwelveHour("* DD, YYYY hh:mm:ss PP");
constexpr Shape kTwelveHourOneDigit("* DD, YYYY h:mm:ss PP");
} // namespace whole
// The fewest characters of a text of any of these shapes: a shorter text
// goes to Reader at once, and any text tried has the characters that
// read_whole_shape looks at to choose.
constexpr std::size_t kShortestShape =
    std::min({whole::kDots.size, whole::kYearFirst.size, whole::kMonthFirst.size, whole::kMailOffset.size,
              whole::kMailZone.size, whole::kAsctime.size, whole::kDateCommand.size,
              whole::kJavaScript.size + 1, whole::kTwelveHour.size + 3, whole::kTwelveHourOneDigit.size + 3});
static_assert(kShortestShape == 19);
// Where a text of the 12-hour shapes with a one-digit hour has the space
// before that hour, counted from the text's end (" h:mm:ss PP": 11).
constexpr std::size_t kOneDigitHourFromEnd = whole::kTwelveHourOneDigit.size - (whole::kTwelveHourOneDigit.hour.at - 1);

// Tries the shapes a text may have, chosen by its first characters: a digit
// and "." or "/" where each numeric shape has it, or a letter and "," or
// " " where the weekday shapes have it after three letters; the 12-hour
// shapes after a month name last.
[[gnu::always_inline]] inline bool read_whole_shape(const char* p, std::size_t n, std::int64_t& seconds) {
    if (n < kShortestShape)
        return false;
    const std::uint8_t first = class_of(p[0]);
    if (first == kDigit) {
        if (p[2] == '.')
            return read_shape<whole::kDots>(p, n, seconds);
        if (p[4] == '/')
            return read_shape<whole::kYearFirst>(p, n, seconds);
        return p[2] == '/' && read_shape<whole::kMonthFirst>(p, n, seconds);
    }
    if (first != kLetter)
        return false;
    if (p[3] == ',')
        return read_shape<whole::kMailOffset>(p, n, seconds) || read_shape<whole::kMailZone>(p, n, seconds);
    if (p[3] == ' ' &&
        (read_shape<whole::kAsctime>(p, n, seconds) || read_shape<whole::kDateCommand>(p, n, seconds) ||
         read_shape<whole::kJavaScript>(p, n, seconds) || read_shape<whole::kAsctimeOneDigitDay>(p, n, seconds) ||
         read_shape<whole::kDateCommandOneDigitDay>(p, n, seconds)))
        return true;
    // A 12-hour time ends the text: "h:mm:ss PP" or "hh:mm:ss PP".
    return p[n - kOneDigitHourFromEnd] == ' ' ? read_shape<whole::kTwelveHourOneDigit>(p, n, seconds)
                            : read_shape<whole::kTwelveHour>(p, n, seconds);
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
    explicit Reader(std::string_view text) : p_(text.data()), n_(text.size()) {
        // The text's last eight bytes as a word (all of it when shorter),
        // for the words that reach past its end.
        if (n_ >= 8) {
            last_ = digit_text::load8(p_ + n_ - 8);
        } else {
            for (std::size_t k = n_; k-- > 0;)
                last_ = last_ << 8 | static_cast<unsigned char>(p_[k]);
        }
    }

    // The general parser's run(), without the bracket of web server logs.
    // Each step below takes the cursor, the position of the next character
    // to read, and gives it back moved past what it read, or kNo when it
    // gives up.  The cursor is passed by value so that it stays in a
    // register.
    [[gnu::hot]] bool read(std::int64_t& seconds) {
        std::size_t i = spaces(0);
        std::size_t done = fixed_layouts(i);
        if (done == kNotThere) {
            if (is(i, kLetter)) {
                WordMeaning w;
                i = word(i, w);
                if (w.cls == WordClass::Weekday) {
                    f_.weekday = w.value;
                    i = spaces(i);
                    if (ch(i) == ',')
                        i = spaces(i + 1);
                    if (is(i, kDigit))
                        return finish(number_first(i), seconds);
                    if (!is(i, kLetter))
                        return false;
                    i = word(i, w);
                }
                done = w.cls == WordClass::Month ? month_first(i, w) : kNo;
            } else {
                done = is(i, kDigit) ? number_first(i) : kNo;
            }
        }
        return finish(done, seconds);
    }

private:
    static constexpr std::size_t kNo = SIZE_MAX;            // gave up
    static constexpr std::size_t kNotThere = SIZE_MAX - 1; // no layout fits

    const char* p_;
    std::size_t n_;
    std::uint64_t last_ = 0;
    std::size_t word_length_ = 0; // of the last word()
    Fields f_;

    // The character at i, or 0 past the end: 0 is no character that any
    // step looks for, and the end itself is tested as i == n_.
    char ch(std::size_t i) const { return i < n_ ? p_[i] : '\0'; }
    bool is(std::size_t i, std::uint8_t cls) const { return class_of(ch(i)) == cls; }
    std::size_t spaces(std::size_t i) const {
        while (is(i, kSpace))
            ++i;
        return i;
    }
    // The eight characters from i as a word, the first in the lowest byte,
    // with zero bytes past the end.
    std::uint64_t word_at(std::size_t i) const {
        if (i + 8 <= n_)
            return digit_text::load8(p_ + i);
        if (i >= n_)
            return 0;
        return last_ >> (8 * (i + 8 - std::max<std::size_t>(n_, 8)));
    }
    // The value of the character at i as a digit, 0..9, or 10 or more for
    // any other character (the unsigned subtraction wraps those below '0').
    std::uint32_t digit(std::size_t i) const {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(ch(i))) - '0';
    }
    // The run of digits at i (one at least): where it ends, and its value
    // in v, exact up to 9 digits (only runs of up to 4 are used).
    std::size_t number(std::size_t i, std::uint32_t& v) const {
        v = digit(i++);
        for (std::uint32_t d; (d = digit(i)) <= 9; ++i)
            v = v * 10 + d;
        return i;
    }
    // The run of letters at i (one at least), eight bytes at a time: where
    // it ends, and its meaning in m.
    std::size_t word(std::size_t i, WordMeaning& m) {
        const std::uint64_t w = word_at(i);
        std::size_t len = leading_run(letter_bytes(w));
        const std::uint64_t lower = w | 0x20 * kEachByte;
        if (len < 8) {
            m = quick_word(lower & ((std::uint64_t{1} << (8 * len)) - 1), len, 0);
        } else {
            while (is(i + len, kLetter))
                ++len;
            m = quick_word(lower, len, static_cast<char>(ch(i + 8) | 0x20));
        }
        word_length_ = len;
        return i + len;
    }

    bool finish(std::size_t i, std::int64_t& seconds) const {
        return i != kNo && spaces(i) == n_ && instant_if_valid(f_, seconds);
    }

    // The layouts most texts of their forms take, tested word-wide; each
    // reads the tokens the steps below would read from the same text, and
    // goes on with the step that follows them.  Gives kNotThere when no
    // layout fits.
    std::size_t fixed_layouts(std::size_t i) {
        static constexpr Layout kMail("aaa, dd aaa dddd");   // Tue, 19 Jan 2038
        static constexpr Layout kDayFirst("dd aaa dddd");    // 19 Jan 2038
        static constexpr Layout kDateCommand("aaa aaa dd ");  // Tue Jan 19 ...
        static constexpr Layout kAsctime("aaa aaa  d ");      // Tue Jan  1 ...
        static constexpr Layout kDots("dd.dd.dddd");          // 19.01.2038
        static constexpr Layout kYearFirst("dddd/dd/dd");     // 2038/01/19
        static constexpr Layout kMonthFirst("dd/dd/dddd");    // 01/19/2038
        const std::uint64_t w0 = word_at(i), w1 = word_at(i + 8);
        // The character at k from the cursor, k < 16.
        const auto byte = [&](std::size_t k) {
            return static_cast<std::uint32_t>((k < 8 ? w0 >> (8 * k) : w1 >> (8 * (k - 8))) & 0xFF);
        };
        // The two digits at k as a number, once the layout fits.
        const auto two = [&](std::size_t k) { return (byte(k) - '0') * 10 + (byte(k + 1) - '0'); };
        // The word of the three letters at k, which a non-letter follows.
        const auto word3 = [&](std::size_t k) {
            return quick_word(byte(k) | byte(k + 1) << 8 | byte(k + 2) << 16 | 0x202020, 3, 0);
        };
        if (is(i, kLetter)) {
            const WordMeaning weekday = word3(0);
            if (weekday.cls != WordClass::Weekday)
                return kNotThere;
            if (byte(3) == ',' && kMail.fits(w0, w1) && digit(i + 16) > 9) {
                const WordMeaning month = word3(8);
                if (month.cls != WordClass::Month)
                    return kNotThere;
                f_.weekday = weekday.value;
                f_.day = two(5);
                f_.month = static_cast<std::uint32_t>(month.value);
                f_.year = static_cast<std::int32_t>(two(12) * 100 + two(14));
                return after_date(i + 16);
            }
            const bool two_digits = kDateCommand.fits(w0, w1);
            if (two_digits || kAsctime.fits(w0, w1)) {
                const WordMeaning month = word3(4);
                if (month.cls != WordClass::Month)
                    return kNotThere;
                f_.weekday = weekday.value;
                f_.month = static_cast<std::uint32_t>(month.value);
                f_.day = two_digits ? two(8) : byte(9) - '0';
                return after_month_day(i + 10);
            }
            return kNotThere;
        }
        if (kDayFirst.fits(w0, w1) && digit(i + 11) > 9) {
            const WordMeaning month = word3(3);
            if (month.cls != WordClass::Month)
                return kNotThere;
            f_.day = two(0);
            f_.month = static_cast<std::uint32_t>(month.value);
            f_.year = static_cast<std::int32_t>(two(7) * 100 + two(9));
            return after_date(i + 11);
        }
        if (digit(i + 10) <= 9)
            return kNotThere;
        if (kDots.fits(w0, w1)) {
            f_.day = two(0);
            f_.month = two(3);
            f_.year = static_cast<std::int32_t>(two(6) * 100 + two(8));
        } else if (kYearFirst.fits(w0, w1)) {
            f_.year = static_cast<std::int32_t>(two(0) * 100 + two(2));
            f_.month = two(5);
            f_.day = two(8);
        } else if (kMonthFirst.fits(w0, w1)) {
            f_.month = two(0);
            f_.day = two(3);
            f_.year = static_cast<std::int32_t>(two(6) * 100 + two(8));
            if (f_.month > 12)
                return kNo;
        } else {
            return kNotThere;
        }
        return after_date(i + 10);
    }

    std::size_t number_first(std::size_t i) {
        std::uint32_t v;
        const std::size_t end = number(i, v);
        const std::size_t len = end - i;
        i = end;
        const char glued = ch(i);
        if (glued == '-')
            return kNo; // ISO 8601, 19-Jan-2038: the general parser's
        if (glued == '/') {
            if (len == 4)
                return year_month_day_slashes(i + 1, v);
            // A word after the "/" makes it the web server log form (or a
            // refusal): the general parser's.
            if (len > 2 || is(spaces(i + 1), kLetter))
                return kNo;
            return month_day_year_slashes(i + 1, v);
        }
        if (glued == '.')
            return len <= 2 ? day_month_year_dots(i + 1, v) : kNo;
        if (len > 2)
            return kNo;
        i = spaces(i);
        if (!is(i, kLetter))
            return kNo;
        WordMeaning m;
        i = word(i, m);
        return m.cls == WordClass::Month ? day_month_year(i, v, m) : kNo;
    }

    // A month or day number of one or two digits, glued to what precedes.
    std::size_t take_small(std::size_t i, std::uint32_t& out) const {
        if (!is(i, kDigit))
            return kNo;
        const std::size_t end = number(i, out);
        return end - i <= 2 ? end : kNo;
    }
    // The character c at i.
    std::size_t take(std::size_t i, char c) const { return ch(i) == c ? i + 1 : kNo; }
    // A number of exactly four digits: the first four bytes digits and
    // the fifth none, tested on one word.
    std::size_t read_year(std::size_t i) {
        i = spaces(i);
        const std::uint64_t w = word_at(i);
        if ((digit_bytes(w) & 0x0000008080808080) != 0x0000000080808080)
            return kNo;
        const auto d = [&](unsigned k) { return static_cast<std::uint32_t>((w >> (8 * k)) & 0xFF) - '0'; };
        f_.year = static_cast<std::int32_t>(((d(0) * 10 + d(1)) * 10 + d(2)) * 10 + d(3));
        return i + 4;
    }

    // 2038/01/19, the cursor after the first "/"
    std::size_t year_month_day_slashes(std::size_t i, std::uint32_t year) {
        f_.year = static_cast<std::int32_t>(year);
        if ((i = take_small(i, f_.month)) == kNo || (i = take(i, '/')) == kNo ||
            (i = take_small(i, f_.day)) == kNo)
            return kNo;
        return after_date(i);
    }

    // 01/19/2038, the cursor after the first "/"; a month above 12 is
    // refused (with a hint when it may be the day).
    std::size_t month_day_year_slashes(std::size_t i, std::uint32_t month) {
        f_.month = month;
        if ((i = take_small(i, f_.day)) == kNo || (i = take(i, '/')) == kNo ||
            (i = read_year(i)) == kNo || month > 12)
            return kNo;
        return after_date(i);
    }

    // 19.01.2038, the cursor after the first "."
    std::size_t day_month_year_dots(std::size_t i, std::uint32_t day) {
        f_.day = day;
        if ((i = take_small(i, f_.month)) == kNo || (i = take(i, '.')) == kNo ||
            (i = read_year(i)) == kNo)
            return kNo;
        return after_date(i);
    }

    // 19 Jan 2038, the cursor after the month name
    std::size_t day_month_year(std::size_t i, std::uint32_t day, WordMeaning month) {
        f_.day = day;
        f_.month = static_cast<std::uint32_t>(month.value);
        if (word_length_ == 3 && ch(i) == '.')
            return kNo; // "Jan.": the general parser's
        if ((i = read_year(i)) == kNo)
            return kNo;
        return after_date(i);
    }

    // Jan 19, 2038 ...; or Jan 19 03:14:07 [zone] 2038.  The cursor after
    // the month name.
    std::size_t month_first(std::size_t i, WordMeaning month) {
        f_.month = static_cast<std::uint32_t>(month.value);
        if (word_length_ == 3 && ch(i) == '.')
            return kNo; // "Jan.": the general parser's
        i = spaces(i);
        if (!is(i, kDigit))
            return kNo;
        const std::size_t end = number(i, f_.day);
        return end - i <= 2 ? after_month_day(end) : kNo;
    }
    // The rest of month_first, after the day.
    std::size_t after_month_day(std::size_t i) {
        // "hh:mm:ss" or "h:mm:ss", the time most such texts hold, tested at
        // once: what starts_time and read_time find in it.
        const std::size_t next = spaces(i);
        if (const std::size_t len = clock(next); len != 0) {
            if ((i = after_clock(read_fraction(next + len), false)) == kNo || (i = read_zone(i)) == kNo)
                return kNo;
            return read_year(i);
        }
        if (starts_time(i)) {
            if ((i = read_time(i)) == kNo || (i = read_zone(i)) == kNo)
                return kNo;
            return read_year(i);
        }
        i = spaces(i);
        if (ch(i) == ',')
            ++i;
        if ((i = read_year(i)) == kNo)
            return kNo;
        return after_date(i);
    }

    // Whether the next token is a number of one or two digits followed by
    // ":" or by AM/PM (or the "a" or "p" of "a.m.", "p.m.").
    bool starts_time(std::size_t i) {
        i = spaces(i);
        if (!is(i, kDigit))
            return false;
        std::uint32_t v;
        const std::size_t end = number(i, v);
        if (end - i > 2)
            return false;
        if (ch(end) == ':')
            return true;
        i = spaces(end);
        if (!is(i, kLetter))
            return false;
        WordMeaning m;
        i = word(i, m);
        return m.cls == WordClass::Am || m.cls == WordClass::Pm ||
               ((m.cls == WordClass::A || m.cls == WordClass::P) && ch(i) == '.');
    }

    // Nothing, or a time (after white space, "," or "at") with a zone.
    std::size_t after_date(std::size_t i) {
        const std::size_t next = spaces(i);
        if (ch(next) == ',') {
            i = next + 1; // a time must follow
        } else if (is(next, kLetter)) {
            WordMeaning m;
            i = word(next, m);
            if (m.cls != WordClass::At)
                return kNo; // a word that is no zone here: refused
        } else if (const std::size_t len = clock(next); len != 0) { // as in after_month_day
            if ((i = after_clock(read_fraction(next + len), false)) == kNo)
                return kNo;
            return read_zone(i);
        } else if (!starts_time(i)) {
            return i;
        }
        if ((i = read_time(i)) == kNo)
            return kNo;
        return read_zone(i);
    }

    // "hh:mm:ss" or "h:mm:ss" at i and no digit after it, the forms most
    // times take, in one word-wide test (as in canonical_date.hpp): gives
    // the length read, 8 or 7, or 0 for any other text.
    std::size_t clock(std::size_t i) {
        using namespace digit_text;
        std::uint64_t w = word_at(i);
        std::size_t len = 8;
        if (((w >> 8) & 0xFF) == ':') { // one digit of hour: read as "0h:mm:ss"
            w = w << 8 | '0';
            len = 7;
        }
        // The digits' bytes and the separators' bytes, in text order from
        // the lowest byte: "hh:mm:ss".
        constexpr std::uint64_t kDigits = 0xFFFF00FFFF00FFFF;
        constexpr std::uint64_t kSeps = 0x0000FF0000FF0000, kSepsText = 0x00003A00003A0000; // ':' ':'
        const std::uint64_t d = (w ^ ('0' * kEachByte)) & kDigits;
        // A byte of d is 10 or more when it or it plus 0x76 has the top bit.
        if (((w & kSeps) ^ kSepsText) != 0 || ((d | (d + 0x76 * kEachByte)) & (0x80 * kEachByte)) != 0 ||
            digit(i + len) <= 9)
            return 0;
        const std::uint64_t pairs = d * 10 + (d >> 8); // each byte: ten times it plus the next
        f_.hour = static_cast<std::uint32_t>(pairs) & 0xFF;
        f_.minute = static_cast<std::uint32_t>(pairs >> 24) & 0xFF;
        f_.second = static_cast<std::uint32_t>(pairs >> 48) & 0xFF;
        return len;
    }

    std::size_t read_time(std::size_t i) {
        i = spaces(i);
        if (!is(i, kDigit))
            return kNo;
        bool hour_alone = true;
        if (const std::size_t len = clock(i); len != 0) {
            hour_alone = false;
            i = read_fraction(i + len);
        } else {
            const std::size_t end = number(i, f_.hour);
            if (end - i > 2)
                return kNo;
            i = end;
            if (ch(i) == ':') {
                i = colon_and_two_digits(i, f_.minute);
                if (i == kNo)
                    return kNo;
                hour_alone = false;
                if (ch(i) == ':') {
                    i = colon_and_two_digits(i, f_.second);
                    if (i == kNo)
                        return kNo;
                    i = read_fraction(i);
                }
            }
        }
        return after_clock(i, hour_alone);
    }

    // The ":" at i and exactly two digits after it, into v: where they end,
    // or kNo.
    std::size_t colon_and_two_digits(std::size_t i, std::uint32_t& v) const {
        if (!is(i + 1, kDigit))
            return kNo;
        const std::size_t end = number(i + 1, v);
        return end - (i + 1) == 2 ? end : kNo;
    }

    // The rest of a time after its digits: an AM or PM.
    std::size_t after_clock(std::size_t i, bool hour_alone) {
        // AM or PM: 0 none, 1 AM, 2 PM.
        int half = 0;
        const std::size_t next = spaces(i);
        if (is(next, kLetter)) {
            WordMeaning m;
            const std::size_t end = word(next, m);
            if (m.cls == WordClass::Am || m.cls == WordClass::Pm) {
                half = m.cls == WordClass::Am ? 1 : 2;
                i = end;
            } else if ((m.cls == WordClass::A || m.cls == WordClass::P) && ch(end) == '.') {
                return kNo; // "a.m.": the general parser's
            }
        }
        if (half == 0)
            return hour_alone ? kNo : i;
        if (f_.hour < 1 || f_.hour > 12)
            return kNo;
        // 12 AM is midnight, 12 PM noon.
        f_.hour = f_.hour % 12 + (half == 2 ? 12 : 0);
        return i;
    }

    // The first digit of the fraction decides the rounding, as in the
    // general parser; the rest are passed over.
    std::size_t read_fraction(std::size_t i) {
        const char sep = ch(i);
        if ((sep == '.' || sep == ',') && digit(i + 1) <= 9) {
            f_.round_up = ch(i + 1) >= '5';
            i += 2;
            while (digit(i) <= 9)
                ++i;
        }
        return i;
    }

    // Nothing, or a zone with an optional comment after it.  A word that
    // is no zone read here ends the reading: no step after a zone takes a
    // word.
    std::size_t read_zone(std::size_t i) {
        const std::size_t next = spaces(i);
        const char c = ch(next);
        if (is(next, kLetter)) {
            WordMeaning w;
            i = word(next, w);
            switch (w.cls) {
            case WordClass::ZoneZ: break;
            case WordClass::ZoneUtc: {
                const char sign = ch(i);
                if ((sign == '+' || sign == '-') && is(i + 1, kDigit) && (i = read_offset(i, true)) == kNo)
                    return kNo;
                break;
            }
            case WordClass::ZoneUs: f_.offset_minutes = w.value * 60; break;
            default: return kNo;
            }
        } else if ((c == '+' || c == '-') && is(next + 1, kDigit)) {
            if ((i = read_offset(next, false)) == kNo)
                return kNo;
        } else {
            return i;
        }
        // A comment, "(" up to the next ")", is passed over; an unclosed
        // one is refused.
        const std::size_t open = spaces(i);
        if (ch(open) != '(')
            return i;
        const void* close = std::memchr(p_ + open + 1, ')', n_ - open - 1);
        if (close == nullptr)
            return kNo;
        return static_cast<std::size_t>(static_cast<const char*>(close) - p_) + 1;
    }

    // +hh:mm, +hhmm, +hh, and after a zone name also +h ("UTC+1"); i on
    // the sign, a digit after it.
    std::size_t read_offset(std::size_t i, bool after_name) {
        const char sign = ch(i);
        std::uint32_t h;
        const std::size_t end = number(i + 1, h);
        const std::size_t len = end - (i + 1);
        i = end;
        std::uint32_t hours = 0, minutes = 0;
        if (len == 4) {
            hours = h / 100;
            minutes = h % 100;
        } else if (len == 2 || (after_name && len == 1)) {
            hours = h;
            if (ch(i) == ':') {
                if (!is(i + 1, kDigit))
                    return kNo;
                const std::size_t m_end = number(i + 1, minutes);
                if (m_end - (i + 1) != 2)
                    return kNo;
                i = m_end;
            }
        } else {
            return kNo;
        }
        if (hours > 23 || minutes > 59)
            return kNo;
        const auto offset = static_cast<std::int32_t>(hours * 60 + minutes);
        f_.offset_minutes = sign == '-' ? -offset : offset;
        return i;
    }
};

// Reader's part, out of line so that reading a whole shape needs no frame.
[[gnu::noinline]] bool read_step_by_step(std::string_view text, std::int64_t& seconds) {
    return Reader(text).read(seconds);
}

} // namespace

bool read_common_date(std::string_view text, std::int64_t& seconds) {
    return read_whole_shape(text.data(), text.size(), seconds) || read_step_by_step(text, seconds);
}

} // namespace kvix::date_text
