// Ranking and the finishing steps of the word table.
//
// Rank order is (KeyValue descending, moment the value last changed
// ascending). The merge pass gives what the plain procedure gives (outer
// loop over table positions, inner loop over the later positions, each merge
// followed by closing the gap and bubbling the grown entry up), but the
// inner loop jumps straight to the next entry that can merge instead of
// visiting every position, and positions are counted rather than kept.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <memory_resource>
#include <set>
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

// Two words can merge when they are equal ignoring case and their parts
// after the first character are equal exactly: the same first letter up to
// case and the same rest ("Apple" and "apple", not "APPLE" and "apple").
bool SameMergeKey(std::string_view a, std::string_view b) {
    return a.size() == b.size() && !a.empty() && LowerChar(a[0]) == LowerChar(b[0]) &&
           a.substr(1) == b.substr(1);
}

}  // namespace

// A hash of the merge key (the word with its first letter folded), eight
// bytes at a time.
uint64_t WordTally::MergeKeyHash(std::string_view w) {
    constexpr uint64_t kMul = 0xBF58476D1CE4E5B9ull;
    uint64_t h = 0x9E3779B97F4A7C15ull * (w.size() + 1);
    if (w.empty()) return h;
    h = (h ^ static_cast<unsigned char>(LowerChar(w[0]))) * kMul;
    size_t i = 1;
    for (; i + 8 <= w.size(); i += 8) {
        uint64_t v;
        std::memcpy(&v, w.data() + i, 8);
        h = (h ^ v) * kMul;
        h ^= h >> 31;
    }
    uint64_t tail = 0;
    for (; i < w.size(); ++i) tail = tail << 8 | static_cast<unsigned char>(w[i]);
    h = (h ^ tail) * kMul;
    h ^= h >> 29;
    h *= 0x94D049BB133111EBull;
    return h ^ (h >> 32);
}

namespace {

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

// Live entries among those of the starting order behind a position: a
// Fenwick tree over the starting order, built at the first removal.
class LiveCount {
public:
    explicit LiveCount(size_t n) : n_(n) {}
    void Remove(size_t index) {
        if (tree_.empty()) {
            tree_.resize(n_ + 1);
            for (size_t k = 1; k <= n_; ++k) tree_[k] = static_cast<uint32_t>(k & (~k + 1));
        }
        for (size_t k = index + 1; k <= n_; k += k & (~k + 1)) --tree_[k];
    }
    // Live entries at indices [from, to).
    size_t Between(size_t from, size_t to) const { return Before(to) - Before(from); }

private:
    size_t Before(size_t index) const {
        if (tree_.empty()) return index;
        size_t sum = 0;
        for (size_t k = index; k > 0; k -= k & (~k + 1)) sum += tree_[k];
        return sum;
    }
    size_t n_;
    std::vector<uint32_t> tree_;
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

std::size_t WordTally::RankedCount() {
    SortOrder();
    return order_.size();
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
        groups.Join(id, mergeKeys_[id]);
        anyPartner = anyPartner || groups.MayHavePartner(id);
    }
    // No two words that could merge: the table stays as it is.
    if (!anyPartner) return;

    // The starting order, and each entry's index in it.
    std::vector<uint32_t>& sorted = scratch_.sorted;
    sorted.assign(order_.begin(), order_.end());
    std::vector<uint32_t>& index = scratch_.position;
    index.resize(entries_.size());
    for (size_t k = 0; k < sorted.size(); ++k) index[sorted[k]] = static_cast<uint32_t>(k);

    bool anyMerge = false;
    // The entries behind position i are never moved during the pass, only
    // removed (a merged entry is always behind its target, and a grown
    // target only moves up to position i or before it). So the entry that
    // reaches position i + 1 is the next one of the starting order that has
    // not been merged away, and the outer loop walks that order instead of
    // looking each position up. Positions 1 to i hold the entries of the
    // starting order before the cursor that are still in the table: those
    // whose value never changed, in their starting order (a stack, since
    // only the last of them can be the one at position i and grow), and
    // the grown ones, kept by their rank keys.
    size_t cursor = 0;
    LiveCount behind(sorted.size());
    std::vector<uint32_t>& unmoved = scratch_.unmoved;
    unmoved.clear();
    // The grown entries come and go merge by merge: their nodes come from
    // one buffer, given back whole at the end.
    std::array<std::byte, 16384> firstNodes;
    std::pmr::monotonic_buffer_resource nodes(firstNodes.data(), firstNodes.size());
    std::pmr::set<RankKey, AheadLess> moved(&nodes);
    // The entry at position i: the last of positions 1 to i.
    auto atPositionI = [&]() {
        if (moved.empty()) return unmoved.back();
        const RankKey& lastMoved = *moved.rbegin();
        if (unmoved.empty() || Ahead(keyOf(unmoved.back()), lastMoved)) return lastMoved.id;
        return unmoved.back();
    };
    // Positions below are 1-based table positions, as in the plain loops;
    // both loop bounds are fixed when their loop starts.
    for (int i = 1; i <= count0 - 1; ++i) {
        if (i > count_) break;  // the rest of the positions are empty
        while (cursor < sorted.size() && entries_[sorted[cursor]].merged) ++cursor;
        if (cursor == sorted.size()) break;
        const uint32_t first = sorted[cursor++];
        unmoved.push_back(first);
        if (!groups.MayHavePartner(first) || !StartsMergePass(words_[first])) continue;
        const int bound = count_;
        int j = i + 1;
        bool mergedHere = false;
        // The table only shrinks during the pass, so every entry found is
        // within the bound.
        while (j <= bound && j <= count_) {
            // The word now at position i: after a merge that moved the grown
            // entry up, it is the one pushed down into position i, and the
            // pass goes on with it.
            const uint32_t targetId = mergedHere ? atPositionI() : first;
            if (!groups.MayHavePartner(targetId)) break;
            const std::string& targetWord = words_[targetId];
            // The group member at the smallest position >= j.
            uint32_t sourceId = MergeGroups::kNone;
            int p = 0;
            for (uint32_t k = groups.Head(mergeKeys_[targetId]); k != MergeGroups::kNone; k = groups.Next(k)) {
                if (k == targetId || !SameMergeKey(words_[k], targetWord)) continue;
                // Entries before the cursor stand at positions up to i.
                if (index[k] < cursor) continue;
                const int pos = i + 1 + static_cast<int>(behind.Between(cursor, index[k]));
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
            behind.Remove(index[sourceId]);
            groups.Leave(sourceId, mergeKeys_[sourceId]);
            s.merged = true;
            --count_;

            // The surviving word is lower-cased; lower-casing a word with
            // capitals after its first letter moves it to another group.
            groups.Leave(targetId, mergeKeys_[targetId]);
            if (merged != t.value) {
                // The target is the last of positions 1 to i.
                if (!unmoved.empty() && unmoved.back() == targetId)
                    unmoved.pop_back();
                else
                    moved.erase(keyOf(targetId));
                t.value = merged;
                t.stamp = ++clock_;
                moved.insert(keyOf(targetId));
            }
            words_[targetId] = LowerCaseAccented(words_[targetId]);
            mergeKeys_[targetId] = MergeKeyHash(words_[targetId]);
            groups.Join(targetId, mergeKeys_[targetId]);
            j = p + 1;
        }
    }

    if (!anyMerge) return;  // the order stands
    // Positions 1 to i (the two kinds merged by rank), then the rest.
    order_.clear();
    auto m = moved.begin();
    for (uint32_t id : unmoved) {
        for (; m != moved.end() && Ahead(*m, keyOf(id)); ++m) order_.push_back(m->id);
        order_.push_back(id);
    }
    for (; m != moved.end(); ++m) order_.push_back(m->id);
    for (size_t k = cursor; k < sorted.size(); ++k)
        if (!entries_[sorted[k]].merged) order_.push_back(sorted[k]);
    orderValid_ = true;
    indexValid_ = false;  // words were lower-cased and removed
    tableValid_ = false;
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
