// The hashed lookup of the common-word lists: the same answers as a search
// of the sorted list, after every change to the lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "analysis/CommonWords.h"
#include "common/StrProc.h"

namespace zelk {
namespace {

TEST(CommonWordLookup, FoldsCaseAndFollowsChanges) {
    CommonWords common;
    EXPECT_FALSE(common.IsCommonWord("the", 0));
    ASSERT_TRUE(common.AddCommonWordsFromLine(0, "the and \xE9t\xE9 "));
    EXPECT_TRUE(common.IsCommonWord("the", 0));
    EXPECT_TRUE(common.IsCommonWord("THE", 0));
    EXPECT_TRUE(common.IsCommonWord("\xC9T\xC9", 0));  // accented capitals lower-case too
    EXPECT_FALSE(common.IsCommonWord("then", 0));
    EXPECT_FALSE(common.IsCommonWord("th", 0));
    EXPECT_FALSE(common.IsCommonWord("", 0));
    EXPECT_FALSE(common.IsCommonWord("the", 1));  // another language's list
    ASSERT_TRUE(common.AddCommonWordsFromLine(0, "then "));
    EXPECT_TRUE(common.IsCommonWord("Then", 0));
    EXPECT_FALSE(common.IsCommonWord("the", 7));
    EXPECT_FALSE(common.IsCommonWord("the", -1));
}

TEST(CommonWordLookup, LongWordsAreLookedUpToo) {
    CommonWords common;
    const std::string longWord(100, 'q');
    ASSERT_TRUE(common.AddCommonWordsFromLine(2, longWord + " "));
    EXPECT_TRUE(common.IsCommonWord(std::string(100, 'Q'), 2));
    EXPECT_FALSE(common.IsCommonWord(std::string(99, 'q'), 2));
}

TEST(CommonWordLookup, SameAnswersAsTheSortedListOnAFullList) {
    std::mt19937 rng(9);
    auto randomWord = [&] {
        std::string w;
        const int n = 1 + static_cast<int>(rng() % 8);
        for (int i = 0; i < n; ++i) w += static_cast<char>("abcdeABCDE\xE9\xC9"[rng() % 12]);
        return w;
    };
    CommonWords common;
    std::string line;
    for (int i = 0; i < 1500; ++i) line += LowerCaseAccented(randomWord()) + " ";
    ASSERT_TRUE(common.AddCommonWordsFromLine(3, line));
    const std::vector<std::string>& list = common.Words(3);
    ASSERT_GT(list.size(), 500u);
    for (int i = 0; i < 20000; ++i) {
        const std::string w = randomWord();
        const bool expected = std::binary_search(list.begin(), list.end(), LowerCaseAccented(w));
        ASSERT_EQ(common.IsCommonWord(w, 3), expected) << w;
    }
}

}  // namespace
}  // namespace zelk
