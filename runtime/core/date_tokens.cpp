#include "date_tokens.hpp"

#include <cstring>

namespace kvix::date_text {
namespace {

enum CharClass : std::uint8_t { kOther, kSpace, kDigit, kLetter, kHigh };

// The class of each byte; bytes from 0x80 start or continue UTF-8 sequences.
constexpr struct CharTable {
    CharClass cls[256];
    constexpr CharTable() : cls{} {
        for (int c = 0; c < 256; ++c) {
            CharClass k = kOther;
            if (c == ' ' || (c >= '\t' && c <= '\r'))
                k = kSpace;
            else if (c >= '0' && c <= '9')
                k = kDigit;
            else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
                k = kLetter;
            else if (c >= 0x80)
                k = kHigh;
            cls[c] = k;
        }
    }
} kChars;

constexpr CharClass class_of(char c) { return kChars.cls[static_cast<unsigned char>(c)]; }

// A word of up to 12 letters as one number: 5 bits a letter, a..z as
// 1..26 whatever their case, so different words give different numbers
// (no letter is 0, so the length is part of the number).
constexpr std::size_t kMaxPackedLetters = 12;
// The longest words of the vocabularies below: "September", "Wednesday".
constexpr std::size_t kMaxVocabularyLetters = 9;
static_assert(kMaxVocabularyLetters <= kMaxPackedLetters);
constexpr std::uint64_t letter_code(char c) {
    return static_cast<std::uint64_t>((static_cast<unsigned char>(c) | 0x20) - 'a' + 1);
}
constexpr std::uint64_t pack(std::string_view w) {
    std::uint64_t v = 0;
    for (char c : w)
        v = v << 5 | letter_code(c);
    return v;
}

// The vocabularies: English month and weekday names (full and three
// letters), the zone names read (those of RFC 5322), zone names that are
// refused as ambiguous, the 12-hour clock, and relative words.
WordMeaning meaning_of(std::uint64_t packed, std::size_t length) {
    using W = WordClass;
    if (length == 1) { // single letters: a.m./p.m. parts, T, Z, military zones
        switch (packed) {
        case pack("a"): return {W::A, 0};
        case pack("p"): return {W::P, 0};
        case pack("m"): return {W::M, 0};
        case pack("t"): return {W::T, 0};
        case pack("z"): return {W::ZoneZ, 0};
        default: return {W::ZoneOther, 0};
        }
    }
    switch (packed) {
    case pack("jan"): case pack("january"): return {W::Month, 1};
    case pack("feb"): case pack("february"): return {W::Month, 2};
    case pack("mar"): case pack("march"): return {W::Month, 3};
    case pack("apr"): case pack("april"): return {W::Month, 4};
    case pack("may"): return {W::Month, 5};
    case pack("jun"): case pack("june"): return {W::Month, 6};
    case pack("jul"): case pack("july"): return {W::Month, 7};
    case pack("aug"): case pack("august"): return {W::Month, 8};
    case pack("sep"): case pack("september"): return {W::Month, 9};
    case pack("oct"): case pack("october"): return {W::Month, 10};
    case pack("nov"): case pack("november"): return {W::Month, 11};
    case pack("dec"): case pack("december"): return {W::Month, 12};

    case pack("sun"): case pack("sunday"): return {W::Weekday, 0};
    case pack("mon"): case pack("monday"): return {W::Weekday, 1};
    case pack("tue"): case pack("tuesday"): return {W::Weekday, 2};
    case pack("wed"): case pack("wednesday"): return {W::Weekday, 3};
    case pack("thu"): case pack("thursday"): return {W::Weekday, 4};
    case pack("fri"): case pack("friday"): return {W::Weekday, 5};
    case pack("sat"): case pack("saturday"): return {W::Weekday, 6};

    case pack("ut"): case pack("utc"): case pack("gmt"): return {W::ZoneUtc, 0};
    case pack("est"): return {W::ZoneUs, -5};
    case pack("edt"): return {W::ZoneUs, -4};
    case pack("cst"): return {W::ZoneUs, -6};
    case pack("cdt"): return {W::ZoneUs, -5};
    case pack("mst"): return {W::ZoneUs, -7};
    case pack("mdt"): return {W::ZoneUs, -6};
    case pack("pst"): return {W::ZoneUs, -8};
    case pack("pdt"): return {W::ZoneUs, -7};

    // Zone names in common use that stand for more than one offset, or
    // whose meaning a reader cannot know for sure: named so that the refusal
    // can say why.
    case pack("cet"): case pack("cest"): case pack("met"): case pack("mest"):
    case pack("eet"): case pack("eest"): case pack("wet"): case pack("west"):
    case pack("bst"): case pack("ist"): case pack("msk"): case pack("jst"):
    case pack("kst"): case pack("hkt"): case pack("sgt"): case pack("aest"):
    case pack("aedt"): case pack("acst"): case pack("acdt"): case pack("awst"):
    case pack("nzst"): case pack("nzdt"): case pack("hst"): case pack("akst"):
    case pack("akdt"): case pack("ast"): case pack("adt"): case pack("nst"):
    case pack("ndt"): case pack("sast"): case pack("cat"): case pack("eat"):
    case pack("wat"): case pack("art"): case pack("brt"): case pack("pht"):
    case pack("wib"): case pack("ict"): case pack("pkt"): case pack("gst"):
    case pack("hdt"): case pack("chst"): case pack("sst"): case pack("wita"):
    case pack("wit"): case pack("idt"): case pack("cct"):
        return {W::ZoneOther, 0};

    case pack("am"): return {W::Am, 0};
    case pack("pm"): return {W::Pm, 0};
    case pack("at"): return {W::At, 0};

    case pack("now"): case pack("today"): case pack("tonight"): case pack("tomorrow"):
    case pack("yesterday"): case pack("ago"): case pack("next"): case pack("last"):
    case pack("this"): case pack("hence"): case pack("fortnight"):
        return {W::Relative, 0};
    default: return {W::Unknown, 0};
    }
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

// The Unicode spaces copied text brings: U+00A0 no-break space,
// U+2000..U+200A (en quad to hair space), U+202F narrow no-break space (the
// one some tools write before "AM"), U+205F and U+3000.
bool is_unicode_space(std::string_view s) {
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    if (s.size() == 2)
        return b(0) == 0xC2 && b(1) == 0xA0;
    if (s.size() != 3)
        return false;
    if (b(0) == 0xE2 && b(1) == 0x80)
        return b(2) <= 0x8A || b(2) == 0xAF;
    if (b(0) == 0xE2 && b(1) == 0x81)
        return b(2) == 0x9F;
    return b(0) == 0xE3 && b(1) == 0x80 && b(2) == 0x80;
}

// U+2212 MINUS SIGN, as typeset offsets write it.
bool is_minus_sign(std::string_view s) { return s == "\xE2\x88\x92"; }

} // namespace

void tokenize(std::string_view text, TokenList& out) {
    const char* const p = text.data();
    const std::size_t n = text.size();
    std::size_t count = 0;
    bool space = true;
    std::size_t i = 0;
    while (i < n) {
        const CharClass cls = class_of(p[i]);
        if (cls == kSpace) {
            ++i;
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
        } else if (cls == kDigit) {
            std::uint64_t v = static_cast<std::uint64_t>(p[i] - '0');
            while (j < n && class_of(p[j]) == kDigit) {
                if (v < kNumberCap)
                    v = v * 10 + static_cast<std::uint64_t>(p[j] - '0');
                ++j;
            }
            t.kind = TokenKind::Number;
            t.value = v < kNumberCap ? v : kNumberCap;
        } else if (cls == kLetter) {
            std::uint64_t packed = letter_code(p[i]);
            while (j < n && class_of(p[j]) == kLetter) {
                packed = packed << 5 | letter_code(p[j]);
                ++j;
            }
            t.kind = TokenKind::Word;
            // Longer words are in no vocabulary (and their packing overflowed).
            const WordMeaning m = j - i <= kMaxVocabularyLetters ? meaning_of(packed, j - i)
                                                                 : WordMeaning{WordClass::Unknown, 0};
            t.word = m.cls;
            t.word_value = m.value;
        } else if (cls == kHigh) {
            // The lead byte and the continuation bytes that follow it, as
            // many as it announces: a broken sequence ends early.
            const std::size_t last = i + sequence_length(static_cast<unsigned char>(p[i]));
            while (j < n && j < last && (static_cast<unsigned char>(p[j]) & 0xC0) == 0x80)
                ++j;
            const std::string_view seq = text.substr(i, j - i);
            if (is_unicode_space(seq)) {
                i = j;
                space = true;
                continue;
            }
            if (is_minus_sign(seq)) {
                t.kind = TokenKind::Punct;
                t.ch = '-';
            } else {
                t.kind = TokenKind::Other;
            }
        } else if (p[i] == '(') {
            const void* close = std::memchr(p + i + 1, ')', n - i - 1);
            t.kind = TokenKind::Comment;
            t.closed = close != nullptr;
            j = close ? static_cast<std::size_t>(static_cast<const char*>(close) - p) + 1 : n;
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

} // namespace kvix::date_text
