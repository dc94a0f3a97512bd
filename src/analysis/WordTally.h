// The word tally of one document: the word rules that decide whether a
// scanned word counts, the ranked word table, and the finishing steps after
// a complete scan (merging case variants, rescaling the key values).
//
// The table behaves exactly as if it were kept the simple way (a linear
// search for every word, and the counted entry bubbled up past every entry
// with a smaller value after each count), but a word is found through a hash
// index and the ranking is kept implicitly: an entry ranks by (KeyValue
// descending, moment its value last changed ascending). That is the same
// order, since the bubbling step moves an entry only when its value grew and
// then puts it behind every entry of equal or greater value.
//
// How the analysis uses it:
//   tally.Reset();                                     // start of a document
//   for each scanned word:
//       switch (tally.CountWord(word, language, &commonWords, ContextWeight())) {
//       case WordTally::Outcome::NewWord: caption "Number of words found: " + count,
//                                         empty "Now processing ..." from the output box
//       default: break;
//       }
//   after a scan that was not stopped:
//       tally.MergeCaseVariants();
//       float maxKeyValue = tally.NormaliseKeyValues();
//   tally.Table()                                       // ranked, entries[0] is rank 1
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "analysis/WordTable.h"

namespace zelk {

class CommonWords;

// The singular form of a word; endings are recognised whatever their case
// ("cities" -> "city", "CITIES" -> "CITY", "Mice" -> "MOUSE").
std::string Singular(std::string_view word);
// The same for a word without blanks of up to 30 bytes, given with its
// small letters (LowerChar of each byte), written into out (room for 33
// bytes): its length.
std::size_t SingularInto(std::string_view word, std::string_view lower, char* out);

class WordTally {
public:
    // Both counters are 16-bit: a word counted this often ignores further
    // occurrences, and no new word enters a table holding this many.
    static constexpr int16_t kMaxCount = 32767;
    // Scanned words of fewer or more bytes are dropped before any rule.
    static constexpr std::size_t kShortestWord = 3;
    static constexpr std::size_t kLongestWord = 30;

    enum class Outcome {
        Dropped,  // failed a word rule (or hit a 16-bit limit): nothing changed
        Counted,  // an existing entry was counted again
        NewWord,  // a new entry was added: WordCount() grew by one
    };

    // True when the (singular) word is a common word of the language.
    using IsCommonFn = std::function<bool(std::string_view word)>;
    // The weight of the current occurrence; called only when the word is
    // actually counted. Must return a finite value >= 0.
    using WeightFn = std::function<float()>;

    WordTally();
    ~WordTally();
    WordTally(const WordTally&) = delete;
    WordTally& operator=(const WordTally&) = delete;

    // Start of a document: an empty table.
    void Reset();

    // One word handed over by the scanner. language is 0..6 (0 = English,
    // which alone drops the contraction stems). isCommon may be empty (no
    // common words).
    Outcome CountWord(std::string_view word, int language, const IsCommonFn& isCommon,
                      const WeightFn& weight);
    // The same with the loaded common-word lists (null means no common
    // words) and the weight as a value: what the scanner hands over for
    // every word, with no call through a function object.
    Outcome CountWord(std::string_view word, int language, const CommonWords* common, float weight);

    int16_t WordCount() const;

    // After a complete scan, in this order. MergeCaseVariants folds words
    // that differ only in the case of their first letter into one entry in
    // small letters; NormaliseKeyValues rescales the values so the best word
    // has 100 and returns the largest value before rescaling (MaxKeyValue).
    // Counting may go on afterwards, as on a table kept the simple way.
    void MergeCaseVariants();
    float NormaliseKeyValues();
    float MaxKeyValue() const { return maxKeyValue_; }

    // The ranked table; entries[0] is rank 1. Valid until the next change.
    const WordTable& Table();
    // The number of entries, and the word at a rank (0 first) until the
    // next change, without copying the table.
    std::size_t RankedCount();
    const std::string& RankedWord(std::size_t rank) const { return words_[order_[rank]]; }

private:
    // What counting touches, kept small and apart from the words, so that
    // the entries of a large table stay in the cache.
    struct Entry {
        int16_t frequency = 0;
        bool merged = false;  // merged into another entry: no longer in the table
        float value = 0.0f;
        uint64_t stamp = 0;   // moment the value last changed
    };
    // w's hash is HashWord(w). weight: a function object giving the weight,
    // called only when the word is counted.
    template <typename Weight>
    Outcome Count(std::string_view w, uint64_t hash, const Weight& weight, uint32_t& id);
    template <typename Weight>
    Outcome CountEntry(uint32_t id, const Weight& weight);
    // The word rules depend only on the scanned word, the language and the
    // common-word lists, and a document repeats its words many times: the
    // outcome of the rules is remembered per scanned word (dropped, or the
    // entry it counts for), so a repeated word costs one probe. Remembered
    // entry ids stay right until merging renames and removes entries.
    template <typename IsCommon, typename Weight>
    Outcome CountRemembered(std::string_view word, int language, const void* source, uint64_t sourceChanges,
                            const IsCommon& isCommon, const Weight& weight);
    struct MemoSlot {
        uint32_t tag = 0;
        uint32_t offset = 0;  // into memoBytes_
        int32_t result = 0;   // entry id, or kRulesDrop
        uint32_t length = 0;  // 0 = free (remembered words have at least 3 bytes)
    };
    static constexpr int32_t kRulesDrop = -1;
    static uint64_t MemoHash(std::string_view w);
    const MemoSlot* FindMemo(std::string_view w, uint64_t hash) const;
    void Remember(std::string_view w, uint64_t hash, int32_t result);
    void ForgetRules();
    void SortOrder();       // order_ from the entries' rank keys
    void RebuildIndex();    // index_ from order_ (after merging)
    // The word index: open addressing over entry ids, so that finding a
    // word costs one probe of a flat array and one look at its entry.
    static uint64_t HashWord(std::string_view w);
    static constexpr uint32_t kNoEntry = UINT32_MAX;
    uint32_t FindWord(std::string_view w, uint64_t hash) const;
    void IndexWord(uint32_t id, uint64_t hash);
    void ClearIndex();

    std::vector<Entry> entries_;  // by id, in order of arrival; ids never change
    // The hash of each entry's merge key (MergeKeyHash of its word), taken
    // while the word is at hand, so that merging need not read the words.
    std::vector<uint64_t> mergeKeys_;
    static uint64_t MergeKeyHash(std::string_view w);
    // The word of each entry, by id; strings past entries_.size() are left
    // from earlier documents, for their buffers.
    std::vector<std::string> words_;
    int count_ = 0;               // entries still in the table
    std::vector<uint64_t> index_;  // per slot: hash tag << 32 | (id + 1); 0 = free
    size_t indexed_ = 0;
    bool indexValid_ = true;
    std::vector<uint32_t> order_;  // ids in rank order
    bool orderValid_ = true;
    uint64_t clock_ = 0;
    float maxKeyValue_ = 0.0f;
    std::vector<MemoSlot> memo_;  // open addressing, at most half full
    size_t memoUsed_ = 0;
    std::string memoBytes_;       // the remembered words, one after another
    size_t memoSizeHint_ = 0;     // words the memo held before it was last forgotten
    const void* memoSource_ = nullptr;  // the common words the memo holds for
    uint64_t memoSourceChanges_ = 0;    // and their change count then
    int memoLanguage_ = -1;
    WordTable table_;
    bool tableValid_ = true;
    // Working space of the ranking and the merge pass, kept from document
    // to document.
    struct Scratch {
        std::vector<std::pair<uint64_t, uint32_t>> items, buffer;
        std::vector<uint32_t> next, position, sorted, unmoved;
        std::vector<unsigned char> partner;
        std::vector<uint64_t> groupSlots;
    };
    Scratch scratch_;
};

}  // namespace zelk
