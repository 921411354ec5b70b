#include "tokens.hpp"

#include "text_space.hpp"

namespace kvix::date {
namespace {

using W = WordClass;

// The vocabulary: English month and weekday names (full and three
// letters), the zone names read (those of RFC 5322), zone names in common
// use that stand for more than one offset and are refused by name, the
// 12-hour clock, and relative words.  Single letters other than those
// named are military zones, refused as ambiguous.
constexpr Word kVocabulary[] = {
    {"January", W::Month, 1}, {"Jan", W::Month, 1}, {"February", W::Month, 2}, {"Feb", W::Month, 2},
    {"March", W::Month, 3}, {"Mar", W::Month, 3}, {"April", W::Month, 4}, {"Apr", W::Month, 4},
    {"May", W::Month, 5}, {"June", W::Month, 6}, {"Jun", W::Month, 6}, {"July", W::Month, 7},
    {"Jul", W::Month, 7}, {"August", W::Month, 8}, {"Aug", W::Month, 8},
    {"September", W::Month, 9}, {"Sep", W::Month, 9}, {"October", W::Month, 10},
    {"Oct", W::Month, 10}, {"November", W::Month, 11}, {"Nov", W::Month, 11},
    {"December", W::Month, 12}, {"Dec", W::Month, 12},
    {"Sunday", W::Weekday, 0}, {"Sun", W::Weekday, 0}, {"Monday", W::Weekday, 1},
    {"Mon", W::Weekday, 1}, {"Tuesday", W::Weekday, 2}, {"Tue", W::Weekday, 2},
    {"Wednesday", W::Weekday, 3}, {"Wed", W::Weekday, 3}, {"Thursday", W::Weekday, 4},
    {"Thu", W::Weekday, 4}, {"Friday", W::Weekday, 5}, {"Fri", W::Weekday, 5},
    {"Saturday", W::Weekday, 6}, {"Sat", W::Weekday, 6},
    {"UT", W::ZoneUtc, 0}, {"UTC", W::ZoneUtc, 0}, {"GMT", W::ZoneUtc, 0}, {"Z", W::ZoneZ, 0},
    {"EST", W::ZoneUs, -5}, {"EDT", W::ZoneUs, -4}, {"CST", W::ZoneUs, -6}, {"CDT", W::ZoneUs, -5},
    {"MST", W::ZoneUs, -7}, {"MDT", W::ZoneUs, -6}, {"PST", W::ZoneUs, -8}, {"PDT", W::ZoneUs, -7},
    {"cet", W::ZoneOther, 0}, {"cest", W::ZoneOther, 0}, {"met", W::ZoneOther, 0},
    {"mest", W::ZoneOther, 0}, {"eet", W::ZoneOther, 0}, {"eest", W::ZoneOther, 0},
    {"wet", W::ZoneOther, 0}, {"west", W::ZoneOther, 0}, {"bst", W::ZoneOther, 0},
    {"ist", W::ZoneOther, 0}, {"msk", W::ZoneOther, 0}, {"jst", W::ZoneOther, 0},
    {"kst", W::ZoneOther, 0}, {"hkt", W::ZoneOther, 0}, {"sgt", W::ZoneOther, 0},
    {"aest", W::ZoneOther, 0}, {"aedt", W::ZoneOther, 0}, {"acst", W::ZoneOther, 0},
    {"acdt", W::ZoneOther, 0}, {"awst", W::ZoneOther, 0}, {"nzst", W::ZoneOther, 0},
    {"nzdt", W::ZoneOther, 0}, {"hst", W::ZoneOther, 0}, {"akst", W::ZoneOther, 0},
    {"akdt", W::ZoneOther, 0}, {"ast", W::ZoneOther, 0}, {"adt", W::ZoneOther, 0},
    {"nst", W::ZoneOther, 0}, {"ndt", W::ZoneOther, 0}, {"sast", W::ZoneOther, 0},
    {"cat", W::ZoneOther, 0}, {"eat", W::ZoneOther, 0}, {"wat", W::ZoneOther, 0},
    {"art", W::ZoneOther, 0}, {"brt", W::ZoneOther, 0}, {"pht", W::ZoneOther, 0},
    {"wib", W::ZoneOther, 0}, {"ict", W::ZoneOther, 0}, {"pkt", W::ZoneOther, 0},
    {"gst", W::ZoneOther, 0}, {"hdt", W::ZoneOther, 0}, {"chst", W::ZoneOther, 0},
    {"sst", W::ZoneOther, 0}, {"wita", W::ZoneOther, 0}, {"wit", W::ZoneOther, 0},
    {"idt", W::ZoneOther, 0}, {"cct", W::ZoneOther, 0},
    {"am", W::Am, 0}, {"pm", W::Pm, 0}, {"a", W::A, 0}, {"p", W::P, 0}, {"m", W::M, 0},
    {"t", W::T, 0}, {"at", W::At, 0},
    {"now", W::Relative, 0}, {"today", W::Relative, 0}, {"tonight", W::Relative, 0},
    {"tomorrow", W::Relative, 0}, {"yesterday", W::Relative, 0}, {"ago", W::Relative, 0},
    {"next", W::Relative, 0}, {"last", W::Relative, 0}, {"this", W::Relative, 0},
    {"hence", W::Relative, 0}, {"fortnight", W::Relative, 0},
};

// Whether two ASCII words are the same, upper and lower case alike.
constexpr bool same_word(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (a.size() != b.size())
        return false;
    for (std::size_t k = 0; k < a.size(); ++k)
        if (lower(a[k]) != lower(b[k]))
            return false;
    return true;
}
static_assert(same_word("JaN", "jan") && !same_word("Jan", "Janu") && !same_word("[", "{"));

Word meaning_of(std::string_view word) {
    for (const Word& w : kVocabulary)
        if (same_word(w.name, word))
            return w;
    if (word.size() == 1) // other single letters: military zones
        return {{}, W::ZoneOther, 0};
    return {{}, W::Unknown, 0};
}

// Bytes of the UTF-8 sequence a lead byte starts (1 for a stray byte).
std::size_t sequence_length(unsigned char lead) {
    if (lead >= 0xF0 && lead < 0xF8)
        return 4;
    if (lead >= 0xE0)
        return lead < 0xF0 ? 3 : 1;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

// U+2212 MINUS SIGN, as typeset offsets write it.
bool is_minus_sign(std::string_view s) { return s == "\xE2\x88\x92"; }

} // namespace

std::string_view name_of(WordClass cls, int value) {
    for (const Word& w : kVocabulary)
        if (w.cls == cls && w.value == value)
            return w.name;
    return {};
}

std::string zone_names_read() {
    std::string utc, us;
    for (const Word& w : kVocabulary) {
        std::string& list = w.cls == W::ZoneUs ? us : utc;
        if (w.cls == W::ZoneUtc || w.cls == W::ZoneZ || w.cls == W::ZoneUs)
            list += (list.empty() ? "" : ", ") + std::string(w.name);
    }
    const auto last_and = [](std::string& list) { list.replace(list.rfind(", "), 2, " and "); };
    last_and(us);
    return utc + " and the US zones " + us;
}

void tokenize(std::string_view text, TokenList& out) {
    const char* const p = text.data();
    const std::size_t n = text.size();
    std::size_t count = 0;
    bool space = true;
    std::size_t i = 0;
    while (i < n) {
        const ByteClass cls = byte_class(p[i]);
        if (cls == kByteSpace) {
            ++i;
            space = true;
            continue;
        }
        if (const std::size_t blank = cls == kByteHigh ? space_length(text, i) : 0) {
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
        } else if (cls == kByteLetter) {
            while (j < n && byte_class(p[j]) == kByteLetter)
                ++j;
            t.kind = TokenKind::Word;
            const Word w = meaning_of(text.substr(i, j - i));
            t.word = w.cls;
            t.word_value = w.value;
        } else if (cls == kByteHigh) {
            // The lead byte and the continuation bytes that follow it, as
            // many as it announces: a broken sequence ends early.
            const std::size_t last = i + sequence_length(static_cast<unsigned char>(p[i]));
            while (j < n && j < last && (static_cast<unsigned char>(p[j]) & 0xC0) == 0x80)
                ++j;
            t.kind = is_minus_sign(text.substr(i, j - i)) ? TokenKind::Punct : TokenKind::Other;
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
