#include "analysis/Markup.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "common/StrProc.h"

namespace zelk {

namespace {

struct Rule {
    std::string_view text;
    char code;
};

// The replacements of the normalisation chain, in chain order. Exact ones
// first (the bare lower-case and upper-case tags and the three entities),
// then the tags recognised in any letter case.
constexpr std::array<Rule, 39> kExactRules = {{
    {"&nbsp;", ' '}, {"&#160;", ' '},
    {"&quot;", '"'}, {"&laquo;", '"'}, {"&raquo;", '"'},
    {"<b>", 11}, {"</b>", 12}, {"<strong>", 11}, {"</strong>", 12},
    {"<i>", 16}, {"</i>", 17}, {"<em>", 16}, {"</em>", 17},
    {"<title>", 14}, {"</title>", 15},
    {"<h1>", 6}, {"</h1>", 7}, {"<h2>", 5}, {"</h2>", 7}, {"<h3>", 4}, {"</h3>", 7},
    {"<h4>", 3}, {"</h4>", 7}, {"<h5>", 2}, {"</h5>", 7}, {"<h6>", 1}, {"</h6>", 7},
    {"<B>", 11}, {"</B>", 12}, {"<I>", 16}, {"</I>", 17},
    // Only the upper-case heading forms follow the any-case tags; no text
    // matches both groups, so their relative order has no effect.
    {"<H1>", 6}, {"</H1>", 7}, {"<H2>", 5}, {"</H2>", 7}, {"<H3>", 4}, {"</H3>", 7},
    {"<H4>", 3}, {"</H4>", 7},
}};
constexpr std::array<Rule, 4> kExactRulesTail = {{
    {"<H5>", 2}, {"</H5>", 7}, {"<H6>", 1}, {"</H6>", 7},
}};
constexpr std::array<Rule, 6> kAnyCaseRules = {{
    {"<strong>", 11}, {"</strong>", 12}, {"<em>", 16}, {"</em>", 17},
    {"<title>", 14}, {"</title>", 15},
}};
constexpr std::size_t kLongestRule = 9;  // "</strong>"

// A candidate can equal a rule only when both are equal with A-Z folded
// (the any-case rules are lower-case ASCII, and only A-Z lower-case into
// ASCII letters). The rules are kept by their folded text, each with the
// rules of that folded text in chain order: a candidate costs one look-up,
// and most tags find nothing there.
struct Rule8 {
    uint64_t head;  // the first eight bytes, loaded as a candidate's are
    unsigned char ninth;
    char code;
    bool anyCase;
};
struct FoldedRules {
    uint64_t head = 0;  // folded
    unsigned char ninth = 0;
    unsigned char size = 0;  // 0: unused slot
    unsigned char count = 0;
    std::array<Rule8, 4> rules{};
};
constexpr std::size_t kRuleSlots = 128;

inline uint64_t Head(const char* p, std::size_t n) {
    uint64_t v = 0;
    std::memcpy(&v, p, std::min<std::size_t>(n, 8));
    return v;
}
inline uint64_t FoldHead(uint64_t v) { return FoldAsciiLetters8(v); }
inline unsigned char FoldByte(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c; }
inline std::size_t RuleSlot(uint64_t head, unsigned char ninth, std::size_t n) {
    return static_cast<std::size_t>(((head ^ (static_cast<uint64_t>(ninth) << 56) ^ n) * 0x9E3779B97F4A7C15ull) >> 57);
}

struct RuleTable {
    std::array<FoldedRules, kRuleSlots> slots{};
    void Add(const Rule& r, bool anyCase) {
        const std::size_t n = r.text.size();
        const uint64_t head = Head(r.text.data(), n);
        const auto ninth = static_cast<unsigned char>(n > 8 ? r.text[8] : 0);
        const uint64_t fHead = FoldHead(head);
        const unsigned char fNinth = FoldByte(ninth);
        std::size_t i = RuleSlot(fHead, fNinth, n);
        while (slots[i].size != 0 && !(slots[i].head == fHead && slots[i].ninth == fNinth && slots[i].size == n))
            i = (i + 1) % kRuleSlots;
        FoldedRules& f = slots[i];
        f.head = fHead;
        f.ninth = fNinth;
        f.size = static_cast<unsigned char>(n);
        f.rules[f.count++] = Rule8{head, ninth, r.code, anyCase};
    }
};
const RuleTable& Rules() {
    static const RuleTable t = [] {
        RuleTable r;
        for (const Rule& rule : kExactRules) r.Add(rule, false);
        for (const Rule& rule : kAnyCaseRules) r.Add(rule, true);
        for (const Rule& rule : kExactRulesTail) r.Add(rule, false);
        return r;
    }();
    return t;
}

// Code of the normalisation for the candidate span, or -1.
int MarkupCode(std::string_view span) {
    const std::size_t n = span.size();
    if (n < 3 || n > kLongestRule) return -1;
    const uint64_t head = Head(span.data(), n);
    const unsigned char ninth = n > 8 ? static_cast<unsigned char>(span[8]) : 0;
    const uint64_t fHead = FoldHead(head);
    const unsigned char fNinth = FoldByte(ninth);
    const RuleTable& table = Rules();
    for (std::size_t i = RuleSlot(fHead, fNinth, n);; i = (i + 1) % kRuleSlots) {
        const FoldedRules& f = table.slots[i];
        if (f.size == 0) return -1;
        if (f.head != fHead || f.ninth != fNinth || f.size != n) continue;
        for (std::size_t k = 0; k < f.count; ++k) {
            const Rule8& r = f.rules[k];
            if (r.anyCase || (r.head == head && r.ninth == ninth)) return static_cast<unsigned char>(r.code);
        }
        return -1;
    }
}

// The second and third characters of the rules, A-Z folded: a "<" or "&"
// followed by any other pair starts none of them (most tags and entities
// are told apart there), as a bit set over the pairs.
constexpr unsigned char FoldPairByte(char c) {
    return static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
}
constexpr std::size_t PairKey(char a, char b) { return std::size_t{FoldPairByte(a)} << 8 | FoldPairByte(b); }
constexpr std::array<uint64_t, 1024> MakeRulePairs() {
    std::array<uint64_t, 1024> t{};
    auto add = [&t](std::string_view text) { t[PairKey(text[1], text[2]) >> 6] |= uint64_t{1} << (PairKey(text[1], text[2]) & 63); };
    for (const Rule& r : kExactRules) add(r.text);
    for (const Rule& r : kExactRulesTail) add(r.text);
    for (const Rule& r : kAnyCaseRules) add(r.text);
    return t;
}
constexpr auto kRulePairs = MakeRulePairs();
inline bool MayStartRule(char second, char third) {
    const std::size_t key = PairKey(second, third);
    return (kRulePairs[key >> 6] >> (key & 63)) & 1;
}

// Position of the next "<" or "&" at or after from, or n.
inline std::size_t NextTagOrEntity(const std::string& line, std::size_t from) {
    const std::size_t n = line.size();
    const char* base = line.data();
#if defined(__SSE2__)
    const __m128i lt = _mm_set1_epi8('<');
    const __m128i amp = _mm_set1_epi8('&');
    while (from + 16 <= n) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + from));
        const int mask = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, lt), _mm_cmpeq_epi8(v, amp)));
        if (mask != 0) return from + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
        from += 16;
    }
#else
    // Eight bytes at a time: a byte equal to one of the two gives a zero
    // byte in one of the XORs, which the usual zero-byte test finds.
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    constexpr uint64_t kHighs = 0x8080808080808080ull;
    while (from + 8 <= n) {
        uint64_t v;
        std::memcpy(&v, base + from, 8);
        const uint64_t a = v ^ (kOnes * '<');
        const uint64_t b = v ^ (kOnes * '&');
        if ((((a - kOnes) & ~a) | ((b - kOnes) & ~b)) & kHighs) break;
        from += 8;
    }
#endif
    while (from < n) {
        const char c = base[from];
        if (c == '<' || c == '&') return from;
        ++from;
    }
    return n;
}

// Entities of Latin-1 letters and the byte each one stands for.
struct Entity {
    std::string_view name;
    unsigned char byte;
};
constexpr std::array<Entity, 67> kEntities = {{
    {"&copy;", 169}, {"&amp;", '&'}, {"&nbsp;", ' '}, {"&#160;", ' '}, {"&#8212;", 151},
    {"&AElig;", 198}, {"&Aacute;", 193}, {"&Acirc;", 194}, {"&Agrave;", 192},
    {"&Aring;", 197}, {"&Atilde;", 195}, {"&Auml;", 196}, {"&Ccedil;", 199},
    {"&ETH;", 208}, {"&Eacute;", 201}, {"&Ecirc;", 202}, {"&Egrave;", 200},
    {"&Euml;", 203}, {"&Iacute;", 205}, {"&Icirc;", 206}, {"&Igrave;", 204},
    {"&Iuml;", 207}, {"&Ntilde;", 209}, {"&Oacute;", 211}, {"&Ocirc;", 212},
    {"&Ograve;", 210}, {"&Oslash;", 216}, {"&Otilde;", 213}, {"&Ouml;", 214},
    {"&THORN;", 222}, {"&Uacute;", 218}, {"&Ucirc;", 219}, {"&Ugrave;", 217},
    {"&Uuml;", 220}, {"&Yacute;", 221}, {"&aacute;", 225}, {"&acirc;", 226},
    {"&aelig;", 230}, {"&agrave;", 224}, {"&aring;", 229}, {"&atilde;", 227},
    {"&auml;", 228}, {"&ccedil;", 231}, {"&eacute;", 233}, {"&ecirc;", 234},
    {"&egrave;", 232}, {"&eth;", 240}, {"&euml;", 235}, {"&iacute;", 237},
    {"&icirc;", 238}, {"&igrave;", 236}, {"&iuml;", 239}, {"&ntilde;", 241},
    {"&oacute;", 243}, {"&ocirc;", 244}, {"&ograve;", 242}, {"&oslash;", 248},
    {"&otilde;", 245}, {"&ouml;", 246}, {"&szlig;", 223}, {"&thorn;", 254},
    {"&uacute;", 250}, {"&ucirc;", 251}, {"&ugrave;", 249}, {"&uuml;", 252},
    {"&yacute;", 253}, {"&yuml;", 255},
}};

std::string BuildEntityTable() {
    std::string t;
    for (const Entity& e : kEntities) {
        if (!t.empty()) t += ' ';
        t += e.name;
        t += static_cast<char>(e.byte);
    }
    return t;
}

// The byte that a candidate "&...;" found in the entity table stands for,
// or -1. A candidate matches where the table text holds it: the entity
// names, and one more text that straddles two entries, "& &nbsp;" (the
// ampersand of "&amp;", the blank between entries, "&nbsp;"); the byte is
// the one behind it in the table. Every other "&...;" of the table text
// starts at an entry, so these are all of them.
int EntityByte(std::string_view cand) {
    if (cand.size() < 5 || cand.size() > 8) return -1;  // "&eth;" ... "&Aacute;"
    if (cand == "& &nbsp;") return ' ';
    for (const Entity& e : kEntities)
        if (e.name.size() == cand.size() && e.name[1] == cand[1] && e.name == cand) return e.byte;
    return -1;
}

}  // namespace

const std::string& EntityTable() {
    static const std::string table = BuildEntityTable();
    return table;
}

// The chain of replacements, each over the whole line, in one pass. Every
// pattern starts with "<" or "&" and ends at its first ">" or ";", with
// neither inside, so two occurrences of patterns either coincide or do not
// touch; and every replacement is one blank, quote or control byte, which
// no pattern contains, so a replacement never completes a later match. The
// chain therefore rewrites exactly the spans the pass finds, each with the
// first rule of the chain that matches it.
void NormaliseMarkup(std::string& line) {
    const std::size_t n = line.size();
    std::size_t i = NextTagOrEntity(line, 0);
    // Rewritten in place: line[0, w) is the result for line[0, copied), and
    // w <= copied <= i, so nothing is overwritten before it is read.
    char* const base = line.data();
    std::size_t w = 0;
    std::size_t copied = 0;
    while (i < n) {
        // Every rule is at least three characters long, and most tags and
        // entities cannot be one of them: their next two characters tell.
        if (i + 2 >= n) break;
        if (!MayStartRule(base[i + 1], base[i + 2])) {
            i = NextTagOrEntity(line, i + 1);
            continue;
        }
        const char end = base[i] == '<' ? '>' : ';';
        const std::size_t limit = std::min(n, i + kLongestRule);
        std::size_t j = i + 1;
        // Where the search for the next tag or entity goes on: the same
        // look may have found it, or the bytes it saw hold none.
        std::size_t next = 0;
#if defined(__SSE2__)
        if (i + 17 <= n) {
            // The 16 bytes behind the "<" or "&" at once: where the first
            // end, "<" or "&" stands.
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + i + 1));
            const int tags = _mm_movemask_epi8(
                _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('<')), _mm_cmpeq_epi8(v, _mm_set1_epi8('&'))));
            const int stops = tags | _mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8(end)));
            j = stops ? std::min(limit, i + 1 + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(stops))))
                      : limit;
            next = tags ? i + 1 + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(tags))) : i + 17;
        } else
#endif
        {
            while (j < limit && base[j] != end && base[j] != '<' && base[j] != '&') ++j;
        }
        if (j < limit && base[j] == end) {
            const int code = MarkupCode(std::string_view(base + i, j - i + 1));
            if (code >= 0) {
                if (w != copied) std::memmove(base + w, base + copied, i - copied);
                w += i - copied;
                base[w++] = static_cast<char>(code);
                copied = j + 1;
                i = NextTagOrEntity(line, std::max(next, j + 1));
                continue;
            }
        }
        i = NextTagOrEntity(line, std::max(next, i + 1));
    }
    if (copied == 0) return;
    if (w != copied) std::memmove(base + w, base + copied, n - copied);
    line.resize(w + (n - copied));
}

// The search loop over the line: the next "&", the next ";" behind it, the
// text between looked up in the entity table. A decoded character is never
// looked at again (the search goes on behind it), and a candidate that is
// not an entity is passed over up to its ";", so the line is read once,
// left to right.
void DecodeEntities(std::string& line) {
    const std::size_t n = line.size();
    std::size_t start = line.find('&');
    if (start == std::string::npos) return;
    // Rewritten in place, as NormaliseMarkup is.
    char* const base = line.data();
    std::size_t w = 0;
    std::size_t copied = 0;
    while (true) {
        const std::size_t a = line.find('&', start);
        if (a == std::string::npos) break;
        const std::size_t b = line.find(';', a);
        if (b == std::string::npos) break;
        const std::string_view cand(base + a, b - a + 1);
        int byte = -1;
        if (cand == "&quot;") byte = '"';
        else byte = EntityByte(cand);
        if (byte < 0) {
            start = b + 1;
            continue;
        }
        if (w != copied) std::memmove(base + w, base + copied, a - copied);
        w += a - copied;
        base[w++] = static_cast<char>(byte);
        copied = b + 1;
        start = b + 1;
    }
    if (copied == 0) return;
    if (w != copied) std::memmove(base + w, base + copied, n - copied);
    line.resize(w + (n - copied));
}

}  // namespace zelk
