// UTF-8 clean-up of the lines of a UTF-8 document: the two- and three-byte
// sequences that have a Windows-1252 counterpart become that byte, a few
// punctuation marks become ASCII.
#include "analysis/Utf8Cleanup.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

namespace zelk {

namespace {
inline unsigned char U(char c) { return static_cast<unsigned char>(c); }
}  // namespace

// The rule is a search loop: find a lead byte, replace every pair of that
// lead and the byte behind it all over the line, go on one position behind
// the find. On well-formed text that is the same as one left-to-right pass
// that rewrites each pair where it stands, and the pass is what runs for
// long lines. Two things can make the loop differ: a replacement that
// produces a new lead byte right before another pair ("C2 C2 A0 A0",
// "C3 83 ..." which gives C3 itself), and a deleted pair whose successor the
// search then steps over. Lines holding such patterns take the loop itself,
// in an indexed form that stays fast on any line.

namespace {

// A set of positions: one bit per position, with summary levels above it
// (a bit per word of the level below) so that the next or previous member
// is found in a few steps however far away it is.
class BitLevels {
public:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    BitLevels(std::size_t n, bool full) {
        std::size_t bits = n;
        do {
            const std::size_t words = (bits + 63) / 64;
            levels_.emplace_back(words, full ? ~uint64_t{0} : 0);
            if (full && bits % 64) levels_.back().back() = (uint64_t{1} << (bits % 64)) - 1;
            bits = words;
        } while (bits > 1);
    }
    bool Test(std::size_t i) const { return (levels_[0][i >> 6] >> (i & 63)) & 1; }
    uint64_t Word(std::size_t w) const { return levels_[0][w]; }
    void Clear(std::size_t i) {
        for (auto& level : levels_) {
            level[i >> 6] &= ~(uint64_t{1} << (i & 63));
            if (level[i >> 6] != 0) return;
            i >>= 6;
        }
    }
    void Set(std::size_t i) {
        for (auto& level : levels_) {
            const uint64_t before = level[i >> 6];
            level[i >> 6] = before | (uint64_t{1} << (i & 63));
            if (before != 0) return;
            i >>= 6;
        }
    }
    // First member at or after i.
    std::size_t Next(std::size_t i) const { return NextAt(0, i); }
    // First position at or after i that is not a member (past the last
    // word when all are).
    std::size_t NextGap(std::size_t i) const {
        const auto& w = levels_[0];
        std::size_t wi = i >> 6;
        if (wi >= w.size()) return i;
        uint64_t m = ~w[wi] & (~uint64_t{0} << (i & 63));
        while (m == 0) {
            if (++wi == w.size()) return wi << 6;
            m = ~w[wi];
        }
        return (wi << 6) + static_cast<std::size_t>(__builtin_ctzll(m));
    }
    // Last member before i.
    std::size_t Prev(std::size_t i) const { return i == 0 ? kNone : PrevAt(0, i - 1); }
    // Alive bytes in [from, to).
    std::size_t Count(std::size_t from, std::size_t to) const {
        std::size_t c = 0;
        for (; from < to && (from & 63); ++from) c += Test(from);
        for (; from + 64 <= to; from += 64) c += static_cast<std::size_t>(__builtin_popcountll(levels_[0][from >> 6]));
        for (; from < to; ++from) c += Test(from);
        return c;
    }

private:
    std::size_t NextAt(std::size_t lv, std::size_t i) const {
        const auto& w = levels_[lv];
        const std::size_t wi = i >> 6;
        if (wi >= w.size()) return kNone;
        const uint64_t m = w[wi] & (~uint64_t{0} << (i & 63));
        if (m) return (wi << 6) + static_cast<std::size_t>(__builtin_ctzll(m));
        if (lv + 1 == levels_.size()) return kNone;
        const std::size_t nw = NextAt(lv + 1, wi + 1);
        if (nw == kNone) return kNone;
        return (nw << 6) + static_cast<std::size_t>(__builtin_ctzll(w[nw]));
    }
    std::size_t PrevAt(std::size_t lv, std::size_t i) const {
        const auto& w = levels_[lv];
        const std::size_t wi = i >> 6;
        const uint64_t m = w[wi] & (~uint64_t{0} >> (63 - (i & 63)));
        if (m) return (wi << 6) + 63 - static_cast<std::size_t>(__builtin_clzll(m));
        if (lv + 1 == levels_.size() || wi == 0) return kNone;
        const std::size_t pw = PrevAt(lv + 1, wi - 1);
        if (pw == kNone) return kNone;
        return (pw << 6) + 63 - static_cast<std::size_t>(__builtin_clzll(w[pw]));
    }
    std::vector<std::vector<uint64_t>> levels_;
};

// The same loop without rescanning the line for every pair it replaces: a
// crafted line ("C2 C2 C2 ... 80 80 80") would otherwise cost one pass over
// the whole line per pair. Removed bytes are only marked (alive_). A lead
// whose right neighbour x is in range waits (queued_) until "every pair
// lead x" comes; that neighbour never changes before, since a byte in range
// only goes together with its lead. For each x, one bit per 64-byte block
// tells where such leads wait, so replacing every pair lead x visits only
// blocks that hold one. The search only moves forward in the line: every
// byte is passed once, and where the loop's position jumps because bytes
// before it went, the walk counts those bytes off one by one. The extra
// memory is under half a byte per byte of the line, whatever the bytes.
class LeadPassIndexed {
public:
    LeadPassIndexed(std::string& s, char lead, unsigned char delLo, unsigned char delHi,
                    unsigned char keepLo, unsigned char keepHi, int add)
        : s_(s), lead_(lead), delLo_(delLo), delHi_(delHi), keepLo_(keepLo), keepHi_(keepHi),
          add_(add), alive_(s.size(), true), queued_(s.size(), false),
          touched_(s.size() / 64 + 1, false) {
        blocks_.reserve(kValues);
        for (unsigned v = 0; v < kValues; ++v) blocks_.emplace_back(s.size() / 64 + 1, false);
    }

    void Run() {
        const std::size_t n = s_.size();
        if (n < 2) return;
        for (const char* hit = static_cast<const char*>(std::memchr(s_.data(), lead_, n - 1)); hit;) {
            const auto i = static_cast<std::size_t>(hit - s_.data());
            if (InRange(U(s_[i + 1]))) Enqueue(i, U(s_[i + 1]));
            hit = i + 2 < n ? static_cast<const char*>(std::memchr(hit + 1, lead_, n - 2 - i)) : nullptr;
        }
        std::size_t rank = 0;  // alive bytes before the find
        std::size_t p = FindLead(0, 0, rank);
        while (p != kNone) {
            const std::size_t after = alive_.Next(p + 1);
            if (after == kNone) break;
            const unsigned char x = U(s_[after]);
            std::size_t z = after;
            if (InRange(x)) {
                const std::size_t gone = ReplaceEveryPair(x, p);
                // Go on one position behind the find, counted in the new
                // line: the first byte at or after p now stands at rank -
                // gone.
                z = alive_.Next(p);
                for (std::size_t k = 0; k <= gone && z != kNone; ++k) z = alive_.Next(z + 1);
                if (z == kNone) break;
            }
            p = FindLead(z, rank + 1, rank);
        }
        // The bytes still alive close up, a run at a time.
        char* const base = s_.data();
        std::size_t w = 0;
        for (std::size_t i = alive_.Next(0); i != kNone;) {
            const std::size_t end = std::min(n, alive_.NextGap(i));
            if (w != i) std::memmove(base + w, base + i, end - i);
            w += end - i;
            i = end < n ? alive_.Next(end) : kNone;
        }
        s_.resize(w);
    }

private:
    static constexpr std::size_t kNone = BitLevels::kNone;
    // Bytes in range for either lead are 0x80..0xBF.
    static constexpr unsigned kValues = 64;
    bool InDel(unsigned char x) const { return x >= delLo_ && x <= delHi_; }
    bool InRange(unsigned char x) const { return InDel(x) || (x >= keepLo_ && x <= keepHi_); }
    void Enqueue(std::size_t i, unsigned char x) {
        queued_.Set(i);
        blocks_[x - 0x80u].Set(i / 64);
    }

    // First alive lead at or after z, whose rank is zRank; sets rank.
    std::size_t FindLead(std::size_t z, std::size_t zRank, std::size_t& rank) const {
        const std::size_t n = s_.size();
        std::size_t from = z;
        while (from < n) {
            const void* hit = std::memchr(s_.data() + from, lead_, n - from);
            if (!hit) return kNone;
            const std::size_t h = static_cast<std::size_t>(static_cast<const char*>(hit) - s_.data());
            if (alive_.Test(h)) {
                rank = zRank + alive_.Count(z, h);
                return h;
            }
            from = h + 1;
        }
        return kNone;
    }

    // A lead whose right neighbour changed may now start a pair.
    void Consider(std::size_t a) {
        if (a == kNone || !alive_.Test(a) || s_[a] != lead_ || queued_.Test(a)) return;
        const std::size_t b = alive_.Next(a + 1);
        if (b != kNone && InRange(U(s_[b]))) Enqueue(a, U(s_[b]));
    }

    // The places in block b whose next byte is x or gone: a block can hold
    // leads waiting for many other values, and one look at its 64 bytes is
    // cheaper than a look at each of them.
    uint64_t Candidates(std::size_t b, unsigned char x) const {
        const std::size_t lo = b * 64;
        const std::size_t count = std::min<std::size_t>(64, s_.size() - 1 - std::min(lo, s_.size() - 1));
        const unsigned char* next = reinterpret_cast<const unsigned char*>(s_.data()) + lo + 1;
        uint64_t same = 0;
        if (count == 64) {
            // Eight bytes at a time: the zero bytes of word ^ x, one bit each.
            constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
            for (std::size_t k = 0; k < 64; k += 8) {
                uint64_t word;
                std::memcpy(&word, next + k, 8);
                const uint64_t t = word ^ (0x0101010101010101ULL * x);
                const uint64_t zero = ~(((t & kLow7) + kLow7) | t) & ~kLow7;
                same |= ((zero >> 7) * 0x0102040810204080ULL >> 56) << k;
            }
        } else {
            for (std::size_t k = 0; k < count; ++k) same |= static_cast<uint64_t>(next[k] == x) << k;
        }
        uint64_t nextAlive = alive_.Word(b) >> 1;
        if (lo + 64 < s_.size()) nextAlive |= alive_.Word(b + 1) << 63;
        return same | ~nextAlive;
    }

    // Every pair lead x of the line as it stands now; pairs that the
    // replacements themselves create wait for the next time. Answers the
    // number of bytes removed before position p.
    std::size_t ReplaceEveryPair(unsigned char x, std::size_t p) {
        BitLevels& blocks = blocks_[x - 0x80u];
        std::size_t gone = 0;
        // First every pair goes; a replaced lead stays marked as queued
        // while dead, for the second round to find.
        for (std::size_t b = blocks.Next(0); b != kNone; b = blocks.Next(b + 1)) {
            blocks.Clear(b);
            touched_.Set(b);
            uint64_t waiting = queued_.Word(b);
            if (__builtin_popcountll(waiting) > 8) waiting &= Candidates(b, x);
            for (uint64_t m = waiting; m; m &= m - 1) {
                const std::size_t i = b * 64 + static_cast<std::size_t>(__builtin_ctzll(m));
                const std::size_t j = alive_.Next(i + 1);
                if (!alive_.Test(i) || j == kNone || U(s_[j]) != x) continue;
                alive_.Clear(i);
                if (i < p) ++gone;
                if (InDel(x)) {
                    alive_.Clear(j);
                    if (j < p) ++gone;
                } else {
                    s_[j] = static_cast<char>(x + add_);
                }
            }
        }
        // Then the neighbours of what went, which may start new pairs.
        for (std::size_t b = touched_.Next(0); b != kNone; b = touched_.Next(b + 1)) {
            touched_.Clear(b);
            for (uint64_t m = queued_.Word(b); m; m &= m - 1) {
                const std::size_t i = b * 64 + static_cast<std::size_t>(__builtin_ctzll(m));
                if (alive_.Test(i)) continue;
                queued_.Clear(i);
                Consider(alive_.Prev(i));
                Consider(alive_.Next(i));
            }
        }
        return gone;
    }

    std::string& s_;
    const char lead_;
    const unsigned char delLo_, delHi_, keepLo_, keepHi_;
    const int add_;
    BitLevels alive_, queued_, touched_;
    std::vector<BitLevels> blocks_;  // per byte value 0x80 + v, per 64-byte block
};

// Whether the line holds a lead whose pair makes the loop differ from a
// single pass (see above). The test sees the lead's next two bytes (0 past
// the end of the line).
bool HasHazard(const std::string& s, char lead, bool (*hazard)(unsigned char, unsigned char)) {
    const char* base = s.data();
    const std::size_t n = s.size();
    std::size_t i = 0;
    while (i + 1 < n) {
        const void* hit = std::memchr(base + i, lead, n - 1 - i);
        if (!hit) return false;
        i = static_cast<std::size_t>(static_cast<const char*>(hit) - base);
        if (hazard(U(base[i + 1]), i + 2 < n ? U(base[i + 2]) : 0)) return true;
        ++i;
    }
    return false;
}

// One left-to-right pass, in place: each pair lead x with x in delLo..delHi
// is deleted, with x in lo..hi becomes x + add (the line only shrinks, so
// the write position never passes the read position).
void SinglePass(std::string& s, char lead, unsigned char delLo, unsigned char delHi, unsigned char lo,
                unsigned char hi, int add) {
    const std::size_t n = s.size();
    char* const base = s.data();
    const char* hit = static_cast<const char*>(std::memchr(base, lead, n));
    if (!hit) return;
    std::size_t r = static_cast<std::size_t>(hit - base);  // read position
    std::size_t w = r;                                    // write position
    while (r + 1 < n) {
        const unsigned char x = U(base[r + 1]);
        std::size_t next;
        if (base[r] == lead && x >= lo && x <= hi) {
            base[w++] = static_cast<char>(x + add);
            r += 2;
        } else if (base[r] == lead && x >= delLo && x <= delHi) {
            r += 2;
        } else {
            base[w++] = base[r++];
        }
        // Copy up to the next lead in one go.
        const void* h = r < n ? std::memchr(base + r, lead, n - r) : nullptr;
        next = h ? static_cast<std::size_t>(static_cast<const char*>(h) - base) : n;
        if (next > r) {
            if (w != r) std::memmove(base + w, base + r, next - r);
            w += next - r;
            r = next;
        }
    }
    if (r < n) base[w++] = base[r++];
    s.resize(w);
}

// The 0xC2 pass: 80-9F deleted, A0-BF kept as the single byte.
void PassC2(std::string& s) {
    if (s.find('\xC2') == std::string::npos) return;
    // A deleted pair changes the loop only where a lead stands right before
    // it (the deletion makes a new pair) or right behind it (the search
    // steps over that lead); a pair kept as its second byte never makes a
    // new lead.
    if (HasHazard(s, '\xC2', [](unsigned char x, unsigned char y) {
            return x == 0xC2 || (x >= 0x80 && x <= 0x9F && y == 0xC2);
        })) {
        LeadPassIndexed(s, '\xC2', 0x80, 0x9F, 0xA0, 0xBF, 0).Run();
        return;
    }
    SinglePass(s, '\xC2', 0x80, 0x9F, 0xA0, 0xBF, 0);
}

// The 0xC3 pass: 80-BF become the byte + 64.
void PassC3(std::string& s) {
    if (s.find('\xC3') == std::string::npos) return;
    // C3 83 becomes C3 itself: a new lead, which matters only when the byte
    // behind it completes a pair.
    if (HasHazard(s, '\xC3', [](unsigned char x, unsigned char y) {
            return x == 0xC3 || (x == 0x83 && y >= 0x80 && y <= 0xBF);
        })) {
        LeadPassIndexed(s, '\xC3', 1, 0, 0x80, 0xBF, 64).Run();
        return;
    }
    SinglePass(s, '\xC3', 1, 0, 0x80, 0xBF, 64);
}

}  // namespace

void Utf8ToLatin1InPlace(std::string& s) {
    PassC2(s);
    PassC3(s);
    // C4 8D becomes "c": pairs cannot overlap, so one pass in place.
    const std::size_t first = s.find("\xC4\x8D");
    if (first == std::string::npos) return;
    std::size_t w = first;
    for (std::size_t r = first; r < s.size();) {
        if (s[r] == '\xC4' && r + 1 < s.size() && s[r + 1] == '\x8D') {
            s[w++] = 'c';
            r += 2;
        } else {
            s[w++] = s[r++];
        }
    }
    s.resize(w);
}

std::string Utf8ToLatin1(std::string_view line) {
    std::string s(line);
    Utf8ToLatin1InPlace(s);
    return s;
}

namespace {
std::string_view PunctuationFor(unsigned char x) {
    switch (x) {
        case 0x90: case 0x91: case 0x92: case 0x93: return "-";
        case 0x94: return " -- ";
        case 0x95: return "--";
        case 0x96: return "|";
        case 0x97: return "\x89";
        case 0x98: case 0x99: case 0x9A: case 0x9B: return "'";
        case 0x9C: case 0x9D: case 0x9E: case 0x9F: return "\"";
        case 0xA2: return " . ";
        case 0xA6: return "...";
        case 0xB9: return "<";
        case 0xBA: return ">";
        default: return {};
    }
}
}  // namespace

void Utf8PunctuationToAsciiInPlace(std::string& s) {
    const std::size_t first = s.find("\xE2\x80");
    if (first == std::string::npos) return;
    // A line that ends inside the first sequence has no third byte: the
    // two bytes there are dropped like any other unknown sequence.
    if (first + 2 >= s.size() || PunctuationFor(U(s[first + 2])).empty()) {
        s.erase(first, std::min<std::size_t>(3, s.size() - first));
        return;
    }
    // Every known triple, wherever it stands. The triples cannot overlap and
    // no replacement holds 0xE2 or 0x80, so one pass gives what the
    // replacements one after another give. Only the em dash (three bytes to
    // four) lengthens the line; without one the line is rewritten in place.
    std::size_t growth = 0;
    for (std::size_t p = first; p != std::string::npos; p = s.find("\xE2\x80", p + 2)) {
        if (p + 2 >= s.size()) break;
        const std::string_view rep = PunctuationFor(U(s[p + 2]));
        if (rep.size() > 3) growth += rep.size() - 3;
    }
    const std::size_t n = s.size();
    if (growth == 0) {
        // From one sequence to the next, the bytes between move in one go.
        char* const base = s.data();
        std::size_t w = first, r = first;
        while (r < n) {
            std::size_t p = s.find("\xE2\x80", r);
            if (p == std::string::npos || p + 2 >= n) p = n;
            if (p > r) {
                if (w != r) std::memmove(base + w, base + r, p - r);
                w += p - r;
                r = p;
            }
            if (r >= n) break;
            const std::string_view rep = PunctuationFor(U(base[r + 2]));
            if (rep.empty()) {
                base[w++] = base[r++];
                base[w++] = base[r++];
                continue;
            }
            for (char c : rep) base[w++] = c;
            r += 3;
        }
        s.resize(w);
        return;
    }
    // Em dashes lengthen the line: it is written into a second buffer.
    std::string out;
    out.reserve(n + growth);
    std::size_t pos = 0;
    while (true) {
        const std::size_t p = s.find("\xE2\x80", pos);
        if (p == std::string::npos || p + 2 >= n) break;
        const std::string_view rep = PunctuationFor(U(s[p + 2]));
        if (rep.empty()) {
            out.append(s, pos, p + 2 - pos);
            pos = p + 2;
            continue;
        }
        out.append(s, pos, p - pos);
        out.append(rep);
        pos = p + 3;
    }
    out.append(s, pos, std::string::npos);
    s.swap(out);
}

std::string Utf8PunctuationToAscii(std::string_view line) {
    std::string s(line);
    Utf8PunctuationToAsciiInPlace(s);
    return s;
}

}  // namespace zelk
