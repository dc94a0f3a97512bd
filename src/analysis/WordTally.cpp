#include "analysis/WordTally.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "analysis/CommonWords.h"
#include "common/StrProc.h"

namespace zelk {

namespace {

constexpr size_t kMinWordLength = WordTally::kShortestWord;
constexpr size_t kMaxWordLength = WordTally::kLongestWord;
// "ivxlcm", the small letters of Roman numerals.
constexpr std::array<bool, 256> MakeRomanTable() {
    std::array<bool, 256> t{};
    for (unsigned char c : std::string_view("ivxlcm")) t[c] = true;
    return t;
}
constexpr auto kRomanLetters = MakeRomanTable();
// Each stem is followed by one blank, so that "stem + blank" is searched for.
constexpr std::string_view kContractionStems =
    "aren couldn didn doesn hadn hasn isn shouldn wasn weren wouldn ";
constexpr size_t kLongestStem = 7;  // "shouldn"

// "Yy", the plain vowels in both cases and the accented vowels of
// Windows-1252 (not Ç, Ð, Ñ, Ý, Þ, ß, ý, ÿ).
constexpr std::array<bool, 256> MakeVowelTable() {
    std::array<bool, 256> t{};
    for (unsigned char c : std::string_view("YyAEIOUaeiou")) t[c] = true;
    for (int c = 0xC0; c <= 0xDC; ++c)  // À..Ü
        if (c != 0xC7 && c != 0xD0 && c != 0xD1 && c != 0xD7) t[static_cast<size_t>(c)] = true;
    for (int c = 0xE0; c <= 0xFC; ++c)  // à..ü
        if (c != 0xE7 && c != 0xF0 && c != 0xF1 && c != 0xF7) t[static_cast<size_t>(c)] = true;
    return t;
}
constexpr auto kVowels = MakeVowelTable();

// The word rules of one scanned word, in their fixed order. Writes the word
// to count into out (room for 33 bytes) and answers its length, or 0 when
// the word is dropped; unchanged tells whether it is the word as scanned.
// isCommon(word, its small letters).
template <typename IsCommon>
std::size_t ApplyWordRules(std::string_view w, int language, const IsCommon& isCommon, char* out, bool& unchanged) {
    if (w.size() < kMinWordLength || w.size() > kMaxWordLength) return 0;
    char lowerBuf[kMaxWordLength];
    bool blank = false;  // never in a scanned word
    for (size_t i = 0; i < w.size(); ++i) {
        lowerBuf[i] = LowerChar(w[i]);
        blank |= w[i] == ' ';
    }
    const std::string_view lower(lowerBuf, w.size());
    // One character repeated ("aaa").
    if (lower.find_first_not_of(lower[0]) == std::string_view::npos) return 0;
    // Roman numerals, and the words spelt with their letters only ("mix").
    if (std::all_of(lower.begin(), lower.end(), [](char c) { return kRomanLetters[static_cast<unsigned char>(c)]; }))
        return 0;
    if (std::none_of(w.begin(), w.end(), [](char c) { return kVowels[static_cast<unsigned char>(c)]; }))
        return 0;
    // The stems of English contractions ("didn", "wouldn"): the word and a
    // blank anywhere in the list, so fragments such as "ren" go too.
    // A word without blanks is followed by one in that list exactly when it
    // ends one of the stems.
    if (language == 0 && blank) {
        std::string probe(lower);
        probe += ' ';
        if (kContractionStems.find(probe) != std::string_view::npos) return 0;
    } else if (language == 0 && lower.size() <= kLongestStem && lower.back() == 'n') {
        for (size_t start = 0, end; (end = kContractionStems.find(' ', start)) != std::string_view::npos;
             start = end + 1)
            if (kContractionStems.substr(start, end - start).ends_with(lower)) return 0;
    }

    size_t n;
    if (w.front() == ' ' || w.back() == ' ') {
        // Blanks around (never in a scanned word): the singular form trims them.
        const std::string t = Singular(w);
        n = t.size();
        std::memcpy(out, t.data(), n);
        unchanged = false;
    } else {
        // Every change the singular form makes changes the length.
        n = SingularInto(w, lower, out);
        unchanged = n == w.size();
    }
    const std::string_view counted(out, n);
    char outLower[kMaxWordLength];
    std::string_view lo = lower;
    if (!unchanged) {  // the singular form has its own small letters
        for (size_t i = 0; i < n; ++i) outLower[i] = LowerChar(out[i]);
        lo = std::string_view(outLower, n);
    }
    if (lo.size() >= 5 && lo.ends_with("ing")) return 0;
    if (isCommon(counted, lo)) return 0;
    if (lo.size() >= 5 && (lo.ends_with("ly") || lo.ends_with("ed")) && lo != "alfred" && lo != "limited" &&
        lo != "screed" && lo != "tweed" && lo != "filly" && lo != "folly" && !lo.ends_with("poly"))
        return 0;
    return n >= kMinWordLength ? n : 0;
}

}  // namespace

WordTally::WordTally() = default;
WordTally::~WordTally() = default;

namespace {
// The high half of a hash is kept beside the entry id, so that a probe
// rarely has to compare words, and the slot comes from its low bits, so
// that growing the index needs no hashing again.
inline uint64_t Tag(uint64_t hash) { return (hash >> 32) << 32; }
inline size_t HomeSlot(uint64_t tagged, size_t mask) { return static_cast<size_t>(tagged >> 32) & mask; }
}  // namespace

// The counted words are as short as the scanned ones: the same hash serves.
uint64_t WordTally::HashWord(std::string_view w) { return MemoHash(w); }

uint32_t WordTally::FindWord(std::string_view w, uint64_t hash) const {
    if (index_.empty()) return kNoEntry;
    const size_t mask = index_.size() - 1;
    const uint64_t tag = Tag(hash);
    for (size_t slot = HomeSlot(hash, mask);; slot = (slot + 1) & mask) {
        const uint64_t v = index_[slot];
        if (v == 0) return kNoEntry;
        if ((v & 0xFFFFFFFF00000000ull) == tag) {
            const auto id = static_cast<uint32_t>(v) - 1;
            if (words_[id] == w) return id;
        }
    }
}

void WordTally::IndexWord(uint32_t id, uint64_t hash) {
    if ((indexed_ + 1) * 2 > index_.size()) {  // keep at most half the slots in use
        std::vector<uint64_t> old = std::move(index_);
        index_.assign(old.empty() ? 1024 : old.size() * 2, 0);
        indexed_ = 0;
        const size_t mask = index_.size() - 1;
        for (uint64_t v : old) {
            if (v == 0) continue;
            size_t slot = HomeSlot(v, mask);
            while (index_[slot] != 0) slot = (slot + 1) & mask;
            index_[slot] = v;
            ++indexed_;
        }
    }
    const size_t mask = index_.size() - 1;
    size_t slot = HomeSlot(hash, mask);
    while (index_[slot] != 0) slot = (slot + 1) & mask;
    index_[slot] = Tag(hash) | (static_cast<uint64_t>(id) + 1);
    ++indexed_;
}

void WordTally::ClearIndex() {
    index_.clear();
    indexed_ = 0;
}

namespace {
// Slots for an open-addressing table that is to hold n items at most half
// full: a power of two, at least least.
size_t SlotsFor(size_t n, size_t least) {
    size_t slots = least;
    while (slots < 2 * (n + 1)) slots *= 2;
    return slots;
}

// Empties a table into the given number of slots, keeping its memory
// unless it is much larger than that.
template <typename Slot>
void ClearSlots(std::vector<Slot>& table, size_t slots) {
    if (table.capacity() > 4 * slots) std::vector<Slot>().swap(table);
    table.assign(slots, Slot{});
}
}  // namespace

void WordTally::Reset() {
    // The next document is taken to be like this one: the word index starts
    // with room for as many words, so that it seldom grows while counting.
    const size_t words = entries_.size();
    entries_.clear();
    mergeKeys_.clear();
    // The words' buffers stay for the next document's words.
    constexpr size_t kKeptWords = size_t{1} << 16;
    if (words_.size() > kKeptWords) std::vector<std::string>().swap(words_);
    // So does the working space of the ranking, unless a large table made
    // it large.
    if (words > kKeptWords / 4) scratch_ = Scratch{};
    count_ = 0;
    ClearSlots(index_, SlotsFor(words, 1024));
    indexed_ = 0;
    indexValid_ = true;
    order_.clear();
    orderValid_ = true;
    clock_ = 0;
    maxKeyValue_ = 0.0f;
    // The memo names entries of this table: it goes.
    ForgetRules();
    memoLanguage_ = -1;
    memoSource_ = nullptr;
    table_.entries.clear();
    tableValid_ = true;
}

int16_t WordTally::WordCount() const { return static_cast<int16_t>(count_); }

// A hash of a short word, read eight bytes at a time, every bit of it mixed:
// the memo works with its low half, the word index with its high half.
[[gnu::always_inline]] inline uint64_t WordTally::MemoHash(std::string_view w) {
    auto load8 = [](const char* p) {
        uint64_t v;
        std::memcpy(&v, p, 8);
        return v;
    };
    auto load4 = [](const char* p) {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return static_cast<uint64_t>(v);
    };
    auto mix = [](uint64_t h, uint64_t v) {
        h = (h ^ v) * 0xBF58476D1CE4E5B9ull;
        return h ^ (h >> 31);
    };
    const char* p = w.data();
    const size_t n = w.size();
    uint64_t h = 0x9E3779B97F4A7C15ull * (n + 1);
    if (n >= 8) {
        size_t i = 0;
        for (; i + 8 < n; i += 8) h = mix(h, load8(p + i));
        h = mix(h, load8(p + n - 8));  // the last eight bytes, overlapping
    } else if (n >= 4) {
        h = mix(h, load4(p) | (load4(p + n - 4) << 32));
    } else {
        uint64_t v = 0;
        for (size_t i = 0; i < n; ++i) v = v << 8 | static_cast<unsigned char>(p[i]);
        h = mix(h, v);
    }
    h *= 0x94D049BB133111EBull;
    return h ^ (h >> 29);
}

namespace {
// Equality of two short byte strings of the same length, compared eight
// (or four) bytes at a time with overlapping loads at the end.
inline bool SameBytes(const char* a, const char* b, size_t n) {
    auto load8 = [](const char* p) {
        uint64_t v;
        std::memcpy(&v, p, 8);
        return v;
    };
    auto load4 = [](const char* p) {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    };
    if (n >= 8) {
        for (size_t i = 0; i + 8 < n; i += 8)
            if (load8(a + i) != load8(b + i)) return false;
        return load8(a + n - 8) == load8(b + n - 8);
    }
    if (n >= 4) return load4(a) == load4(b) && load4(a + n - 4) == load4(b + n - 4);
    for (size_t i = 0; i < n; ++i)
        if (a[i] != b[i]) return false;
    return true;
}
}  // namespace

[[gnu::always_inline]] inline const WordTally::MemoSlot* WordTally::FindMemo(std::string_view w,
                                                                                   uint64_t hash) const {
    if (memo_.empty()) return nullptr;
    const size_t mask = memo_.size() - 1;
    const auto tag = static_cast<uint32_t>(hash);
    for (size_t i = static_cast<size_t>(hash) & mask;; i = (i + 1) & mask) {
        const MemoSlot& slot = memo_[i];
        if (slot.length == 0) return nullptr;
        if (slot.tag == tag && slot.length == w.size() && SameBytes(memoBytes_.data() + slot.offset, w.data(), w.size()))
            return &slot;
    }
}

void WordTally::Remember(std::string_view w, uint64_t hash, int32_t result) {
    // A document of millions of distinct words would make the memo as large
    // as the document; past this many words new ones are simply not kept.
    constexpr size_t kMemoLimit = size_t{1} << 20;
    if (memoUsed_ >= kMemoLimit) return;
    if ((memoUsed_ + 1) * 2 > memo_.size()) {
        std::vector<MemoSlot> old = std::move(memo_);
        memo_.assign(old.empty() ? 256 : old.size() * 2, MemoSlot{});
        const size_t mask = memo_.size() - 1;
        for (const MemoSlot& slot : old) {
            if (slot.length == 0) continue;
            // The tag is the low half of the hash: it holds the slot bits.
            size_t i = slot.tag & mask;
            while (memo_[i].length != 0) i = (i + 1) & mask;
            memo_[i] = slot;
        }
    }
    const size_t mask = memo_.size() - 1;
    size_t i = static_cast<size_t>(hash) & mask;
    while (memo_[i].length != 0) i = (i + 1) & mask;
    memo_[i] = MemoSlot{static_cast<uint32_t>(hash), static_cast<uint32_t>(memoBytes_.size()), result,
                        static_cast<uint32_t>(w.size())};
    memoBytes_.append(w);
    ++memoUsed_;
}

void WordTally::ForgetRules() {
    // Sized for as many words as it last held, so that the memo of the next
    // document seldom has to grow.
    if (memoUsed_ > 0) memoSizeHint_ = memoUsed_;
    const size_t slots = SlotsFor(memoSizeHint_, 256);
    if (memoUsed_ > 0 || memo_.size() != slots) ClearSlots(memo_, slots);
    memoUsed_ = 0;
    memoBytes_.clear();
}

template <typename IsCommon, typename Weight>
WordTally::Outcome WordTally::CountRemembered(std::string_view word, int language, const void* source,
                                              uint64_t sourceChanges, const IsCommon& isCommon,
                                              const Weight& weight) {
    if (word.size() < kMinWordLength || word.size() > kMaxWordLength) return Outcome::Dropped;
    if (language != memoLanguage_ || source != memoSource_ || sourceChanges != memoSourceChanges_) {
        ForgetRules();
        memoLanguage_ = language;
        memoSource_ = source;
        memoSourceChanges_ = sourceChanges;
    }
    const uint64_t hash = MemoHash(word);
    if (const MemoSlot* slot = FindMemo(word, hash)) {
        if (slot->result == kRulesDrop) return Outcome::Dropped;
        return CountEntry(static_cast<uint32_t>(slot->result), weight);
    }
    char out[kMaxWordLength + 3];
    bool unchanged = false;
    const size_t n = ApplyWordRules(word, language, isCommon, out, unchanged);
    if (n == 0) {
        Remember(word, hash, kRulesDrop);
        return Outcome::Dropped;
    }
    const std::string_view w(out, n);
    uint32_t id = kNoEntry;
    // Most words count as they were scanned: their hash is the same.
    const Outcome outcome = Count(w, unchanged ? hash : HashWord(w), weight, id);
    // A word left out because the table is full stays out until merging
    // makes room, and merging forgets the memo.
    Remember(word, hash, id == kNoEntry ? kRulesDrop : static_cast<int32_t>(id));
    return outcome;
}

WordTally::Outcome WordTally::CountWord(std::string_view word, int language, const IsCommonFn& isCommon,
                                        const WeightFn& weight) {
    if (!isCommon) {
        auto none = [](std::string_view, std::string_view) { return false; };
        return CountRemembered(word, language, nullptr, 0, none, weight);
    }
    // An arbitrary predicate may answer differently from one call to the
    // next: no memo.
    char out[kMaxWordLength + 3];
    bool unchanged = false;
    const size_t n = ApplyWordRules(
        word, language, [&](std::string_view counted, std::string_view) { return isCommon(counted); }, out,
        unchanged);
    if (n == 0) return Outcome::Dropped;
    const std::string_view w(out, n);
    uint32_t id = kNoEntry;
    return Count(w, HashWord(w), weight, id);
}

WordTally::Outcome WordTally::CountWord(std::string_view word, int language, const CommonWords* common,
                                        float weight) {
    auto isCommon = [&](std::string_view, std::string_view lower) {
        return common && common->IsCommonLowered(lower, language);
    };
    return CountRemembered(word, language, common, common ? common->Changes() : 0, isCommon,
                           [weight] { return weight; });
}

template <typename Weight>
[[gnu::always_inline]] inline WordTally::Outcome WordTally::CountEntry(uint32_t id, const Weight& weight) {
    Entry& e = entries_[id];
    if (e.frequency == kMaxCount) return Outcome::Dropped;
    ++e.frequency;
    const float v = e.value + weight();
    // An entry moves up only when its value really grew: a weight of 0,
    // or one too small to change a large float, leaves it where it is.
    if (v != e.value) {
        e.value = v;
        e.stamp = ++clock_;
        orderValid_ = false;
    }
    tableValid_ = false;
    return Outcome::Counted;
}

template <typename Weight>
WordTally::Outcome WordTally::Count(std::string_view w, uint64_t hash, const Weight& weight, uint32_t& id) {
    if (!indexValid_) RebuildIndex();
    id = FindWord(w, hash);
    if (id != kNoEntry) return CountEntry(id, weight);
    if (count_ >= kMaxCount) return Outcome::Dropped;
    const float v = weight();
    id = static_cast<uint32_t>(entries_.size());
    entries_.push_back(Entry{1, false, v, ++clock_});
    mergeKeys_.push_back(MergeKeyHash(w));
    if (id < words_.size())
        words_[id].assign(w);
    else
        words_.emplace_back(w);
    IndexWord(id, hash);
    ++count_;
    orderValid_ = false;
    tableValid_ = false;
    return Outcome::NewWord;
}

}  // namespace zelk
