#include "analysis/WordTally.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace zelk {
namespace {

using Outcome = WordTally::Outcome;

struct Row {
    std::string word;
    int frequency;
    float value;
    bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Row& r) {
    return os << "{" << r.word << ", " << r.frequency << ", " << r.value << "}";
}

std::vector<Row> Rows(WordTally& tally) {
    std::vector<Row> rows;
    for (const WordEntry& e : tally.Table().entries) rows.push_back({e.Word, e.Frequency, e.KeyValue});
    return rows;
}

// Counts with a fixed weight, English, no common words.
Outcome Add(WordTally& tally, std::string_view word, float weight = 3.0f, int language = 0) {
    return tally.CountWord(word, language, WordTally::IsCommonFn{}, [weight] { return weight; });
}

bool Counts(std::string_view word, int language = 0) {
    WordTally tally;
    return Add(tally, word, 3.0f, language) == Outcome::NewWord;
}

// ---------------------------------------------------------------- Singular

TEST(Singular, ExamplesOfTheRules) {
    EXPECT_EQ(Singular("cities"), "city");
    EXPECT_EQ(Singular("CITIES"), "CITY");
    EXPECT_EQ(Singular("CitIes"), "City");  // "Ies" is not exactly "IES"
    EXPECT_EQ(Singular("classes"), "class");
    EXPECT_EQ(Singular("wishes"), "wish");
    EXPECT_EQ(Singular("BUZZES"), "BUZZ");
    EXPECT_EQ(Singular("heroes"), "hero");
    EXPECT_EQ(Singular("HEROES"), "HERO");
    EXPECT_EQ(Singular("floes"), "floe");
    EXPECT_EQ(Singular("pages"), "page");
    EXPECT_EQ(Singular("PAGES"), "PAGE");
    EXPECT_EQ(Singular("boxes"), "boxe");
    EXPECT_EQ(Singular("bees"), "bee");
    EXPECT_EQ(Singular("status"), "status");
    EXPECT_EQ(Singular("analysis"), "analysis");
    EXPECT_EQ(Singular("physics"), "physics");
    EXPECT_EQ(Singular("Windows"), "Windows");
    EXPECT_EQ(Singular("windows"), "window");
    EXPECT_EQ(Singular("WINDOWS"), "WINDOW");
    EXPECT_EQ(Singular("rights"), "rights");
    EXPECT_EQ(Singular("Rights"), "Rights");
}

TEST(Singular, IrregularAndShortWords) {
    EXPECT_EQ(Singular("Mice"), "MOUSE");
    EXPECT_EQ(Singular("mice"), "mouse");
    EXPECT_EQ(Singular("lice"), "louse");
    EXPECT_EQ(Singular("LICE"), "LOUSE");
    EXPECT_EQ(Singular("ies"), "ie");        // rule b needs 5 characters: rule e applies
    EXPECT_EQ(Singular("ties"), "tie");
    EXPECT_EQ(Singular("plaies"), "plaie");  // "aies" is excluded from rule b
    EXPECT_EQ(Singular("Series"), "Sery");   // only "aies" and "eies" are excluded
    EXPECT_EQ(Singular("as"), "as");
    EXPECT_EQ(Singular("  dogs  "), "dog");  // blanks around are trimmed
    EXPECT_EQ(Singular("canoes"), "cano");
    EXPECT_EQ(Singular("HerOes"), "Hero");   // "Oes" is not exactly "OES"
}

// ------------------------------------------------------------- word rules

TEST(WordRules, Length) {
    EXPECT_FALSE(Counts("ab"));
    EXPECT_TRUE(Counts("abe"));
    EXPECT_TRUE(Counts(std::string(29, 'b') + "a"));   // 30 characters
    EXPECT_FALSE(Counts(std::string(30, 'b') + "a"));  // 31 characters
}

TEST(WordRules, RepeatedCharacterRomanNumeralsAndVowels) {
    EXPECT_FALSE(Counts("aaa"));
    EXPECT_FALSE(Counts("AaA"));
    for (const char* w : {"mimic", "civil", "xiv", "mix", "ill", "MCMXC"}) EXPECT_FALSE(Counts(w)) << w;
    EXPECT_TRUE(Counts("maximum"));
    EXPECT_FALSE(Counts("html"));
    EXPECT_TRUE(Counts("rhythm"));
    EXPECT_TRUE(Counts("cr\xE8me"));    // an accented small vowel
    EXPECT_TRUE(Counts("\xC9TRT"));     // an accented capital vowel
    EXPECT_FALSE(Counts("\xC7\xD1t"));  // Ç and Ñ are not vowels
}

TEST(WordRules, ContractionStemsOnlyInEnglish) {
    EXPECT_FALSE(Counts("didn", 0));
    EXPECT_FALSE(Counts("Wouldn", 0));
    EXPECT_FALSE(Counts("ren", 0));
    EXPECT_FALSE(Counts("uldn", 0));
    EXPECT_TRUE(Counts("didn", 1));
    EXPECT_TRUE(Counts("ren", 1));
    EXPECT_TRUE(Counts("dida", 0));
}

TEST(WordRules, EndingsAfterSingular) {
    EXPECT_FALSE(Counts("Running"));
    EXPECT_FALSE(Counts("RUNNING"));
    EXPECT_FALSE(Counts("things"));  // "thing" after singular
    EXPECT_TRUE(Counts("sing"));
    EXPECT_FALSE(Counts("quickly"));
    EXPECT_FALSE(Counts("wanted"));
    EXPECT_FALSE(Counts("WANTED"));
    for (const char* w : {"limited", "Alfred", "monopoly", "screed", "tweed", "filly", "folly"})
        EXPECT_TRUE(Counts(w)) << w;
    EXPECT_TRUE(Counts("bed"));   // fewer than 5 characters
    EXPECT_FALSE(Counts("abs"));  // "ab" after singular is too short
}

TEST(WordRules, SingularFormIsCounted) {
    WordTally tally;
    EXPECT_EQ(Add(tally, "Mice"), Outcome::NewWord);
    EXPECT_EQ(Add(tally, "mice"), Outcome::NewWord);
    EXPECT_EQ(Add(tally, "rights"), Outcome::NewWord);
    EXPECT_EQ(Add(tally, "Rights"), Outcome::NewWord);
    EXPECT_EQ(Add(tally, "Windows"), Outcome::NewWord);
    EXPECT_EQ(Add(tally, "windows"), Outcome::NewWord);
    EXPECT_EQ(Add(tally, "window"), Outcome::Counted);
    std::vector<Row> expected = {{"window", 2, 6}, {"MOUSE", 1, 3}, {"mouse", 1, 3}, {"rights", 1, 3},
                                 {"Rights", 1, 3}, {"Windows", 1, 3}};
    EXPECT_EQ(Rows(tally), expected);
}

TEST(WordRules, CommonWordsAreLookedUpInTheirSingularForm) {
    std::set<std::string> common = {"page", "the"};
    std::vector<std::string> asked;
    auto isCommon = [&](std::string_view w) {
        asked.emplace_back(w);
        return common.count(std::string(w)) > 0;
    };
    WordTally tally;
    auto weight = [] { return 1.0f; };
    EXPECT_EQ(tally.CountWord("pages", 0, isCommon, weight), Outcome::Dropped);
    EXPECT_EQ(tally.CountWord("the", 0, isCommon, weight), Outcome::Dropped);
    EXPECT_EQ(tally.CountWord("Pages", 0, isCommon, weight), Outcome::NewWord);  // the lookup folds case itself
    EXPECT_EQ(tally.CountWord("xiv", 0, isCommon, weight), Outcome::Dropped);   // dropped before the lookup
    EXPECT_EQ(asked, (std::vector<std::string>{"page", "the", "Page"}));
    EXPECT_EQ(tally.CountWord("pages", 0, static_cast<const CommonWords*>(nullptr), weight), Outcome::NewWord);
}

TEST(WordRules, WeightIsAskedOnlyForCountedWords) {
    WordTally tally;
    int asked = 0;
    auto weight = [&] {
        ++asked;
        return 2.0f;
    };
    tally.CountWord("html", 0, WordTally::IsCommonFn{}, weight);
    tally.CountWord("running", 0, WordTally::IsCommonFn{}, weight);
    EXPECT_EQ(asked, 0);
    tally.CountWord("page", 0, WordTally::IsCommonFn{}, weight);
    tally.CountWord("pages", 0, WordTally::IsCommonFn{}, weight);
    EXPECT_EQ(asked, 2);
}

// ----------------------------------------------------------------- ranking

TEST(Ranking, CaseVariantsAreSeparateWhileCounting) {
    WordTally tally;
    EXPECT_EQ(Add(tally, "Web"), Outcome::NewWord);
    EXPECT_EQ(Add(tally, "web"), Outcome::NewWord);
    EXPECT_EQ(Add(tally, "WEB"), Outcome::NewWord);
    EXPECT_EQ(Add(tally, "web"), Outcome::Counted);
    EXPECT_EQ(tally.WordCount(), 3);
    std::vector<Row> expected = {{"web", 2, 6}, {"Web", 1, 3}, {"WEB", 1, 3}};
    EXPECT_EQ(Rows(tally), expected);
}

TEST(Ranking, EqualValuesKeepTheOrderInWhichTheyWereReached) {
    WordTally tally;
    Add(tally, "alpha", 2);
    Add(tally, "beta", 5);
    Add(tally, "gamma", 5);  // new word equal to an older one: behind it
    Add(tally, "alpha", 3);  // alpha reaches 5 last: behind beta and gamma
    std::vector<Row> expected = {{"beta", 1, 5}, {"gamma", 1, 5}, {"alpha", 2, 5}};
    EXPECT_EQ(Rows(tally), expected);
    Add(tally, "gamma", 0);  // a count that adds nothing does not move it
    Add(tally, "beta", 1);
    expected = {{"beta", 2, 6}, {"gamma", 2, 5}, {"alpha", 2, 5}};
    EXPECT_EQ(Rows(tally), expected);
}

TEST(Ranking, ZeroWeightsStillOccupyTheTable) {
    WordTally tally;
    Add(tally, "title", 0);
    Add(tally, "body", 3);
    Add(tally, "title", 0);
    std::vector<Row> expected = {{"body", 1, 3}, {"title", 2, 0}};
    EXPECT_EQ(Rows(tally), expected);
}

TEST(Ranking, TheFiveHundredAndFirstWordKeepsEarlierCounts) {
    WordTally tally;
    std::vector<std::string> words;
    const std::string letters = "bcdfghjkmnpqrtvwxz";  // no ending that a rule changes or drops
    for (char a : letters)
        for (char b : letters)
            for (char c : letters)
                if (words.size() < 501) words.push_back(std::string("qo") + a + b + c);
    for (size_t i = 0; i < 501; ++i)
        ASSERT_EQ(Add(tally, words[i], static_cast<float>(i % 7)), Outcome::NewWord) << words[i];
    EXPECT_EQ(tally.WordCount(), 501);
    const WordTable& t = tally.Table();
    ASSERT_EQ(t.entries.size(), 501u);
    // Values 6 first, in order of arrival, down to the values 0.
    EXPECT_EQ(t.entries[0].Word, words[6]);
    EXPECT_EQ(t.entries[1].Word, words[13]);
    EXPECT_EQ(t.entries[500].Word, words[497]);
    for (const WordEntry& e : t.entries) EXPECT_EQ(e.Frequency, 1);
}

TEST(Finishing, CapitalisedAndSmallVariantsMerge) {
    WordTally tally;
    Add(tally, "Apple");
    Add(tally, "pear", 10);
    Add(tally, "Apple");
    Add(tally, "apple");
    Add(tally, "apple");
    Add(tally, "apple");
    Add(tally, "APPLE");
    Add(tally, "Plum", 20);
    tally.MergeCaseVariants();
    // Only merged words are lower-cased: "Plum" keeps its capital.
    std::vector<Row> expected = {{"Plum", 1, 20}, {"apple", 5, 15}, {"pear", 1, 10}, {"APPLE", 1, 3}};
    EXPECT_EQ(Rows(tally), expected);
    EXPECT_EQ(tally.NormaliseKeyValues(), 20.0f);
    expected = {{"Plum", 1, 100}, {"apple", 5, 75}, {"pear", 1, 50}, {"APPLE", 1, 15}};
    EXPECT_EQ(Rows(tally), expected);
    EXPECT_EQ(tally.MaxKeyValue(), 20.0f);
}

TEST(Finishing, OtherCapitalsDoNotMerge) {
    WordTally tally;
    Add(tally, "iPhone");
    Add(tally, "Iphone");
    Add(tally, "APPLE");
    Add(tally, "apple");
    Add(tally, "\xC9" "clair");  // Éclair and éclair differ in the first letter only
    Add(tally, "\xE9" "clair");
    tally.MergeCaseVariants();
    // Éclair and éclair merge and the sum moves to the top; iPhone/Iphone and
    // APPLE/apple differ in more than the first letter's case.
    std::vector<Row> expected = {
        {"\xE9" "clair", 2, 6}, {"iPhone", 1, 3}, {"Iphone", 1, 3}, {"APPLE", 1, 3}, {"apple", 1, 3}};
    EXPECT_EQ(Rows(tally), expected);
}

TEST(Finishing, AllZeroTableIsLeftUnscaled) {
    WordTally tally;
    Add(tally, "alpha", 0);
    Add(tally, "beta", 0);
    tally.MergeCaseVariants();
    EXPECT_EQ(tally.NormaliseKeyValues(), 0.0f);
    std::vector<Row> expected = {{"alpha", 1, 0}, {"beta", 1, 0}};
    EXPECT_EQ(Rows(tally), expected);
}

TEST(Finishing, EmptyAndSingleEntryTables) {
    WordTally tally;
    tally.MergeCaseVariants();
    EXPECT_EQ(tally.NormaliseKeyValues(), 0.0f);
    EXPECT_TRUE(Rows(tally).empty());
    Add(tally, "Zebra", 4);
    tally.MergeCaseVariants();
    EXPECT_EQ(tally.NormaliseKeyValues(), 4.0f);
    EXPECT_EQ(Rows(tally), (std::vector<Row>{{"Zebra", 1, 100}}));
}

TEST(Finishing, ResetEmptiesTheTable) {
    WordTally tally;
    Add(tally, "alpha");
    tally.MergeCaseVariants();
    tally.NormaliseKeyValues();
    tally.Reset();
    EXPECT_EQ(tally.WordCount(), 0);
    EXPECT_EQ(tally.MaxKeyValue(), 0.0f);
    EXPECT_EQ(Add(tally, "alpha"), Outcome::NewWord);
    EXPECT_EQ(Rows(tally), (std::vector<Row>{{"alpha", 1, 3}}));
}

// ------------------------------------------------------------ 16-bit limits

TEST(Limits, AWordIsCountedAtMost32767Times) {
    WordTally tally;
    for (int i = 0; i < 32767; ++i) ASSERT_NE(Add(tally, "apple", 1), Outcome::Dropped);
    EXPECT_EQ(Add(tally, "apple", 1), Outcome::Dropped);
    EXPECT_EQ(Add(tally, "pear", 1), Outcome::NewWord);
    EXPECT_EQ(Rows(tally), (std::vector<Row>{{"apple", 32767, 32767}, {"pear", 1, 1}}));
}

TEST(Limits, MergedFrequenciesAreHeldAt32767) {
    WordTally tally;
    for (int i = 0; i < 32767; ++i) Add(tally, "Apple", 1);
    for (int i = 0; i < 10; ++i) Add(tally, "apple", 1);
    tally.MergeCaseVariants();
    EXPECT_EQ(Rows(tally), (std::vector<Row>{{"apple", 32767, 32777}}));
}

TEST(Limits, NoNewWordOnceTheTableHolds32767) {
    WordTally tally;
    const std::string letters = "bcdfghjkmnpqrtvwxz";  // no vowels, no l/s/y endings
    int added = 0;
    for (char a : letters)
        for (char b : letters)
            for (char c : letters)
                for (char d : letters) {
                    if (added == 32767) goto full;
                    ASSERT_EQ(Add(tally, std::string("zo") + a + b + c + d, 1), Outcome::NewWord);
                    ++added;
                }
full:
    EXPECT_EQ(tally.WordCount(), 32767);
    EXPECT_EQ(Add(tally, "zoxxxx", 1), Outcome::Dropped);
    EXPECT_EQ(Add(tally, "zobbbb", 1), Outcome::Counted);  // known words still count
    EXPECT_EQ(tally.WordCount(), 32767);
    EXPECT_EQ(tally.Table().entries[0].Word, "zobbbb");
}

}  // namespace
}  // namespace zelk
