// The singular forms and the limits of the tally. The word rules, ranking
// and merging are compared with the reference table in
// WordTallyReferenceTest.cpp.
#include "analysis/WordTally.h"
#include "common/StrProc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

namespace zelk {
namespace {

using Outcome = WordTally::Outcome;
using V = std::vector<std::string>;

Outcome Add(WordTally& tally, std::string_view word, float weight = 1.0f, int language = 0) {
    return tally.CountWord(word, language, static_cast<const CommonWords*>(nullptr), weight);
}

// "word frequency value" per entry, in rank order (the values here are
// whole numbers).
V Rows(WordTally& tally) {
    V rows;
    for (const WordEntry& e : tally.Table().entries)
        rows.push_back(e.Word + " " + std::to_string(e.Frequency) + " " + std::to_string(std::lround(e.KeyValue)));
    return rows;
}

TEST(Singular, ExamplesOfTheRules) {
    // Endings are recognised in small letters or all capitals only ("CitIes",
    // "HerOes"); "ies" needs five letters and not "aies"/"eies"; blanks
    // around are trimmed; "Windows" and "rights" are kept as they are.
    const std::pair<const char*, const char*> cases[] = {
        {"cities", "city"}, {"CITIES", "CITY"}, {"CitIes", "City"}, {"classes", "class"}, {"wishes", "wish"},
        {"BUZZES", "BUZZ"}, {"heroes", "hero"}, {"HEROES", "HERO"}, {"floes", "floe"}, {"pages", "page"},
        {"PAGES", "PAGE"}, {"boxes", "boxe"}, {"bees", "bee"}, {"status", "status"}, {"analysis", "analysis"},
        {"physics", "physics"}, {"Windows", "Windows"}, {"windows", "window"}, {"WINDOWS", "WINDOW"},
        {"rights", "rights"}, {"Rights", "Rights"}, {"Mice", "MOUSE"}, {"mice", "mouse"}, {"lice", "louse"},
        {"LICE", "LOUSE"}, {"ies", "ie"}, {"ties", "tie"}, {"plaies", "plaie"}, {"Series", "Sery"}, {"as", "as"},
        {"  dogs  ", "dog"}, {"canoes", "cano"}, {"HerOes", "Hero"}};
    for (const auto& [plural, singular] : cases) EXPECT_EQ(Singular(plural), singular) << plural;
}

// The tally's form against Singular: every word of three to five letters
// over the letters the rules look at, and every spelling in small and
// capital letters of the words they name.
TEST(Singular, TheTallysFormGivesTheSameOnEveryWordOfTheEndingsLetters) {
    auto check = [](const std::string& w) {
        std::string lower;
        for (char c : w) lower += LowerChar(c);
        char out[40];
        ASSERT_EQ(std::string(out, SingularInto(w, lower, out)), Singular(w)) << w;
    };
    const std::string letters = "aeiosuchzlfSEI\xC9";
    for (std::size_t len = 3; len <= 5; ++len) {
        std::vector<std::size_t> digit(len, 0);
        for (std::size_t k = len; k > 0;) {
            std::string w;
            for (std::size_t d : digit) w += letters[d];
            check(w);
            for (k = len; k > 0 && ++digit[k - 1] == letters.size(); --k) digit[k - 1] = 0;
        }
    }
    for (std::string w : {"windows", "rights", "mice", "lice", "floes", "cities", "heroes", "plaies"})
        for (unsigned caps = 0; caps < (1u << w.size()); ++caps) {
            std::string v = w;
            for (std::size_t i = 0; i < v.size(); ++i)
                if (caps >> i & 1) v[i] = static_cast<char>(v[i] - 32);
            check(v);
        }
}

// Distinct words that pass every rule: "qa" and four letters with no
// ending the rules look at.
std::string PassingWord(int n) {
    static const std::string letters = "bcdfghjkmnpqrtvwz";
    std::string w = "qa";
    for (int i = 0; i < 4; ++i, n /= 17) w += letters[static_cast<size_t>(n % 17)];
    return w;
}

// A word is counted at most 32,767 times, also when merged; a full table
// takes no new word until merging makes room.
TEST(Limits, SixteenBitCountsAndTableSize) {
    WordTally tally;
    for (int i = 0; i < WordTally::kMaxCount; ++i) ASSERT_NE(Add(tally, "apple"), Outcome::Dropped);
    EXPECT_EQ(Add(tally, "apple"), Outcome::Dropped);
    for (int i = 0; i < 10; ++i) EXPECT_NE(Add(tally, "Apple"), Outcome::Dropped);
    ASSERT_EQ(Add(tally, "Zebra", 2), Outcome::NewWord);
    ASSERT_EQ(Add(tally, "zebra", 2), Outcome::NewWord);
    for (int n = 0; tally.WordCount() < WordTally::kMaxCount; ++n)
        ASSERT_EQ(Add(tally, PassingWord(n)), Outcome::NewWord) << n;
    for (int i = 0; i < 2; ++i) EXPECT_EQ(Add(tally, "newcomer"), Outcome::Dropped);  // also when remembered
    EXPECT_EQ(Add(tally, "zebra", 2), Outcome::Counted);  // known words still count
    tally.MergeCaseVariants();
    EXPECT_EQ(tally.WordCount(), WordTally::kMaxCount - 2);
    EXPECT_EQ(Add(tally, "newcomer"), Outcome::NewWord);
    EXPECT_EQ(Add(tally, "newcomer"), Outcome::Counted);
    EXPECT_EQ(Add(tally, "another"), Outcome::NewWord);
    EXPECT_EQ(Add(tally, "quartz"), Outcome::Dropped);
    EXPECT_EQ(Rows(tally)[0], "apple 32767 32777");
    EXPECT_EQ(Rows(tally)[1], "zebra 3 6");
}

// The outcome of the rules is remembered per scanned word, up to a limit:
// words beyond it must be counted all the same.
TEST(Limits, WordsBeyondWhatIsRememberedAreStillCountedExactly) {
    WordTally tally;
    static const std::string consonants = "bcdfghjkmnpqrtvwz";
    std::string w(5, 'b');
    for (int n = 0; n < 1300000; ++n) {
        int m = n;
        for (char& c : w) c = consonants[static_cast<size_t>(m % 17)], m /= 17;
        ASSERT_EQ(Add(tally, w), Outcome::Dropped);
    }
    for (const char* word : {"beyond", "beyond", "pages", "page", "running"}) Add(tally, word);
    EXPECT_EQ(Rows(tally), (V{"beyond 2 2", "page 2 2"}));
}

}  // namespace
}  // namespace zelk
