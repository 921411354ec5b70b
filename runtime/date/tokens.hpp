// Date texts as tokens, and the vocabulary of the words in them.
//
// A token is a run of ASCII digits (a number), a run of letters (a word,
// looked up in the vocabulary and the zone names): ASCII letters and the
// letters of Latin-1 in UTF-8, U+00C0..U+00FF but for the signs U+00D7 and
// U+00F7, so that "März" is one word (also when written "Ma\u0308rz", with
// the combining diaeresis after a, o or u); one punctuation character, a
// parenthesised comment, or one other character.  White space (text_space.hpp)
// only separates tokens: each token records whether white space stood before
// it, and a run of it counts as one.  The list lives in a fixed array: past
// kMaxTokens - 2 tokens the rest of the text becomes one Rest token, so no
// input makes the tokenizer allocate or loop more than once over the text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kvix::date {

enum class TokenKind : std::uint8_t {
    End,     // the end of the text; always the last token
    Number,  // ASCII digits
    Word,    // letters
    Punct,   // one ASCII character that is neither space, digit nor letter;
             // U+2212 MINUS SIGN is "-"
    Comment, // "(" up to the ")" that balances it, or to the end of the text
    Other,   // one non-ASCII character that is no space
    Rest,    // the text beyond the token limit, not tokenized
};

// What a word means in a date.  Month and weekday words carry a value.
enum class WordClass : std::uint8_t {
    Unknown,
    Month,         // value 1..12; "January" or "Jan", "Januar" or "Jän"
    Weekday,       // value 0..6 from Sunday; "Tuesday" or "Tue", "Dienstag" or "Di"
    Zone,          // a zone name read; value: its row of the zone table
    ZoneAmbiguous, // a zone name with more than one reading; value: its first row
    ZoneUnknown,   // a letter alone other than those below: a military zone, not read
    T,             // the date-time separator of ISO 8601
    W,             // the week of an ISO week date: "2038-W03-2"
    Suffix,        // an English ordinal suffix after a day: value 1 st, 2 nd, 3 rd, 4 th
    Am,            // "am"
    Pm,            // "pm"
    A,             // "a" of "a.m."
    P,             // "p" of "p.m."
    M,             // "m" of "a.m." and "p.m."
    At,            // "at", as in "Jan 19, 2038 at 3:14 PM"; "um", as in "um 04:14 Uhr"
    Uhr,           // "Uhr", after a time: "04:14 Uhr"
    Now,           // "now": the current second
    Day,           // "today", "yesterday", "tomorrow": value: days from today
    Relative,      // "ago", "next" and the like: relative words not read
};

// One word of the vocabulary.  The first entry of each month and weekday
// is its full name, as messages write it.
struct Word {
    std::string_view name;
    WordClass cls;
    std::int8_t value;  // month 1..12, weekday 0..6 from Sunday, days from today
    bool short_form;    // an abbreviation, which a dot may follow: "Jan.", "Di."
};

// A zone name and the offset it stands for.  A name on more than one row
// is ambiguous: each row is one of its readings.
struct ZoneName {
    std::string_view name;
    std::int16_t offset;     // minutes east of UTC
    std::string_view region; // where it is used, in words
    bool takes_offset;       // an offset may follow, glued: "GMT+0100", "UTC+1"
};

// The zone table.
std::span<const ZoneName> zone_names();

// The full name of a month (1..12) or a weekday (0..6 from Sunday).
std::string_view name_of(WordClass cls, int value);

// The zone names read, each once, for messages: "UT, UTC, GMT, Z, WET, ...".
std::string zone_names_read();

// The readings of the zone name whose first row is `row`, for messages:
// "+05:30 (India), +01:00 (Ireland) or +02:00 (Israel)"; one alone for a
// name of one row: "-05:00 (US Eastern Standard Time)".
std::string zone_readings(std::size_t row);

// An offset in minutes as +hh:mm or -hh:mm.
std::string offset_text(int minutes);

// A character that messages name, by its code point and name:
// "U+200B ZERO WIDTH SPACE".  The invisible characters that pasted text
// brings along, and U+2212 MINUS SIGN.
struct NamedCharacter {
    std::string name; // empty for other characters
    bool invisible = false;
};

// The name of the character written by the bytes of one token, if
// messages name it.
NamedCharacter named_character(std::string_view c);

struct Token {
    TokenKind kind;
    bool space_before;      // white space (or the start of the text) before it
    char ch;                // Punct: the character
    WordClass word;         // Word: its class
    std::int16_t word_value; // Word: month, weekday, days or zone row
    bool short_form;         // Word: a short form, which a dot may follow
    bool closed;            // Comment: its parentheses balance
    std::size_t begin;      // byte range in the text
    std::size_t end;
    std::uint64_t value;    // Number: its value, saturated at kNumberCap

    std::size_t length() const { return end - begin; }
    bool is_number() const { return kind == TokenKind::Number; }
    bool is_punct(char c) const { return kind == TokenKind::Punct && ch == c; }
    bool is_word(WordClass c) const { return kind == TokenKind::Word && word == c; }
    // U+2212 MINUS SIGN, read as "-" where a sign stands, but no dash.
    bool is_minus_sign() const { return kind == TokenKind::Punct && ch == '-' && length() > 1; }
};

// Numbers above this keep this value; no field reads more than 8 digits.
inline constexpr std::uint64_t kNumberCap = 1'000'000'000'000'000'000ULL;

// The longest texts read, such as
// "2038-01-19T00:14:07.123456789-03:00[America/Argentina/Buenos_Aires]" or
// "[Tuesday, January 19, 2038 at 3:14:07.5 p.m. GMT+01:00 (CET)]", have 26
// tokens before End; the limit leaves 38.
inline constexpr std::size_t kMaxTokens = 40;

struct TokenList {
    Token tokens[kMaxTokens]; // the first `count` are set; the last is End
    std::size_t count;
};

// Splits the text into tokens; linear in its length.
void tokenize(std::string_view text, TokenList& out);

} // namespace kvix::date
