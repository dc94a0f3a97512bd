#include <gtest/gtest.h>

#include "analysis/WordList.h"

using namespace zelk;

namespace {

WordTable Entries(std::initializer_list<WordEntry> e) {
    WordTable t;
    t.entries = e;
    return t;
}

}  // namespace

TEST(WordList, EmptyTableSaysNoWords) {
    std::vector<std::string> batches;
    EXPECT_EQ(ListWords(WordTable{}, 10, [&](const std::string& s) { batches.push_back(s); }),
              "No words");
    EXPECT_EQ(batches, std::vector<std::string>{"No words"});
}

TEST(WordList, ColumnsOfOneLine) {
    WordTable t;
    t.entries.push_back({"garden", 12, 100.0f});
    for (int i = 1; i < 37; ++i) t.entries.push_back({"w", 1, 50.0f});
    const std::string box = ListWords(t, 400);
    EXPECT_EQ(box.substr(0, 58),
              "Rank Value Freq. Density\r\n"
              "   1   100   12  3.00%  garden\r\n");
    EXPECT_EQ(ListWords(Entries({{"one", 1, 100.0f}}), 3),
              "Rank Value Freq. Density\r\n   1   100    1  33.33%  one\r\n");
}

TEST(WordList, RoundingDensityAndZeroValues) {
    const std::string box =
        ListWords(Entries({{"big", 1, 100.0f}, {"half", 3, 1.5f}, {"twoandhalf", 2, 2.5f},
                           {"zero", 1, 0.5f}, {"other", 1, 0.2f}}),
                  8);
    EXPECT_EQ(box,
              "Rank Value Freq. Density\r\n"
              "   1   100    1  12.50%  big\r\n"
              "   2     2    3  37.50%  half\r\n"
              "   3     2    2  25.00%  twoandhalf\r\n"
              "\r\nWords with key value 0 not shown.\r\n");
    // Two decimals of the binary value, ties to even (0.125 is exact, 0.145
    // is not); no words read gives 0.00 rather than a division by zero.
    EXPECT_EQ(ListWords(Entries({{"a", 1, 9.0f}}), 800),
              "Rank Value Freq. Density\r\n   1     9    1  0.12%  a\r\n");
    EXPECT_EQ(ListWords(Entries({{"a", 1, 9.0f}}), 1600),
              "Rank Value Freq. Density\r\n   1     9    1  0.06%  a\r\n");
    EXPECT_EQ(ListWords(Entries({{"a", 29, 9.0f}}), 20000),
              "Rank Value Freq. Density\r\n   1     9   29  0.14%  a\r\n");
    EXPECT_EQ(ListWords(Entries({{"a", 2, 9.0f}}), 0),
              "Rank Value Freq. Density\r\n   1     9    2  0.00%  a\r\n");
    EXPECT_EQ(ListWords(Entries({{"a", 32767, 100.0f}}), 1),
              "Rank Value Freq. Density\r\n   1   100 32767  3276700.00%  a\r\n");
}

TEST(WordList, LargeTablesFlushInBatches) {
    WordTable t;
    for (int i = 0; i < 12345; ++i) t.entries.push_back({"w", 1, 100.0f});
    std::vector<std::string> batches;
    const std::string box = ListWords(t, 100, [&](const std::string& s) { batches.push_back(s); });
    ASSERT_EQ(batches.size(), 1u + 10u + 1u);
    EXPECT_EQ(batches[0], "Rank Value Freq. Density\r\n");
    const std::string line1 = "    1   100    1  1.00%  w\r\n";
    EXPECT_EQ(batches[1].substr(0, line1.size()), line1);
    for (int b = 1; b <= 10; ++b)
        EXPECT_EQ(std::count(batches[static_cast<std::size_t>(b)].begin(),
                             batches[static_cast<std::size_t>(b)].end(), '\n'),
                  1234);
    EXPECT_EQ(std::count(batches[11].begin(), batches[11].end(), '\n'), 5);
    std::string joined;
    for (const auto& b : batches) joined += b;
    EXPECT_EQ(joined, box);
    EXPECT_NE(box.find("12345   100    1  1.00%  w\r\n"), std::string::npos);
}

TEST(WordList, SmallTablesFlushEveryTenAndTheNoteComesOnce) {
    WordTable t;
    for (int i = 0; i < 25; ++i) t.entries.push_back({"w", 1, i < 22 ? 10.0f : 0.0f});
    std::vector<std::string> batches;
    ListWords(t, 100, [&](const std::string& s) { batches.push_back(s); });
    ASSERT_EQ(batches.size(), 5u);  // heading, 10, 10, 2, note
    EXPECT_EQ(std::count(batches[3].begin(), batches[3].end(), '\n'), 2);
    EXPECT_EQ(batches[4], "\r\nWords with key value 0 not shown.\r\n");
}
