#include "analysis/TextFile.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "analysis/AnalysisHost.h"
#include "analysis/LineReader.h"
#include "analysis/TextContent.h"
#include "common/FileProc.h"
#include "common/StrProc.h"

namespace zelk {

namespace {

inline unsigned char U(char c) { return static_cast<unsigned char>(c); }

// Reads up to n bytes from the start of the file; false when it cannot be
// opened or read.
bool ReadHead(const std::string& path, std::size_t n, std::string& out) {
    out.clear();
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    out.resize(n);
    std::size_t got = n == 0 ? 0 : std::fread(out.data(), 1, n, f);
    bool ok = !std::ferror(f);
    std::fclose(f);
    out.resize(got);
    return ok;
}

}  // namespace

bool HasTextExtension(const std::string& path) {
    static const std::array<std::string_view, 11> kExt = {
        "txt", "log", "xml", "htm", "html", "shtm", "shtml", "xhtm", "xhtml", "csv", "prn"};
    std::string ext = FileExtension(path, true);
    for (auto e : kExt)
        if (ext == e) return true;
    return false;
}


int16_t DetectEncoding(const std::string& path, bool charsetSearch) {
    if (path.empty()) return -5;
    if (!FileExists(path)) return -1;
    long long len = FileLength(path);
    std::string head;
    // A file that exists but cannot be read is reported like a missing one:
    // nothing of it can be analysed.
    if (len < 0 || !ReadHead(path, 5, head)) return -1;
    if (len == 0 || head.empty()) return -2;
    if (len < 5 || head.size() < 5) return -4;

    int16_t code = textrules::EncodingFromHead(head, path);
    if (code != textrules::kUndecided) return code;
    code = 0;
    if (charsetSearch && HasTextExtension(path)) {
        // The first ten lines that are not blank. Joined by CR LF they would
        // hold one of the texts exactly when one of the lines does (none of
        // the texts holds a CR or an LF), so each line is searched where it
        // is read: a document of one long line is not copied again.
        LineReader reader;
        if (reader.Open(path)) {
            bool found = false;
            int lineCount = 0;
            std::string line;
            while (!found && reader.Next(line)) {
                if (line.empty()) continue;
                found = textrules::DeclaresUtf8(line);
                if (++lineCount == 10) break;
            }
            if (found && !reader.Failed()) code = 3;
        }
    }
    return code;
}

TextFileTest IsTextFile(const std::string& path, int32_t maxBytes, double thresholdPercent,
                        bool charsetSearch) {
    TextFileTest t;
    int16_t r = DetectEncoding(path, charsetSearch);
    if (r < 0 || r == 6) {
        t.verdict = r;
        return t;
    }
    if (r == 3) {
        t.utf8 = true;
        t.verdict = 1;
        return t;
    }
    if (r == 1 || r == 2 || r == 5) {
        t.verdict = 7;
        return t;
    }
    long long len = FileLength(path);
    if (len == 0) {
        t.verdict = -2;
        return t;
    }
    std::size_t n = static_cast<std::size_t>(
        len < 0 ? 0 : (maxBytes < 0 ? 0 : std::min<long long>(len, maxBytes)));
    std::string bytes;
    if (!ReadHead(path, n, bytes)) {
        t.verdict = -1;
        return t;
    }
    textrules::ClassifySample(bytes, maxBytes, thresholdPercent, t);
    return t;
}

std::string ReadLines(const std::string& path, std::string& errText, int& errNumber,
                      int& lineCount, bool skipBlank, int maxLines, bool latin1,
                      bool punctuation, bool joinBlank, bool joinSlash) {
    errText.clear();
    errNumber = 0;
    lineCount = 0;
    std::string result;
    LineReader reader;
    if (!reader.Open(path)) {
        errText = reader.ErrorText();
        errNumber = reader.ErrorNumber();
        return {};
    }
    std::string line;
    while (reader.Next(line)) {
        if (skipBlank && line.empty()) continue;
        ++lineCount;
        if (latin1) {
            line = Utf8ToLatin1(line);
            if (punctuation) line = Utf8PunctuationToAscii(line);
        }
        if (!result.empty()) result += joinBlank ? " " : (joinSlash ? " / " : "\r\n");
        result += line;
        if (maxLines > 0 && lineCount == maxLines) break;
    }
    if (reader.Failed()) {
        errText = reader.ErrorText();
        errNumber = reader.ErrorNumber();
        return {};
    }
    return result;
}

bool FileContainsText(const std::string& path, const std::string& needle, int maxLines,
                      bool caseSensitive) {
    if (needle.empty()) return false;
    LineReader reader;
    if (!reader.Open(path)) return false;
    const std::string want = caseSensitive ? needle : LowerCaseAccented(needle);
    std::string line;
    int count = 0;
    while (reader.Next(line)) {
        if (!caseSensitive) {
            for (char& c : line) c = LowerChar(c);
        }
        if (line.find(want) != std::string::npos) return true;
        if (maxLines > 0 && ++count >= maxLines) break;
    }
    return false;
}

// ---------------------------------------------------------------------------
// UTF-8 clean-up.
//
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
// the whole line per pair. The line becomes a linked list of its bytes; each
// byte value x keeps the places where a pair lead x may stand, so replacing
// "every pair lead x" visits only those. Positions of the search are counted
// over the bytes still alive (a Fenwick tree), as the loop counts them in the
// shrinking line.
class LeadPassIndexed {
public:
    LeadPassIndexed(std::string& s, char lead, unsigned char delLo, unsigned char delHi,
                    unsigned char keepLo, unsigned char keepHi, int add)
        : s_(s), lead_(lead), delLo_(delLo), delHi_(delHi), keepLo_(keepLo), keepHi_(keepHi),
          add_(add), n_(static_cast<int>(s.size())) {}

    void Run() {
        if (n_ < 2) return;
        nxt_.resize(static_cast<std::size_t>(n_));
        prv_.resize(static_cast<std::size_t>(n_));
        alive_.assign(static_cast<std::size_t>(n_), 1);
        aliveTree_.assign(static_cast<std::size_t>(n_) + 1, 0);
        leadTree_.assign(static_cast<std::size_t>(n_) + 1, 0);
        for (int i = 0; i < n_; ++i) {
            nxt_[Z(i)] = i + 1;
            prv_[Z(i)] = i - 1;
            aliveTree_[Z(i) + 1] += 1;
            if (s_[Z(i)] == lead_) { leadTree_[Z(i) + 1] += 1; ++leadCount_; }
            if (i + 1 < n_ && s_[Z(i)] == lead_ && InRange(U(s_[Z(i) + 1])))
                pending_[U(s_[Z(i) + 1])].push_back(i);
        }
        for (int i = 1; i <= n_; ++i) {  // linear Fenwick build
            const int j = i + (i & -i);
            if (j <= n_) {
                aliveTree_[Z(j)] += aliveTree_[Z(i)];
                leadTree_[Z(j)] += leadTree_[Z(i)];
            }
        }
        aliveCount_ = n_;
        top_ = 1;
        while (top_ * 2 <= n_) top_ *= 2;

        int f = leadCount_ > 0 ? Kth(leadTree_, 1) : -1;
        while (f >= 0 && nxt_[Z(f)] < n_) {
            const unsigned char x = U(s_[Z(nxt_[Z(f)])]);
            const int p = Prefix(aliveTree_, f);  // 0-based position of the find
            if (InRange(x)) ReplaceEveryPair(x);
            // Go on one position behind the find, counted in the new line.
            if (p + 1 >= aliveCount_) break;
            const int node = Kth(aliveTree_, p + 2);
            const int before = Prefix(leadTree_, node);
            if (before >= leadCount_) break;
            f = Kth(leadTree_, before + 1);
        }
        std::string out;
        out.reserve(static_cast<std::size_t>(aliveCount_));
        for (int i = 0; i < n_; ++i)
            if (alive_[Z(i)]) out += s_[Z(i)];
        s_.swap(out);
    }

private:
    static std::size_t Z(int i) { return static_cast<std::size_t>(i); }
    bool InDel(unsigned char x) const { return x >= delLo_ && x <= delHi_; }
    bool InRange(unsigned char x) const { return InDel(x) || (x >= keepLo_ && x <= keepHi_); }

    void Add(std::vector<int>& tree, int i, int d) {
        for (int k = i + 1; k <= n_; k += k & -k) tree[Z(k)] += d;
    }
    // Number of set entries before node i.
    int Prefix(const std::vector<int>& tree, int i) const {
        int r = 0;
        for (int k = i; k > 0; k -= k & -k) r += tree[Z(k)];
        return r;
    }
    // Node holding the k-th set entry (1-based k).
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
        alive_[Z(i)] = 0;
        const int a = prv_[Z(i)], b = nxt_[Z(i)];
        if (a >= 0) nxt_[Z(a)] = b;
        if (b < n_) prv_[Z(b)] = a;
        Add(aliveTree_, i, -1);
        --aliveCount_;
        if (s_[Z(i)] == lead_) { Add(leadTree_, i, -1); --leadCount_; }
    }

    // A node whose successor changed may now start a pair.
    void Touch(int a) {
        if (a < 0 || !alive_[Z(a)] || s_[Z(a)] != lead_) return;
        const int b = nxt_[Z(a)];
        if (b < n_ && InRange(U(s_[Z(b)]))) pending_[U(s_[Z(b)])].push_back(a);
    }

    // Every pair lead x of the line as it stands now; pairs that the
    // replacements themselves create wait for the next time.
    void ReplaceEveryPair(unsigned char x) {
        std::vector<int> list;
        list.swap(pending_[x]);
        std::vector<int> valid;
        valid.reserve(list.size());
        for (int q : list) {
            if (!alive_[Z(q)] || s_[Z(q)] != lead_) continue;
            const int qn = nxt_[Z(q)];
            if (qn < n_ && U(s_[Z(qn)]) == x) valid.push_back(q);
        }
        std::sort(valid.begin(), valid.end());
        valid.erase(std::unique(valid.begin(), valid.end()), valid.end());
        for (int q : valid) {
            const int qn = nxt_[Z(q)];
            if (InDel(x)) {
                const int before = prv_[Z(q)];
                Remove(q);
                Remove(qn);
                Touch(before);
            } else {
                const char out = static_cast<char>(x + add_);
                if (out != lead_) { Add(leadTree_, q, -1); --leadCount_; }
                s_[Z(q)] = out;
                Remove(qn);
                Touch(prv_[Z(q)]);
                Touch(q);
            }
        }
    }

    std::string& s_;
    const char lead_;
    const unsigned char delLo_, delHi_, keepLo_, keepHi_;
    const int add_;
    const int n_;
    int aliveCount_ = 0;
    int leadCount_ = 0;
    int top_ = 1;
    std::vector<int> nxt_, prv_, aliveTree_, leadTree_;
    std::vector<char> alive_;
    std::array<std::vector<int>, 256> pending_;
};

// Whether the line holds a pair lead x that makes the loop differ from a
// single pass (see above).
bool HasHazard(const std::string& s, char lead, bool (*hazard)(unsigned char)) {
    const char* base = s.data();
    const std::size_t n = s.size();
    std::size_t i = 0;
    while (i + 1 < n) {
        const void* hit = std::memchr(base + i, lead, n - 1 - i);
        if (!hit) return false;
        i = static_cast<std::size_t>(static_cast<const char*>(hit) - base);
        if (hazard(U(base[i + 1]))) return true;
        ++i;
    }
    return false;
}

// One left-to-right pass: each pair lead x with x in lo..hi becomes x + add.
void SinglePass(std::string& s, char lead, unsigned char lo, unsigned char hi, int add) {
    const std::size_t n = s.size();
    std::size_t first = s.find(lead);
    if (first == std::string::npos) return;
    std::string r;
    r.reserve(n);
    std::size_t copied = 0;
    std::size_t i = first;
    while (i != std::string::npos && i + 1 < n) {
        const unsigned char x = U(s[i + 1]);
        if (x >= lo && x <= hi) {
            r.append(s, copied, i - copied);
            r += static_cast<char>(x + add);
            copied = i + 2;
            i = s.find(lead, i + 2);
        } else {
            i = s.find(lead, i + 1);
        }
    }
    if (copied == 0) return;
    r.append(s, copied, std::string::npos);
    s.swap(r);
}

// The 0xC2 pass: 80-9F deleted, A0-BF kept as the single byte.
void PassC2(std::string& s) {
    if (s.find('\xC2') == std::string::npos) return;
    if (HasHazard(s, '\xC2', [](unsigned char x) { return x == 0xC2 || (x >= 0x80 && x <= 0x9F); })) {
        LeadPassIndexed(s, '\xC2', 0x80, 0x9F, 0xA0, 0xBF, 0).Run();
        return;
    }
    SinglePass(s, '\xC2', 0xA0, 0xBF, 0);
}

// The 0xC3 pass: 80-BF become the byte + 64.
void PassC3(std::string& s) {
    if (s.find('\xC3') == std::string::npos) return;
    if (HasHazard(s, '\xC3', [](unsigned char x) { return x == 0xC3 || x == 0x83; })) {
        LeadPassIndexed(s, '\xC3', 1, 0, 0x80, 0xBF, 64).Run();
        return;
    }
    SinglePass(s, '\xC3', 0x80, 0xBF, 64);
}

}  // namespace

std::string Utf8ToLatin1(std::string_view line) {
    std::string s(line);
    PassC2(s);
    PassC3(s);
    if (s.find("\xC4\x8D") != std::string::npos) s = Replace(s, "\xC4\x8D", "c");
    return s;
}

std::string Utf8PunctuationToAscii(std::string_view line) {
    std::size_t first = line.find("\xE2\x80");
    if (first == std::string_view::npos) return std::string(line);
    auto replacement = [](unsigned char x) -> std::string_view {
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
    };
    // A line that ends inside the first sequence has no third byte: the
    // two bytes there are dropped like any other unknown sequence.
    if (first + 2 >= line.size() || replacement(U(line[first + 2])).empty()) {
        std::string r(line.substr(0, first));
        if (first + 3 <= line.size()) r.append(line.substr(first + 3));
        return r;
    }
    // Every known triple, wherever it stands. The triples cannot overlap and
    // no replacement holds 0xE2 or 0x80, so one pass gives what the
    // replacements one after another give.
    std::string r;
    r.reserve(line.size());
    std::size_t pos = 0;
    while (true) {
        std::size_t p = line.find("\xE2\x80", pos);
        if (p == std::string_view::npos || p + 2 >= line.size()) break;
        std::string_view rep = replacement(U(line[p + 2]));
        if (rep.empty()) {
            r.append(line.substr(pos, p + 2 - pos));
            pos = p + 2;
            continue;
        }
        r.append(line.substr(pos, p - pos));
        r.append(rep);
        pos = p + 3;
    }
    r.append(line.substr(pos));
    return r;
}

std::string FormatFileSize(long long bytes) {
    if (bytes < 0) return {};
    if (bytes == 0) return "0 bytes";
    std::string r = GroupDigits(bytes) + " bytes";
    if (bytes > 1024) {
        long long kb = bytes % 1024 == 0 ? bytes / 1024 : (bytes - 1) / 1024 + 1;
        r += " (" + GroupDigits(kb) + " Kb)";
    }
    return r;
}

bool CheckInputFileSpec(AnalysisHost& host, const std::string& path) {
    const long d = InStrRev(path, ".");
    const long b = InStrRev(path, "/");
    if (d == 0 || d < b) {
        if (host.StartUpCompleted())
            host.prompter().Message("Invalid input file specification", "Invalid input",
                                    Icon::Exclamation);
        else
            host.SetInputFileText("");
        return false;
    }
    const std::string ext = LowerCaseAccented(Mid(path, d + 1));
    if (ext.find("htm") == std::string::npos) {
        if (host.StartUpCompleted())
            host.prompter().Message("Input file name must have an extension containing 'htm'.",
                                    "Invalid input", Icon::None);
        else
            host.SetInputFileText("");
        return false;
    }
    if (!FileExists(path)) {
        const std::string box = host.InputFileText();
        const long slash = InStrRev(box, "/");
        if (slash > 0) {
            const std::string folder = Left(box, slash);
            if (FolderExists(folder)) {
                std::error_code ec;
                std::filesystem::current_path(Trim(folder), ec);
            }
        }
        host.SetInputFileText("");
        return false;
    }
    return true;
}

bool PrepareDocumentLine(std::string& line, int16_t verdict, bool utf8) {
    const std::size_t b = line.find_first_not_of(' ');
    if (b == std::string::npos) {
        line.clear();
        return false;
    }
    const std::size_t e = line.find_last_not_of(' ');
    if (b > 0 || e + 1 < line.size()) line = line.substr(b, e - b + 1);
    if (verdict == 2) {
        for (char& c : line)
            if (c == '\n') c = ' ';
    }
    if (utf8) {
        line = Utf8ToLatin1(line);
        line = Utf8PunctuationToAscii(line);
    }
    return true;
}

}  // namespace zelk
