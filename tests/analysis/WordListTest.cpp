#include <gtest/gtest.h>

#include <numeric>

#include "analysis/WordList.h"

using namespace zelk;

namespace {

WordTable Entries(std::initializer_list<WordEntry> e) {
    WordTable t;
    t.entries = e;
    return t;
}

}  // namespace

TEST(WordList, EmptyTableAndColumns) {
    std::vector<std::string> batches;
    EXPECT_EQ(ListWords(WordTable{}, 10, [&](const std::string& s) { batches.push_back(s); }), "No words");
    EXPECT_EQ(batches, std::vector<std::string>{"No words"});
    EXPECT_EQ(ListWords(Entries({{"garden", 12, 100.0f}, {"one", 1, 50.0f}}), 400),
              "Rank Value Freq. Density\r\n   1   100   12  3.00%  garden\r\n   2    50    1  0.25%  one\r\n");
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

// The box fills in batches: every tenth of a large table, every ten lines
// of a small one; the note on zero values comes once, at the end.
TEST(WordList, TheBoxFillsInBatches) {
    WordTable t;
    for (int i = 0; i < 12345; ++i) t.entries.push_back({"w", 1, 100.0f});
    std::vector<std::string> batches;
    auto collect = [&](const std::string& s) { batches.push_back(s); };
    std::string box = ListWords(t, 100, collect);
    ASSERT_EQ(batches.size(), 12u);
    EXPECT_EQ(batches[0], "Rank Value Freq. Density\r\n");
    for (std::size_t b = 1; b <= 11; ++b) EXPECT_EQ(std::count(batches[b].begin(), batches[b].end(), '\n'), b < 11 ? 1234 : 5);
    EXPECT_EQ(std::accumulate(batches.begin(), batches.end(), std::string()), box);
    EXPECT_EQ(box.substr(26, 28), "    1   100    1  1.00%  w\r\n");
    EXPECT_NE(box.find("12345   100    1  1.00%  w\r\n"), std::string::npos);

    t.entries.resize(25);
    for (int i = 22; i < 25; ++i) t.entries[static_cast<std::size_t>(i)].KeyValue = 0.0f;
    batches.clear();
    box = ListWords(t, 100, collect);
    EXPECT_EQ(batches.size(), 5u);  // heading, 10, 10, 2, note
    EXPECT_EQ(batches.back(), "\r\nWords with key value 0 not shown.\r\n");
    EXPECT_EQ(std::accumulate(batches.begin(), batches.end(), std::string()), box);
}
