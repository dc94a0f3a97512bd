#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "analysis/LineReader.h"
#include "analysis/TextFile.h"
#include "support/TempDir.h"

using namespace zelk;
using zelk::testing::TempDir;
using zelk::testing::WriteBytes;

namespace {

std::vector<std::string> Lines(const std::string& bytes,
                               LineReader::Ends ends = LineReader::Ends::CrOrCrLf) {
    TempDir dir;
    WriteBytes(dir / "f.txt", bytes);
    LineReader r;
    EXPECT_TRUE(r.Open(dir / "f.txt", ends));
    std::vector<std::string> out;
    std::string line;
    while (r.Next(line)) out.push_back(line);
    EXPECT_FALSE(r.Failed());
    return out;
}

using V = std::vector<std::string>;

}  // namespace

TEST(LineReader, LinesEndAtCrLfOrLoneCrNotAtLoneLf) {
    const std::pair<std::string, V> cases[] = {
        {"a\r\nb\r\n", {"a", "b"}}, {"a\r\nb", {"a", "b"}},         {"a\rb\r", {"a", "b"}},
        {"a\nb\nc\n", {"a\nb\nc\n"}},  {"a\r\n\r\nb", {"a", "", "b"}}, {"\r\n", {""}},
        {"", {}},                      {"a\r\r\nb", {"a", "", "b"}},    {"a\n\rb", {"a\n", "b"}}};
    for (const auto& [bytes, lines] : cases) EXPECT_EQ(Lines(bytes), lines) << ::testing::PrintToString(bytes);
    EXPECT_EQ(Lines("a\nb\n", LineReader::Ends::LfOnly), (V{"a", "b"}));
    EXPECT_EQ(Lines("a\n\nb", LineReader::Ends::LfOnly), (V{"a", "", "b"}));
}

TEST(LineReader, CrLfSplitAcrossChunksIsOneTerminator) {
    // The reader fills 64 KiB at a time: put the CR last in the first chunk.
    std::string big(65535, 'x');
    EXPECT_EQ(Lines(big + "\r\nnext\r\n"), (V{big, "next"}));
    std::string longLine(300000, 'y');
    EXPECT_EQ(Lines(longLine + "\r" + longLine), (V{longLine, longLine}));
}

TEST(LineReader, MissingFileOrFolderFails) {
    TempDir dir;
    for (const std::string& path : {std::string("/nonexistent/zelk/file.txt"), dir.path()}) {
        LineReader r;
        std::string line;
        EXPECT_FALSE(r.Open(path) && r.Next(line)) << path;
        EXPECT_TRUE(r.Failed() && r.ErrorNumber() != 0) << path;
    }
}

// The UTF-8 search of the encoding detection, line by line, against the
// search as the rule reads: the first ten lines that are not empty, joined
// with CR LF, then three searches.
static int16_t JoinedSearch(const std::string& path) {
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
