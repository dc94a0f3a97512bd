// The fast tally against the reference procedures (LiteralWordTable.h) on
// random sequences of counts: the same table after every count, after the
// merge pass and after rescaling, floats compared bit for bit.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "analysis/LiteralWordTable.h"
#include "analysis/WordTally.h"
#include "common/StrProc.h"

namespace zelk {
namespace {

using test::LiteralWordTable;

uint32_t Bits(float f) {
    uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    return u;
}

// Empty when equal, else the first difference.
std::string Difference(WordTally& fast, const LiteralWordTable& literal) {
    const WordTable& t = fast.Table();
    if (t.WordCount() != literal.WordCount || fast.WordCount() != literal.WordCount)
        return "WordCount " + std::to_string(t.WordCount()) + " vs " + std::to_string(literal.WordCount);
    for (int i = 1; i <= literal.WordCount; ++i) {
        const WordEntry& e = t.entries[static_cast<size_t>(i - 1)];
        const auto k = static_cast<size_t>(i);
        if (e.Word != literal.Word[k] || e.Frequency != literal.Frequency[k] ||
            Bits(e.KeyValue) != Bits(literal.KeyValue[k]))
            return "entry " + std::to_string(i) + ": " + e.Word + " " + std::to_string(e.Frequency) + " " +
                   std::to_string(e.KeyValue) + " vs " + literal.Word[k] + " " +
                   std::to_string(literal.Frequency[k]) + " " + std::to_string(literal.KeyValue[k]);
    }
    return {};
}

// Spellings of a few words: small, capitalised, all capitals and random
// mixtures, so that merges, non-merges and words lower-cased in passing all
// occur.
std::vector<std::string> MakePool(std::mt19937& rng, int bases) {
    static const std::vector<std::string> stems = {
        "apple", "pear", "kiwi", "plum", "melon", "grape", "fig", "\xE9" "clair", "olive", "date", "peach", "bean"};
    std::vector<std::string> pool;
    for (int b = 0; b < bases; ++b) {
        const std::string& stem = stems[rng() % stems.size()];
        const int spellings = 1 + static_cast<int>(rng() % 5);
        for (int s = 0; s < spellings; ++s) {
            std::string w = stem;
            switch (rng() % 4) {
            case 0: break;
            case 1: w[0] = static_cast<char>(w[0] == '\xE9' ? '\xC9' : w[0] - 32); break;
            case 2:
                for (char& c : w) c = c == '\xE9' ? '\xC9' : static_cast<char>(c - 32);
                break;
            default:
                for (char& c : w)
                    if (rng() % 2) c = c == '\xE9' ? '\xC9' : static_cast<char>(c - 32);
                break;
            }
            if (rng() % 6 == 0) w += "s";  // a plural: counted as its singular
            pool.push_back(w);
        }
    }
    return pool;
}

float RandomWeight(std::mt19937& rng) {
    static const float weights[] = {0.0f, 0.0f, 0.0f, 1.0f, 2.0f, 3.0f, 3.0f, 5.0f, 9.0f, 90.0f,
                                    0.1f, 0.3f, 0.7f, 1e-7f, 16777216.0f, 1e8f};
    return weights[rng() % (sizeof weights / sizeof weights[0])];
}

TEST(TallyAgainstReferenceProcedures, EveryPrefixThenMergeThenRescale) {
    std::mt19937 rng(20261206);
    int merges = 0;
    for (int round = 0; round < 1500; ++round) {
        const std::vector<std::string> pool = MakePool(rng, 2 + static_cast<int>(rng() % 6));
        const bool integerWeights = rng() % 2;  // the analysis only produces whole numbers
        WordTally fast;
        LiteralWordTable literal;
        const int counts = 1 + static_cast<int>(rng() % 120);
        for (int c = 0; c < counts; ++c) {
            const std::string& w = pool[rng() % pool.size()];
            float weight = RandomWeight(rng);
            if (integerWeights) weight = static_cast<float>(rng() % 4);
            const int language = static_cast<int>(rng() % 7);
            auto fixed = [weight] { return weight; };
            const auto a = fast.CountWord(w, language, WordTally::IsCommonFn{}, fixed);
            const auto b = literal.CountWord(w, language, {}, fixed);
            ASSERT_EQ(a, b) << "round " << round << " count " << c << " " << w;
            ASSERT_EQ(Difference(fast, literal), "") << "round " << round << " after count " << c;
        }
        const int before = literal.WordCount;
        fast.MergeCaseVariants();
        literal.MergeCaseVariants();
        merges += before - literal.WordCount;
        ASSERT_EQ(Difference(fast, literal), "") << "round " << round << " after merging";
        const float fm = fast.NormaliseKeyValues();
        const float lm = literal.NormaliseKeyValues();
        ASSERT_EQ(Bits(fm), Bits(lm)) << "round " << round;
        ASSERT_EQ(Difference(fast, literal), "") << "round " << round << " after rescaling";
    }
    EXPECT_GT(merges, 500);
}

// Words lower-cased in passing: after a merge moves the grown entry up, the
// pass goes on with the word pushed into its place, whatever its capitals.
TEST(TallyAgainstReferenceProcedures, MergeGoesOnWithTheWordPushedIntoPlace) {
    WordTally fast;
    LiteralWordTable literal;
    auto count = [&](const char* w, float weight) {
        auto f = [weight] { return weight; };
        fast.CountWord(w, 0, WordTally::IsCommonFn{}, f);
        literal.CountWord(w, 0, {}, f);
    };
    count("PEAR", 9);   // 1
    count("Apple", 5);  // 2
    count("pear", 1);   // 3: merged into nothing (only "Pear" could)
    count("pEAR", 1);   // 4: same rest as "PEAR" ("EAR"), first letter differs in case only
    count("apple", 5);  // 5
    // Merge at i = 2: "Apple" + "apple" = 10 moves to rank 1 and "PEAR" is
    // pushed into position 2; the pass goes on and merges "pEAR" into it.
    fast.MergeCaseVariants();
    literal.MergeCaseVariants();
    EXPECT_EQ(Difference(fast, literal), "");
    const WordTable& t = fast.Table();
    ASSERT_EQ(t.entries.size(), 3u);
    EXPECT_EQ(t.entries[0].Word, "apple");
    EXPECT_EQ(t.entries[1].Word, "pear");
    EXPECT_EQ(t.entries[1].Frequency, 2);
    EXPECT_EQ(t.entries[1].KeyValue, 10.0f);
    EXPECT_EQ(t.entries[2].Word, "pear");  // the same word twice: the reference pass leaves it so
    EXPECT_EQ(t.entries[2].KeyValue, 1.0f);
}

// A word lower-cased in passing joins the group of the small spelling;
// the pass then takes the nearest of several later members, and a search
// after the merge finds the first of two equal words.
TEST(TallyAgainstReferenceProcedures, NearestOfSeveralLaterSpellingsMergesFirst) {
    WordTally fast;
    LiteralWordTable literal;
    auto count = [&](const char* w, float weight) {
        auto f = [weight] { return weight; };
        ASSERT_EQ(fast.CountWord(w, 0, WordTally::IsCommonFn{}, f), literal.CountWord(w, 0, {}, f));
    };
    count("PEAR", 9);
    count("Apple", 5);
    count("apple", 5);
    count("kiwi", 4);
    count("pEAR", 0);
    count("plum", 0);
    count("Pear", 0);
    count("pear", 0);
    fast.MergeCaseVariants();
    literal.MergeCaseVariants();
    ASSERT_EQ(Difference(fast, literal), "");
    std::vector<std::string> words;
    for (const WordEntry& e : fast.Table().entries) words.push_back(e.Word + "/" + std::to_string(e.Frequency));
    EXPECT_EQ(words, (std::vector<std::string>{"apple/2", "pear/3", "kiwi/1", "plum/1", "pear/1"}));
    count("pear", 1);
    ASSERT_EQ(Difference(fast, literal), "");
    EXPECT_EQ(fast.Table().entries[1].Word, "pear");
    EXPECT_EQ(fast.Table().entries[1].Frequency, 4);
}

// Rescaling can turn two close values into one; the entry that was ahead
// stays ahead when the table is reordered by later counts.
TEST(TallyAgainstReferenceProcedures, TiesMadeByRescalingKeepTheirOrder) {
    const float max = 1000000.0f;
    float high = max, low = max;
    for (int guard = 0; guard < 1000; ++guard) {
        high = std::nextafter(high, 0.0f);
        low = std::nextafter(high, 0.0f);
        if (high * 100.0f / max == low * 100.0f / max) break;
    }
    ASSERT_EQ(high * 100.0f / max, low * 100.0f / max);
    WordTally fast;
    LiteralWordTable literal;
    auto count = [&](const char* w, float weight) {
        auto f = [weight] { return weight; };
        ASSERT_EQ(fast.CountWord(w, 1, WordTally::IsCommonFn{}, f), literal.CountWord(w, 1, {}, f));
    };
    count("gamma", max);
    count("beta", low);   // reached its value first...
    count("alpha", high);  // ...but alpha is ahead with the greater one
    fast.MergeCaseVariants();
    literal.MergeCaseVariants();
    fast.NormaliseKeyValues();
    literal.NormaliseKeyValues();
    count("delta", 0);
    count("gamma", 1);
    ASSERT_EQ(Difference(fast, literal), "");
    EXPECT_EQ(fast.Table().entries[1].Word, "alpha");
}

TEST(TallyAgainstReferenceProcedures, LargeTablesWithManyTwins) {
    std::mt19937 rng(77);
    // Two rounds of a few hundred to a thousand words: enough for the large
    // table's rank key, small enough for the quadratic reference.
    for (int round = 0; round < 2; ++round) {
        WordTally fast;
        LiteralWordTable literal;
        const int distinct = 500 + static_cast<int>(rng() % 600);
        for (int c = 0; c < distinct * 3; ++c) {
            // "qa" + three letters; a third spelt with a capital, some in capitals.
            const int n = static_cast<int>(rng() % static_cast<unsigned>(distinct));
            std::string w = "qa";
            w += static_cast<char>('b' + n % 20);
            w += static_cast<char>('b' + n / 20 % 20);
            w += static_cast<char>('b' + n / 400 % 20);
            const unsigned spelling = rng() % 6;
            if (spelling == 0 || spelling == 1) w[0] = 'Q';
            if (spelling == 2) w = "QA" + w.substr(2);
            const float weight = static_cast<float>(rng() % 5);
            auto f = [weight] { return weight; };
            ASSERT_EQ(fast.CountWord(w, 1, WordTally::IsCommonFn{}, f), literal.CountWord(w, 1, {}, f));
        }
        ASSERT_EQ(Difference(fast, literal), "");
        fast.MergeCaseVariants();
        literal.MergeCaseVariants();
        ASSERT_EQ(Difference(fast, literal), "") << "round " << round;
        EXPECT_EQ(Bits(fast.NormaliseKeyValues()), Bits(literal.NormaliseKeyValues()));
        ASSERT_EQ(Difference(fast, literal), "");
    }
}

TEST(TallyAgainstReferenceProcedures, CountingAfterTheFinishingStepsStaysExact) {
    std::mt19937 rng(5);
    for (int round = 0; round < 300; ++round) {
        const std::vector<std::string> pool = MakePool(rng, 4);
        WordTally fast;
        LiteralWordTable literal;
        auto countSome = [&](int n) {
            for (int c = 0; c < n; ++c) {
                const std::string& w = pool[rng() % pool.size()];
                const float weight = RandomWeight(rng);
                auto f = [weight] { return weight; };
                ASSERT_EQ(fast.CountWord(w, 0, WordTally::IsCommonFn{}, f), literal.CountWord(w, 0, {}, f));
            }
        };
        countSome(40);
        fast.MergeCaseVariants();
        literal.MergeCaseVariants();
        fast.NormaliseKeyValues();
        literal.NormaliseKeyValues();
        countSome(40);
        ASSERT_EQ(Difference(fast, literal), "") << "round " << round;
    }
}

}  // namespace
}  // namespace zelk
