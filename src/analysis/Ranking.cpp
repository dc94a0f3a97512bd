// Ranking and the finishing steps of the word table.
//
// Rank order is (KeyValue descending, moment the value last changed
// ascending). The merge pass is a replay of the classic procedure (outer
// loop over table positions, inner loop over the later positions, each merge
// followed by closing the gap and bubbling the grown entry up), but positions
// are looked up in an order-statistic tree and the inner loop jumps straight
// to the next entry that can merge instead of visiting every position.

#include <algorithm>
#include <set>

#include "analysis/WordTally.h"
#include "common/StrProc.h"

namespace zelk {

namespace {

struct RankKey {
    float value;
    uint64_t stamp;
    uint32_t id;
};

// True when a ranks ahead of b.
inline bool Ahead(const RankKey& a, const RankKey& b) {
    if (a.value != b.value) return a.value > b.value;
    return a.stamp < b.stamp;
}
struct AheadLess {
    bool operator()(const RankKey& a, const RankKey& b) const { return Ahead(a, b); }
};

// A treap of rank keys with subtree sizes: the table position of a key and
// the key at a position, both in logarithmic time.
class RankedKeys {
public:
    explicit RankedKeys(size_t reserve) { nodes_.reserve(reserve); }

    int Size() const { return SizeOf(root_); }

    void Insert(const RankKey& key) {
        const int n = static_cast<int>(nodes_.size());
        nodes_.push_back(Node{key, NextPriority(), -1, -1, 1});
        auto [left, right] = Split(root_, key);
        root_ = Join(Join(left, n), right);
    }

    void Erase(const RankKey& key) { root_ = EraseFrom(root_, key); }

    // Number of keys ahead of key: its 0-based position when present.
    int Rank(const RankKey& key) const {
        int rank = 0;
        for (int t = root_; t >= 0;) {
            if (Ahead(nodes_[static_cast<size_t>(t)].key, key)) {
                rank += SizeOf(Left(t)) + 1;
                t = Right(t);
            } else {
                t = Left(t);
            }
        }
        return rank;
    }

    // The key at 0-based position k (0 <= k < Size()).
    const RankKey& At(int k) const {
        int t = root_;
        for (;;) {
            const int leftSize = SizeOf(Left(t));
            if (k < leftSize) {
                t = Left(t);
            } else if (k == leftSize) {
                return nodes_[static_cast<size_t>(t)].key;
            } else {
                k -= leftSize + 1;
                t = Right(t);
            }
        }
    }

    void InOrder(std::vector<RankKey>& out) const { Collect(root_, out); }

private:
    struct Node {
        RankKey key;
        uint32_t priority;
        int left, right, size;
    };

    int Left(int t) const { return nodes_[static_cast<size_t>(t)].left; }
    int Right(int t) const { return nodes_[static_cast<size_t>(t)].right; }
    int SizeOf(int t) const { return t < 0 ? 0 : nodes_[static_cast<size_t>(t)].size; }
    void Update(int t) {
        Node& n = nodes_[static_cast<size_t>(t)];
        n.size = 1 + SizeOf(n.left) + SizeOf(n.right);
    }
    uint32_t NextPriority() {
        seed_ ^= seed_ << 13;
        seed_ ^= seed_ >> 17;
        seed_ ^= seed_ << 5;
        return seed_;
    }

    // (keys ahead of key, the others)
    std::pair<int, int> Split(int t, const RankKey& key) {
        if (t < 0) return {-1, -1};
        Node& n = nodes_[static_cast<size_t>(t)];
        if (Ahead(n.key, key)) {
            auto [l, r] = Split(n.right, key);
            nodes_[static_cast<size_t>(t)].right = l;
            Update(t);
            return {t, r};
        }
        auto [l, r] = Split(n.left, key);
        nodes_[static_cast<size_t>(t)].left = r;
        Update(t);
        return {l, t};
    }

    int Join(int a, int b) {
        if (a < 0) return b;
        if (b < 0) return a;
        if (nodes_[static_cast<size_t>(a)].priority > nodes_[static_cast<size_t>(b)].priority) {
            nodes_[static_cast<size_t>(a)].right = Join(Right(a), b);
            Update(a);
            return a;
        }
        nodes_[static_cast<size_t>(b)].left = Join(a, Left(b));
        Update(b);
        return b;
    }

    int EraseFrom(int t, const RankKey& key) {
        if (t < 0) return t;
        const RankKey& k = nodes_[static_cast<size_t>(t)].key;
        if (Ahead(k, key)) {
            nodes_[static_cast<size_t>(t)].right = EraseFrom(Right(t), key);
        } else if (Ahead(key, k)) {
            nodes_[static_cast<size_t>(t)].left = EraseFrom(Left(t), key);
        } else {
            return Join(Left(t), Right(t));  // the node itself stays unused
        }
        Update(t);
        return t;
    }

    void Collect(int t, std::vector<RankKey>& out) const {
        if (t < 0) return;
        Collect(Left(t), out);
        out.push_back(nodes_[static_cast<size_t>(t)].key);
        Collect(Right(t), out);
    }

    std::vector<Node> nodes_;
    int root_ = -1;
    uint32_t seed_ = 2463534242u;
};

// Two words can merge when they are equal ignoring case and their parts
// after the first character are equal exactly: the same first letter up to
// case and the same rest. Words that can merge share this key.
std::string MergeKey(const std::string& word) {
    std::string key = word;
    if (!key.empty()) key[0] = LowerChar(key[0]);
    return key;
}

// A word whose letters after the first are all small ("apple", "Apple").
bool StartsMergePass(const std::string& word) {
    if (word.size() <= 2) return false;
    return std::none_of(word.begin() + 1, word.end(), [](char c) { return LowerChar(c) != c; });
}

int16_t AddFrequencies(int16_t a, int16_t b) {
    const int sum = a + b;
    return static_cast<int16_t>(std::min(sum, static_cast<int>(WordTally::kMaxCount)));
}

}  // namespace

void WordTally::Materialise() {
    if (tableValid_) return;
    std::vector<uint32_t> order(entries_.size());
    for (uint32_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
        const Entry& ea = entries_[a];
        const Entry& eb = entries_[b];
        return Ahead(RankKey{ea.value, ea.stamp, a}, RankKey{eb.value, eb.stamp, b});
    });
    // Re-file the entries in rank order with stamps that follow it, so the
    // order stays reproducible when values are later rescaled into ties.
    std::vector<Entry> ranked;
    ranked.reserve(entries_.size());
    for (uint32_t id : order) ranked.push_back(std::move(entries_[id]));
    entries_ = std::move(ranked);
    index_.clear();
    table_.entries.clear();
    table_.entries.reserve(entries_.size());
    for (uint32_t i = 0; i < entries_.size(); ++i) {
        Entry& e = entries_[i];
        e.stamp = i + 1;
        // After a merge a word may stand twice; a search finds the first.
        index_.try_emplace(e.word, i);
        table_.entries.push_back(WordEntry{e.word, e.frequency, e.value});
    }
    clock_ = entries_.size();
    tableValid_ = true;
}

const WordTable& WordTally::Table() {
    Materialise();
    return table_;
}

void WordTally::MergeCaseVariants() {
    Materialise();  // entries_ in rank order, stamps 1..n
    const int count0 = static_cast<int>(entries_.size());
    if (count0 < 2) return;

    RankedKeys ranked(entries_.size());
    std::unordered_map<std::string, std::set<RankKey, AheadLess>> groups;
    auto keyOf = [&](uint32_t id) { return RankKey{entries_[id].value, entries_[id].stamp, id}; };
    for (uint32_t id = 0; id < entries_.size(); ++id) {
        ranked.Insert(keyOf(id));
        groups[MergeKey(entries_[id].word)].insert(keyOf(id));
    }

    // Positions below are 1-based table positions, as in the classic loops;
    // both loop bounds are fixed when their loop starts.
    for (int i = 1; i <= count0 - 1; ++i) {
        if (i > ranked.Size()) break;  // the rest of the positions are empty
        if (!StartsMergePass(entries_[ranked.At(i - 1).id].word)) continue;
        const int bound = ranked.Size();
        int j = i + 1;
        while (j <= bound && j <= ranked.Size()) {
            // The word now at position i: after a merge that moved the grown
            // entry up, it is the one pushed down into position i, and the
            // pass goes on with it.
            const RankKey target = ranked.At(i - 1);
            const RankKey atJ = ranked.At(j - 1);
            auto groupIt = groups.find(MergeKey(entries_[target.id].word));
            auto& group = groupIt->second;
            auto cand = group.lower_bound(atJ);  // first member at a position >= j
            if (cand == group.end()) break;
            const RankKey source = *cand;
            const int p = ranked.Rank(source) + 1;
            if (p > bound) break;

            Entry& t = entries_[target.id];
            Entry& s = entries_[source.id];
            const float merged = t.value + s.value;
            t.frequency = AddFrequencies(t.frequency, s.frequency);
            ranked.Erase(source);
            group.erase(source);

            // The surviving word is lower-cased; lower-casing a word with
            // capitals after its first letter moves it to another group.
            std::string lower = LowerCaseAccented(t.word);
            const bool valueChanged = merged != t.value;
            group.erase(target);
            if (valueChanged) {
                ranked.Erase(target);
                t.value = merged;
                t.stamp = ++clock_;
                ranked.Insert(keyOf(target.id));
            }
            t.word = std::move(lower);
            groups[MergeKey(t.word)].insert(keyOf(target.id));
            j = p + 1;
        }
    }

    std::vector<RankKey> order;
    order.reserve(static_cast<size_t>(ranked.Size()));
    ranked.InOrder(order);
    std::vector<Entry> survivors;
    survivors.reserve(order.size());
    for (const RankKey& k : order) survivors.push_back(std::move(entries_[k.id]));
    entries_ = std::move(survivors);
    // Stamps only need to follow rank order; Materialise renumbers them.
    for (size_t i = 0; i < entries_.size(); ++i) entries_[i].stamp = i + 1;
    tableValid_ = false;
}

float WordTally::NormaliseKeyValues() {
    Materialise();
    float maxValue = 0.0f;
    for (const Entry& e : entries_)
        if (e.value > maxValue) maxValue = e.value;
    maxKeyValue_ = maxValue;
    if (maxValue <= 0.0f) return maxValue;
    for (Entry& e : entries_) {
        const float scaled = e.value * 100.0f;
        e.value = scaled / maxValue;
    }
    // Rescaling can only make values equal, never reverse them; the stamps
    // (in rank order since Materialise) keep the order of the new ties.
    tableValid_ = false;
    return maxValue;
}

}  // namespace zelk
