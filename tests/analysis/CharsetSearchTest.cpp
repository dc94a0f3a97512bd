// The UTF-8 search of the encoding detection: the first ten lines that are
// not blank, searched line by line, give the answer the joined text gives.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "analysis/LineReader.h"
#include "analysis/TextFile.h"
#include "support/TempDir.h"

namespace zelk {
namespace {

using testing::TempDir;
using testing::WriteBytes;

// The search as the rule reads: the first ten lines that are not empty,
// joined with CR LF, then three searches.
int16_t JoinedSearch(const std::string& path) {
    LineReader reader;
    if (!reader.Open(path)) return 0;
    std::string text, line;
    int lineCount = 0;
    while (reader.Next(line)) {
        if (line.empty()) continue;
        if (!text.empty()) text += "\r\n";
        text += line;
        if (++lineCount == 10) break;
    }
    if (reader.Failed()) return 0;
    return text.find("charset=UTF-8") != std::string::npos || text.find("charset=\"UTF-8\"") != std::string::npos ||
                   text.find("\xE2\x80") != std::string::npos
               ? 3
               : 0;
}

TEST(CharsetSearch, AOneLineDocumentIsSearchedToItsEnd) {
    TempDir dir;
    const std::string path = dir / "page.html";
    std::string page = "<html>\n";
    for (int i = 0; i < 20000; ++i) page += "<p class=x>text = more</p>\n";
    WriteBytes(path, page + "<meta charset=UTF-8>\n");
    EXPECT_EQ(DetectEncoding(path, true), 3);
    WriteBytes(path, page + "<meta charset=UTF-9>\n");
    EXPECT_EQ(DetectEncoding(path, true), 0);
}

TEST(CharsetSearch, SameAsTheJoinedTextOnRandomPages) {
    TempDir dir;
    const std::string path = dir / "page.htm";
    std::mt19937 rng(11);
    const std::vector<std::string> pieces = {"charset", "=", "UTF-8", "\"", "charset=", "\r\n", "\n", "\r",
                                             "\r\n\r\n", "x", " ", "\xE2", "\x80", "<p>", "UTF", "-8", "c"};
    for (int round = 0; round < 1500; ++round) {
        std::string page = "<html>";
        const int n = static_cast<int>(rng() % 60);
        for (int i = 0; i < n; ++i) page += pieces[rng() % pieces.size()];
        WriteBytes(path, page);
        ASSERT_EQ(DetectEncoding(path, true), JoinedSearch(path)) << ::testing::PrintToString(page);
    }
}

}  // namespace
}  // namespace zelk
