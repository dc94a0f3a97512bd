#include "analysis/KeywordsMetaTag.h"

#include <optional>
#include <vector>

#include "common/StrProc.h"

namespace zelk {

namespace {

// Online suffix automaton over the folded tag text: answers "does this text
// occur in the tag so far" in time proportional to the text, while the tag
// grows one keyword at a time. Together the searches cost as much as
// reading the tag once, where a plain search per word would cost the
// number of words times the length of the tag.
class SubstringIndex {
public:
    SubstringIndex() { states_.push_back({0, -1, -1}); }

    void Append(std::string_view folded) {
        for (char c : folded) Extend(static_cast<unsigned char>(c));
    }

    bool Contains(std::string_view folded) const {
        int s = 0;
        for (char c : folded) {
            s = Next(s, static_cast<unsigned char>(c));
            if (s < 0) return false;
        }
        return true;
    }

private:
    struct State {
        int len;
        int link;
        int head;  // first edge, -1 when none
    };
    struct Edge {
        int target;
        int next;
        unsigned char c;
    };

    int Next(int s, unsigned char c) const {
        for (int e = states_[static_cast<std::size_t>(s)].head; e >= 0;
             e = edges_[static_cast<std::size_t>(e)].next)
            if (edges_[static_cast<std::size_t>(e)].c == c) return edges_[static_cast<std::size_t>(e)].target;
        return -1;
    }
    int FindEdge(int s, unsigned char c) const {
        for (int e = states_[static_cast<std::size_t>(s)].head; e >= 0;
             e = edges_[static_cast<std::size_t>(e)].next)
            if (edges_[static_cast<std::size_t>(e)].c == c) return e;
        return -1;
    }
    void AddEdge(int s, unsigned char c, int target) {
        edges_.push_back({target, states_[static_cast<std::size_t>(s)].head, c});
        states_[static_cast<std::size_t>(s)].head = static_cast<int>(edges_.size()) - 1;
    }

    void Extend(unsigned char c) {
        const int cur = static_cast<int>(states_.size());
        states_.push_back({states_[static_cast<std::size_t>(last_)].len + 1, 0, -1});
        int p = last_;
        while (p >= 0 && FindEdge(p, c) < 0) {
            AddEdge(p, c, cur);
            p = states_[static_cast<std::size_t>(p)].link;
        }
        if (p >= 0) {
            const int q = Next(p, c);
            if (states_[static_cast<std::size_t>(p)].len + 1 == states_[static_cast<std::size_t>(q)].len) {
                states_[static_cast<std::size_t>(cur)].link = q;
            } else {
                const int clone = static_cast<int>(states_.size());
                states_.push_back({states_[static_cast<std::size_t>(p)].len + 1,
                                   states_[static_cast<std::size_t>(q)].link, -1});
                for (int e = states_[static_cast<std::size_t>(q)].head; e >= 0;
                     e = edges_[static_cast<std::size_t>(e)].next) {
                    const Edge copy = edges_[static_cast<std::size_t>(e)];
                    AddEdge(clone, copy.c, copy.target);
                }
                while (p >= 0) {
                    const int e = FindEdge(p, c);
                    if (e < 0 || edges_[static_cast<std::size_t>(e)].target != q) break;
                    edges_[static_cast<std::size_t>(e)].target = clone;
                    p = states_[static_cast<std::size_t>(p)].link;
                }
                states_[static_cast<std::size_t>(q)].link = clone;
                states_[static_cast<std::size_t>(cur)].link = clone;
            }
        }
        last_ = cur;
    }

    std::vector<State> states_;
    std::vector<Edge> edges_;
    int last_ = 0;
};

}  // namespace

int CountOccurrences(std::string_view s, std::string_view part, bool exact) {
    if (s.empty() || part.empty()) return 0;
    std::string fs, fp;
    if (!exact) {
        fs = LowerCaseAccented(s);
        fp = LowerCaseAccented(part);
        s = fs;
        part = fp;
    }
    int count = 0;
    std::size_t pos = 0;
    while ((pos = s.find(part, pos)) != std::string_view::npos) {
        ++count;
        pos += part.size();
    }
    return count;
}

KeywordsResult GenerateKeywordMetaTag(const WordTable& table, const KeywordsInputs& in) {
    return GenerateKeywordMetaTag(
        table.entries.size(), [&](std::size_t rank) -> const std::string& { return table.entries[rank].Word; }, in);
}

KeywordsResult GenerateKeywordMetaTag(std::size_t wordCount, const RankedWordFn& wordAt,
                                      const KeywordsInputs& in) {
    KeywordsResult result;
    if (wordCount == 0 && in.singleFile) {
        result.text = "No words";
        result.beginWithTrimmed = in.beginWith;
        return result;
    }
    const int maxKeywords = ValToInt16(in.maxKeywordsText);
    // Wider than the 16-bit box value: the viewport tag's length is added.
    long long maxBytes = ValToInt16(in.maxBytesText);
    if (in.insertVPMT) maxBytes += static_cast<long long>(in.vpmtText.size()) + 2;

    std::string t = "<meta name=\"keywords\" content=\"";
    std::string b = Trim(in.beginWith);
    result.beginWithTrimmed = b;
    long long n = 0;
    if (!b.empty()) {
        if (b.back() == ',') b.pop_back();
        b = Replace(b, ",", ", ");
        b = Replace(b, ",  ", ", ");
        t += b;
        n = CountOccurrences(b, ",", true) + 1;
    }
    long long length = static_cast<long long>(t.size());

    // A tag within the usual limits is searched directly; the index pays
    // for itself only once the tag is long (no limits on a large page).
    constexpr std::size_t kIndexFrom = 4096;
    std::string folded = LowerCaseAccented(t);
    std::optional<SubstringIndex> index;
    for (std::size_t rank = 0; rank < wordCount; ++rank) {
        const std::string& word = wordAt(rank);
        if (maxKeywords > 0 && n + 1 > maxKeywords) break;
        if (maxBytes > 0 && static_cast<long long>(word.size()) + length + 1 > maxBytes) break;
        const std::string foldedWord = LowerCaseAccented(word);
        if (index ? index->Contains(foldedWord) : folded.find(foldedWord) != std::string::npos) continue;
        std::string added = n > 0 ? ", " + word : word;
        t += added;
        const std::string foldedAdded = LowerCaseAccented(added);
        if (index) {
            index->Append(foldedAdded);
        } else {
            folded += foldedAdded;
            if (folded.size() > kIndexFrom) {
                index.emplace();
                index->Append(folded);
            }
        }
        ++n;
        length = static_cast<long long>(t.size());
    }
    t += in.forwardSlash ? "\" />" : "\">";
    if (in.singleFile) {
        t += "\r\n\r\nNumber of keywords in meta tag:" + S(n) +
             "\r\nNumber of bytes in meta tag:" + S(length);
    }
    result.text = std::move(t);
    return result;
}

}  // namespace zelk
