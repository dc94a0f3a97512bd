// Font tags on a line with runs of blanks of every length: the tag handler
// finds each tag's own size in the blank-removed line, however many blanks
// stand before it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/Scanner.h"
#include "analysis/ScriptedHost.h"
#include "common/ReportLog.h"
#include "common/Settings.h"

namespace zelk {
namespace {

TEST(ScannerLongLine, EveryFontTagReadsItsOwnSizeWhateverTheBlanksBefore) {
    Settings settings;
    ScanState state;
    ReportLog report;
    testing::ScriptedHost host;
    bool stop = false;
    std::vector<std::pair<std::string, int>> words;
    Scanner scanner(state, settings, host, report, stop,
                    [&] { words.emplace_back(state.CurrentWord, state.FontSize); });
    state.Reset();

    std::string line = " ";
    std::vector<std::pair<std::string, int>> expected;
    for (int k = 0; k < 60; ++k) {
        const int size = 1 + k % 7;
        std::string word = "w";
        word += static_cast<char>('a' + k % 26);
        word += static_cast<char>('a' + k / 26);
        line += "<font size=" + std::to_string(size) + ">" + word + "</font>" + std::string(static_cast<size_t>(k), ' ');
        line += "plain" + std::string(static_cast<size_t>(k % 9), ' ');
        expected.emplace_back(word, size);
        expected.emplace_back("plain", 3);
    }
    scanner.SetLine(line);
    scanner.ScanCurrentLine();
    EXPECT_EQ(words, expected);
}

}  // namespace
}  // namespace zelk
