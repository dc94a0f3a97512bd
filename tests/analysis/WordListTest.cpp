// The word list box: its columns (CliTest.cpp checks a whole list), the
// rounding of values and densities, and its filling in batches.
#include <gtest/gtest.h>

#include <numeric>
#include <tuple>

#include "analysis/WordList.h"

using namespace zelk;

// Values rounded half to even; density with two decimals of the binary
// value, ties to even (0.125 is exact, 0.145 is not); no words read gives
// 0.00 rather than a division by zero. A value that rounds to 0 is not shown.
TEST(WordList, RoundingDensityAndZeroValues) {
    const std::tuple<int16_t, float, int, std::string> rows[] = {
        {3, 1.5f, 8, "   1     2    3  37.50%  a\r\n"},   {2, 2.5f, 8, "   1     2    2  25.00%  a\r\n"},
        {1, 9.0f, 800, "   1     9    1  0.12%  a\r\n"},  {1, 9.0f, 1600, "   1     9    1  0.06%  a\r\n"},
        {29, 9.0f, 20000, "   1     9   29  0.14%  a\r\n"}, {2, 9.0f, 0, "   1     9    2  0.00%  a\r\n"},
        {32767, 100.0f, 1, "   1   100 32767  3276700.00%  a\r\n"}, {1, 0.5f, 8, "\r\nWords with key value 0 not shown.\r\n"}};
    for (const auto& [frequency, value, total, line] : rows)
        EXPECT_EQ(ListWords(WordTable{{{"a", frequency, value}}}, total), "Rank Value Freq. Density\r\n" + line);
}

// The box fills in batches as the lines are made; together they are the
// whole text, the note on zero values once at the end. An empty table
// gives "No words".
TEST(WordList, TheBoxFillsInBatches) {
    WordTable t;
    for (int i = 0; i < 12345; ++i) t.entries.push_back({"w", 1, i < 12340 ? 100.0f : 0.0f});
    for (std::size_t size : {12345u, 25u, 0u}) {
        t.entries.resize(size);
        std::vector<std::string> batches;
        const std::string box = ListWords(t, 100, [&](const std::string& s) { batches.push_back(s); });
        EXPECT_EQ(std::accumulate(batches.begin(), batches.end(), std::string()), box);
        EXPECT_EQ(batches.size() > 3, size > 0);
        const std::string tail = size > 25 ? "\r\nWords with key value 0 not shown.\r\n"
                                 : size > 0 ? "  25   100    1  1.00%  w\r\n"
                                            : "No words";
        EXPECT_EQ(box.substr(box.size() - tail.size()), tail);
    }
}
