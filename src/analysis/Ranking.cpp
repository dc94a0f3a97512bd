// Ranking and the finishing steps of the word table.
//
// Rank order is (KeyValue descending, moment the value last changed
// ascending). The merge pass gives what the plain procedure gives (outer
// loop over table positions, inner loop over the later positions, each merge
// followed by closing the gap and bubbling the grown entry up), but positions
// are looked up in an order-statistic tree and the inner loop jumps straight
// to the next entry that can merge instead of visiting every position.

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <utility>
#include <climits>
#include <cstdint>

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
    // Builds the tree from keys already in rank order, in linear time.
    explicit RankedKeys(const std::vector<RankKey>& sorted) {
        nodes_.reserve(sorted.size() + sorted.size() / 4);
        std::vector<int> spine;  // right spine of the tree built so far
        for (const RankKey& key : sorted) {
            const int n = static_cast<int>(nodes_.size());
            nodes_.push_back(Node{key, NextPriority(), -1, -1, 1});
            int last = -1;
            while (!spine.empty() && nodes_[static_cast<size_t>(spine.back())].priority < nodes_[static_cast<size_t>(n)].priority) {
                last = spine.back();
                spine.pop_back();
            }
            nodes_[static_cast<size_t>(n)].left = last;
            if (!spine.empty()) nodes_[static_cast<size_t>(spine.back())].right = n;
            spine.push_back(n);
        }
        root_ = spine.empty() ? -1 : spine.front();
        FixSizes(root_);
    }

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

    int FixSizes(int t) {
        if (t < 0) return 0;
        Node& n = nodes_[static_cast<size_t>(t)];
        const int size = 1 + FixSizes(n.left) + FixSizes(n.right);
        nodes_[static_cast<size_t>(t)].size = size;
        return size;
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
// case and the same rest ("Apple" and "apple", not "APPLE" and "apple").
bool SameMergeKey(std::string_view a, std::string_view b) {
    return a.size() == b.size() && !a.empty() && LowerChar(a[0]) == LowerChar(b[0]) &&
           a.substr(1) == b.substr(1);
}

uint64_t MergeKeyHash(std::string_view w) {
    uint64_t h = 14695981039346656037ull;
    for (size_t i = 0; i < w.size(); ++i) {
        h ^= static_cast<unsigned char>(i == 0 ? LowerChar(w[0]) : w[i]);
        h *= 1099511628211ull;
    }
    return h * 0x9E3779B97F4A7C15ull;
}

// The entries that can merge with each other, as lists threaded through
// the entries and found by the hash of their merge key. A list may also
// hold a word whose key merely shares the hash, so users compare keys.
// Its arrays are the tally's, kept from document to document.
class MergeGroups {
public:
    static constexpr uint32_t kNone = UINT32_MAX;

    // ids below idLimit; at most `live` entries, each lower-cased at most once.
    MergeGroups(size_t idLimit, size_t live, std::vector<uint32_t>& next, std::vector<unsigned char>& partner,
                std::vector<uint64_t>& slots)
        : slots_(slots), next_(next), partner_(partner) {
        next_.assign(idLimit, kNone);
        partner_.assign(idLimit, 0);
        size_t count = 16;
        while (count < 4 * live) count *= 2;  // keys ever made <= 2 * live: half the slots stay free
        slots_.assign(count, Empty());
    }

    void Join(uint32_t id, uint64_t hash) {
        uint64_t& slot = Find(hash, true);
        const uint32_t head = HeadOf(slot);
        if (head != kNone) {
            partner_[id] = 1;
            for (uint32_t k = head; k != kNone; k = next_[k]) partner_[k] = 1;
        }
        next_[id] = head;
        SetHead(slot, id);
    }

    void Leave(uint32_t id, uint64_t hash) {
        uint64_t& slot = Find(hash, false);
        if (HeadOf(slot) == id) {
            SetHead(slot, next_[id]);
        } else {
            uint32_t k = HeadOf(slot);
            while (next_[k] != id) k = next_[k];
            next_[k] = next_[id];
        }
        next_[id] = kNone;
    }

    uint32_t Head(uint64_t hash) { return HeadOf(Find(hash, false)); }
    uint32_t Next(uint32_t id) const { return next_[id]; }
    // False when the entry never shared a list: nothing can merge with it.
    bool MayHavePartner(uint32_t id) const { return partner_[id] != 0; }

private:
    // A slot: the list's head (high half) and 32 bits of the hash (low
    // half, 0 = unused). Keys that share those bits share a list, which the
    // users' key comparison sorts out.
    static uint64_t Empty() { return static_cast<uint64_t>(kNone) << 32; }
    static uint32_t HeadOf(uint64_t slot) { return static_cast<uint32_t>(slot >> 32); }
    static void SetHead(uint64_t& slot, uint32_t head) {
        slot = static_cast<uint64_t>(head) << 32 | static_cast<uint32_t>(slot);
    }

    uint64_t& Find(uint64_t hash, bool create) {
        const size_t mask = slots_.size() - 1;
        const uint32_t tag = static_cast<uint32_t>(hash) | 1u;
        for (size_t i = static_cast<size_t>(hash >> 40) & mask;; i = (i + 1) & mask) {
            uint64_t& slot = slots_[i];
            const auto slotTag = static_cast<uint32_t>(slot);
            if (slotTag == tag) return slot;
            if (slotTag == 0) {
                if (create) slot |= tag;
                return slot;  // unused: an empty list
            }
        }
    }

    std::vector<uint64_t>& slots_;
    std::vector<uint32_t>& next_;
    std::vector<unsigned char>& partner_;
};

// The rank keys during the merge pass. Until the first merge they stand
// in their starting order, and a key's position is looked up in an array;
// the tree is built at the first merge. Most tables never need it.
class MergeRanking {
public:
    MergeRanking(const std::vector<RankKey>& sorted, const std::vector<uint32_t>& position)
        : sorted_(sorted), position_(position) {}

    int Size() const { return tree_ ? tree_->Size() : static_cast<int>(sorted_.size()); }
    // Number of keys ahead of key, which is present.
    int Rank(const RankKey& key) const { return tree_ ? tree_->Rank(key) : static_cast<int>(position_[key.id]); }
    const RankKey& At(int k) const { return tree_ ? tree_->At(k) : sorted_[static_cast<size_t>(k)]; }
    RankedKeys& Tree() {
        if (!tree_) tree_.emplace(sorted_);
        return *tree_;
    }
    bool Changed() const { return tree_.has_value(); }

private:
    const std::vector<RankKey>& sorted_;
    const std::vector<uint32_t>& position_;
    std::optional<RankedKeys> tree_;
};

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

namespace {

// A float as an unsigned integer of the same order (zeros of either sign
// are one value, as they compare equal).
inline uint32_t OrderBits(float v) {
    if (v == 0.0f) v = 0.0f;
    uint32_t b;
    std::memcpy(&b, &v, sizeof b);
    return (b & 0x80000000u) ? ~b : (b | 0x80000000u);
}

// Sorts (key, id) pairs by key, least significant byte first, skipping the
// bytes that all keys share; the counts of all eight bytes are taken in one
// pass. buffer is working space.
void RadixSort(std::vector<std::pair<uint64_t, uint32_t>>& items, std::vector<std::pair<uint64_t, uint32_t>>& buffer) {
    buffer.resize(items.size());
    std::array<std::array<size_t, 257>, 8> start{};
    for (const auto& item : items)
        for (int b = 0; b < 8; ++b) ++start[static_cast<size_t>(b)][((item.first >> (8 * b)) & 0xFF) + 1];
    for (int b = 0; b < 8; ++b) {
        std::array<size_t, 257>& s = start[static_cast<size_t>(b)];
        if (std::find(s.begin() + 1, s.end(), items.size()) != s.end()) continue;
        for (size_t v = 1; v < s.size(); ++v) s[v] += s[v - 1];
        const int shift = 8 * b;
        for (const auto& item : items) buffer[s[(item.first >> shift) & 0xFF]++] = item;
        items.swap(buffer);
    }
}

}  // namespace

void WordTally::SortOrder() {
    if (orderValid_) return;
    order_.clear();
    order_.reserve(static_cast<size_t>(count_));
    if (clock_ <= UINT32_MAX && count_ >= 256) {
        // The rank key as one integer: the value descending, then the
        // moment it last changed.
        std::vector<std::pair<uint64_t, uint32_t>>& items = scratch_.items;
        items.clear();
        for (uint32_t id = 0; id < entries_.size(); ++id) {
            const Entry& e = entries_[id];
            if (!e.merged) items.emplace_back(static_cast<uint64_t>(~OrderBits(e.value)) << 32 | e.stamp, id);
        }
        RadixSort(items, scratch_.buffer);
        for (const auto& item : items) order_.push_back(item.second);
        orderValid_ = true;
        return;
    }
    std::vector<RankKey> keys;
    keys.reserve(static_cast<size_t>(count_));
    for (uint32_t id = 0; id < entries_.size(); ++id) {
        const Entry& e = entries_[id];
        if (!e.merged) keys.push_back(RankKey{e.value, e.stamp, id});
    }
    std::sort(keys.begin(), keys.end(), AheadLess{});
    for (const RankKey& k : keys) order_.push_back(k.id);
    orderValid_ = true;
}

void WordTally::RebuildIndex() {
    SortOrder();
    ClearIndex();
    // After a merge a word may stand twice; a search finds the first.
    for (uint32_t id : order_) {
        const uint64_t hash = HashWord(words_[id]);
        if (FindWord(words_[id], hash) == kNoEntry) IndexWord(id, hash);
    }
    indexValid_ = true;
}

const WordTable& WordTally::Table() {
    SortOrder();
    if (!tableValid_) {
        table_.entries.clear();
        table_.entries.reserve(order_.size());
        for (uint32_t id : order_) {
            const Entry& e = entries_[id];
            table_.entries.push_back(WordEntry{words_[id], e.frequency, e.value});
        }
        tableValid_ = true;
    }
    return table_;
}

void WordTally::MergeCaseVariants() {
    // Merging renames and removes entries, and makes room for new words.
    ForgetRules();
    SortOrder();
    const int count0 = count_;
    if (count0 < 2) return;

    auto keyOf = [&](uint32_t id) { return RankKey{entries_[id].value, entries_[id].stamp, id}; };
    MergeGroups groups(entries_.size(), order_.size(), scratch_.next, scratch_.partner, scratch_.groupSlots);
    bool anyPartner = false;
    for (uint32_t id : order_) {
        groups.Join(id, MergeKeyHash(words_[id]));
        anyPartner = anyPartner || groups.MayHavePartner(id);
    }
    // No two words that could merge: the table stays as it is.
    if (!anyPartner) return;

    std::vector<RankKey> sorted;
    sorted.reserve(order_.size());
    std::vector<uint32_t>& position = scratch_.position;
    position.resize(entries_.size());
    for (uint32_t id : order_) {
        position[id] = static_cast<uint32_t>(sorted.size());
        sorted.push_back(keyOf(id));
    }
    MergeRanking ranked(sorted, position);

    bool anyMerge = false;
    // The entries behind position i are never moved during the pass, only
    // removed (a merged entry is always behind its target, and a grown
    // target only moves up to position i or before it). So the entry that
    // reaches position i + 1 is the next one of the starting order that has
    // not been merged away, and the outer loop walks that order instead of
    // looking each position up.
    size_t cursor = 0;
    // Positions below are 1-based table positions, as in the plain loops;
    // both loop bounds are fixed when their loop starts.
    for (int i = 1; i <= count0 - 1; ++i) {
        if (i > ranked.Size()) break;  // the rest of the positions are empty
        while (cursor < sorted.size() && entries_[sorted[cursor].id].merged) ++cursor;
        if (cursor == sorted.size()) break;
        const uint32_t first = sorted[cursor++].id;
        if (!groups.MayHavePartner(first) || !StartsMergePass(words_[first])) continue;
        const int bound = ranked.Size();
        int j = i + 1;
        bool mergedHere = false;
        // The table only shrinks during the pass, so every entry found is
        // within the bound.
        while (j <= bound && j <= ranked.Size()) {
            // The word now at position i: after a merge that moved the grown
            // entry up, it is the one pushed down into position i, and the
            // pass goes on with it.
            const uint32_t targetId = mergedHere ? ranked.At(i - 1).id : first;
            if (!groups.MayHavePartner(targetId)) break;
            const std::string& targetWord = words_[targetId];
            // The group member at the smallest position >= j.
            uint32_t sourceId = MergeGroups::kNone;
            int p = 0;
            for (uint32_t k = groups.Head(MergeKeyHash(targetWord)); k != MergeGroups::kNone; k = groups.Next(k)) {
                if (k == targetId || !SameMergeKey(words_[k], targetWord)) continue;
                const int pos = ranked.Rank(keyOf(k)) + 1;
                if (pos >= j && (sourceId == MergeGroups::kNone || pos < p)) {
                    sourceId = k;
                    p = pos;
                }
            }
            if (sourceId == MergeGroups::kNone) break;

            anyMerge = true;
            mergedHere = true;
            Entry& t = entries_[targetId];
            Entry& s = entries_[sourceId];
            const float merged = t.value + s.value;
            t.frequency = AddFrequencies(t.frequency, s.frequency);
            ranked.Tree().Erase(keyOf(sourceId));
            groups.Leave(sourceId, MergeKeyHash(words_[sourceId]));
            s.merged = true;
            --count_;

            // The surviving word is lower-cased; lower-casing a word with
            // capitals after its first letter moves it to another group.
            groups.Leave(targetId, MergeKeyHash(words_[targetId]));
            if (merged != t.value) {
                ranked.Tree().Erase(keyOf(targetId));
                t.value = merged;
                t.stamp = ++clock_;
                ranked.Tree().Insert(keyOf(targetId));
            }
            words_[targetId] = LowerCaseAccented(words_[targetId]);
            groups.Join(targetId, MergeKeyHash(words_[targetId]));
            j = p + 1;
        }
    }

    if (!ranked.Changed()) return;  // no merge: the order stands
    std::vector<RankKey> keys;
    keys.reserve(static_cast<size_t>(ranked.Size()));
    ranked.Tree().InOrder(keys);
    order_.clear();
    for (const RankKey& k : keys) order_.push_back(k.id);
    orderValid_ = true;
    if (anyMerge) {
        indexValid_ = false;  // words were lower-cased and removed
        tableValid_ = false;
    }
}

float WordTally::NormaliseKeyValues() {
    SortOrder();
    float maxValue = 0.0f;
    for (uint32_t id : order_)
        if (entries_[id].value > maxValue) maxValue = entries_[id].value;
    maxKeyValue_ = maxValue;
    if (maxValue <= 0.0f) return maxValue;
    // Rescaling can make values equal but never reverses them: stamps that
    // follow the present order keep it for the new ties.
    uint64_t stamp = 0;
    for (uint32_t id : order_) {
        Entry& e = entries_[id];
        e.stamp = ++stamp;
        const float scaled = e.value * 100.0f;
        e.value = scaled / maxValue;
    }
    if (clock_ < stamp) clock_ = stamp;
    tableValid_ = false;
    return maxValue;
}

}  // namespace zelk
