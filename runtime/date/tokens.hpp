// Date texts as tokens, and the vocabulary of the words in them.
//
// A token is a run of ASCII digits (a number), a run of ASCII letters (a
// word, looked up in the vocabulary), one punctuation character, a
// parenthesised comment, or one other character.  White space (text_space.hpp)
// only separates tokens: each token records whether white space stood before
// it, and a run of it counts as one.  The list lives in a fixed array: past
// kMaxTokens - 2 tokens the rest of the text becomes one Rest token, so no
// input makes the tokenizer allocate or loop more than once over the text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kvix::date {

enum class TokenKind : std::uint8_t {
    End,     // the end of the text; always the last token
    Number,  // ASCII digits
    Word,    // ASCII letters
    Punct,   // one ASCII character that is neither space, digit nor letter
    Comment, // "(" up to the ")" that balances it, or to the end of the text
    Other,   // one non-ASCII character that is no space
    Rest,    // the text beyond the token limit, not tokenized
};

// What a word means in a date.  Month and weekday words carry a value.
enum class WordClass : std::uint8_t {
    Unknown,
    Month,     // value 1..12; "January" or "Jan"
    Weekday,   // value 0..6 from Sunday; "Tuesday" or "Tue"
    ZoneZ,     // "Z": UTC, takes no offset after it
    ZoneUtc,   // "UT", "UTC", "GMT": UTC, may take an offset ("GMT+0100")
    ZoneUs,    // the US zone names of mail headers; value: offset in hours
    ZoneOther, // a zone name that is not read: it is ambiguous
    T,         // the date-time separator of ISO 8601
    Am,        // "am"
    Pm,        // "pm"
    A,         // "a" of "a.m."
    P,         // "p" of "p.m."
    M,         // "m" of "a.m." and "p.m."
    At,        // "at", as in "Jan 19, 2038 at 3:14 PM"
    Relative,  // "now", "tomorrow" and the like: no fixed instant
};

// One word of the vocabulary.  The first entry of each month and weekday
// is its full name, as messages write it.
struct Word {
    std::string_view name;
    WordClass cls;
    std::int8_t value; // month 1..12, weekday 0..6 from Sunday, US zone offset in hours
};

// The full name of a month (1..12) or a weekday (0..6 from Sunday).
std::string_view name_of(WordClass cls, int value);

// The zone names read, for messages: "UT, UTC, GMT, Z, EST, ...".
std::string zone_names_read();

struct Token {
    TokenKind kind;
    bool space_before;      // white space (or the start of the text) before it
    char ch;                // Punct: the character
    WordClass word;         // Word: its class
    std::int8_t word_value; // Word: month, weekday or zone offset in hours
    bool closed;            // Comment: its parentheses balance
    std::size_t begin;      // byte range in the text
    std::size_t end;
    std::uint64_t value;    // Number: its value, saturated at kNumberCap

    std::size_t length() const { return end - begin; }
    bool is_number() const { return kind == TokenKind::Number; }
    bool is_punct(char c) const { return kind == TokenKind::Punct && ch == c; }
    bool is_word(WordClass c) const { return kind == TokenKind::Word && word == c; }
};

// Numbers above this keep this value; no field reads more than 8 digits.
inline constexpr std::uint64_t kNumberCap = 1'000'000'000'000'000'000ULL;

// The longest texts read, such as
// "[Tuesday, January 19, 2038 at 3:14:07.5 p.m. GMT+01:00 (CET)]", have 26
// tokens before End; the limit leaves 30.
inline constexpr std::size_t kMaxTokens = 32;

struct TokenList {
    Token tokens[kMaxTokens]; // the first `count` are set; the last is End
    std::size_t count;
};

// Splits the text into tokens; linear in its length.
void tokenize(std::string_view text, TokenList& out);

} // namespace kvix::date
