// The fast tally against the reference table (LiteralWordTable.h): the same
// outcomes and the same table after every count, after the merge pass,
// after rescaling and when counting goes on, floats compared bit for bit.
// The fast tally remembers the outcome of the rules per scanned word; the
// reference asks the rules and the common-word lists every time.
#include <gtest/gtest.h>

#include <bit>
#include <random>
#include <string>
#include <vector>

#include "analysis/CommonWords.h"
#include "analysis/LiteralWordTable.h"
#include "analysis/WordTally.h"

namespace zelk {
namespace {

using test::LiteralWordTable;
using V = std::vector<std::string>;

uint32_t Bits(float f) { return std::bit_cast<uint32_t>(f); }

// "word frequency value-bits". Zeros of either sign compare equal and rank
// alike: they are one value here.
std::string Row(const std::string& word, int frequency, float value) {
    return word + " " + std::to_string(frequency) + " " + std::to_string(value == 0.0f ? 0u : Bits(value));
}

struct Both {
    CommonWords common;
    WordTally fast;
    LiteralWordTable literal;

    void Count(const std::string& w, float weight, int language = 0) {
        auto f = [weight] { return weight; };
        auto isCommon = [&](std::string_view s) { return common.IsCommonWord(s, language); };
        ASSERT_EQ(fast.CountWord(w, language, &common, weight), literal.CountWord(w, language, isCommon, f)) << w;
    }
    void Merge() {
        fast.MergeCaseVariants();
        literal.MergeCaseVariants();
    }
    void Rescale() { EXPECT_EQ(Bits(fast.NormaliseKeyValues()), Bits(literal.NormaliseKeyValues())); }
    V Fast() {
        V rows{std::to_string(fast.WordCount())};
        for (const WordEntry& e : fast.Table().entries) rows.push_back(Row(e.Word, e.Frequency, e.KeyValue));
        return rows;
    }
    V Literal() const {
        V rows{std::to_string(literal.WordCount)};
        for (size_t i = 1; i <= static_cast<size_t>(literal.WordCount); ++i)
            rows.push_back(Row(literal.Word[i], literal.Frequency[i], literal.KeyValue[i]));
        return rows;
    }
};

// Spellings of a few words (small, capitalised, all capitals, mixtures,
// plurals), some of them dropped by a rule or listed as common words.
V MakePool(std::mt19937& rng, int bases) {
    // The word rules: length, one repeated letter, Roman-numeral letters,
    // vowels (accented ones too), English contraction stems, -ing, -ly and
    // -ed with their exceptions.
    static const V stems = {
        "apple", "pear", "kiwi", "plum", "melon", "grape", "fig", "\xE9" "clair", "olive", "date", "peach", "bean",
        "thing", "quickly", "mice", "avec", "page", "ab", "aaa", "mimic", "xiv", "html", "rhythm", "cr\xE8me",
        "\xE7\xF1t", "didn", "wouldn", "aren", "wanted", "limited", "alfred", "monopoly", "screed", "tweed",
        "filly", "folly", "bed", "abs", "sing", std::string(29, 'b') + "a", std::string(30, 'b') + "a"};
    auto upper = [](char c) { return c == '\xE9' ? '\xC9' : static_cast<char>(c - 32); };
    V pool;
    for (int b = 0; b < bases; ++b) {
        const std::string& stem = stems[rng() % stems.size()];
        for (int s = 0, spellings = 1 + static_cast<int>(rng() % 5); s < spellings; ++s) {
            std::string w = stem;
            const unsigned kind = rng() % 4;
            for (size_t i = 0; i < w.size(); ++i)
                if ((kind == 1 && i == 0) || kind == 2 || (kind == 3 && rng() % 2)) w[i] = upper(w[i]);
            if (rng() % 6 == 0) w += "s";
            pool.push_back(w);
        }
    }
    return pool;
}

// Some weights sum to values that rescaling makes equal (1e6 and the two
// floats below it): the entry ahead must stay ahead when counting goes on.
float RandomWeight(std::mt19937& rng) {
    static const float weights[] = {0.0f, 0.0f, 0.0f, 1.0f, 2.0f, 3.0f, 3.0f, 5.0f, 9.0f, 90.0f, 0.1f, 0.3f, 0.7f,
                                    1e-7f, 16777216.0f, 1e8f, 1e6f, 999999.875f, 999999.8125f};
    return weights[rng() % (sizeof weights / sizeof weights[0])];
}

TEST(TallyAgainstReferenceTable, EveryCountThenMergeRescaleAndCountingOn) {
    std::mt19937 rng(20261206);
    int merges = 0;
    for (int round = 0; round < 600; ++round) {
        const V pool = MakePool(rng, 2 + static_cast<int>(rng() % 6));
        const bool integerWeights = rng() % 2;  // the analysis only produces whole numbers
        Both t;
        ASSERT_TRUE(t.common.AddCommonWordsFromLine(0, "date fig "));
        ASSERT_TRUE(t.common.AddCommonWordsFromLine(1, "avec page "));
        auto countSome = [&](int n) {
            for (int c = 0; c < n; ++c) {
                // The lists change now and then: remembered answers must go.
                if (rng() % 50 == 0) {
                    ASSERT_TRUE(t.common.AddCommonWordsFromLine(static_cast<int>(rng() % 2), "plum "));
                }
                float weight = RandomWeight(rng);
                if (integerWeights) weight = static_cast<float>(rng() % 4);
                ASSERT_NO_FATAL_FAILURE(t.Count(pool[rng() % pool.size()], weight, static_cast<int>(rng() % 7)));
                ASSERT_EQ(t.Fast(), t.Literal()) << "round " << round << " count " << c;
            }
        };
        ASSERT_NO_FATAL_FAILURE(countSome(1 + static_cast<int>(rng() % 120)));
        const int before = t.literal.WordCount;
        t.Merge();
        merges += before - t.literal.WordCount;
        ASSERT_EQ(t.Fast(), t.Literal()) << "round " << round << " after merging";
        t.Rescale();
        ASSERT_EQ(t.Fast(), t.Literal()) << "round " << round << " after rescaling";
        ASSERT_NO_FATAL_FAILURE(countSome(static_cast<int>(rng() % 30)));
    }
    EXPECT_GT(merges, 200);
}

// Tables of 256 entries and more are ranked with an integer form of the
// rank key: ties, twins and zeros of either sign included.
TEST(TallyAgainstReferenceTable, LargeTablesWithTwinsAndSignedZeros) {
    std::mt19937 rng(77);
    static const float weights[] = {0.0f, -0.0f, 1.0f, 2.0f, 2.0f, 3.0f, 0.5f, 1e-7f, 1e6f, 16777216.0f};
    auto word = [](int n) {
        std::string w = "qa";
        for (int i = 0; i < 3; ++i, n /= 20) w += static_cast<char>('b' + n % 20);
        return w;
    };
    Both t;
    for (int k = 0; k < 300; ++k) ASSERT_NO_FATAL_FAILURE(t.Count(word(1000 + k), k % 2 ? -0.0f : 0.0f, 1));
    for (int c = 0; c < 1500; ++c) {
        std::string w = word(static_cast<int>(rng() % 500));
        const unsigned spelling = rng() % 6;
        if (spelling < 2) w[0] = 'Q';
        if (spelling == 2) w[1] = 'A', w[0] = 'Q';
        ASSERT_NO_FATAL_FAILURE(t.Count(w, weights[rng() % (sizeof weights / sizeof weights[0])], 1));
    }
    ASSERT_GT(t.literal.WordCount, 600);
    EXPECT_EQ(t.Fast(), t.Literal());
    t.Merge();
    EXPECT_EQ(t.Fast(), t.Literal());
    t.Rescale();
    EXPECT_EQ(t.Fast(), t.Literal());
}

}  // namespace
}  // namespace zelk
