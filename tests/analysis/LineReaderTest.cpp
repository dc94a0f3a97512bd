// The line reader and the searches that read the first lines of a page.
#include <gtest/gtest.h>

#include <vector>

#include "analysis/InputFile.h"
#include "analysis/LineReader.h"
#include "analysis/TextFile.h"
#include "support/MemoryTree.h"

using namespace zelk;
using zelk::testing::MemoryTree;

namespace {

std::vector<std::string> Lines(const std::string& bytes,
                               LineReader::Ends ends = LineReader::Ends::CrOrCrLf) {
    MemoryTree fs;
    fs.AddFile("/f.txt", bytes);
    LineReader r;
    EXPECT_TRUE(r.Open("/f.txt", ends, fs));
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

// The UTF-8 search of the encoding detection: the first ten lines that are
// not empty, each on its own; LF alone does not end a line, so a one-line
// document is searched to its end.
TEST(CharsetSearch, FirstTenLinesThatAreNotEmpty) {
    MemoryTree fs;
    std::string lfPage = "<html>\n", nine;
    for (int i = 0; i < 20000; ++i) lfPage += "<p class=x>text = more</p>\n";
    for (int i = 0; i < 9; ++i) nine += "<p>\r\n\r\n";
    const std::pair<std::string, int> cases[] = {
        {lfPage + "<meta charset=UTF-8>\n", 3}, {lfPage + "<meta charset=UTF-9>\n", 0},
        {nine + "<meta charset=UTF-8>\r\n", 3}, {nine + "<p>\r<meta charset=UTF-8>\r\n", 0},
        {"<html>\r\n<meta charset=\"UTF-8\">", 3}, {"<html>\r\nit\xE2\x80\x99s", 3},
        {"<html>\r\n<meta charset=UTF-\r\n8>", 0}, {"<html>\r\n<meta charset=\r\nUTF-8>", 0}};
    for (const auto& [page, code] : cases) {
        fs.AddFile("/page.html", page);
        EXPECT_EQ(DetectEncoding("/page.html", true, fs), code) << ::testing::PrintToString(page.substr(0, 60));
    }
}

// The search for "<head" in the first 100 lines, folding accented capitals.
TEST(FileContainsText, CaseFoldingAndLineLimit) {
    MemoryTree fs;
    std::string a;
    for (int i = 0; i < 99; ++i) a += "<p>\r\n";
    fs.AddFile("/a.htm", a + "<HEAD>\r\n");
    fs.AddFile("/b.htm", "\xC9T\xC9");
    EXPECT_TRUE(FileContainsText("/a.htm", "<head", 100, false, fs));
    EXPECT_TRUE(FileContainsText("/a.htm", "<head", 0, false, fs));
    EXPECT_FALSE(FileContainsText("/a.htm", "<head", 99, false, fs));
    EXPECT_FALSE(FileContainsText("/a.htm", "<head", 100, true, fs));
    EXPECT_TRUE(FileContainsText("/b.htm", "\xE9t\xE9", 1, false, fs));
}
