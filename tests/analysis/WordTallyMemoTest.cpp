// The word rules are remembered per scanned word: the remembered outcome
// must never outlive what it depends on (language, common-word lists, a full
// table, entries renamed by merging).

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "analysis/CommonWords.h"
#include "analysis/LiteralWordTable.h"
#include "analysis/WordTally.h"

namespace zelk {
namespace {

using Outcome = WordTally::Outcome;

const WordTally::WeightFn kOne = [] { return 1.0f; };

Outcome Add(WordTally& tally, std::string_view word, int language = 0, const CommonWords* common = nullptr) {
    return tally.CountWord(word, language, common, kOne);
}

int FrequencyOf(WordTally& tally, const std::string& word) {
    int f = 0;
    for (const WordEntry& e : tally.Table().entries)
        if (e.Word == word) f += e.Frequency;
    return f;
}

// Distinct words that pass every rule: "qa" and four letters with no
// ending the rules look at.
std::string PassingWord(int n) {
    static const std::string letters = "bcdfghjkmnpqrtvwz";
    const auto k = static_cast<int>(letters.size());
    std::string w = "qa";
    for (int i = 0; i < 4; ++i, n /= k) w += letters[static_cast<size_t>(n % k)];
    return w;
}

TEST(RememberedWordRules, LanguageIsPartOfTheAnswer) {
    WordTally tally;
    EXPECT_EQ(Add(tally, "didn", 0), Outcome::Dropped);  // an English contraction stem
    EXPECT_EQ(Add(tally, "didn", 1), Outcome::NewWord);
    EXPECT_EQ(Add(tally, "didn", 0), Outcome::Dropped);
    EXPECT_EQ(Add(tally, "didn", 1), Outcome::Counted);
    EXPECT_EQ(FrequencyOf(tally, "didn"), 2);
}

TEST(RememberedWordRules, CommonWordListsArePartOfTheAnswer) {
    CommonWords french, none;
    ASSERT_TRUE(french.AddCommonWordsFromLine(1, "avec page "));
    WordTally tally;
    EXPECT_EQ(Add(tally, "pages", 1, &french), Outcome::Dropped);
    EXPECT_EQ(Add(tally, "pages", 1, &none), Outcome::NewWord);
    EXPECT_EQ(Add(tally, "pages", 1, &french), Outcome::Dropped);
    EXPECT_EQ(Add(tally, "pages", 1, nullptr), Outcome::Counted);
    EXPECT_EQ(Add(tally, "Avec", 1, &french), Outcome::Dropped);
    EXPECT_EQ(Add(tally, "Avec", 0, &french), Outcome::NewWord);  // listed for French only
    // A list that changes is asked again.
    EXPECT_EQ(Add(tally, "plume", 1, &french), Outcome::NewWord);
    ASSERT_TRUE(french.AddCommonWordsFromLine(1, "plume "));
    EXPECT_EQ(Add(tally, "plume", 1, &french), Outcome::Dropped);
    EXPECT_EQ(FrequencyOf(tally, "page"), 2);
    EXPECT_EQ(FrequencyOf(tally, "plume"), 1);
}

TEST(RememberedWordRules, PluralsAndSpellingsShareTheirEntry) {
    WordTally tally;
    EXPECT_EQ(Add(tally, "pages"), Outcome::NewWord);
    EXPECT_EQ(Add(tally, "page"), Outcome::Counted);
    EXPECT_EQ(Add(tally, "pages"), Outcome::Counted);
    EXPECT_EQ(Add(tally, "running"), Outcome::Dropped);
    EXPECT_EQ(Add(tally, "running"), Outcome::Dropped);
    EXPECT_EQ(tally.WordCount(), 1);
    EXPECT_EQ(FrequencyOf(tally, "page"), 3);
}

TEST(RememberedWordRules, MergingForgetsTheRenamedEntries) {
    WordTally tally;
    Add(tally, "Apple");
    Add(tally, "apple");
    Add(tally, "Apple");
    tally.MergeCaseVariants();
    ASSERT_EQ(tally.WordCount(), 1);
    // "Apple" no longer stands in the table: it starts a new entry again.
    EXPECT_EQ(Add(tally, "Apple"), Outcome::NewWord);
    EXPECT_EQ(Add(tally, "apple"), Outcome::Counted);
    const WordTable& t = tally.Table();
    ASSERT_EQ(t.entries.size(), 2u);
    EXPECT_EQ(t.entries[0].Word, "apple");
    EXPECT_EQ(t.entries[0].Frequency, 4);
    EXPECT_EQ(t.entries[1].Word, "Apple");
    EXPECT_EQ(t.entries[1].Frequency, 1);
}

TEST(RememberedWordRules, WordLeftOutOfAFullTableComesInWhenMergingMakesRoom) {
    WordTally tally;
    ASSERT_EQ(Add(tally, "Zebra"), Outcome::NewWord);
    ASSERT_EQ(Add(tally, "zebra"), Outcome::NewWord);
    for (int n = 0; tally.WordCount() < WordTally::kMaxCount; ++n)
        ASSERT_EQ(Add(tally, PassingWord(n)), Outcome::NewWord) << n;
    EXPECT_EQ(Add(tally, "newcomer"), Outcome::Dropped);
    EXPECT_EQ(Add(tally, "newcomer"), Outcome::Dropped);
    EXPECT_EQ(Add(tally, "zebra"), Outcome::Counted);
    tally.MergeCaseVariants();
    EXPECT_EQ(tally.WordCount(), WordTally::kMaxCount - 1);
    EXPECT_EQ(Add(tally, "newcomer"), Outcome::NewWord);
    EXPECT_EQ(Add(tally, "newcomer"), Outcome::Counted);
    EXPECT_EQ(Add(tally, "another"), Outcome::Dropped);
    EXPECT_EQ(FrequencyOf(tally, "zebra"), 3);
}

TEST(RememberedWordRules, AWordCountedTheMaximumTimesStaysThere) {
    WordTally tally;
    for (int i = 0; i < WordTally::kMaxCount; ++i) ASSERT_NE(Add(tally, "plenty"), Outcome::Dropped);
    EXPECT_EQ(Add(tally, "plenty"), Outcome::Dropped);
    EXPECT_EQ(Add(tally, "Plenty"), Outcome::NewWord);
    EXPECT_EQ(FrequencyOf(tally, "plenty"), WordTally::kMaxCount);
}

TEST(RememberedWordRules, WordsBeyondWhatIsRememberedAreStillCountedExactly) {
    WordTally tally;
    // Well over a million distinct dropped words (no vowel), then words that
    // count: they are no longer remembered but must be counted all the same.
    static const std::string consonants = "bcdfghjkmnpqrtvwz";
    std::string w(5, 'b');
    int distinct = 0;
    for (int n = 0; n < 1300000; ++n, ++distinct) {
        int m = n;
        for (char& c : w) {
            c = consonants[static_cast<size_t>(m % 17)];
            m /= 17;
        }
        ASSERT_EQ(Add(tally, w), Outcome::Dropped);
    }
    EXPECT_EQ(Add(tally, "beyond"), Outcome::NewWord);
    EXPECT_EQ(Add(tally, "beyond"), Outcome::Counted);
    EXPECT_EQ(Add(tally, "pages"), Outcome::NewWord);
    EXPECT_EQ(Add(tally, "page"), Outcome::Counted);
    EXPECT_EQ(Add(tally, "running"), Outcome::Dropped);
    EXPECT_EQ(FrequencyOf(tally, "beyond"), 2);
    EXPECT_EQ(FrequencyOf(tally, "page"), 2);
    EXPECT_EQ(tally.WordCount(), 2);
}

TEST(RememberedWordRules, ResetForgetsEverything) {
    WordTally tally;
    Add(tally, "pages");
    Add(tally, "running");
    tally.Reset();
    EXPECT_EQ(Add(tally, "pages"), Outcome::NewWord);
    EXPECT_EQ(tally.WordCount(), 1);
    EXPECT_EQ(FrequencyOf(tally, "page"), 1);
}

}  // namespace
}  // namespace zelk

// Large tables are ranked with an integer form of the rank key: its order
// must be the reference table's, ties and zeros of either sign included.

namespace zelk {
namespace {

TEST(RankOrderOfLargeTables, SameAsTheReferenceTableWithManyTies) {
    std::mt19937 rng(4242);
    static const float weights[] = {0.0f, -0.0f, 1.0f, 2.0f, 2.0f, 3.0f, 0.5f, 1e-7f, 1e6f, 16777216.0f};
    WordTally fast;
    test::LiteralWordTable literal;
    // Words that stay at a value of zero, reached with either sign.
    for (int k = 0; k < 300; ++k) {
        const float weight = k % 2 ? -0.0f : 0.0f;
        auto f = [weight] { return weight; };
        const std::string w = PassingWord(1000 + k);
        ASSERT_EQ(fast.CountWord(w, 0, WordTally::IsCommonFn{}, f), literal.CountWord(w, 0, {}, f));
    }
    for (int c = 0; c < 4000; ++c) {
        const std::string w = PassingWord(static_cast<int>(rng() % 700));
        const float weight = weights[rng() % (sizeof weights / sizeof weights[0])];
        auto f = [weight] { return weight; };
        ASSERT_EQ(fast.CountWord(w, 0, WordTally::IsCommonFn{}, f), literal.CountWord(w, 0, {}, f));
    }
    auto same = [&] {
        const WordTable& t = fast.Table();
        if (t.WordCount() != literal.WordCount) return false;
        for (int i = 1; i <= literal.WordCount; ++i) {
            const WordEntry& e = t.entries[static_cast<size_t>(i - 1)];
            if (e.Word != literal.Word[static_cast<size_t>(i)] ||
                e.Frequency != literal.Frequency[static_cast<size_t>(i)] ||
                !(e.KeyValue == literal.KeyValue[static_cast<size_t>(i)]))
                return false;
        }
        return true;
    };
    ASSERT_GT(literal.WordCount, 900);
    EXPECT_TRUE(same());
    fast.MergeCaseVariants();
    literal.MergeCaseVariants();
    EXPECT_TRUE(same());
    fast.NormaliseKeyValues();
    literal.NormaliseKeyValues();
    EXPECT_TRUE(same());
}

}  // namespace
}  // namespace zelk
