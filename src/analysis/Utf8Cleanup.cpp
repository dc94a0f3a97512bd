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

// The same loop without rescanning the line for every pair it replaces: a
// crafted line ("C2 C2 C2 ... 80 80 80") would otherwise cost one pass over
// the whole line per pair. The line becomes a linked list of nodes: every
// lead byte is a node of its own, and the bytes between two leads one node
// (a run, which only ever loses bytes at its front, when its first byte is
// the second byte of a pair). Each byte value x keeps the lead nodes that
// may start a pair lead x, so replacing "every pair lead x" visits only
// those. Positions of the search are counted over the bytes still alive (a
// Fenwick tree over the nodes, weighted by their lengths), as the loop
// counts them in the shrinking line. The index grows with the number of
// leads, not with the length of the line.
class LeadPassIndexed {
public:
    LeadPassIndexed(std::string& s, char lead, unsigned char delLo, unsigned char delHi,
                    unsigned char keepLo, unsigned char keepHi, int add)
        : s_(s), lead_(lead), delLo_(delLo), delHi_(delHi), keepLo_(keepLo), keepHi_(keepHi),
          add_(add) {}

    void Run() {
        if (s_.size() < 2) return;
        BuildNodes();
        const int n = n_;
        alive_.assign(Z(n), 1);
        aliveTree_.assign(Z(n) + 1, 0);
        leadTree_.assign(Z(n) + 1, 0);
        nxt_.resize(Z(n));
        prv_.resize(Z(n));
        for (int i = 0; i < n; ++i) {
            nxt_[Z(i)] = i + 1;
            prv_[Z(i)] = i - 1;
            aliveTree_[Z(i) + 1] += static_cast<int>(len_[Z(i)]);
            if (IsLead(i)) {
                leadTree_[Z(i) + 1] += 1;
                ++leadCount_;
                if (i + 1 < n && InRange(First(i + 1))) pending_[First(i + 1)].push_back(i);
            }
        }
        for (int i = 1; i <= n; ++i) {  // linear Fenwick build
            const int j = i + (i & -i);
            if (j <= n) {
                aliveTree_[Z(j)] += aliveTree_[Z(i)];
                leadTree_[Z(j)] += leadTree_[Z(i)];
            }
        }
        aliveBytes_ = static_cast<int>(s_.size());
        top_ = 1;
        while (top_ * 2 <= n) top_ *= 2;

        int f = leadCount_ > 0 ? Kth(leadTree_, 1) : -1;
        while (f >= 0 && nxt_[Z(f)] < n) {
            const unsigned char x = First(nxt_[Z(f)]);
            const int p = Prefix(aliveTree_, f);  // 0-based position of the find
            if (InRange(x)) ReplaceEveryPair(x);
            // Go on one position behind the find, counted in the new line.
            if (p + 1 >= aliveBytes_) break;
            const int node = Kth(aliveTree_, p + 2);
            const int before = Prefix(leadTree_, node);
            if (before >= leadCount_) break;
            f = Kth(leadTree_, before + 1);
        }
        // The alive bytes, in order, to the front of the line: every node
        // stands at or behind the place it moves to.
        std::size_t w = 0;
        for (int i = 0; i < n; ++i) {
            if (!alive_[Z(i)]) continue;
            const std::size_t len = static_cast<std::size_t>(len_[Z(i)]);
            if (w != static_cast<std::size_t>(start_[Z(i)]))
                std::memmove(s_.data() + w, s_.data() + start_[Z(i)], len);
            w += len;
        }
        s_.resize(w);
    }

private:
    static std::size_t Z(int i) { return static_cast<std::size_t>(i); }
    bool InDel(unsigned char x) const { return x >= delLo_ && x <= delHi_; }
    bool InRange(unsigned char x) const { return InDel(x) || (x >= keepLo_ && x <= keepHi_); }
    unsigned char First(int node) const { return U(s_[Z(static_cast<int>(start_[Z(node)]))]); }
    bool IsLead(int node) const { return alive_[Z(node)] && s_[Z(static_cast<int>(start_[Z(node)]))] == lead_; }

    void BuildNodes() {
        const char* base = s_.data();
        const std::size_t size = s_.size();
        std::size_t i = 0;
        while (i < size) {
            const void* hit = std::memchr(base + i, lead_, size - i);
            const std::size_t at = hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - base) : size;
            if (at > i) AddNode(i, at - i);
            if (at < size) AddNode(at, 1);
            i = at + 1;
        }
        n_ = static_cast<int>(start_.size());
    }
    void AddNode(std::size_t start, std::size_t len) {
        start_.push_back(static_cast<uint32_t>(start));
        len_.push_back(static_cast<uint32_t>(len));
    }

    void Add(std::vector<int>& tree, int i, int d) {
        for (int k = i + 1; k <= n_; k += k & -k) tree[Z(k)] += d;
    }
    // Sum of the weights of the nodes before node i.
    int Prefix(const std::vector<int>& tree, int i) const {
        int r = 0;
        for (int k = i; k > 0; k -= k & -k) r += tree[Z(k)];
        return r;
    }
    // Node holding the k-th unit of weight (1-based k).
    int Kth(const std::vector<int>& tree, int k) const {
        int pos = 0;
        for (int step = top_; step > 0; step >>= 1) {
            if (pos + step <= n_ && tree[Z(pos + step)] < k) {
                pos += step;
                k -= tree[Z(pos)];
            }
        }
        return pos;
    }

    void Remove(int i) {
        if (IsLead(i)) {
            Add(leadTree_, i, -1);
            --leadCount_;
        }
        alive_[Z(i)] = 0;
        const int a = prv_[Z(i)], b = nxt_[Z(i)];
        if (a >= 0) nxt_[Z(a)] = b;
        if (b < n_) prv_[Z(b)] = a;
        Add(aliveTree_, i, -static_cast<int>(len_[Z(i)]));
        aliveBytes_ -= static_cast<int>(len_[Z(i)]);
    }
    // The second byte of a pair: a lead node goes, a run loses its first byte.
    void RemoveFirstByte(int i) {
        if (len_[Z(i)] == 1) {
            Remove(i);
            return;
        }
        ++start_[Z(i)];
        --len_[Z(i)];
        Add(aliveTree_, i, -1);
        --aliveBytes_;
    }

    // A node whose successor changed may now start a pair.
    void Touch(int a) {
        if (a < 0 || !IsLead(a)) return;
        const int b = nxt_[Z(a)];
        if (b < n_ && InRange(First(b))) pending_[First(b)].push_back(a);
    }

    // Every pair lead x of the line as it stands now; pairs that the
    // replacements themselves create wait for the next time.
    void ReplaceEveryPair(unsigned char x) {
        std::vector<int> list;
        list.swap(pending_[x]);
        std::vector<int> valid;
        valid.reserve(list.size());
        for (int q : list) {
            if (!IsLead(q)) continue;
            const int qn = nxt_[Z(q)];
            if (qn < n_ && First(qn) == x) valid.push_back(q);
        }
        std::sort(valid.begin(), valid.end());
        valid.erase(std::unique(valid.begin(), valid.end()), valid.end());
        for (int q : valid) {
            const int qn = nxt_[Z(q)];
            if (InDel(x)) {
                const int before = prv_[Z(q)];
                Remove(q);
                RemoveFirstByte(qn);
                Touch(before);
            } else {
                const char out = static_cast<char>(x + add_);
                if (out != lead_) {
                    Add(leadTree_, q, -1);
                    --leadCount_;
                }
                s_[Z(static_cast<int>(start_[Z(q)]))] = out;
                RemoveFirstByte(qn);
                Touch(prv_[Z(q)]);
                Touch(q);
            }
        }
    }

    std::string& s_;
    const char lead_;
    const unsigned char delLo_, delHi_, keepLo_, keepHi_;
    const int add_;
    int n_ = 0;
    int aliveBytes_ = 0;
    int leadCount_ = 0;
    int top_ = 1;
    std::vector<uint32_t> start_, len_;
    std::vector<int> nxt_, prv_;
    std::vector<int> aliveTree_, leadTree_;
    std::vector<char> alive_;
    std::array<std::vector<int>, 256> pending_;
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
        std::size_t w = first, r = first;
        while (r < n) {
            if (r + 2 < n && s[r] == '\xE2' && s[r + 1] == '\x80') {
                const std::string_view rep = PunctuationFor(U(s[r + 2]));
                if (!rep.empty()) {
                    for (char c : rep) s[w++] = c;
                    r += 3;
                    continue;
                }
                s[w++] = s[r++];
                s[w++] = s[r++];
                continue;
            }
            s[w++] = s[r++];
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
