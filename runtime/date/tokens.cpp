#include "tokens.hpp"

#include <algorithm>
#include <array>
#include <iterator>

#include "digits.hpp"
#include "text_space.hpp"

namespace kvix::date {
namespace {

using W = WordClass;

// The vocabulary: English and German month and weekday names, full and
// short (a short form may take a dot), the 12-hour clock, the words around
// a time, and the relative words: those read (the current second, and the
// midnight of today, yesterday and tomorrow) and those refused.
constexpr Word kVocabulary[] = {
    // English months
    {"January", W::Month, 1, false}, {"Jan", W::Month, 1, true},
    {"February", W::Month, 2, false}, {"Feb", W::Month, 2, true},
    {"March", W::Month, 3, false}, {"Mar", W::Month, 3, true},
    {"April", W::Month, 4, false}, {"Apr", W::Month, 4, true},
    {"May", W::Month, 5, false},
    {"June", W::Month, 6, false}, {"Jun", W::Month, 6, true},
    {"July", W::Month, 7, false}, {"Jul", W::Month, 7, true},
    {"August", W::Month, 8, false}, {"Aug", W::Month, 8, true},
    {"September", W::Month, 9, false}, {"Sep", W::Month, 9, true}, {"Sept", W::Month, 9, true},
    {"October", W::Month, 10, false}, {"Oct", W::Month, 10, true},
    {"November", W::Month, 11, false}, {"Nov", W::Month, 11, true},
    {"December", W::Month, 12, false}, {"Dec", W::Month, 12, true},
    // German months, with Austria's "Jänner"; short forms the same as the
    // English ones are not repeated
    {"Januar", W::Month, 1, false}, {"Jänner", W::Month, 1, false}, {"Jän", W::Month, 1, true},
    {"Februar", W::Month, 2, false},
    {"März", W::Month, 3, false}, {"Maerz", W::Month, 3, false}, {"Mär", W::Month, 3, true},
    {"Mrz", W::Month, 3, true},
    {"Mai", W::Month, 5, true}, {"Juni", W::Month, 6, false}, {"Juli", W::Month, 7, false},
    {"Oktober", W::Month, 10, false}, {"Okt", W::Month, 10, true},
    {"Dezember", W::Month, 12, false}, {"Dez", W::Month, 12, true},
    // English weekdays
    {"Sunday", W::Weekday, 0, false}, {"Sun", W::Weekday, 0, true},
    {"Monday", W::Weekday, 1, false}, {"Mon", W::Weekday, 1, true},
    {"Tuesday", W::Weekday, 2, false}, {"Tue", W::Weekday, 2, true},
    {"Wednesday", W::Weekday, 3, false}, {"Wed", W::Weekday, 3, true},
    {"Thursday", W::Weekday, 4, false}, {"Thu", W::Weekday, 4, true},
    {"Friday", W::Weekday, 5, false}, {"Fri", W::Weekday, 5, true},
    {"Saturday", W::Weekday, 6, false}, {"Sat", W::Weekday, 6, true},
    // German weekdays, with "Sonnabend" for Saturday
    {"Sonntag", W::Weekday, 0, false}, {"So", W::Weekday, 0, true},
    {"Montag", W::Weekday, 1, false}, {"Mo", W::Weekday, 1, true},
    {"Dienstag", W::Weekday, 2, false}, {"Di", W::Weekday, 2, true},
    {"Mittwoch", W::Weekday, 3, false}, {"Mi", W::Weekday, 3, true},
    {"Donnerstag", W::Weekday, 4, false}, {"Do", W::Weekday, 4, true},
    {"Freitag", W::Weekday, 5, false}, {"Fr", W::Weekday, 5, true},
    {"Samstag", W::Weekday, 6, false}, {"Sonnabend", W::Weekday, 6, false},
    {"Sa", W::Weekday, 6, true},
    // Around a time
    {"am", W::Am, 0, false}, {"pm", W::Pm, 0, false}, {"a", W::A, 0, false},
    {"p", W::P, 0, false}, {"m", W::M, 0, false}, {"t", W::T, 0, false},
    {"at", W::At, 0, false}, {"um", W::At, 0, false}, {"Uhr", W::Uhr, 0, false},
    // Around a date: the week of a week date, a day's ordinal suffixes
    {"w", W::W, 0, false},
    {"st", W::Suffix, 1, false}, {"nd", W::Suffix, 2, false}, {"rd", W::Suffix, 3, false},
    {"th", W::Suffix, 4, false},
    // Relative words
    {"now", W::Now, 0, false}, {"jetzt", W::Now, 0, false},
    {"today", W::Day, 0, false}, {"heute", W::Day, 0, false},
    {"yesterday", W::Day, -1, false}, {"gestern", W::Day, -1, false},
    {"tomorrow", W::Day, 1, false}, {"morgen", W::Day, 1, false},
    {"tonight", W::Relative, 0, false}, {"ago", W::Relative, 0, false},
    {"next", W::Relative, 0, false}, {"last", W::Relative, 0, false},
    {"this", W::Relative, 0, false}, {"hence", W::Relative, 0, false},
    {"fortnight", W::Relative, 0, false}, {"vor", W::Relative, 0, false},
    {"vorgestern", W::Relative, 0, false}, {"übermorgen", W::Relative, 0, false},
    {"nächsten", W::Relative, 0, false}, {"letzten", W::Relative, 0, false},
};

// Offsets in minutes east of UTC.
constexpr std::int16_t hours(int h, int m = 0) { return static_cast<std::int16_t>(h * 60 + (h < 0 ? -m : m)); }

// The zone names read, and the six names in common use with more than
// one reading.  UT, UTC and GMT take an offset after them; Z and the US
// zones are those of mail headers (RFC 5322).
constexpr ZoneName kZones[] = {
    {"UT", 0, "Universal Time", true},
    {"UTC", 0, "Coordinated Universal Time", true},
    {"GMT", 0, "Greenwich Mean Time", true},
    {"Z", 0, "UTC, as ISO 8601 writes it", false},
    {"WET", 0, "Western European Time", false},
    {"WEST", hours(1), "Western European Summer Time", false},
    {"BST", hours(1), "British Summer Time", false},
    {"CET", hours(1), "Central European Time", false},
    {"MET", hours(1), "Middle European Time", false},
    {"MEZ", hours(1), "Central European Time, in German", false},
    {"WAT", hours(1), "West Africa Time", false},
    {"CEST", hours(2), "Central European Summer Time", false},
    {"MEST", hours(2), "Middle European Summer Time", false},
    {"MESZ", hours(2), "Central European Summer Time, in German", false},
    {"EET", hours(2), "Eastern European Time", false},
    {"CAT", hours(2), "Central Africa Time", false},
    {"SAST", hours(2), "South Africa Standard Time", false},
    {"EEST", hours(3), "Eastern European Summer Time", false},
    {"MSK", hours(3), "Moscow Time", false},
    {"EAT", hours(3), "East Africa Time", false},
    {"PKT", hours(5), "Pakistan Standard Time", false},
    {"WIB", hours(7), "Western Indonesia Time", false},
    {"WITA", hours(8), "Central Indonesia Time", false},
    {"AWST", hours(8), "Australian Western Standard Time", false},
    {"SGT", hours(8), "Singapore Time", false},
    {"HKT", hours(8), "Hong Kong Time", false},
    {"WIT", hours(9), "Eastern Indonesia Time", false},
    {"JST", hours(9), "Japan Standard Time", false},
    {"KST", hours(9), "Korea Standard Time", false},
    {"ACST", hours(9, 30), "Australian Central Standard Time", false},
    {"ACDT", hours(10, 30), "Australian Central Daylight Time", false},
    {"AEST", hours(10), "Australian Eastern Standard Time", false},
    {"ChST", hours(10), "Chamorro Standard Time", false},
    {"AEDT", hours(11), "Australian Eastern Daylight Time", false},
    {"NZST", hours(12), "New Zealand Standard Time", false},
    {"NZDT", hours(13), "New Zealand Daylight Time", false},
    {"NST", hours(-3, 30), "Newfoundland Standard Time", false},
    {"NDT", hours(-2, 30), "Newfoundland Daylight Time", false},
    {"ADT", hours(-3), "Atlantic Daylight Time", false},
    {"AKST", hours(-9), "Alaska Standard Time", false},
    {"AKDT", hours(-8), "Alaska Daylight Time", false},
    {"HST", hours(-10), "Hawaii Standard Time", false},
    {"HDT", hours(-9), "Hawaii-Aleutian Daylight Time", false},
    {"EST", hours(-5), "US Eastern Standard Time", false},
    {"EDT", hours(-4), "US Eastern Daylight Time", false},
    {"MST", hours(-7), "US Mountain Standard Time", false},
    {"MDT", hours(-6), "US Mountain Daylight Time", false},
    {"PST", hours(-8), "US Pacific Standard Time", false},
    {"PDT", hours(-7), "US Pacific Daylight Time", false},
    // Ambiguous: refused, naming each reading
    {"IST", hours(5, 30), "India", false},
    {"IST", hours(1), "Ireland", false},
    {"IST", hours(2), "Israel", false},
    {"AST", hours(-4), "Atlantic", false},
    {"AST", hours(3), "Arabia", false},
    {"GST", hours(4), "Gulf", false},
    {"GST", hours(-2), "South Georgia", false},
    {"SST", hours(-11), "Samoa", false},
    {"SST", hours(8), "Singapore", false},
    {"CST", hours(-6), "US Central", false},
    {"CST", hours(8), "China", false},
    {"CST", hours(-5), "Cuba", false},
    {"CDT", hours(-5), "US Central", false},
    {"CDT", hours(-4), "Cuba", false},
};

constexpr std::size_t kZoneCount = std::size(kZones);

// Whether the name of zone row `k` stands on a row next to it too: a name
// with more than one reading.
constexpr bool has_more_readings(std::size_t k) {
    return (k + 1 < kZoneCount && kZones[k + 1].name == kZones[k].name) ||
           (k > 0 && kZones[k - 1].name == kZones[k].name);
}

// ASCII and Latin-1 capitals made small, in UTF-8: a letter U+00C0..U+00DE
// (but the sign U+00D7) is 0xC3 then 0x80..0x9E, its small letter 0xC3
// then 0x20 more.
constexpr unsigned char small(unsigned char c, unsigned char before) {
    if (c >= 'A' && c <= 'Z')
        return static_cast<unsigned char>(c | 0x20);
    if (before == 0xC3 && c >= 0x80 && c <= 0x9E && c != 0x97)
        return static_cast<unsigned char>(c + 0x20);
    return c;
}

// Whether a word reads as a name, upper and lower case alike.
constexpr bool same_word(std::string_view word, std::string_view name) {
    if (word.size() != name.size())
        return false;
    unsigned char before_w = 0, before_n = 0;
    for (std::size_t k = 0; k < word.size(); ++k) {
        const auto w = static_cast<unsigned char>(word[k]);
        const auto n = static_cast<unsigned char>(name[k]);
        if (small(w, before_w) != small(n, before_n))
            return false;
        before_w = w;
        before_n = n;
    }
    return true;
}
static_assert(same_word("MÄRZ", "März") && same_word("jÄn", "Jän") && !same_word("Mxrz", "März"));
static_assert(same_word("chst", "ChST") && !same_word("Ma\xC3\x97", "Ma\xC3\xB7"));

// No word is both in the vocabulary and a zone name, and the rows of one
// zone name stand together.
constexpr bool words_are_distinct() {
    for (const Word& w : kVocabulary)
        for (const ZoneName& z : kZones)
            if (same_word(w.name, z.name))
                return false;
    for (std::size_t k = 0; k + 1 < kZoneCount; ++k)
        for (std::size_t j = k + 2; j < kZoneCount; ++j)
            if (same_word(kZones[k].name, kZones[j].name) && !same_word(kZones[k].name, kZones[j - 1].name))
                return false;
    return true;
}
static_assert(words_are_distinct());

struct Meaning {
    WordClass cls;
    std::int16_t value;
    bool short_form;
};

// Every word of the vocabulary and every zone name with its meaning, in
// the order of their lengths and small first letters (then of the tables),
// so that a word is compared only with the names of its length and first
// letter.  A zone name on more than one row means its first row.
struct Entry {
    std::size_t length;
    unsigned char first;
    std::size_t order;
    std::string_view name;
    Meaning meaning;
};
constexpr bool before(const Entry& a, const Entry& b) {
    return a.length != b.length ? a.length < b.length : a.first != b.first ? a.first < b.first : a.order < b.order;
}
constexpr auto kLookup = [] {
    std::array<Entry, std::size(kVocabulary) + kZoneCount> t{};
    std::size_t n = 0;
    const auto add = [&](std::string_view name, Meaning m) {
        t[n] = {name.size(), small(static_cast<unsigned char>(name[0]), 0), n, name, m};
        ++n;
    };
    for (const Word& w : kVocabulary)
        add(w.name, {w.cls, w.value, w.short_form});
    for (std::size_t k = 0; k < kZoneCount; ++k)
        add(kZones[k].name,
            {has_more_readings(k) ? W::ZoneAmbiguous : W::Zone, static_cast<std::int16_t>(k), false});
    std::sort(t.begin(), t.end(), before);
    return t;
}();

// The longest name of the vocabulary and the zone table, in bytes: the
// lookup is in the order of the lengths.
constexpr std::size_t kLongestName = kLookup.back().length;

// U+0308 COMBINING DIAERESIS in UTF-8.  Texts in Unicode's decomposed form
// (NFD), as some systems paste them, write an umlaut as its vowel and this
// mark: "Ma\u0308rz" for "März".
constexpr std::string_view kDiaeresis = "\xCC\x88";

// The second byte of the composed umlaut in UTF-8 of a vowel a, o or u in
// either case: U+00C4, U+00D6, U+00DC and their small letters (0x20 further
// on) are 0xC3, then 0x80 and their low six bits; 0 for other letters.
constexpr unsigned char umlaut_of(char vowel) {
    switch (vowel) {
    case 'A': return 0x84;
    case 'O': return 0x96;
    case 'U': return 0x9C;
    case 'a': return 0xA4;
    case 'o': return 0xB6;
    case 'u': return 0xBC;
    default: return 0;
    }
}

Meaning meaning_of(std::string_view word) {
    const Entry key{word.size(), small(static_cast<unsigned char>(word[0]), 0), 0, {}, {}};
    const auto same_start = [](const Entry& a, const Entry& b) {
        return a.length != b.length ? a.length < b.length : a.first < b.first;
    };
    const auto [from, to] = std::equal_range(kLookup.begin(), kLookup.end(), key, same_start);
    for (auto e = from; e != to; ++e)
        if (same_word(word, e->name))
            return e->meaning;
    return {word.size() == 1 ? W::ZoneUnknown : W::Unknown, 0, false}; // other single letters: military zones
}

// A word with umlauts written as vowel and mark, looked up as the composed
// letters; a word longer than every name once composed is not known.
Meaning composed_meaning_of(std::string_view word) {
    char composed[kLongestName];
    std::size_t n = 0;
    for (std::size_t k = 0; k < word.size(); ++n) {
        const bool umlaut = word.substr(k + 1, kDiaeresis.size()) == kDiaeresis && umlaut_of(word[k]) != 0;
        if (n + (umlaut ? 1 : 0) >= kLongestName) // n is at most kLongestName
            return {W::Unknown, 0, false};
        if (umlaut) {
            composed[n++] = '\xC3';
            composed[n] = static_cast<char>(umlaut_of(word[k]));
            k += 1 + kDiaeresis.size();
        } else {
            composed[n] = word[k++];
        }
    }
    return meaning_of(std::string_view(composed, n));
}

// Whether the bytes at text[i] start a letter of a word: an ASCII letter
// (a, o or u with a combining diaeresis after it counting as one letter),
// or a Latin-1 letter in UTF-8 (0xC3 then 0x80..0xBF, but the signs
// U+00D7 and U+00F7); gives its length, or 0.
std::size_t letter_length(std::string_view text, std::size_t i) {
    if (byte_class(text[i]) == kByteLetter) {
        if (i + 2 < text.size() && text[i + 1] == kDiaeresis[0] && text[i + 2] == kDiaeresis[1] &&
            umlaut_of(text[i]) != 0)
            return 1 + kDiaeresis.size();
        return 1;
    }
    if (text[i] == '\xC3' && i + 1 < text.size()) {
        const auto next = static_cast<unsigned char>(text[i + 1]);
        if (next >= 0x80 && next <= 0xBF && next != 0x97 && next != 0xB7)
            return 2;
    }
    return 0;
}

// Bytes of the UTF-8 sequence a lead byte starts (1 for a stray byte).
std::size_t sequence_length(unsigned char lead) {
    return lead >= 0xF8 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

// The characters messages name by their code point: those that cannot be
// seen, which pasted text brings along (a byte order mark, zero-width
// spaces and joiners, direction marks, the soft hyphen), and the minus sign.
struct CharacterName {
    char32_t code_point;
    std::string_view name;
    bool invisible;
};
constexpr CharacterName kNamedCharacters[] = {
    {0x00AD, "SOFT HYPHEN", true},
    {0x200B, "ZERO WIDTH SPACE", true},
    {0x200C, "ZERO WIDTH NON-JOINER", true},
    {0x200D, "ZERO WIDTH JOINER", true},
    {0x200E, "LEFT-TO-RIGHT MARK", true},
    {0x200F, "RIGHT-TO-LEFT MARK", true},
    {0x202A, "LEFT-TO-RIGHT EMBEDDING", true},
    {0x202B, "RIGHT-TO-LEFT EMBEDDING", true},
    {0x202C, "POP DIRECTIONAL FORMATTING", true},
    {0x202D, "LEFT-TO-RIGHT OVERRIDE", true},
    {0x202E, "RIGHT-TO-LEFT OVERRIDE", true},
    {0x2060, "WORD JOINER", true},
    {0x2066, "LEFT-TO-RIGHT ISOLATE", true},
    {0x2067, "RIGHT-TO-LEFT ISOLATE", true},
    {0x2068, "FIRST STRONG ISOLATE", true},
    {0x2069, "POP DIRECTIONAL ISOLATE", true},
    {0xFEFF, "ZERO WIDTH NO-BREAK SPACE (byte order mark)", true},
    {0x2212, "MINUS SIGN", false},
};

// The code point of one UTF-8 sequence of two or three bytes, or 0 for
// other bytes (the named characters all lie in U+0080..U+FFFF).
char32_t code_point_of(std::string_view c) {
    const auto b = [&](std::size_t k) { return static_cast<char32_t>(static_cast<unsigned char>(c[k])); };
    if (c.size() == 2 && (b(0) & 0xE0) == 0xC0)
        return ((b(0) & 0x1F) << 6) | (b(1) & 0x3F);
    if (c.size() == 3 && (b(0) & 0xF0) == 0xE0)
        return ((b(0) & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F);
    return 0;
}

} // namespace

NamedCharacter named_character(std::string_view c) {
    const char32_t cp = code_point_of(c);
    for (const CharacterName& n : kNamedCharacters)
        if (n.code_point == cp) {
            std::string name = "U+";
            for (int shift = 12; shift >= 0; shift -= 4)
                name += "0123456789ABCDEF"[(cp >> shift) & 0xF];
            return {name + " " + std::string(n.name), n.invisible};
        }
    return {};
}

std::span<const ZoneName> zone_names() { return kZones; }

std::string_view name_of(WordClass cls, int value) {
    for (const Word& w : kVocabulary)
        if (w.cls == cls && w.value == value)
            return w.name;
    return {};
}

std::string offset_text(int minutes) {
    const auto m = static_cast<std::uint32_t>(minutes < 0 ? -minutes : minutes); // [0, 23:59]
    std::string text = "+hh:mm";
    text[0] = minutes < 0 ? '-' : '+';
    put_two_digits(text.data() + 1, m / 60);
    put_two_digits(text.data() + 4, m % 60);
    return text;
}

std::string zone_names_read() {
    std::string list;
    for (std::size_t k = 0; k < kZoneCount; ++k)
        if (!has_more_readings(k))
            list += (list.empty() ? "" : ", ") + std::string(kZones[k].name);
    list.replace(list.rfind(", "), 2, " and ");
    return list;
}

std::string zone_readings(std::size_t row) {
    std::string list;
    for (std::size_t k = row; k < kZoneCount && kZones[k].name == kZones[row].name; ++k) {
        if (k > row)
            list += k + 1 < kZoneCount && kZones[k + 1].name == kZones[row].name ? ", " : " or ";
        list += offset_text(kZones[k].offset) + " (" + std::string(kZones[k].region) + ")";
    }
    return list;
}

void tokenize(std::string_view text, TokenList& out) {
    const char* const p = text.data();
    const std::size_t n = text.size();
    std::size_t count = 0;
    bool space = true;
    std::size_t i = 0;
    while (i < n) {
        const ByteClass cls = byte_class(p[i]);
        if (const std::size_t blank = cls == kByteSpace ? 1 : cls == kByteHigh ? space_length(text, i) : 0) {
            i += blank;
            space = true;
            continue;
        }
        std::size_t j = i + 1;
        Token& t = out.tokens[count];
        t.space_before = space;
        t.begin = i;
        if (count == kMaxTokens - 2) { // room for Rest and End only
            t.kind = TokenKind::Rest;
            j = n;
        } else if (cls == kByteDigit) {
            std::uint64_t v = static_cast<std::uint64_t>(p[i] - '0');
            while (j < n && byte_class(p[j]) == kByteDigit) {
                if (v < kNumberCap)
                    v = v * 10 + static_cast<std::uint64_t>(p[j] - '0');
                ++j;
            }
            t.kind = TokenKind::Number;
            t.value = v < kNumberCap ? v : kNumberCap;
        } else if (const std::size_t first = letter_length(text, i)) {
            j = i;
            bool decomposed = false; // an umlaut as vowel and mark
            for (std::size_t more = first; more != 0; more = j < n ? letter_length(text, j) : 0) {
                j += more;
                decomposed |= more == 1 + kDiaeresis.size();
            }
            t.kind = TokenKind::Word;
            const std::string_view word = text.substr(i, j - i);
            const Meaning m = decomposed ? composed_meaning_of(word) : meaning_of(word);
            t.word = m.cls;
            t.word_value = m.value;
            t.short_form = m.short_form;
        } else if (cls == kByteHigh) {
            // The lead byte and the continuation bytes that follow it, as
            // many as it announces: a broken sequence ends early.
            const std::size_t last = i + sequence_length(static_cast<unsigned char>(p[i]));
            while (j < n && j < last && (static_cast<unsigned char>(p[j]) & 0xC0) == 0x80)
                ++j;
            // U+2212 MINUS SIGN, as typeset offsets write it, is "-".
            t.kind = text.substr(i, j - i) == "\xE2\x88\x92" ? TokenKind::Punct : TokenKind::Other;
            t.ch = '-';
        } else if (p[i] == '(') {
            // A comment as mail has it (RFC 5322): comments nest, and a
            // backslash takes the character after it as it is.
            std::size_t depth = 1; // [1, n]
            while (j < n && depth != 0) {
                if (p[j] == '\\' && j + 1 < n)
                    ++j;
                else
                    depth += p[j] == '(' ? 1 : p[j] == ')' ? -std::size_t{1} : 0;
                ++j;
            }
            t.kind = TokenKind::Comment;
            t.closed = depth == 0;
        } else {
            t.kind = TokenKind::Punct;
            t.ch = p[i];
        }
        t.end = j;
        ++count;
        i = j;
        space = false;
    }
    Token& end = out.tokens[count++];
    end.kind = TokenKind::End;
    end.space_before = space;
    end.begin = end.end = n;
    out.count = count;
}

} // namespace kvix::date
