#include <gtest/gtest.h>

#include <numeric>
#include <tuple>

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
    const std::tuple<int16_t, float, int, const char*> rows[] = {
        {1, 9.0f, 800, "   1     9    1  0.12%  a"},  {1, 9.0f, 1600, "   1     9    1  0.06%  a"},
        {29, 9.0f, 20000, "   1     9   29  0.14%  a"}, {2, 9.0f, 0, "   1     9    2  0.00%  a"},
        {32767, 100.0f, 1, "   1   100 32767  3276700.00%  a"}};
    for (const auto& [frequency, value, total, line] : rows)
        EXPECT_EQ(ListWords(Entries({{"a", frequency, value}}), total),
                  "Rank Value Freq. Density\r\n" + std::string(line) + "\r\n");
}

// The box fills in batches as the lines are made; together they are the
// whole text, the note on zero values once at the end.
TEST(WordList, TheBoxFillsInBatches) {
    WordTable t;
    for (int i = 0; i < 12345; ++i) t.entries.push_back({"w", 1, i < 12340 ? 100.0f : 0.0f});
    for (std::size_t size : {12345u, 25u}) {
        t.entries.resize(size);
        std::vector<std::string> batches;
        const std::string box = ListWords(t, 100, [&](const std::string& s) { batches.push_back(s); });
        EXPECT_GT(batches.size(), 3u);
        EXPECT_EQ(batches.front(), "Rank Value Freq. Density\r\n");
        EXPECT_EQ(std::accumulate(batches.begin(), batches.end(), std::string()), box);
        const std::string tail = size > 25 ? "\r\nWords with key value 0 not shown.\r\n" : "  25   100    1  1.00%  w\r\n";
        EXPECT_EQ(box.substr(box.size() - tail.size()), tail);
    }
}
